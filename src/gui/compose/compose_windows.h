// The composition of the desktop program: the frame is handed the openers of every window
// kind it starts (pictures, the surface dialog, mesh views, the toolpaths and light
// direction dialogs) and the file kinds it imports (DXF meshes, DNC programs). main.cpp
// and the GUI tests build the same program through this one function.
#pragma once

class TCorvaneFrame;
class TfrmDirection;
class TfrmToolPaths;

namespace corvane::gui {

// The long-lived dialogs the composition made; the frame owns them (as Qt children) and
// they live as long as it does.
struct ComposedWindows {
    TfrmToolPaths* toolpaths = nullptr;
    TfrmDirection* direction = nullptr;
};

ComposedWindows composeWindows(TCorvaneFrame& frame);

} // namespace corvane::gui
