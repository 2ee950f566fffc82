#include "gui/app/file_dialogs.h"

#include <QDir>
#include <QFileInfo>

namespace corvane::gui {

QString imageFileFilter()
{
    return QStringLiteral(
        "All image files|*.Bmp;*.Jpg;*.Tif;*.Pcx;*.Gif;*.Wmf;*.Png;*.Jpeg;*.Tiff;*.Pgm;*.Ppm;*.Pbm;"
        "*.Pnm|Bmp Files *.Bmp|*.bmp|JPEG Files *.Jpg|*.jpg|TIFF Files *.Tif|*.tif|PCX Files "
        "*.Pcx|*.pcx|GIFF Files *.Gif|*.gif|WinMF Files *.Wmf|*.wmf|PNG Files *.Png|*.png|JPEG "
        "Files *.Jpeg|*.jpeg|TIFF Files *.Tiff|*.tiff|PNM Files *.Pgm;*.Ppm;*.Pbm;*.Pnm|*.pgm;"
        "*.ppm;*.pbm;*.pnm|All files (*)|*");
}

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

std::optional<FileChoice> TSaveDialog::Execute(const SaveRequest& save)
{
    FileDialogRequest request;
    request.title = QStringLiteral("Save As");
    request.filter = save.filter;
    request.filterIndex = save.filterIndex;
    request.fileName = save.startName;
    request.folder = startFolder(save);
    request.defaultExtension = save.defaultExtension;
    auto choice = prompts().saveFile(request);
    if (choice)
        lastFolder_ = QFileInfo(choice->path).absolutePath();
    return choice;
}

std::optional<QString> TSaveDialog::ExecuteForPath(const SaveRequest& request)
{
    const auto choice = Execute(request);
    if (!choice)
        return std::nullopt;
    return choice->path;
}

QString TSaveDialog::startFolder(const SaveRequest& request) const
{
    for (const QString& folder : {request.documentFolder, lastFolder_})
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return QFileInfo(folder).absoluteFilePath();
    return QDir::homePath();
}

} // namespace corvane::gui
