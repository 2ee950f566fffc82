// The prompts of the desktop program: Qt's message boxes and file dialogs.
#pragma once

#include "gui/app/prompts.h"

namespace corvane::gui {

class QtPrompts : public Prompts {
public:
    Button message(MessageKind kind, const QString& title, const QString& text,
                   int buttons) override;
    std::optional<FileChoice> openFile(const FileDialogRequest& request) override;
    std::optional<FileChoice> saveFile(const FileDialogRequest& request) override;
    std::optional<QString> browseFolder(const QString& title) override;
};

} // namespace corvane::gui
