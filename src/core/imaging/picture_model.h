// The document behind an imaging control: one picture, its undo levels, the selection, and
// the operations the clipboard commands, the image commands and plug-ins perform on it.
// No window-system types: the widget converts to and from its own.
//
// Every change that alters pixels (process, cut, paste, clear, plug-ins) keeps the picture
// as it was before as one undo level, up to undoSize() levels, the oldest dropped first. An
// operation that throws leaves the model exactly as it was.
#pragma once

#include "common/run_control.h"
#include "imaging/picture.h"
#include "imaging/picture_io.h"
#include "imaging/selection.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>

namespace corvane::imaging {

class PictureModel {
public:
    static constexpr int defaultUndoSize = 10;

    explicit PictureModel(int undoSize = defaultUndoSize);

    // --- the picture ---
    bool hasImage() const { return !picture_.empty(); }
    const Picture& picture() const { return picture_; }
    int width() const { return picture_.width; }
    int height() const { return picture_.height; }
    int bitCount() const { return hasImage() ? picture_.bitCount : 0; }
    int xRes() const { return picture_.xRes; }
    int yRes() const { return picture_.yRes; }
    void setXRes(int pixelsPerInch);
    void setYRes(int pixelsPerInch);

    // Reads a file into the model: a new document, so the undo levels and the selection go.
    // On failure throws corvane::Error and the model keeps what it had.
    void load(const std::string& path, RunControl& control = silentRunControl());
    void save(const std::string& path, int fileType,
              RunControl& control = silentRunControl()) const;
    // Takes a picture as a new document (no undo level).
    void assign(Picture picture);

    // Empties the picture; the old one stays reachable through undo.
    void clear();

    // Runs an operation on the picture and keeps the result; the previous picture becomes
    // one undo level. If the operation throws, or returns a picture that does not hold
    // together (corvane::Error), nothing changes. The selection survives when the size does.
    // A 16-bit depth map is refused with NeedsReductionMessage (corvane::Error): the caller
    // asks, calls reduceTo256Levels() and runs the operation again.
    void process(const std::function<Picture(const Picture&)>& operation);
    static constexpr const char* NeedsReductionMessage =
        "The picture is a 16-bit depth map; reduce it to 256 levels first.";

    // A 16-bit depth map becomes an 8-bit grey picture of its nearest levels (one undo
    // level); false, and nothing changes, for any other picture.
    bool reduceTo256Levels();

    // --- undo ---
    int undoSize() const { return undoSize_; }
    void setUndoSize(int levels); // 0 switches undo off; fewer levels drop the oldest
    int undoLevels() const { return int(undo_.size()); }
    // Undo levels are whole pictures: ten of a 600 dpi colour scan would be gigabytes. Beyond
    // this many bytes the oldest levels go early, though the newest one always stays.
    static constexpr std::size_t defaultUndoMemoryLimit = std::size_t(2) << 30;
    void setUndoMemoryLimit(std::size_t bytes);
    // Steps back one level; false when there was none.
    bool undo();

    // After an exception escaped an operation half way: makes the model sound again. A
    // picture that no longer holds together is replaced by the last undo level (or emptied),
    // and a selection outside the picture is dropped.
    void recoverFromError();

    // --- selection (picture coordinates, always inside the picture) ---
    bool hasSelection() const { return selection_.has_value(); }
    std::optional<PixelRect> selection() const { return selection_; }
    // Clamps to the picture; a rectangle with nothing inside releases the selection.
    void select(PixelRect area);
    void releaseSelection()
    {
        selection_.reset();
        ++revision_;
    }

    // Keeps only the selected part (one undo level); nothing happens without a selection.
    void cropToSelection();

    // --- clipboard operations ---
    // The selection, or the whole picture when nothing is selected.
    Picture copy() const;
    // As copy(), then paints what was copied white (one undo level).
    Picture cut();
    // Without a selection the pasted picture replaces the whole picture, size and depth
    // included; with one it is drawn into the selection, cut off at its edges. One undo
    // level either way (none when there was no picture before).
    void paste(const Picture& pasted);

    // Goes up with every change of the picture or the selection, so a view can tell whether
    // what it drew is still current.
    unsigned long revision() const { return revision_; }
    // Goes up with changes of the picture only (pixels, size, depth, resolution): for views
    // that keep something costly made from the pixels, such as a scaled copy.
    unsigned long pictureRevision() const { return pictureRevision_; }

    // --- plug-in filters ---
    // Runs the program as a filter over the picture (see plugin_filter.h); one undo level.
    // Esc kills the program and throws corvane::Cancelled; the picture stays as it was.
    void runPlugin(const std::string& programPath, RunControl& control = silentRunControl());

private:
    void keepForUndo();
    void trimUndoToMemoryLimit();
    void replace(Picture next);

    Picture picture_;
    std::deque<Picture> undo_; // newest at the back
    int undoSize_;
    std::size_t undoMemoryLimit_ = defaultUndoMemoryLimit;
    std::optional<PixelRect> selection_;
    unsigned long revision_ = 0;
    unsigned long pictureRevision_ = 0;
};

} // namespace corvane::imaging
