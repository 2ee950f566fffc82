#include "gui/simulation/cut_preview.h"

#include "gui/app/help_pages.h"
#include "gui/app/hourglass.h"
#include "gui/app/window_frame.h"
#include "gui/draw3d/draw3d_panel.h"
#include "gui/simulation/deviation_legend.h"
#include "gui/simulation/surface_paint.h"
#include "simulation/simulation_figures.h"

#include <QAction>
#include <QKeySequence>
#include <QMdiSubWindow>
#include <QMenu>
#include <QVBoxLayout>

namespace {

constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;
// Blocks a side: some 700,000 faces at most, drawn in a fraction of a second, and still
// finer than the panel's pixels in most windows.
constexpr int kPreviewSide = 600;

} // namespace

TfrmCutPreview::TfrmCutPreview(corvane::gui::WindowFrame& frame,
                               corvane::simulation::Simulation simulation, const QString& source)
    : TView3DWindow(frame), simulation_(std::move(simulation)),
      surface_(corvane::simulation::previewSurface(simulation_, kPreviewSide)),
      figures_(QString::fromStdString(corvane::simulation::figuresLine(simulation_)))
{
    setObjectName(QStringLiteral("frmCutPreview"));
    corvane::gui::setHelpPage(*this, QStringLiteral("preview.html"));

    legend_ = new corvane::gui::TDeviationLegend(this);
    legend_->SetTolerance(surface_.tolerance);
    legend_->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(&Draw3D(), 1);
    layout->addWidget(legend_);

    buildMenus();
    MenuItem(QStringLiteral("Deviation1"))->setEnabled(!surface_.deviation.empty());
    MenuItem(QStringLiteral("SaveDeviation1"))->setEnabled(!surface_.deviation.empty());
    setWindowTitle(source.isEmpty() ? QStringLiteral("Cut Preview")
                                    : QStringLiteral("Cut Preview - ") + source);

    QMdiSubWindow* window = frame_.AddChildWindow(this);
    window->resize(kDefaultWidth, kDefaultHeight);
    frame_.KeepChildInside(window);
    Isometric1Click();
    FormActivate();
}

TfrmCutPreview::~TfrmCutPreview() = default;

void TfrmCutPreview::FormActivate()
{
    frame_.DisablePictureTools(true);
    frame_.StatusBar1().setText(0, figures_);
}

// --- drawing ---

void TfrmCutPreview::paintView(corvane::gui::TCanvas3D& canvas)
{
    // The scale fits the surface into the panel, as the mesh view fits its mesh.
    const corvane::gui::MeshViewScale& view =
        fitView(corvane::gui::surfaceExtents(surface_), Draw3D().size());
    if (BoxOnly()) {
        canvas.SetPen(Qt::black);
        canvas.SetBrush(Qt::white);
        corvane::gui::drawExtentsBox(canvas, view);
        return;
    }
    corvane::gui::Hourglass busy;
    corvane::gui::drawCarvedSurface(canvas, surface_, view, byDeviation_);
}

// --- commands ---

void TfrmCutPreview::Deviation1Click()
{
    byDeviation_ = !byDeviation_ && !surface_.deviation.empty();
    MenuItem(QStringLiteral("Deviation1"))->setChecked(byDeviation_);
    legend_->setVisible(byDeviation_);
    Draw3D().Repaint();
}

// --- menus ---

void TfrmCutPreview::buildMenus()
{
    QMenu* file = newMenu(QStringLiteral("&File"));
    addItem(*file, QStringLiteral("SaveCarved1"), QStringLiteral("Save &Carved Surface..."),
            [this] { SaveCarved1Click(); });
    addItem(*file, QStringLiteral("SaveDeviation1"), QStringLiteral("Save &Deviation Map..."),
            [this] { SaveDeviation1Click(); });
    addSeparator(*file, QStringLiteral("N2"));
    addCloseAndExit(*file);

    QMenu* view = newViewMenu();
    addSeparator(*view, QStringLiteral("N1"));
    QAction* deviation = addItem(*view, QStringLiteral("Deviation1"), QStringLiteral("&Deviation"),
                                 [this] { Deviation1Click(); });
    deviation->setCheckable(true);
    deviation->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));

    setMenus({file, newCopyMenu(), view});
}
