#include "gui/simulation/cut_preview.h"

#include "gui/app/child_menus.h"
#include "gui/app/frame.h"
#include "gui/app/help_pages.h"
#include "gui/app/hourglass.h"
#include "gui/draw3d/draw3d_panel.h"
#include "gui/mesh/mouse_rules.h"
#include "gui/simulation/deviation_legend.h"
#include "gui/simulation/surface_paint.h"
#include "simulation/simulation_figures.h"

#include <QAction>
#include <QKeySequence>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace {

constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;
// Blocks a side: some 700,000 faces at most, drawn in a fraction of a second, and still
// finer than the panel's pixels in most windows.
constexpr int kPreviewSide = 600;

} // namespace

TfrmCutPreview::TfrmCutPreview(TCorvaneFrame& frame, corvane::simulation::Simulation simulation,
                               const QString& source)
    : frame_(frame), simulation_(std::move(simulation)),
      surface_(corvane::simulation::previewSurface(simulation_, kPreviewSide)),
      figures_(QString::fromStdString(corvane::simulation::figuresLine(simulation_)))
{
    setObjectName(QStringLiteral("frmCutPreview"));
    corvane::gui::setHelpPage(*this, QStringLiteral("preview.html"));

    draw3D_ = new corvane::gui::TDraw3D(this);
    draw3D_->SetColor(Qt::white);
    draw3D_->SetPaintHandler([this](corvane::gui::TCanvas3D& canvas) { Draw3DPaint(canvas); });
    draw3D_->SetFitBoxHandler([this] {
        corvane::Extents3D box = corvane::gui::surfaceExtents(surface_);
        return std::optional(corvane::gui::canvasBox(
            box, corvane::gui::meshViewScale(box, draw3D_->width(), draw3D_->height(),
                                             draw3D_->DrawingBottom())));
    });
    draw3D_->SetMouseHandlers([this](QMouseEvent& e) { Draw3DMouseDown(e); },
                              [this](QMouseEvent& e) { Draw3DMouseMove(e); },
                              [this](QMouseEvent& e) { Draw3DMouseUp(e); });
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
    layout->addWidget(draw3D_, 1);
    layout->addWidget(legend_);
    layout->addWidget(figuresLine_);

    buildMenus();
    MenuItem(QStringLiteral("Deviation1"))->setEnabled(!surface_.deviation.empty());
    MenuItem(QStringLiteral("SaveDeviation1"))->setEnabled(!surface_.deviation.empty());
    setWindowTitle(source.isEmpty() ? QStringLiteral("Cut Preview")
                                    : QStringLiteral("Cut Preview - ") + source);

    // Within the area as it is: the frame keeps the size the user gave it.
    frame_.PlaceChildInside(*frame_.AddChildWindow(this), kDefaultWidth, kDefaultHeight);
    Isometric1Click();
    FormActivate();
}

TfrmCutPreview::~TfrmCutPreview() = default;

QMdiSubWindow* TfrmCutPreview::SubWindow() const
{
    return qobject_cast<QMdiSubWindow*>(parentWidget());
}

void TfrmCutPreview::FormActivate()
{
    frame_.DisablePictureTools(true);
    frame_.StatusBar1().setText(0, figures_);
}

// --- drawing ---

void TfrmCutPreview::Draw3DPaint(corvane::gui::TCanvas3D& canvas)
{
    // The scale fits the surface into the panel, as the mesh view fits its mesh.
    corvane::Extents3D box = corvane::gui::surfaceExtents(surface_);
    scale_ = corvane::gui::meshViewScale(box, draw3D_->width(), draw3D_->height(),
                                         draw3D_->DrawingBottom());
    if (BoxOnly()) {
        canvas.SetPen(Qt::black);
        canvas.SetBrush(Qt::white);
        corvane::gui::drawExtentsBox(canvas, box, scale_);
        return;
    }
    corvane::gui::Hourglass busy;
    corvane::gui::drawCarvedSurface(canvas, surface_, scale_, byDeviation_);
}

void TfrmCutPreview::Draw3DMouseDown(QMouseEvent& event)
{
    drag_.press(event);
}

void TfrmCutPreview::Draw3DMouseMove(QMouseEvent& event)
{
    drag_.move(*draw3D_, event);
}

void TfrmCutPreview::Draw3DMouseUp(QMouseEvent&)
{
    drag_.release(*draw3D_);
}

// --- commands ---

void TfrmCutPreview::Top1Click()
{
    draw3D_->FitView(corvane::gui::topView(draw3D_->View()));
}

void TfrmCutPreview::Isometric1Click()
{
    draw3D_->FitView(corvane::gui::isometricView(draw3D_->View()));
}

void TfrmCutPreview::ZoomToFit1Click()
{
    draw3D_->ZoomToFit();
}

void TfrmCutPreview::Deviation1Click()
{
    byDeviation_ = !byDeviation_ && !surface_.deviation.empty();
    MenuItem(QStringLiteral("Deviation1"))->setChecked(byDeviation_);
    legend_->setVisible(byDeviation_);
    draw3D_->Repaint();
}

void TfrmCutPreview::Copy1Click()
{
    draw3D_->CopyToClipboard();
}

void TfrmCutPreview::Close1Click()
{
    if (QMdiSubWindow* window = SubWindow())
        window->close();
    frame_.ShowReady();
}

// --- menus ---

QAction* TfrmCutPreview::MenuItem(const QString& name) const
{
    return items_.find(name);
}

void TfrmCutPreview::buildMenus()
{
    const auto addItem = [this](QMenu& menu, const QString& name, const QString& caption,
                                std::function<void()> handler) {
        return items_.add(menu, *this, name, caption, std::move(handler));
    };
    auto* file = new QMenu(QStringLiteral("&File"), this);
    addItem(*file, QStringLiteral("SaveCarved1"), QStringLiteral("Save &Carved Surface..."),
            [this] { SaveCarved1Click(); });
    addItem(*file, QStringLiteral("SaveDeviation1"), QStringLiteral("Save &Deviation Map..."),
            [this] { SaveDeviation1Click(); });
    items_.remember(QStringLiteral("N2"), file->addSeparator());
    corvane::gui::addCloseAndExit(items_, *file, *this, frame_, [this] { Close1Click(); });
    QMenu* edit = corvane::gui::makeCopyMenu(items_, *this, [this] { Copy1Click(); });

    auto* view = new QMenu(QStringLiteral("&View"), this);
    addItem(*view, QStringLiteral("Top1"), QStringLiteral("&Top"), [this] { Top1Click(); });
    addItem(*view, QStringLiteral("Isometric1"), QStringLiteral("&Isometric"),
            [this] { Isometric1Click(); });
    corvane::gui::addZoomToFit(items_, *view, *this, [this] { ZoomToFit1Click(); });
    items_.remember(QStringLiteral("N1"), view->addSeparator());
    QAction* deviation = addItem(*view, QStringLiteral("Deviation1"), QStringLiteral("&Deviation"),
                                 [this] { Deviation1Click(); });
    deviation->setCheckable(true);
    deviation->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));

    menus_ = {file, edit, view, corvane::gui::makeWindowMenu(items_, *this, frame_),
              corvane::gui::makeHelpMenu(items_, *this, frame_)};
}
