// TView3DWindow: the host of every child window that shows a rotatable 3D drawing (the mesh
// view, the DNC view, the Cut Preview). It owns what they all have: the 3D panel, the mouse
// drag (turn, pan, zoom; only the box is drawn while a button is held), the scale that fits
// the drawing into the panel, the Top and Isometric views and Zoom to Fit (each showing the
// whole drawing), Copy, Close, and the menu items that show the frame's own Exit, Window
// and Help commands.
//
// A 3D window derives from it, lays the panel out, builds its menus with the helpers below
// and draws in paintView:
//   class TfrmThing : public corvane::gui::TView3DWindow {
//       corvane::Extents3D drawingExtents() const override { return thing_.extents; }
//       void paintView(corvane::gui::TCanvas3D& canvas) override
//       {
//           const auto& view = fitDrawing();
//           if (BoxOnly()) return corvane::gui::drawExtentsBox(canvas, view);
//           drawThing(canvas, thing_, view);
//       }
//   };
#pragma once

#include "gui/app/child_window.h"
#include "gui/app/long_run.h"
#include "gui/app/menu_items.h"
#include "gui/draw3d/view_drag.h"
#include "gui/draw3d/view_scale.h"

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

class QAction;
class QCloseEvent;
class QMdiSubWindow;
class QMenu;

namespace corvane::gui {

class TDraw3D;
class WindowFrame;

class TView3DWindow : public QWidget, public TChildWindow {
public:
    ~TView3DWindow() override;

    // --- the commands every 3D window has ---
    // Rotation, elevation and tilt 0, and 345 / 300 / 0; both show the whole drawing.
    void Top1Click();
    void Isometric1Click();
    // The whole drawing, centred, at the angles as they are.
    void ZoomToFit1Click();
    // The drawing, on white, to the clipboard.
    void Copy1Click();
    void Close1Click();

    // TChildWindow
    QList<QMenu*> ChildMenus() const override { return menus_; }

    // --- what tests and the windows look at ---
    TDraw3D& Draw3D() const { return *draw3D_; }
    // While a button is held, and while a file loads (nothing is drawn from half-built
    // lists), only the box is drawn.
    bool BoxOnly() const { return drag_.boxOnly() || Loading(); }
    bool Loading() const { return loadRun_->running(); }
    // Esc, or closing the window, stopped the load of its file.
    bool LoadStopped() const { return loadStopped_; }
    // The scale, base line and box of the last paint.
    const MeshViewScale& ViewScale() const { return scale_; }
    QMdiSubWindow* SubWindow() const;
    // Menu items by name (Top1, Isometric1, Close1, Exit1, Copy1, Tile1, ...).
    QAction* MenuItem(const QString& name) const { return items_.find(name); }

protected:
    // The panel is made here, white, in 3D with a parallel projection, turned to the top
    // view; the window puts it in its layout.
    explicit TView3DWindow(WindowFrame& frame);

    // The extents of the window's drawing, in model units: the document's own, which the
    // fitting leaves as they are.
    virtual Extents3D drawingExtents() const = 0;
    // Draws the window's drawing; called whenever the panel must be drawn.
    virtual void paintView(TCanvas3D& canvas) = 0;
    // Reads the window's file through its own LongRun: the window takes input meanwhile, and
    // closing it abandons the read (see closeWhileLoading).
    RunReport runLoad(const LongRun::Job& job);
    // For closeEvent: while a file loads, the close abandons the load and is refused (the
    // window closes once the reader has stopped); true then.
    bool closeWhileLoading(QCloseEvent& event);
    // The scale, base line and box that fit the drawing into the panel, kept as the view
    // scale of this paint.
    const MeshViewScale& fitDrawing();

    // Places the window in the frame, shown and active, width x height but no larger than
    // the area shows.
    QMdiSubWindow* showInFrame(int width, int height);

    // --- menus ---
    QAction* addItem(QMenu& menu, const QString& name, const QString& caption,
                     std::function<void()> handler);
    // A separator known by name (N1, N2, ...).
    void addSeparator(QMenu& menu, const QString& name);
    QMenu* newMenu(const QString& title);
    // Close (Ctrl+W), then the frame's Exit, at the end of a File menu.
    void addCloseAndExit(QMenu& file);
    // An Edit menu with Copy (Ctrl+C).
    QMenu* newCopyMenu();
    // A View menu with Top, Isometric and Zoom to Fit.
    QMenu* newViewMenu();
    // The menu bar: the window's own menus, then the frame's Window and Help menus.
    void setMenus(QList<QMenu*> own);

    WindowFrame& frame_;
    MenuItems items_;

private:
    MeshViewScale panelScale() const;

    TDraw3D* draw3D_ = nullptr;
    std::unique_ptr<LongRun> loadRun_;
    bool loadStopped_ = false;
    MeshViewScale scale_;
    ViewDrag drag_;
    QList<QMenu*> menus_;
};

// The end of opening a file in a new 3D window (an import, or a file named on the command
// line): a stopped load closes the window with "Process Cancelled..."; a file that gave
// nothing to show closes it too (the user has been told why). `shown` is what the load said.
enum class Opened { Shown, NothingToShow, Stopped };
Opened finishOpening(WindowFrame& frame, TView3DWindow& view, bool shown);

} // namespace corvane::gui
