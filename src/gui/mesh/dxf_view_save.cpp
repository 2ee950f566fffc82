// Save D&NC and Save &DXF: the view's regions written by the core's writers, after a save
// prompt of their own. A file that cannot be written is reported with its name and reason.
#include "common/error.h"
#include "common/timestamp.h"
#include "gui/app/hourglass.h"
#include "gui/app/long_run.h"
#include "gui/app/machine_group.h"
#include "gui/app/prompts.h"
#include "gui/app/shared_state.h"
#include "gui/app/window_frame.h"
#include "gui/mesh/dxf_view.h"
#include "toolpaths/dnc_writer.h"
#include "toolpaths/dxf_polyline_writer.h"

#include <QFile>
#include <QFileInfo>
#include <optional>

using corvane::gui::shared;

namespace {

void reportFailure(corvane::gui::WindowFrame& frame, const corvane::Error& error)
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
    const corvane::machine::MachineSettings machine = shared().RegionMachine;
    const corvane::gui::ProgramSaveKinds kinds = corvane::gui::programSaveKinds(machine.machine);
    const auto path =
        frame_.SaveDialog1().ExecuteForPath({.filter = kinds.filter,
                                             .defaultExtension = kinds.defaultExtension,
                                             .documentFolder = documentFolder()});
    if (!path) {
        showStatus(QStringLiteral("Ready..."));
        return;
    }
    const corvane::toolpaths::DncHeader header{corvane::programTimestamp(),
                                               QFileInfo(DocumentName()).fileName().toStdString(),
                                               shared().RegionFeedrate, shared().RapidHeight};
    std::optional<corvane::Error> failure;
    corvane::gui::LongRun run(frame_);
    const corvane::gui::RunReport report = run.run([&](corvane::RunControl& control) {
        try {
            corvane::toolpaths::SaveDncProgram(QFile::encodeName(*path).toStdString(),
                                               regions_.regions, header, control, machine);
        } catch (const corvane::Cancelled&) {
            throw; // Esc while ordering: nothing was written
        } catch (const corvane::Error& error) {
            failure = error;
        }
        return true;
    });
    if (failure)
        reportFailure(frame_, *failure);
    else if (report.outcome == corvane::gui::RunOutcome::Completed)
        setWindowModified(false);
}

void TfrmDXFView::SaveDXF1Click()
{
    const auto path =
        frame_.SaveDialog1().ExecuteForPath({.filter = QStringLiteral("DXF Files|*.Dxf"),
                                             .defaultExtension = QStringLiteral("Dxf"),
                                             .documentFolder = documentFolder()});
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
