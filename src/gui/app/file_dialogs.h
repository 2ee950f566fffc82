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

// SaveDialog1: the program's one save dialog.
class TSaveDialog {
public:
    explicit TSaveDialog(QString startFolder = {}) : InitialDir(std::move(startFolder)) {}

    // Each user sets its own filter; FileName and DefaultExt stay as the last use left them.
    std::optional<FileChoice> Execute(const QString& filter, int filterIndex = 1);

    QString InitialDir;
    QString FileName;
    QString DefaultExt;
};

// The save dialog's start folder: the executable's folder when the user may write there,
// else the home folder (an installed program's folder is usually read-only).
QString saveStartFolder(const QString& executableFolder);

} // namespace corvane::gui
