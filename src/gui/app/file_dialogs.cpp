#include "gui/app/file_dialogs.h"

#include <QDir>
#include <QFileInfo>

namespace corvane::gui {

std::optional<FileChoice> TOpenDialog::Execute(const QString& filter)
{
    FileDialogRequest request;
    request.title = QStringLiteral("Open");
    request.filter = filter;
    request.filterIndex = 1;
    request.fileName = FileName;
    auto choice = prompts().openFile(request);
    if (choice)
        FileName = choice->path;
    return choice;
}

std::optional<FileChoice> TSaveDialog::Execute(const QString& filter, int filterIndex)
{
    FileDialogRequest request;
    request.title = QStringLiteral("Save As");
    request.filter = filter;
    request.filterIndex = filterIndex;
    request.fileName = FileName;
    request.folder = InitialDir;
    request.defaultExtension = DefaultExt;
    auto choice = prompts().saveFile(request);
    if (choice)
        FileName = choice->path;
    return choice;
}

QString saveStartFolder(const QString& executableFolder)
{
    const QFileInfo folder(executableFolder);
    if (!executableFolder.isEmpty() && folder.isDir() && folder.isWritable())
        return folder.absoluteFilePath();
    return QDir::homePath();
}

} // namespace corvane::gui
