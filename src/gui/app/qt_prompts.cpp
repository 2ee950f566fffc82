#include "gui/app/qt_prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace corvane::gui {

namespace {

QMessageBox::Icon iconFor(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Information:
        return QMessageBox::Information;
    case MessageKind::Warning:
        return QMessageBox::Warning;
    case MessageKind::Confirmation:
        return QMessageBox::Question;
    case MessageKind::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons qtButtons(int buttons)
{
    QMessageBox::StandardButtons result;
    if (buttons & ButtonYes)
        result |= QMessageBox::Yes;
    if (buttons & ButtonNo)
        result |= QMessageBox::No;
    if (buttons & ButtonOk)
        result |= QMessageBox::Ok;
    if (buttons & ButtonCancel)
        result |= QMessageBox::Cancel;
    return result ? result : QMessageBox::Ok;
}

// The 1-based position of the selected Qt filter among the dialog's filters.
int selectedFilterIndex(const QFileDialog& dialog)
{
    const int index = int(dialog.nameFilters().indexOf(dialog.selectedNameFilter()));
    return index < 0 ? 1 : index + 1;
}

std::optional<FileChoice> runFileDialog(const FileDialogRequest& request,
                                        QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(QApplication::activeWindow(), request.title);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    const QStringList filters =
        qtFilterFromProgramFilter(request.filter).split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    if (!request.folder.isEmpty())
        dialog.setDirectory(request.folder);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    dialog.setDefaultSuffix(request.defaultExtension);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return FileChoice{dialog.selectedFiles().first(), selectedFilterIndex(dialog)};
}

} // namespace

Button QtPrompts::message(MessageKind kind, const QString& title, const QString& text, int buttons)
{
    QMessageBox box(iconFor(kind), title, text, qtButtons(buttons), QApplication::activeWindow());
    switch (box.exec()) {
    case QMessageBox::Yes:
        return ButtonYes;
    case QMessageBox::No:
        return ButtonNo;
    case QMessageBox::Ok:
        return ButtonOk;
    default:
        if (buttons & ButtonCancel)
            return ButtonCancel;
        return buttons ? Button(buttons & -buttons) : ButtonOk;
    }
}

std::optional<FileChoice> QtPrompts::openFile(const FileDialogRequest& request)
{
    return runFileDialog(request, QFileDialog::AcceptOpen);
}

std::optional<FileChoice> QtPrompts::saveFile(const FileDialogRequest& request)
{
    return runFileDialog(request, QFileDialog::AcceptSave);
}

std::optional<QString> QtPrompts::browseFolder(const QString& title)
{
    const QString folder = QFileDialog::getExistingDirectory(
        QApplication::activeWindow(), title, QStringLiteral("/"), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

} // namespace corvane::gui
