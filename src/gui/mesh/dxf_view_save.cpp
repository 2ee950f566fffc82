// Save D&NC and Save &DXF: the view's regions written by the core's writers, after a save
// prompt of their own. A file that cannot be written is reported with its name and reason.
#include "common/error.h"
#include "common/timestamp.h"
#include "gui/app/frame.h"
#include "gui/app/gui_run_control.h"
#include "gui/app/hourglass.h"
#include "gui/app/prompts.h"
#include "gui/app/shared_state.h"
#include "gui/mesh/dxf_view.h"
#include "toolpaths/dnc_writer.h"
#include "toolpaths/dxf_polyline_writer.h"

#include <QFile>
#include <QFileInfo>
#include <optional>

using corvane::gui::shared;

namespace {

std::optional<QString> askSaveName(TCorvaneFrame& frame, const QString& filter,
                                   const QString& extension, const QString& folder)
{
    corvane::gui::SaveRequest request;
    request.filter = filter;
    request.defaultExtension = extension;
    request.documentFolder = folder;
    const auto choice = frame.SaveDialog1().Execute(request);
    if (!choice)
        return std::nullopt;
    return choice->path;
}

void reportFailure(TCorvaneFrame& frame, const corvane::Error& error)
{
    frame.StatusBar1().setText(0,
                               QStringLiteral("Failed: ") + QString::fromStdString(error.what()));
    corvane::gui::prompts().message(corvane::gui::MessageKind::Warning, QStringLiteral("Warning"),
                                    QStringLiteral("The toolpaths were not saved.\n%1")
                                        .arg(QString::fromStdString(error.what())),
                                    corvane::gui::ButtonOk);
}

} // namespace

QString TfrmDXFView::documentFolder() const
{
    if (vectorConversion_)
        return {};
    const QFileInfo file(DocumentName());
    return file.isAbsolute() ? file.absolutePath() : QString();
}

void TfrmDXFView::SaveDNC1Click()
{
    const auto path = askSaveName(frame_, QStringLiteral("DNC Files|*.Dnc"), QStringLiteral("Dnc"),
                                  documentFolder());
    if (!path) {
        showStatus(QStringLiteral("Ready..."));
        return;
    }
    const corvane::toolpaths::DncHeader header{corvane::programTimestamp(),
                                               QFileInfo(DocumentName()).fileName().toStdString(),
                                               shared().RegionFeedrate, shared().RapidHeight};
    corvane::gui::GuiRunControl control(frame_.StatusBar1());
    shared().EscapePressed = false; // a long job starts with Esc cleared
    try {
        corvane::gui::Hourglass busy;
        corvane::toolpaths::SaveDncProgram(QFile::encodeName(*path).toStdString(), regions_.regions,
                                           header, control);
        setWindowModified(false);
    } catch (const corvane::Cancelled&) {
        // Esc while ordering: nothing was written, "Process Cancelled..." is shown.
    } catch (const corvane::Error& error) {
        reportFailure(frame_, error);
    }
}

void TfrmDXFView::SaveDXF1Click()
{
    const auto path = askSaveName(frame_, QStringLiteral("DXF Files|*.Dxf"), QStringLiteral("Dxf"),
                                  documentFolder());
    if (!path) {
        showStatus(QStringLiteral("Ready..."));
        return;
    }
    try {
        corvane::gui::Hourglass busy;
        corvane::toolpaths::SaveDxfPolylines(QFile::encodeName(*path).toStdString(),
                                             regions_.regions);
        setWindowModified(false);
        showStatus(QStringLiteral("Ready..."));
    } catch (const corvane::Error& error) {
        reportFailure(frame_, error);
    }
}
