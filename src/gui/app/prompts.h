// Every question the program puts to the user goes through one Prompts object: message
// boxes, the open and save file dialogs and the folder browser. The desktop program uses
// QtPrompts; tests install ScriptedPrompts (scripted_prompts.h), which answers from a queue
// and records what was asked, so no test ever waits for a person.
#pragma once

#include <QString>
#include <optional>

namespace corvane::gui {

enum class MessageKind { Information, Warning, Confirmation, Error };

// Buttons of a message box; combine them with |.
enum Button : int { ButtonOk = 1, ButtonCancel = 2, ButtonYes = 4, ButtonNo = 8 };

struct FileDialogRequest {
    QString title;
    // In the program's own syntax: "Name|*.a;*.b|Name2|*.c" (description, patterns, ...).
    QString filter;
    int filterIndex = 1;      // 1-based: the filter selected when the dialog opens
    QString fileName;         // proposed file name (may carry a folder)
    QString folder;           // start folder; empty for the dialog's own choice
    QString defaultExtension; // without the dot; empty for none
};

struct FileChoice {
    QString path;
    int filterIndex = 1; // 1-based: the filter the user had selected
};

class Prompts {
public:
    virtual ~Prompts() = default;
    // Returns the button pressed; closing the box counts as Cancel when there is one,
    // else as the only button.
    virtual Button message(MessageKind kind, const QString& title, const QString& text,
                           int buttons = ButtonOk) = 0;
    // Empty when the user cancelled. The file must exist.
    virtual std::optional<FileChoice> openFile(const FileDialogRequest& request) = 0;
    // Empty when the user cancelled. Asks before an existing file would be overwritten.
    virtual std::optional<FileChoice> saveFile(const FileDialogRequest& request) = 0;
    // Empty when the user cancelled.
    virtual std::optional<QString> browseFolder(const QString& title) = 0;
};

// The prompts in use: QtPrompts unless a test installed others.
Prompts& prompts();
// Installs the given prompts (not owned; nullptr goes back to QtPrompts).
void setPrompts(Prompts* replacement);

// Turns "Name|*.a;*.b|Name2|*.c" into Qt's "Name (*.a *.b);;Name2 (*.c)".
QString qtFilterFromProgramFilter(const QString& programFilter);

} // namespace corvane::gui
