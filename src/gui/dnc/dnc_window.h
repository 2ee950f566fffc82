// TfrmDnc: the child window that shows a G-code program: on the left its rapid and feed moves
// as a rotatable 3D line drawing (a 3D window, TView3DWindow), on the right its text. Opened by
// "Import &DNC File" and by a .dnc file on the command line. The mouse turns, pans and zooms
// the view as in the mesh view; while a button is held only the program's box is drawn.
#pragma once

#include "dnc/dnc_move.h"
#include "gui/draw3d/view3d_window.h"
#include "simulation/simulate_dialog_model.h"

#include <QString>
#include <memory>
#include <optional>

class QSplitter;
namespace corvane::gui {
class WindowFrame;
}
class TDncText;

class TfrmDnc : public corvane::gui::TView3DWindow {
public:
    // Creates the window in the frame, shown and active, captioned "View DNC File".
    explicit TfrmDnc(corvane::gui::WindowFrame& frame);
    ~TfrmDnc() override;

    // Reads the program into the move list and the text pane (once, right after creation),
    // captions the window with the file name and turns the view isometric. Esc, or closing
    // the window, during the read stops it (LoadStopped; the caller closes the window). A
    // file that cannot be read is reported to the user. False unless the program was read.
    bool LoadDncProgram(const QString& fileName);

    // --- handlers ---
    // Asks for the tool and the stock, then shows what the program carves in a Cut Preview.
    void Simulate1Click();

    // --- what tests look at ---
    const corvane::dnc::DncProgram& Program() const { return program_; }
    TDncText& DncText() const { return *dncText_; }
    QSplitter& Splitter1() const { return *splitter_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    corvane::Extents3D drawingExtents() const override { return program_.extents; }
    void paintView(corvane::gui::TCanvas3D& canvas) override;

private:
    void buildMenus();
    void showStatus(const QString& text);
    // Places the divider at the drawing's share of the width.
    void applyDrawingShare();

    QSplitter* splitter_ = nullptr;
    TDncText* dncText_ = nullptr;
    corvane::dnc::DncProgram program_;
    // What the user last asked to simulate with, offered again.
    std::optional<corvane::simulation::SimulateDialogTexts> simulateTexts_;
    double drawingShare_ = 1.0 / 3; // of the splitter's width less the divider
};

namespace corvane::gui {

// The frame's opener of DNC files (Import &DNC File and the command line): a new DNC view in
// 3D mode, turned to rotation and elevation 0, reading the file; closed again when Esc was
// pressed during the read, or when a file named on the command line cannot be read.
void OpenDncFile(corvane::gui::WindowFrame& frame, const QString& fileName);

} // namespace corvane::gui
