// TfrmCutPreview: the "Cut Preview" child window. It shows the surface a program will carve
// as a shaded, rotatable relief on the 3D panel, turned and zoomed with the mouse as in the
// mesh view (only the box is drawn while a button is held). When the relief the program was
// made from is known, View > Deviation colours it by how far each spot lies from that
// relief and shows the key below; the simulation's figures show in a line under the drawing,
// and go to the status bar whenever the window becomes active. The carved surface and the
// deviation map can be saved as pictures. After a roughing program and the finishing program
// carved in order, View shows either the stock the roughing leaves or the final surface, and
// the figures add the roughing time and the finishing tool's load.
#pragma once

#include "gui/draw3d/view3d_window.h"
#include "simulation/preview_surface.h"
#include "simulation/simulate_sequence.h"

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
    // The same for two programs carved in order: the final surface first, the stock after
    // the first program one View choice away.
    TfrmCutPreview(corvane::gui::WindowFrame& frame,
                   corvane::simulation::SequenceSimulation sequence, const QString& source);
    ~TfrmCutPreview() override;

    // --- handlers ---
    void Deviation1Click();
    // "Stock After Roughing" and "Final Surface": which of the two carved surfaces shows.
    void StockAfterRoughing1Click();
    void FinalSurface1Click();
    // The carved surface shown as a 16-bit PGM, its deviation map as a colour PNG.
    void SaveCarved1Click();
    void SaveDeviation1Click();

    // TChildWindow
    void FormActivate() override;

    // --- what tests look at ---
    corvane::gui::TDeviationLegend& Legend() const { return *legend_; }
    // The surface shown (the final one unless View > Stock After Roughing is chosen).
    const corvane::simulation::PreviewSurface& Surface() const;
    // The stock after roughing, when a roughing program was carved first.
    const std::optional<corvane::simulation::PreviewSurface>& RoughedSurface() const
    {
        return roughedSurface_;
    }
    bool ShowsRoughedStock() const { return showRoughed_; }
    const QString& Figures() const { return figures_; }
    // The line under the drawing that shows the figures whole.
    const QLabel& FiguresLine() const { return *figuresLine_; }
    bool ByDeviation() const { return byDeviation_; }

protected:
    corvane::Extents3D drawingExtents() const override;
    void paintView(corvane::gui::TCanvas3D& canvas) override;

private:
    TfrmCutPreview(corvane::gui::WindowFrame& frame, corvane::simulation::Simulation&& simulation,
                   std::optional<corvane::simulation::Simulation>&& roughed,
                   const std::string& figures, const QString& source);
    const corvane::simulation::Simulation& shownSimulation() const;
    void showRoughed(bool roughed);
    void buildMenus();
    void reportSaveFailure(const QString& what);

    corvane::gui::TDeviationLegend* legend_ = nullptr;
    QLabel* figuresLine_ = nullptr;
    corvane::simulation::Simulation simulation_;
    corvane::simulation::PreviewSurface surface_;
    // What the roughing program left, before the finishing program carved it.
    std::optional<corvane::simulation::Simulation> roughed_;
    std::optional<corvane::simulation::PreviewSurface> roughedSurface_;
    QString figures_;
    bool byDeviation_ = false;
    bool showRoughed_ = false;
};
