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
#include <QLabel>
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

    // The figures whole, under the drawing: the status bar of a narrow frame cuts them.
    figuresLine_ = new QLabel(figures_, this);
    figuresLine_->setObjectName(QStringLiteral("FiguresLine"));
    figuresLine_->setWordWrap(true);
    figuresLine_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    figuresLine_->setContentsMargins(4, 2, 4, 2);
    legend_ = new corvane::gui::TDeviationLegend(this);
    legend_->SetTolerance(surface_.tolerance);
    legend_->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(&Draw3D(), 1);
    layout->addWidget(legend_);
    layout->addWidget(figuresLine_);

    buildMenus();
    MenuItem(QStringLiteral("Deviation1"))->setEnabled(!surface_.deviation.empty());
    MenuItem(QStringLiteral("SaveDeviation1"))->setEnabled(!surface_.deviation.empty());
    setWindowTitle(source.isEmpty() ? QStringLiteral("Cut Preview")
                                    : QStringLiteral("Cut Preview - ") + source);

    // Within the area as it is: the frame keeps the size the user gave it.
    showInFrame(kDefaultWidth, kDefaultHeight);
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

corvane::Extents3D TfrmCutPreview::drawingExtents() const
{
    return corvane::gui::surfaceExtents(surface_);
}

void TfrmCutPreview::paintView(corvane::gui::TCanvas3D& canvas)
{
    const corvane::gui::MeshViewScale& view = fitDrawing();
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
