#include "gui/draw3d/view3d_window.h"

#include "gui/app/child_menus.h"
#include "gui/app/window_frame.h"
#include "gui/draw3d/draw3d_panel.h"

#include <QCloseEvent>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>

namespace corvane::gui {

TView3DWindow::TView3DWindow(WindowFrame& frame) : frame_(frame)
{
    draw3D_ = new TDraw3D(this);
    draw3D_->SetOrthogonal(false);
    draw3D_->SetPerspective(0);
    draw3D_->SetColor(Qt::white);
    draw3D_->SetView(topView(draw3D_->View()));
    // Virtual calls: they only come once the window is built and shown.
    draw3D_->SetPaintHandler([this](TCanvas3D& canvas) { paintView(canvas); });
    draw3D_->SetFitBoxHandler([this] { return std::optional(canvasBox(panelScale())); });
    draw3D_->SetMouseHandlers([this](QMouseEvent& e) { drag_.press(e); },
                              [this](QMouseEvent& e) { drag_.move(*draw3D_, e); },
                              [this](QMouseEvent&) { drag_.release(*draw3D_); });
    LongRun::Options load;
    load.window = this;
    loadRun_ = std::make_unique<LongRun>(frame_, load);
}

RunReport TView3DWindow::runLoad(const LongRun::Job& job)
{
    const RunReport report = loadRun_->run(job);
    loadStopped_ = report.outcome == RunOutcome::Stopped;
    return report;
}

bool TView3DWindow::closeWhileLoading(QCloseEvent& event)
{
    if (!loadRun_->running())
        return false;
    loadRun_->abandon();
    event.ignore();
    return true;
}

Opened finishOpening(WindowFrame& frame, TView3DWindow& view, bool shown)
{
    if (view.LoadStopped()) {
        view.Close1Click();
        TStatusPanels& status = frame.StatusBar1();
        status.setGaugeVisible(false);
        status.setText(0, QStringLiteral("Process Cancelled..."));
        return Opened::Stopped;
    }
    if (shown)
        return Opened::Shown;
    // The user has been told; an empty view would only be in the way.
    view.Close1Click();
    return Opened::NothingToShow;
}

TView3DWindow::~TView3DWindow() = default;

QMdiSubWindow* TView3DWindow::SubWindow() const
{
    return qobject_cast<QMdiSubWindow*>(parentWidget());
}

QMdiSubWindow* TView3DWindow::showInFrame(int width, int height)
{
    QMdiSubWindow* window = frame_.AddChildWindow(this);
    frame_.PlaceChildInside(*window, width, height);
    return window;
}

MeshViewScale TView3DWindow::panelScale() const
{
    return meshViewScale(drawingExtents(), draw3D_->width(), draw3D_->height(),
                         draw3D_->DrawingBottom());
}

const MeshViewScale& TView3DWindow::fitDrawing()
{
    scale_ = panelScale();
    return scale_;
}

// --- commands ---

void TView3DWindow::Top1Click()
{
    draw3D_->FitView(topView(draw3D_->View()));
}

void TView3DWindow::Isometric1Click()
{
    draw3D_->FitView(isometricView(draw3D_->View()));
}

void TView3DWindow::ZoomToFit1Click()
{
    draw3D_->ZoomToFit();
}

void TView3DWindow::Copy1Click()
{
    draw3D_->CopyToClipboard();
}

void TView3DWindow::Close1Click()
{
    if (QMdiSubWindow* window = SubWindow())
        window->close();
    frame_.ShowReady();
    frame_.StatusBar1().repaintNow();
}

// --- menus ---

QAction* TView3DWindow::addItem(QMenu& menu, const QString& name, const QString& caption,
                                std::function<void()> handler)
{
    return items_.add(menu, *this, name, caption, std::move(handler));
}

void TView3DWindow::addSeparator(QMenu& menu, const QString& name)
{
    items_.remember(name, menu.addSeparator());
}

QMenu* TView3DWindow::newMenu(const QString& title)
{
    return new QMenu(title, this);
}

void TView3DWindow::addCloseAndExit(QMenu& file)
{
    corvane::gui::addCloseAndExit(items_, file, *this, frame_, [this] { Close1Click(); });
}

QMenu* TView3DWindow::newCopyMenu()
{
    return makeCopyMenu(items_, *this, [this] { Copy1Click(); });
}

QMenu* TView3DWindow::newViewMenu()
{
    QMenu* view = newMenu(QStringLiteral("&View"));
    addItem(*view, QStringLiteral("Top1"), QStringLiteral("&Top"), [this] { Top1Click(); });
    addItem(*view, QStringLiteral("Isometric1"), QStringLiteral("&Isometric"),
            [this] { Isometric1Click(); });
    addZoomToFit(items_, *view, *this, [this] { ZoomToFit1Click(); });
    return view;
}

void TView3DWindow::setMenus(QList<QMenu*> own)
{
    own << makeWindowMenu(items_, *this, frame_) << makeHelpMenu(items_, *this, frame_);
    menus_ = std::move(own);
}

} // namespace corvane::gui
