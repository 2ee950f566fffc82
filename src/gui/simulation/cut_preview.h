// TfrmCutPreview: the "Cut Preview" child window. It shows the surface a program will carve
// as a shaded, rotatable relief on the 3D panel, turned and zoomed with the mouse as in the
// mesh view (only the box is drawn while a button is held). When the relief the program was
// made from is known, View > Deviation colours it by how far each spot lies from that
// relief and shows the key below; the simulation's figures show in a line under the drawing,
// and go to the status bar whenever the window becomes active. The carved surface and the deviation map can be saved as
// pictures.
#pragma once

#include "gui/app/child_window.h"
#include "gui/app/menu_items.h"
#include "gui/mesh/mesh_paint.h"
#include "gui/mesh/mouse_rules.h"
#include "simulation/preview_surface.h"

#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

class QAction;
class QLabel;
class QMdiSubWindow;
class QMenu;
class QMouseEvent;
class TCorvaneFrame;

namespace corvane::gui {
class TCanvas3D;
class TDeviationLegend;
class TDraw3D;
} // namespace corvane::gui

class TfrmCutPreview : public QWidget, public TChildWindow {
public:
    // Creates the window in the frame, shown and active, with the simulation's surface in the
    // isometric view; `source` names what was simulated, for the caption.
    TfrmCutPreview(TCorvaneFrame& frame, corvane::simulation::Simulation simulation,
                   const QString& source);
    ~TfrmCutPreview() override;

    // --- handlers ---
    void Top1Click();
    void Isometric1Click();
    void ZoomToFit1Click();
    void Deviation1Click();
    void Copy1Click();
    // The carved surface as a 16-bit PGM, the deviation map as a colour PNG.
    void SaveCarved1Click();
    void SaveDeviation1Click();
    void Close1Click();
    void Draw3DPaint(corvane::gui::TCanvas3D& canvas);
    void Draw3DMouseDown(QMouseEvent& event);
    void Draw3DMouseMove(QMouseEvent& event);
    void Draw3DMouseUp(QMouseEvent& event);

    // TChildWindow
    QList<QMenu*> ChildMenus() const override { return menus_; }
    void FormActivate() override;

    // --- what tests look at ---
    corvane::gui::TDraw3D& Draw3D() const { return *draw3D_; }
    corvane::gui::TDeviationLegend& Legend() const { return *legend_; }
    const corvane::simulation::PreviewSurface& Surface() const { return surface_; }
    const QString& Figures() const { return figures_; }
    // The line under the drawing that shows the figures whole.
    const QLabel& FiguresLine() const { return *figuresLine_; }
    bool ByDeviation() const { return byDeviation_; }
    bool BoxOnly() const { return drag_.boxOnly(); }
    QMdiSubWindow* SubWindow() const;
    QAction* MenuItem(const QString& name) const;

private:
    void buildMenus();
    std::optional<QString> askSaveName(const QString& filter, const QString& extension);
    void reportSaveFailure(const QString& what);

    TCorvaneFrame& frame_;
    corvane::gui::TDraw3D* draw3D_ = nullptr;
    corvane::gui::TDeviationLegend* legend_ = nullptr;
    QLabel* figuresLine_ = nullptr;
    corvane::simulation::Simulation simulation_;
    corvane::simulation::PreviewSurface surface_;
    QString figures_;
    corvane::gui::MeshViewScale scale_;
    corvane::gui::ViewDrag drag_;
    bool byDeviation_ = false;
    QList<QMenu*> menus_;
    corvane::gui::MenuItems items_;
};
