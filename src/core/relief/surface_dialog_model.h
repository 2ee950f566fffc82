// The state of the "Create DXF Surface" / "Create G-Code File" dialog without any widgets:
// the edit texts with their defaults from the picture, the coupling of sizes and steps
// while "Keep Aspect Ratio" is checked, the enabling rules and the reading of every field
// into ReliefParameters. The desktop dialog binds its widgets to it and the command line
// drives it as if typing, so both give identical files.
#pragma once

#include "relief/relief_parameters.h"

#include <array>
#include <string>
#include <vector>

namespace corvane::relief {

enum class SurfaceMode { DxfSurface, GCode };

enum class SurfaceEdit {
    SizeX,        // Edit1
    SizeY,        // Edit2
    StepX,        // Edit3
    StepY,        // Edit4
    Depth,        // Edit5
    DepthPerPass, // Edit7, G-code only
    Feedrate,     // Edit6, G-code only
    RapidHeight,  // Edit8, G-code only
    Diameter,     // txtDia
    IncludedAngle // txtIncluded
};
inline constexpr int SurfaceEditCount = 10;

// The controls whose enabled state follows the check box and the tool list.
enum class SurfaceControl {
    GougeGroup,        // Frm1
    ToolList,          // cmbType and its label "Tool Type"
    DiameterEdit,      // txtDia and its label "Diameter"
    IncludedAngleEdit, // txtIncluded and its label "Included Angle"
};

// What the dialog needs to know of its source picture. Resolutions are pixels per unit and
// may be 0 when the file gave none.
struct SurfaceSource {
    int width = 0;
    int height = 0;
    int xRes = 0;
    int yRes = 0;
};

class SurfaceDialogModel {
public:
    // FormCreate: the defaults for this picture. The grid is the picture with a one-cell
    // white frame for the DXF surface, without it for G-code.
    SurfaceDialogModel(SurfaceMode mode, const SurfaceSource& source);

    SurfaceMode mode() const { return mode_; }
    const char* caption() const;
    int gridRows() const { return rows_; }
    int gridCols() const { return cols_; }
    // The resolution after repair (0 becomes the other axis's, or 100): the caller writes it
    // back to the picture.
    int xRes() const { return xRes_; }
    int yRes() const { return yRes_; }
    double aspectRatio() const { return aspectRatio_; }

    static const char* label(SurfaceEdit edit);
    static const char* hint(SurfaceEdit edit); // "" when there is none
    // Feedrate, Depth / Pass and Rapid Height (edits and labels) show in G-code mode only.
    bool isVisible(SurfaceEdit edit) const;
    bool isEnabled(SurfaceControl control) const;

    const std::string& text(SurfaceEdit edit) const;
    // The user typed `text` into `edit`: runs its change handler. Returns the other edits
    // that the coupling rewrote (the dialog refreshes them without running their handlers).
    std::vector<SurfaceEdit> setText(SurfaceEdit edit, const std::string& text);

    bool keepAspectRatio() const { return keepAspect_; }
    void setKeepAspectRatio(bool checked) { keepAspect_ = checked; }
    bool useGougeControl() const { return useGouge_; }
    void setUseGougeControl(bool checked) { useGouge_ = checked; }
    // "Protect Moves Between Samples" (G-code mode, enabled with gouge control): read as
    // ReliefParameters::protectMoves. Off by default.
    bool protectMoves() const { return protectMoves_; }
    void setProtectMoves(bool checked) { protectMoves_ = checked; }

    static const std::array<std::string, 3>& toolItems(); // "End Mill", "Ball Mill", "V Bit"
    const std::string& toolText() const { return toolText_; }
    int toolIndex() const { return toolIndex_; } // -1 when the text is none of the items
    void setToolText(const std::string& text);   // typed into the editable list
    void setToolIndex(int index);                // picked from the list; -1 clears it

    // Create: every field the mode uses, read and checked. Throws corvane::Error with a
    // message naming the field ("Step X: \"1,5\" is not a number") on refusal. A diameter
    // of 0 with gouge control on is not refused here: the run shows its own message.
    ReliefParameters read() const;

    // The tool as typed in the group, read even with gouge control off: a preview carves
    // with it either way. Throws corvane::Error naming Diameter or Included Angle.
    struct Tool {
        ToolShape shape = ToolShape::EndMill;
        double diameter = 0;
        int includedAngle = 60; // V Bit only
    };
    Tool readTool() const;

private:
    std::string& slot(SurfaceEdit edit) { return texts_[static_cast<std::size_t>(edit)]; }
    void coupleSizeX(double v, std::vector<SurfaceEdit>& changed);
    void coupleSizeY(double v, std::vector<SurfaceEdit>& changed);
    void coupleStep(double s, SurfaceEdit own, std::vector<SurfaceEdit>& changed);
    void write(SurfaceEdit edit, double v, std::vector<SurfaceEdit>& changed);

    SurfaceMode mode_;
    int rows_ = 0, cols_ = 0;
    int xRes_ = 0, yRes_ = 0;
    double aspectRatio_ = 1;
    bool keepAspect_ = true;
    bool useGouge_ = true;
    bool protectMoves_ = false;
    bool updating_ = false;
    std::string toolText_ = toolShapeNames()[0];
    int toolIndex_ = 0;
    std::array<std::string, SurfaceEditCount> texts_;
};

} // namespace corvane::relief
