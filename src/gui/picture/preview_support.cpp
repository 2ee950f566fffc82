#include "gui/picture/preview_support.h"

#include "gui/picture/picture_window.h"
#include "gui/picture/twisted_pixel.h"
#include "imaging/picture_model.h"

namespace corvane::gui {

namespace {
bool samePicture(const corvane::imaging::Picture& a, const corvane::imaging::Picture& b)
{
    return a.width == b.width && a.height == b.height && a.bitCount == b.bitCount &&
           a.palette == b.palette && a.pixels == b.pixels;
}
} // namespace

PreviewSource takePreviewSource(const TTwistedPixel& control)
{
    const corvane::imaging::PictureModel& model = control.Model();
    return {model.copy(), model.selection()};
}

void undoAllPreviews(TTwistedPixel& preview, const corvane::imaging::Picture& original)
{
    for (int n = preview.UndoLevels(); n > 0; --n)
        preview.Undo();
    if (!samePicture(preview.Picture(), original)) {
        preview.Model().assign(original);
        preview.update();
    }
}

void applyPreview(TfrmPicture* target, const TTwistedPixel& preview, const PreviewSource& source)
{
    if (target)
        target->TP->PastePictureAt(preview.Picture(), source.place);
}

} // namespace corvane::gui
