// What the adjustment and texture-shade dialogs share: taking the part of the picture they
// work on, stepping back over every preview, and handing the preview back to the picture
// window they work on.
#pragma once

#include "imaging/picture.h"
#include "imaging/selection.h"

#include <optional>

class TfrmPicture;
class TTwistedPixel;

namespace corvane::gui {

// The part of a picture a dialog works on: what Copy would take, the selection when there
// is one, else the whole picture; and where it came from, so that Apply puts it back there.
struct PreviewSource {
    corvane::imaging::Picture picture;
    std::optional<corvane::imaging::PixelRect> place; // unset: the whole picture
};

PreviewSource takePreviewSource(const TTwistedPixel& control);

// Undoes every level of the preview control. Should more previews have been made than its
// undo keeps, the preview still ends up as the picture the dialog started from.
void undoAllPreviews(TTwistedPixel& preview, const corvane::imaging::Picture& original);

// Puts the preview into the target where its source came from, as one undo level of the
// target; the target's selection and the clipboard are left alone. Nothing without a target.
void applyPreview(TfrmPicture* target, const TTwistedPixel& preview, const PreviewSource& source);

} // namespace corvane::gui
