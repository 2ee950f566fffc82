// The picture document: undo levels, the selection, the clipboard operations and recovery.
#include "common/error.h"
#include "imaging/picture_edit.h"
#include "imaging/picture_model.h"
#include "imaging_test_pictures.h"

#include <gtest/gtest.h>

namespace corvane::imaging {
namespace {

using testing::colourPicture;
using testing::palettePicture;

Picture filled(int width, int height, Rgb colour)
{
    Picture p = colourPicture(width, height);
    fill(p, {0, 0, width, height}, colour);
    return p;
}

TEST(PictureModel, KeepsAtMostUndoSizeLevelsDroppingTheOldest)
{
    PictureModel model(3);
    model.assign(filled(4, 4, {0, 0, 0}));
    for (std::uint8_t step = 1; step <= 5; ++step)
        model.process([step](const Picture& p) {
            Picture next = p;
            fill(next, {0, 0, 4, 4}, {step, step, step});
            return next;
        });
    EXPECT_EQ(model.undoLevels(), 3);
    EXPECT_TRUE(model.undo());
    EXPECT_TRUE(model.undo());
    EXPECT_TRUE(model.undo());
    EXPECT_FALSE(model.undo());
    EXPECT_EQ(model.picture().pixel(0, 0), (Rgb{2, 2, 2})); // steps 0 and 1 were dropped

    model.process([](const Picture& p) { return p; });
    model.setUndoSize(0);
    EXPECT_EQ(model.undoLevels(), 0);
    model.process([](const Picture& p) { return p; });
    EXPECT_EQ(model.undoLevels(), 0);
}

TEST(PictureModel, BigPicturesKeepFewerUndoLevelsButAlwaysOne)
{
    PictureModel model(10);
    model.setUndoMemoryLimit(3 * 10 * 10 * 3); // three levels of a 10 x 10 colour picture
    model.assign(colourPicture(10, 10));
    for (int i = 0; i < 5; ++i)
        model.process([](const Picture& p) { return p; });
    EXPECT_EQ(model.undoLevels(), 3);
    model.setUndoMemoryLimit(1);
    EXPECT_EQ(model.undoLevels(), 1);
    model.process([](const Picture& p) { return p; });
    EXPECT_EQ(model.undoLevels(), 1);
}

TEST(PictureModel, AFailingOperationChangesNothing)
{
    PictureModel model;
    model.assign(colourPicture(5, 5));
    model.select({1, 1, 2, 2});
    const Picture before = model.picture();
    EXPECT_THROW(model.process([](const Picture&) -> Picture { throw Error("no memory"); }), Error);
    EXPECT_EQ(model.picture().pixels, before.pixels);
    EXPECT_EQ(model.undoLevels(), 0);
    EXPECT_TRUE(model.hasSelection());
}

TEST(PictureModel, SelectionIsClampedAndCopiedWithDepthAndPalette)
{
    PictureModel model;
    model.assign(palettePicture(10, 6, 4));
    model.select({7, 4, 10, 10});
    ASSERT_TRUE(model.hasSelection());
    EXPECT_EQ(*model.selection(), (PixelRect{7, 4, 3, 2}));
    const Picture part = model.copy();
    EXPECT_EQ(part.width, 3);
    EXPECT_EQ(part.height, 2);
    EXPECT_EQ(part.bitCount, 4);
    EXPECT_EQ(part.pixel(0, 0), model.picture().pixel(7, 4));
    EXPECT_EQ(part.pixel(2, 1), model.picture().pixel(9, 5));

    model.select({20, 20, 5, 5}); // nothing of it inside
    EXPECT_FALSE(model.hasSelection());
    EXPECT_EQ(model.copy().width, 10); // no selection: the whole picture
}

TEST(PictureModel, CutTakesTheSelectionAndLeavesWhiteThatCanBeUndone)
{
    PictureModel model;
    model.assign(colourPicture(6, 6));
    const Picture original = model.picture();
    model.select({2, 3, 2, 2});
    const Picture taken = model.cut();
    EXPECT_EQ(taken.width, 2);
    EXPECT_EQ(taken.pixel(0, 0), original.pixel(2, 3));
    EXPECT_EQ(model.picture().pixel(3, 4), (Rgb{255, 255, 255}));
    EXPECT_EQ(model.picture().pixel(1, 3), original.pixel(1, 3));
    EXPECT_EQ(model.undoLevels(), 1);
    model.undo();
    EXPECT_EQ(model.picture().pixels, original.pixels);
}

TEST(PictureModel, PasteWithoutSelectionReplacesThePictureSizeAndDepthIncluded)
{
    PictureModel model;
    model.assign(colourPicture(20, 10));
    model.paste(palettePicture(3, 7, 8));
    EXPECT_EQ(model.width(), 3);
    EXPECT_EQ(model.height(), 7);
    EXPECT_EQ(model.bitCount(), 8);
    EXPECT_EQ(model.undoLevels(), 1);
    model.undo();
    EXPECT_EQ(model.width(), 20);
}

TEST(PictureModel, PasteIntoASelectionIsCutOffAtItsEdges)
{
    PictureModel model;
    model.assign(filled(6, 6, {0, 0, 0}));
    model.select({4, 1, 2, 2});
    model.paste(filled(5, 5, {9, 8, 7}));
    EXPECT_EQ(model.width(), 6);
    EXPECT_EQ(model.picture().pixel(5, 2), (Rgb{9, 8, 7}));
    EXPECT_EQ(model.picture().pixel(3, 1), (Rgb{0, 0, 0}));
    EXPECT_EQ(model.picture().pixel(4, 3), (Rgb{0, 0, 0}));
}

TEST(PictureModel, PasteIntoAPaletteSelectionKeepsTheDepthWithNearestColours)
{
    PictureModel model;
    Picture grey = palettePicture(4, 4, 8);
    for (int i = 0; i < 256; ++i)
        grey.palette[i] = {std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)};
    model.assign(grey);
    model.select({0, 0, 2, 2});
    model.paste(filled(2, 2, {100, 102, 101}));
    EXPECT_EQ(model.bitCount(), 8);
    EXPECT_EQ(model.picture().pixel(1, 1), (Rgb{101, 101, 101}));
}

TEST(PictureModel, CropAsClearAndPasteIsOneUndoStep)
{
    PictureModel model;
    model.assign(colourPicture(8, 8));
    model.select({2, 2, 3, 3});
    const Picture part = model.copy();
    model.releaseSelection();
    model.clear();
    EXPECT_FALSE(model.hasImage());
    model.paste(part);
    EXPECT_EQ(model.width(), 3);
    EXPECT_EQ(model.undoLevels(), 1);
    model.undo();
    EXPECT_EQ(model.width(), 8);

    model.select({1, 2, 4, 3});
    model.cropToSelection();
    EXPECT_EQ(model.width(), 4);
    EXPECT_EQ(model.height(), 3);
    EXPECT_FALSE(model.hasSelection());
    EXPECT_EQ(model.picture().pixel(0, 0), colourPicture(8, 8).pixel(1, 2));
    model.cropToSelection(); // nothing selected: nothing happens
    EXPECT_EQ(model.width(), 4);
}

TEST(PictureModel, RecoverFromErrorFallsBackToTheLastSoundPicture)
{
    PictureModel model;
    model.assign(colourPicture(4, 4));
    Picture broken = model.picture();
    broken.pixels.resize(3); // what an operation torn apart half way might leave
    EXPECT_THROW(model.process([&](const Picture&) { return broken; }), Error);
    EXPECT_EQ(model.undoLevels(), 0);

    model.process([](const Picture& p) { return p; });
    model.paste(broken); // pasting does not check, so the model can end up broken
    model.recoverFromError();
    EXPECT_TRUE(isConsistent(model.picture()));
    EXPECT_EQ(model.width(), 4);
    EXPECT_EQ(model.undoLevels(), 1);

    PictureModel lonely;
    Picture bad = palettePicture(2, 2, 1);
    bad.pixels[0] = 7; // index without a colour
    lonely.assign(bad);
    lonely.recoverFromError();
    EXPECT_FALSE(lonely.hasImage());
}

TEST(PictureModel, RevisionMovesWithEveryVisibleChange)
{
    PictureModel model;
    auto changed = [&model, last = model.revision()]() mutable {
        const bool moved = model.revision() != last;
        last = model.revision();
        return moved;
    };
    model.assign(colourPicture(3, 3));
    EXPECT_TRUE(changed());
    model.select({0, 0, 1, 1});
    EXPECT_TRUE(changed());
    model.releaseSelection();
    EXPECT_TRUE(changed());
    model.cut();
    EXPECT_TRUE(changed());
    model.undo();
    EXPECT_TRUE(changed());
    model.setXRes(300);
    EXPECT_TRUE(changed());
    model.copy();
    EXPECT_FALSE(changed());

    const unsigned long pixelsBefore = model.pictureRevision();
    model.select({0, 0, 2, 2});
    EXPECT_EQ(model.pictureRevision(), pixelsBefore); // a selection leaves the pixels alone
    model.cut();
    EXPECT_NE(model.pictureRevision(), pixelsBefore);
}

} // namespace
} // namespace corvane::imaging
