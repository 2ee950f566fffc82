// The frame's two file dialogs. Like the dialogs they stand for, each remembers what its
// last use left behind (file name, folder), so the next user of the shared dialog starts
// where the previous one stopped. Both ask through prompts(), so tests can answer them.
#pragma once

#include "gui/app/prompts.h"

#include <QString>
#include <optional>

namespace corvane::gui {

// OpenDialog1: shared by Load Image and the imports.
class TOpenDialog {
public:
    // Opens with FileName preselected and the first filter selected; remembers the choice.
    std::optional<FileChoice> Execute(const QString& filter);

    QString FileName; // the file chosen last; imports clear it before they open
};

// The filter of every prompt that opens a picture: all the kinds we read, then each kind.
QString imageFileFilter();

// What one use of the save dialog asks for. Every use states all of it, so no use inherits
// another's file kind or name.
struct SaveRequest {
    QString filter{};           // in the program's syntax, "Name|*.a|Name2|*.b"
    int filterIndex = 1;        // 1-based
    QString defaultExtension{}; // without the dot; empty for none
    QString startName{};        // proposed name; empty for none
    QString documentFolder{};   // the folder of the file being worked on, when it has one
};

// SaveDialog1: the program's one save dialog. It opens in the folder of the document being
// saved, else in the folder of the last file chosen, else in the home folder (never the
// program's own folder, which is read-only once installed).
class TSaveDialog {
public:
    std::optional<FileChoice> Execute(const SaveRequest& request);
    // The path chosen, for the uses whose file kind the request alone settles; nothing when
    // the user cancelled.
    std::optional<QString> ExecuteForPath(const SaveRequest& request);

    // The folder the dialog opens in for a request.
    QString startFolder(const SaveRequest& request) const;

private:
    QString lastFolder_;
};

} // namespace corvane::gui
