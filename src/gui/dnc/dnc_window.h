// TfrmDnc: the child window that shows a G-code program: on the left its rapid and feed moves
// as a rotatable 3D line drawing on the 3D panel, on the right the program's text. Opened by
// "Import &DNC File" and by a .dnc file on the command line. The mouse turns, pans and zooms
// the view as in the mesh view; while a button is held only the program's box is drawn.
#pragma once

#include "dnc/dnc_move.h"
#include "gui/app/child_window.h"
#include "gui/app/menu_items.h"
#include "gui/mesh/mesh_paint.h"
#include "gui/mesh/mouse_rules.h"
#include "simulation/simulate_dialog_model.h"

#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <optional>

class QAction;
class QMdiSubWindow;
class QMenu;
class QMouseEvent;
class QSplitter;
class TCorvaneFrame;
class TDncText;

namespace corvane::gui {
class TCanvas3D;
class TDraw3D;
} // namespace corvane::gui

class TfrmDnc : public QWidget, public TChildWindow {
public:
    // Creates the window in the frame, shown and active, captioned "View DNC File".
    explicit TfrmDnc(TCorvaneFrame& frame);
    ~TfrmDnc() override;

    // Reads the program into the move list and the text pane (once, right after creation),
    // captions the window with the file name and turns the view isometric. Esc typed during
    // the read sets the shared EscapePressed, and the caller closes the window. A file that
    // cannot be read is reported to the user; returns false then.
    bool LoadDncProgram(const QString& fileName);

    // --- handlers ---
    void Draw3DPaint(corvane::gui::TCanvas3D& canvas);
    void Draw3DMouseDown(QMouseEvent& event);
    void Draw3DMouseMove(QMouseEvent& event);
    void Draw3DMouseUp(QMouseEvent& event);
    void Top1Click();
    void Isometric1Click();
    void ZoomToFit1Click();
    // Asks for the tool and the stock, then shows what the program carves in a Cut Preview.
    void Simulate1Click();
    void Close1Click();
    void Exit1Click();
    void NewImage1Click();
    void LoadImage1Click();
    void ImportDNCFile1Click();
    void ImportDXFMesh1Click();
    void Tile1Click();
    void Cascade1Click();
    void Contents1Click();
    void About1Click();

    // TChildWindow
    QList<QMenu*> ChildMenus() const override { return menus_; }

    // --- what tests look at ---
    const corvane::dnc::DncProgram& Program() const { return program_; }
    corvane::gui::TDraw3D& Draw3D() const { return *draw3D_; }
    TDncText& DncText() const { return *dncText_; }
    QSplitter& Splitter1() const { return *splitter_; }
    bool BoxOnly() const { return drag_.boxOnly(); }
    // The scale and base line of the last paint.
    const corvane::gui::MeshViewScale& ViewScale() const { return scale_; }
    QMdiSubWindow* SubWindow() const;
    // Menu items by name (Top1, Isometric1, Close1, ImportDNCFile1, ...).
    QAction* MenuItem(const QString& name) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    // Places the divider at the drawing's share of the width.
    void applyDrawingShare();
    void buildMenus();
    QAction* addItem(QMenu& menu, const QString& name, const QString& caption,
                     std::function<void()> handler);
    void showStatus(const QString& text);
    // The scale that fits the box's x and y ranges into the drawing's panel.
    corvane::gui::MeshViewScale drawingScale(corvane::Extents3D& box) const;

    TCorvaneFrame& frame_;
    corvane::gui::TDraw3D* draw3D_ = nullptr;
    QSplitter* splitter_ = nullptr;
    TDncText* dncText_ = nullptr;
    corvane::dnc::DncProgram program_;
    // What the user last asked to simulate with, offered again.
    std::optional<corvane::simulation::SimulateDialogTexts> simulateTexts_;
    corvane::gui::MeshViewScale scale_;
    corvane::gui::ViewDrag drag_;
    bool loading_ = false;
    double drawingShare_ = 1.0 / 3; // of the splitter's width less the divider
    QList<QMenu*> menus_;
    corvane::gui::MenuItems items_;
};

namespace corvane::gui {

// The frame's opener of DNC files (Import &DNC File and the command line): a new DNC view in
// 3D mode, turned to rotation and elevation 0, reading the file; closed again when Esc was
// pressed during the read, or when a file named on the command line cannot be read.
void OpenDncFile(TCorvaneFrame& frame, const QString& fileName);

} // namespace corvane::gui
