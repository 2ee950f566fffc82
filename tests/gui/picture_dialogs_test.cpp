// The adjustment, texture-shade, resize and direction dialogs: their arithmetic, button
// states, Reset, and Apply reaching the window at TargetChildIndex when pressed.
#include "gui/app/frame.h"
#include "gui/picture/adjustment_dialog.h"
#include "gui/picture/direction_dialog.h"
#include "gui/picture/lambert_dialog.h"
#include "gui/picture/picture_window.h"
#include "gui/picture/resize_dialog.h"
#include "gui/picture/twisted_pixel.h"
#include "gui_test_support.h"
#include "imaging/image_operations.h"
#include "imaging/picture_model.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

namespace corvane::gui::testing {
namespace {

using imaging::Picture;
using imaging::Rgb;

template <class Dialog> Dialog* openedDialog(TCorvaneFrame& frame)
{
    QMdiSubWindow* active = frame.ActiveChild();
    return active ? dynamic_cast<Dialog*>(active->widget()) : nullptr;
}

class PictureDialogTest : public FrameTest {
protected:
    TfrmPicture* openPicture(const Picture& picture)
    {
        TfrmPicture* window = NewPicture(*frame);
        window->TP->Model().assign(picture);
        window->FitWindowToImage();
        return window;
    }
    TfrmAdjustment1* openAdjustment(TfrmPicture* window)
    {
        window->MenuItem(QStringLiteral("mnuAdjustImge"))->trigger();
        return openedDialog<TfrmAdjustment1>(*frame);
    }
    Rgb previewPixel(const TTwistedPixel& tp) const { return tp.Picture().pixel(0, 0); }
};

TEST_F(PictureDialogTest, ContrastPositionsGiveTheirLowAndHighEnds)
{
    EXPECT_EQ(TfrmAdjustment1::ContrastLow(100), 125);
    EXPECT_EQ(TfrmAdjustment1::ContrastLow(50), 62); // 62.5 to even
    EXPECT_EQ(TfrmAdjustment1::ContrastLow(1), 1);
    // Through Preview: position 50 stretches 62..193 over the whole range.
    Picture p = solidPicture(2, 1, {62, 62, 62});
    p.row(0)[3] = p.row(0)[4] = p.row(0)[5] = 193;
    TfrmAdjustment1* dialog = openAdjustment(openPicture(p));
    ASSERT_TRUE(dialog);
    dialog->contrastSlider()->setValue(50);
    EXPECT_EQ(dialog->contrastPercent()->text(), QStringLiteral("50%"));
    dialog->previewButton()->click();
    EXPECT_EQ(dialog->preview()->Picture().pixel(0, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(dialog->preview()->Picture().pixel(1, 0), (Rgb{255, 255, 255}));
}

TEST_F(PictureDialogTest, AdjustmentButtonsPreviewTwiceAndResetAll)
{
    TfrmPicture* window = openPicture(solidPicture(4, 4, {100, 100, 100}));
    TfrmAdjustment1* dialog = openAdjustment(window);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(window->Modified); // opening counts as a change, even if cancelled
    EXPECT_TRUE(dialog->allButton()->isChecked());
    EXPECT_FALSE(dialog->resetButton()->isEnabled());
    EXPECT_FALSE(dialog->applyButton()->isEnabled());

    dialog->previewButton()->click(); // all sliders at 0: brightness only
    EXPECT_EQ(dialog->preview()->UndoLevels(), 1);
    EXPECT_TRUE(dialog->resetButton()->isEnabled());
    EXPECT_TRUE(dialog->applyButton()->isEnabled());

    dialog->brightnessSlider()->setValue(-10);
    EXPECT_EQ(dialog->brightnessPercent()->text(), QStringLiteral("-10%"));
    dialog->redButton()->click(); // red only
    EXPECT_EQ(dialog->Channel(), 2);
    dialog->previewButton()->click();
    dialog->previewButton()->click();
    EXPECT_EQ(previewPixel(*dialog->preview()), (Rgb{48, 100, 100})); // 100 - 26 - 26
    for (int i = 0; i < 12; ++i) // more levels than the undo keeps
        dialog->previewButton()->click();
    dialog->resetButton()->click();
    EXPECT_EQ(previewPixel(*dialog->preview()), (Rgb{100, 100, 100}));
    EXPECT_FALSE(dialog->resetButton()->isEnabled());
    EXPECT_TRUE(dialog->applyButton()->isEnabled());
    EXPECT_EQ(dialog->brightnessSlider()->value(), -10);
    dialog->contrastSlider()->setValue(5);
    EXPECT_TRUE(dialog->resetButton()->isEnabled());

    dialog->cancelButton()->click();
    flushDeletes();
    EXPECT_EQ(window->TP->Picture().pixel(0, 0), (Rgb{100, 100, 100}));
    EXPECT_TRUE(window->Modified);
    window->Modified = false;
}

TEST_F(PictureDialogTest, ApplyGoesToTheWindowAtTheTargetWhenPressedAndLeavesTheClipboard)
{
    TfrmPicture* first = openPicture(solidPicture(4, 4, {100, 100, 100}));
    TfrmAdjustment1* dialog = openAdjustment(first);
    ASSERT_TRUE(dialog);
    TfrmPicture* second = openPicture(solidPicture(6, 3, {10, 20, 30}));
    QGuiApplication::clipboard()->setText(QStringLiteral("the user's text"));
    dialog->brightnessSlider()->setValue(50);
    dialog->previewButton()->click();
    // Focus went to the second picture, then back to the dialog: the window behind the
    // dialog is now the second one.
    frame->MdiArea().setActiveSubWindow(second->SubWindow());
    frame->MdiArea().setActiveSubWindow(qobject_cast<QMdiSubWindow*>(dialog->parentWidget()));
    dialog->applyButton()->click();
    EXPECT_EQ(second->TP->ImageWidth(), 4);
    EXPECT_EQ(second->TP->Picture().pixel(0, 0), (Rgb{228, 228, 228}));
    EXPECT_EQ(first->TP->Picture().pixel(0, 0), (Rgb{100, 100, 100}));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("the user's text"));
    first->Modified = second->Modified = false;
}

TEST_F(PictureDialogTest, TextureShadeDefaultsAndReset)
{
    Picture p = solidPicture(20, 12, {90, 120, 150});
    p.row(5)[30] = 250;
    TfrmPicture* window = openPicture(p);
    window->MenuItem(QStringLiteral("mnu3dShade2"))->trigger(); // "&3D Texture Shade"
    auto* dialog = openedDialog<TfrmLambert>(*frame);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->roughnessEdit()->text(), QStringLiteral(".1"));
    dialog->previewButton()->click();
    const Picture expected = imaging::lambertShade(p, 45, 45, 3, 0.1f);
    EXPECT_EQ(dialog->preview()->Picture().pixels, expected.pixels);
    dialog->latitudeEdit()->setText(QStringLiteral("30.9deg")); // leading whole number: 30
    dialog->previewButton()->click();
    EXPECT_EQ(dialog->preview()->Picture().pixels,
              imaging::lambertShade(expected, 30, 45, 3, 0.1f).pixels);
    dialog->resetButton()->click();
    EXPECT_EQ(dialog->preview()->Picture().pixels, p.pixels);
    dialog->applyButton()->click();
    EXPECT_EQ(window->TP->Picture().pixels, p.pixels);
    window->Modified = false;
}

TEST_F(PictureDialogTest, TextureShadePreviewRunsAfterAnEarlierEsc)
{
    const Picture p = solidPicture(8, 6, {90, 120, 150});
    TfrmPicture* window = openPicture(p);
    window->MenuItem(QStringLiteral("mnu3dShade2"))->trigger();
    auto* dialog = openedDialog<TfrmLambert>(*frame);
    ASSERT_TRUE(dialog);
    shared().EscapePressed = true; // the Esc that ended an earlier job
    dialog->previewButton()->click();
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(dialog->preview()->Picture().pixels,
              imaging::lambertShade(p, 45, 45, 3, 0.1f).pixels);
    EXPECT_FALSE(frame->StatusBar1().text(0).startsWith(QStringLiteral("Failed")));
    window->Modified = false;
}

TEST_F(PictureDialogTest, ResizeReadsTheRatioAndFitsTheWindow)
{
    TfrmPicture* window = openPicture(solidPicture(40, 30, {1, 2, 3}));
    window->MenuItem(QStringLiteral("Resize1"))->trigger();
    auto* dialog = openedDialog<TfrmResize>(*frame);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->ratioEdit()->text(), QStringLiteral("1"));
    dialog->resizeButton()->click();
    EXPECT_EQ(window->TP->UndoLevels(), 1);
    EXPECT_EQ(window->TP->ImageWidth(), 40);
    for (const char* nothing : {"0", "-2", "abc", ""}) {
        dialog->ratioEdit()->setText(QString::fromLatin1(nothing));
        dialog->resizeButton()->click();
        EXPECT_EQ(window->TP->UndoLevels(), 1) << nothing;
    }
    dialog->ratioEdit()->setText(QStringLiteral(".5x"));
    dialog->resizeButton()->click();
    EXPECT_EQ(window->TP->ImageWidth(), 20);
    EXPECT_EQ(window->TP->ImageHeight(), 15);
    EXPECT_EQ(window->SubWindow()->size(), QSize(20 + 8, 15 + 27));
    window->Modified = false;
}

TEST_F(PictureDialogTest, DirectionStartsAtNorthAndKeepsTheChoice)
{
    TfrmDirection& direction = directionDialog();
    EXPECT_EQ(direction.windowTitle(), QStringLiteral("Direction"));
    EXPECT_TRUE(direction.directionButton(0)->isChecked());
    EXPECT_EQ(direction.directionButton(0)->text(), QStringLiteral("North"));
    direction.directionButton(6)->click();
    EXPECT_EQ(shared().LightDirection, 7);
    direction.show();
    direction.okButton()->click();
    EXPECT_FALSE(direction.isVisible());
    direction.show();
    EXPECT_TRUE(direction.directionButton(6)->isChecked());
    direction.hide();
}

} // namespace
} // namespace corvane::gui::testing
