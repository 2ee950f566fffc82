// The cut preview's File > Save commands: the carved surface as a 16-bit grey PGM (0 the
// deepest cell) and the deviation map as a colour PNG, the pictures corvane-cli simulate
// writes. A file that cannot be written is reported with its name and the reason.
#include "common/error.h"
#include "gui/app/hourglass.h"
#include "gui/app/prompts.h"
#include "gui/app/window_frame.h"
#include "gui/simulation/cut_preview.h"
#include "simulation/carved_images.h"

#include <QFile>

void TfrmCutPreview::reportSaveFailure(const QString& what)
{
    frame_.StatusBar1().setText(0, QStringLiteral("Failed: ") + what);
    corvane::gui::prompts().message(corvane::gui::MessageKind::Warning, QStringLiteral("Warning"),
                                    what, corvane::gui::ButtonOk);
}

void TfrmCutPreview::SaveCarved1Click()
{
    const auto path = frame_.SaveDialog1().ExecuteForPath(
        {.filter = QStringLiteral("PGM Files|*.pgm"), .defaultExtension = QStringLiteral("pgm")});
    if (!path)
        return;
    try {
        corvane::gui::Hourglass busy;
        corvane::simulation::writeCarvedPgm(shownSimulation().carved,
                                            QFile::encodeName(*path).toStdString());
        frame_.StatusBar1().setText(0, figures_);
    } catch (const corvane::Error& error) {
        reportSaveFailure(QString::fromStdString(error.what()));
    }
}

void TfrmCutPreview::SaveDeviation1Click()
{
    const corvane::simulation::Simulation& shown = shownSimulation();
    if (!shown.deviation)
        return;
    const auto path = frame_.SaveDialog1().ExecuteForPath(
        {.filter = QStringLiteral("PNG Files|*.png"), .defaultExtension = QStringLiteral("png")});
    if (!path)
        return;
    try {
        corvane::gui::Hourglass busy;
        corvane::simulation::writeDeviationPng(shown.carved, shown.target,
                                               shown.deviation->tolerance,
                                               QFile::encodeName(*path).toStdString());
        frame_.StatusBar1().setText(0, figures_);
    } catch (const corvane::Error& error) {
        reportSaveFailure(QString::fromStdString(error.what()));
    }
}
