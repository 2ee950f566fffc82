// Prompts for tests: each question takes the next scripted answer of its kind and is
// recorded, so a test can check exactly what the program asked. A question without a
// scripted answer gets the "nothing chosen" answer (Cancel when offered, else the first
// button; no file; no folder), so a forgotten answer never hangs a test.
#pragma once

#include "gui/app/prompts.h"

#include <deque>
#include <vector>

namespace corvane::gui {

struct AskedMessage {
    MessageKind kind;
    QString title;
    QString text;
    int buttons;
};

class ScriptedPrompts : public Prompts {
public:
    // Installs itself as the program's prompts for its lifetime.
    ScriptedPrompts();
    ~ScriptedPrompts() override;
    ScriptedPrompts(const ScriptedPrompts&) = delete;
    ScriptedPrompts& operator=(const ScriptedPrompts&) = delete;

    // --- the script ---
    void answerMessage(Button answer) { messageAnswers.push_back(answer); }
    void answerOpen(std::optional<FileChoice> choice) { openAnswers.push_back(std::move(choice)); }
    void answerSave(std::optional<FileChoice> choice) { saveAnswers.push_back(std::move(choice)); }
    void answerFolder(std::optional<QString> folder) { folderAnswers.push_back(std::move(folder)); }

    // --- what was asked ---
    std::vector<AskedMessage> messages;
    std::vector<FileDialogRequest> openRequests;
    std::vector<FileDialogRequest> saveRequests;
    std::vector<QString> folderTitles;

    Button message(MessageKind kind, const QString& title, const QString& text,
                   int buttons) override;
    std::optional<FileChoice> openFile(const FileDialogRequest& request) override;
    std::optional<FileChoice> saveFile(const FileDialogRequest& request) override;
    std::optional<QString> browseFolder(const QString& title) override;

private:
    std::deque<Button> messageAnswers;
    std::deque<std::optional<FileChoice>> openAnswers;
    std::deque<std::optional<FileChoice>> saveAnswers;
    std::deque<std::optional<QString>> folderAnswers;
};

} // namespace corvane::gui
