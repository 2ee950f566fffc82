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
        TfrmPicture* window = frame->NewPicture();
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
    dialog->Slider5->setValue(50);
    EXPECT_EQ(dialog->Percent5->text(), QStringLiteral("50%"));
    dialog->Button1->click();
    EXPECT_EQ(dialog->TP->Picture().pixel(0, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(dialog->TP->Picture().pixel(1, 0), (Rgb{255, 255, 255}));
}

TEST_F(PictureDialogTest, AdjustmentButtonsPreviewTwiceAndResetAll)
{
    TfrmPicture* window = openPicture(solidPicture(4, 4, {100, 100, 100}));
    TfrmAdjustment1* dialog = openAdjustment(window);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(window->Modified); // opening counts as a change, even if cancelled
    EXPECT_TRUE(dialog->RadioButton4->isChecked());
    EXPECT_FALSE(dialog->Button2->isEnabled());
    EXPECT_FALSE(dialog->Button4->isEnabled());

    dialog->Button1->click(); // all sliders at 0: brightness only
    EXPECT_EQ(dialog->TP->UndoLevels(), 1);
    EXPECT_TRUE(dialog->Button2->isEnabled());
    EXPECT_TRUE(dialog->Button4->isEnabled());

    dialog->Slider4->setValue(-10);
    EXPECT_EQ(dialog->Percent4->text(), QStringLiteral("-10%"));
    dialog->RadioButton1->click(); // red only
    EXPECT_EQ(dialog->Channel, 2);
    dialog->Button1->click();
    dialog->Button1->click();
    EXPECT_EQ(previewPixel(*dialog->TP), (Rgb{48, 100, 100})); // 100 - 26 - 26
    for (int i = 0; i < 12; ++i)                               // more levels than the undo keeps
        dialog->Button1->click();
    dialog->Button2->click();
    EXPECT_EQ(previewPixel(*dialog->TP), (Rgb{100, 100, 100}));
    EXPECT_FALSE(dialog->Button2->isEnabled());
    EXPECT_TRUE(dialog->Button4->isEnabled());
    EXPECT_EQ(dialog->Slider4->value(), -10);
    dialog->Slider5->setValue(5);
    EXPECT_TRUE(dialog->Button2->isEnabled());

    dialog->Button3->click();
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
    dialog->Slider4->setValue(50);
    dialog->Button1->click();
    // Focus went to the second picture, then back to the dialog: the window behind the
    // dialog is now the second one.
    frame->MdiArea().setActiveSubWindow(second->SubWindow());
    frame->MdiArea().setActiveSubWindow(qobject_cast<QMdiSubWindow*>(dialog->parentWidget()));
    dialog->Button4->click();
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
    EXPECT_EQ(dialog->Edit3->text(), QStringLiteral(".1"));
    dialog->Button1->click();
    const Picture expected = imaging::lambertShade(p, 45, 45, 3, 0.1f);
    EXPECT_EQ(dialog->TP->Picture().pixels, expected.pixels);
    dialog->Edit1->setText(QStringLiteral("30.9deg")); // leading whole number: 30
    dialog->Button1->click();
    EXPECT_EQ(dialog->TP->Picture().pixels,
              imaging::lambertShade(expected, 30, 45, 3, 0.1f).pixels);
    dialog->Button2->click();
    EXPECT_EQ(dialog->TP->Picture().pixels, p.pixels);
    dialog->Button4->click();
    EXPECT_EQ(window->TP->Picture().pixels, p.pixels);
    window->Modified = false;
}

TEST_F(PictureDialogTest, ResizeReadsTheRatioAndFitsTheWindow)
{
    TfrmPicture* window = openPicture(solidPicture(40, 30, {1, 2, 3}));
    window->MenuItem(QStringLiteral("Resize1"))->trigger();
    auto* dialog = openedDialog<TfrmResize>(*frame);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->Edit1->text(), QStringLiteral("1"));
    dialog->Button1->click();
    EXPECT_EQ(window->TP->UndoLevels(), 1);
    EXPECT_EQ(window->TP->ImageWidth(), 40);
    for (const char* nothing : {"0", "-2", "abc", ""}) {
        dialog->Edit1->setText(QString::fromLatin1(nothing));
        dialog->Button1->click();
        EXPECT_EQ(window->TP->UndoLevels(), 1) << nothing;
    }
    dialog->Edit1->setText(QStringLiteral(".5x"));
    dialog->Button1->click();
    EXPECT_EQ(window->TP->ImageWidth(), 20);
    EXPECT_EQ(window->TP->ImageHeight(), 15);
    EXPECT_EQ(window->SubWindow()->size(), fittedWindowSize(*window->SubWindow(), {20, 15}));
    window->Modified = false;
}

TEST_F(PictureDialogTest, DirectionStartsAtNorthAndKeepsTheChoice)
{
    TfrmDirection& direction = frame->frmDirection();
    EXPECT_EQ(direction.windowTitle(), QStringLiteral("Direction"));
    EXPECT_TRUE(direction.RadioButton[0]->isChecked());
    EXPECT_EQ(direction.RadioButton[0]->text(), QStringLiteral("North"));
    direction.RadioButton[6]->click();
    EXPECT_EQ(shared().LightDirection, 7);
    direction.show();
    direction.Button1->click();
    EXPECT_FALSE(direction.isVisible());
    direction.show();
    EXPECT_TRUE(direction.RadioButton[6]->isChecked());
    direction.hide();
}

} // namespace
} // namespace corvane::gui::testing
