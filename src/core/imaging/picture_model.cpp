#include "imaging/picture_model.h"

#include "common/error.h"
#include "imaging/depth_levels.h"
#include "imaging/picture_edit.h"
#include "imaging/plugin_filter.h"

#include <algorithm>

namespace corvane::imaging {

PictureModel::PictureModel(int undoSize) : undoSize_(std::max(undoSize, 0)) {}

void PictureModel::setXRes(int pixelsPerInch)
{
    ++revision_;
    ++pictureRevision_;
    picture_.xRes = std::max(pixelsPerInch, 0);
}

void PictureModel::setYRes(int pixelsPerInch)
{
    ++revision_;
    ++pictureRevision_;
    picture_.yRes = std::max(pixelsPerInch, 0);
}

void PictureModel::load(const std::string& path, RunControl& control)
{
    assign(readPicture(path, control));
}

void PictureModel::save(const std::string& path, int fileType, RunControl& control) const
{
    writePicture(picture_, path, fileType, {}, control);
}

void PictureModel::assign(Picture picture)
{
    ++revision_;
    ++pictureRevision_;
    picture_ = std::move(picture);
    undo_.clear();
    selection_.reset();
}

void PictureModel::clear()
{
    if (!hasImage())
        return;
    ++revision_;
    ++pictureRevision_;
    keepForUndo();
    picture_ = Picture{};
    selection_.reset();
}

void PictureModel::process(const std::function<Picture(const Picture&)>& operation)
{
    // The image commands and plug-ins work on 8 or 24 bits; handing them 16-bit samples
    // would read them as palette indexes or colours.
    if (picture_.deep())
        throw Error(NeedsReductionMessage);
    Picture next = operation(picture_);
    // A broken result would crash the drawing later; refuse it while the old picture is here.
    if (!isConsistent(next))
        throw Error("the operation produced a damaged picture; the picture is unchanged");
    replace(std::move(next));
}

bool PictureModel::reduceTo256Levels()
{
    if (!picture_.deep())
        return false;
    replace(reducedTo256Levels(picture_));
    return true;
}

void PictureModel::replace(Picture next)
{
    ++revision_;
    ++pictureRevision_;
    const bool sameSize = next.width == picture_.width && next.height == picture_.height;
    keepForUndo();
    picture_ = std::move(next);
    if (!sameSize)
        selection_.reset();
}

void PictureModel::keepForUndo()
{
    // An empty picture is not worth going back to: a paste after Clear (as Crop does it)
    // then undoes to the picture before the Clear in one step.
    if (undoSize_ == 0 || picture_.empty())
        return;
    if (int(undo_.size()) == undoSize_)
        undo_.pop_front();
    undo_.push_back(picture_);
    trimUndoToMemoryLimit();
}

void PictureModel::trimUndoToMemoryLimit()
{
    std::size_t bytes = 0;
    for (const Picture& level : undo_)
        bytes += level.pixels.size();
    while (undo_.size() > 1 && bytes > undoMemoryLimit_) {
        bytes -= undo_.front().pixels.size();
        undo_.pop_front();
    }
}

void PictureModel::setUndoMemoryLimit(std::size_t bytes)
{
    undoMemoryLimit_ = bytes;
    trimUndoToMemoryLimit();
}

void PictureModel::setUndoSize(int levels)
{
    undoSize_ = std::max(levels, 0);
    while (int(undo_.size()) > undoSize_)
        undo_.pop_front();
}

bool PictureModel::undo()
{
    if (undo_.empty())
        return false;
    ++revision_;
    ++pictureRevision_;
    const bool sameSize =
        undo_.back().width == picture_.width && undo_.back().height == picture_.height;
    picture_ = std::move(undo_.back());
    undo_.pop_back();
    if (!sameSize)
        selection_.reset();
    return true;
}

void PictureModel::recoverFromError()
{
    ++revision_;
    ++pictureRevision_;
    while (!isConsistent(picture_)) {
        if (undo_.empty()) {
            picture_ = Picture{};
            break;
        }
        picture_ = std::move(undo_.back());
        undo_.pop_back();
    }
    if (selection_ && clampedTo(*selection_, picture_.width, picture_.height) != *selection_)
        selection_.reset();
}

void PictureModel::select(PixelRect area)
{
    ++revision_;
    const PixelRect inside = clampedTo(area, picture_.width, picture_.height);
    if (inside.empty())
        selection_.reset();
    else
        selection_ = inside;
}

void PictureModel::cropToSelection()
{
    if (!selection_ || !hasImage())
        return;
    replace(cropped(picture_, *selection_));
    selection_.reset();
}

Picture PictureModel::copy() const
{
    if (!selection_)
        return picture_;
    return cropped(picture_, *selection_);
}

Picture PictureModel::cut()
{
    Picture taken = copy();
    if (!hasImage())
        return taken;
    const PixelRect area = selection_.value_or(PixelRect{0, 0, picture_.width, picture_.height});
    Picture next = picture_;
    fill(next, area, Rgb{255, 255, 255});
    replace(std::move(next));
    return taken;
}

void PictureModel::paste(const Picture& pasted)
{
    if (pasted.empty())
        return;
    if (!selection_ || !hasImage()) {
        replace(pasted);
        selection_.reset();
        return;
    }
    Picture next = picture_;
    pasteInto(next, pasted, *selection_);
    replace(std::move(next));
}

void PictureModel::runPlugin(const std::string& programPath, RunControl& control)
{
    process([&](const Picture& p) { return runPluginFilter(programPath, p, control); });
}

} // namespace corvane::imaging
