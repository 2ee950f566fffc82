// What the adjustment and texture-shade dialogs share: stepping back over every preview,
// and handing the preview to the picture window they work on.
#pragma once

#include "imaging/picture.h"

namespace corvane::gui {
class WindowFrame;
}
class TTwistedPixel;

namespace corvane::gui {

// Undoes every level of the preview control. Should more previews have been made than its
// undo keeps, the preview still ends up as the picture the dialog started from.
void undoAllPreviews(TTwistedPixel& preview, const corvane::imaging::Picture& original);

// Replaces the picture of the window at TargetChildIndex, found now, with the preview's;
// nothing when that window is not a picture window. The clipboard is left alone.
void applyPreview(corvane::gui::WindowFrame& frame, const TTwistedPixel& preview);

} // namespace corvane::gui
