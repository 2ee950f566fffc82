// TfrmCutPreview: the "Cut Preview" child window. It shows the surface a program will carve
// as a shaded, rotatable relief on the 3D panel, turned and zoomed with the mouse as in the
// mesh view (only the box is drawn while a button is held). When the relief the program was
// made from is known, View > Deviation colours it by how far each spot lies from that
// relief and shows the key below; the simulation's figures show in a line under the drawing,
// and go to the status bar whenever the window becomes active. The carved surface and the
// deviation map can be saved as pictures.
#pragma once

#include "gui/draw3d/view3d_window.h"
#include "simulation/preview_surface.h"

#include <QString>
#include <optional>

class QLabel;

namespace corvane::gui {
class WindowFrame;
}

namespace corvane::gui {
class TDeviationLegend;
} // namespace corvane::gui

class TfrmCutPreview : public corvane::gui::TView3DWindow {
public:
    // Creates the window in the frame, shown and active, with the simulation's surface in the
    // isometric view; `source` names what was simulated, for the caption.
    TfrmCutPreview(corvane::gui::WindowFrame& frame, corvane::simulation::Simulation simulation,
                   const QString& source);
    ~TfrmCutPreview() override;

    // --- handlers ---
    void Deviation1Click();
    // The carved surface as a 16-bit PGM, the deviation map as a colour PNG.
    void SaveCarved1Click();
    void SaveDeviation1Click();

    // TChildWindow
    void FormActivate() override;

    // --- what tests look at ---
    corvane::gui::TDeviationLegend& Legend() const { return *legend_; }
    const corvane::simulation::PreviewSurface& Surface() const { return surface_; }
    const QString& Figures() const { return figures_; }
    // The line under the drawing that shows the figures whole.
    const QLabel& FiguresLine() const { return *figuresLine_; }
    bool ByDeviation() const { return byDeviation_; }

protected:
    corvane::Extents3D drawingExtents() const override;
    void paintView(corvane::gui::TCanvas3D& canvas) override;

private:
    void buildMenus();
    std::optional<QString> askSaveName(const QString& filter, const QString& extension);
    void reportSaveFailure(const QString& what);

    corvane::gui::TDeviationLegend* legend_ = nullptr;
    QLabel* figuresLine_ = nullptr;
    corvane::simulation::Simulation simulation_;
    corvane::simulation::PreviewSurface surface_;
    QString figures_;
    bool byDeviation_ = false;
};
