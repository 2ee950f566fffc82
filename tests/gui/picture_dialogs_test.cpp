// The adjustment, texture-shade, resize and direction dialogs: their arithmetic, button
// states, Reset, the selection they work on, and the window they work on: the one they were
// opened for, whichever window was clicked since.
#include "gui/app/frame.h"
#include "gui/picture/adjustment_dialog.h"
#include "gui/picture/direction_dialog.h"
#include "gui/picture/lambert_dialog.h"
#include "gui/picture/picture_window.h"
#include "gui/picture/resize_dialog.h"
#include "gui/picture/twisted_pixel.h"
#include "gui_test_support.h"
#include "imaging/image_operations.h"
#include "imaging/picture_edit.h"
#include "imaging/picture_model.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <algorithm>

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

TEST_F(PictureDialogTest, ApplyGoesToTheWindowTheDialogWasOpenedForAndLeavesTheClipboard)
{
    TfrmPicture* first = openPicture(solidPicture(4, 4, {100, 100, 100}));
    first->SetCaption(QStringLiteral("/pictures/first.bmp"));
    TfrmAdjustment1* dialog = openAdjustment(first);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->windowTitle(),
              QStringLiteral("Color, Brightness, and Contrast Adjustment - first.bmp"));
    TfrmPicture* second = openPicture(solidPicture(6, 3, {10, 20, 30}));
    QGuiApplication::clipboard()->setText(QStringLiteral("the user's text"));
    dialog->brightnessSlider()->setValue(50);
    dialog->previewButton()->click();
    // Focus went to the second picture, then back to the dialog: the window behind the
    // dialog is now the second one, but the dialog still works on the first.
    frame->MdiArea().setActiveSubWindow(second->SubWindow());
    frame->MdiArea().setActiveSubWindow(qobject_cast<QMdiSubWindow*>(dialog->parentWidget()));
    dialog->applyButton()->click();
    EXPECT_EQ(first->TP->Picture().pixel(0, 0), (Rgb{228, 228, 228}));
    EXPECT_EQ(second->TP->ImageWidth(), 6);
    EXPECT_EQ(second->TP->Picture().pixel(0, 0), (Rgb{10, 20, 30}));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("the user's text"));

    // The title follows the picture's file; the dialog goes with its picture.
    first->SetCaption(QStringLiteral("/pictures/renamed.bmp"));
    EXPECT_EQ(dialog->windowTitle(),
              QStringLiteral("Color, Brightness, and Contrast Adjustment - renamed.bmp"));
    first->Modified = second->Modified = false;
    QPointer<TfrmAdjustment1> alive(dialog);
    first->mnuCloseClick();
    flushDeletes();
    EXPECT_TRUE(alive.isNull());
    EXPECT_EQ(second->TP->Picture().pixel(0, 0), (Rgb{10, 20, 30}));
}

TEST_F(PictureDialogTest, EveryPictureDialogClosesWithItsPictureOnly)
{
    TfrmPicture* first = openPicture(solidPicture(8, 8, {1, 2, 3}));
    TfrmPicture* second = openPicture(solidPicture(8, 8, {4, 5, 6}));
    first->MenuItem(QStringLiteral("Resize1"))->trigger();
    QPointer<TfrmResize> resize(openedDialog<TfrmResize>(*frame));
    first->MenuItem(QStringLiteral("mnu3dShade2"))->trigger();
    QPointer<TfrmLambert> shade(openedDialog<TfrmLambert>(*frame));
    second->MenuItem(QStringLiteral("mnuAdjustImge"))->trigger();
    QPointer<TfrmAdjustment1> adjust(openedDialog<TfrmAdjustment1>(*frame));
    ASSERT_TRUE(resize && shade && adjust);
    EXPECT_EQ(resize->windowTitle(), QStringLiteral("Resize - New Picture"));
    EXPECT_EQ(shade->windowTitle(), QStringLiteral("3D Texture Shade - New Picture"));

    // Resize acts on its own picture, whichever window is active.
    frame->MdiArea().setActiveSubWindow(second->SubWindow());
    resize->ratioEdit()->setText(QStringLiteral("0.5"));
    resize->resizeButton()->click();
    EXPECT_EQ(first->TP->ImageWidth(), 4);
    EXPECT_EQ(second->TP->ImageWidth(), 8);

    // Minimising a picture is not closing it.
    first->SubWindow()->showMinimized();
    first->SubWindow()->showNormal();
    flushDeletes();
    EXPECT_TRUE(resize && shade);

    first->Modified = second->Modified = false;
    first->mnuCloseClick();
    flushDeletes();
    EXPECT_TRUE(resize.isNull());
    EXPECT_TRUE(shade.isNull());
    ASSERT_FALSE(adjust.isNull());
    second->Modified = false;
}

TEST_F(PictureDialogTest, AdjustmentAndShadeWorkOnTheSelectionAndPutItBackInPlace)
{
    // Left half dark, right half light: the right half must be adjusted from its own pixels.
    Picture p = solidPicture(8, 8, {40, 40, 40});
    for (int y = 0; y < 8; ++y)
        for (int x = 4; x < 8; ++x)
            std::fill_n(p.row(y) + 3 * x, 3, std::uint8_t(200));
    const imaging::PixelRect rightHalf{4, 0, 4, 8};
    const Picture right = imaging::cropped(p, rightHalf);

    TfrmPicture* window = openPicture(p);
    window->TP->Model().select(rightHalf);
    TfrmAdjustment1* dialog = openAdjustment(window);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->preview()->ImageWidth(), 4);
    EXPECT_EQ(dialog->preview()->ImageHeight(), 8);
    dialog->brightnessSlider()->setValue(10);
    dialog->previewButton()->click();
    // The user selects something else before Apply: the part goes back where it came from.
    window->TP->Model().select({0, 0, 2, 2});
    dialog->applyButton()->click();
    Picture expected = p;
    imaging::pasteInto(expected, imaging::adjustBrightness(right, 10, 3), rightHalf);
    EXPECT_EQ(window->TP->Picture().pixels, expected.pixels);
    EXPECT_EQ(window->TP->Picture().pixel(0, 0), (Rgb{40, 40, 40}));
    EXPECT_EQ(window->TP->Model().selection(), (imaging::PixelRect{0, 0, 2, 2}));
    dialog->cancelButton()->click();

    // The same for the texture shade, from a picture with nothing selected afterwards.
    window->TP->Model().assign(p);
    window->TP->Model().select(rightHalf);
    window->MenuItem(QStringLiteral("mnu3dShade2"))->trigger();
    auto* shade = openedDialog<TfrmLambert>(*frame);
    ASSERT_TRUE(shade);
    EXPECT_EQ(shade->preview()->Picture().pixels, right.pixels);
    shade->previewButton()->click();
    window->TP->ReleaseSelection();
    shade->applyButton()->click();
    expected = p;
    imaging::pasteInto(expected, imaging::lambertShade(right, 45, 45, 3, 0.1f), rightHalf);
    EXPECT_EQ(window->TP->Picture().pixels, expected.pixels);
    EXPECT_FALSE(window->TP->HasSelection());
    window->Modified = false;
}

TEST_F(PictureDialogTest, TextureShadePreviewIsALongJobThatEscStops)
{
    // 600 rows: the shading looks for Esc at its checkpoints.
    const Picture p = solidPicture(3, 600, {90, 120, 150});
    TfrmPicture* window = openPicture(p);
    window->MenuItem(QStringLiteral("mnu3dShade2"))->trigger();
    auto* dialog = openedDialog<TfrmLambert>(*frame);
    ASSERT_TRUE(dialog);

    shared().EscapePressed = true; // an Esc that closed some dialog earlier
    dialog->previewButton()->click();
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(dialog->preview()->Picture().pixels,
              imaging::lambertShade(p, 45, 45, 3, 0.1f).pixels);
    EXPECT_EQ(frame->StatusBar1().text(0), QStringLiteral("Ready..."));

    dialog->resetButton()->click();
    QTimer::singleShot(0, dialog, [dialog] {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(dialog, &esc);
    });
    QPointer<TfrmLambert> alive(dialog);
    dialog->previewButton()->click();
    flushDeletes();
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(frame->StatusBar1().text(0), QStringLiteral("Process Cancelled..."));
    window->Modified = false;
    ASSERT_FALSE(alive.isNull()) << "Esc stops the job, not the dialog";
    EXPECT_EQ(dialog->preview()->Picture().pixels, p.pixels);
}

TEST_F(PictureDialogTest, TextureShadeNamesAFieldOutOfRangeAsItIsLabelled)
{
    TfrmPicture* window = openPicture(solidPicture(4, 4, {90, 120, 150}));
    window->MenuItem(QStringLiteral("mnu3dShade2"))->trigger();
    auto* dialog = openedDialog<TfrmLambert>(*frame);
    ASSERT_TRUE(dialog);
    const struct {
        QLineEdit* edit;
        const char* text;
        const char* message;
    } cases[] = {{dialog->latitudeEdit(), "500", "Lattitude must be -90 to 90, not 500"},
                 {dialog->longitudeEdit(), "-91", "Longitude must be -90 to 90, not -91"},
                 {dialog->roughnessEdit(), "1.5", "Roughness must be 0 to 1, not 1.5"}};
    for (const auto& c : cases) {
        const QString kept = c.edit->text();
        c.edit->setText(QString::fromLatin1(c.text));
        prompts.messages.clear();
        dialog->previewButton()->click();
        ASSERT_EQ(prompts.messages.size(), 1u) << c.text;
        EXPECT_EQ(prompts.messages[0].kind, MessageKind::Warning);
        EXPECT_EQ(prompts.messages[0].title, QStringLiteral("Warning"));
        EXPECT_EQ(prompts.messages[0].text, QString::fromLatin1(c.message));
        EXPECT_EQ(dialog->preview()->UndoLevels(), 0);
        c.edit->setText(kept);
    }
    window->Modified = false;
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
    EXPECT_EQ(window->SubWindow()->size(), fittedWindowSize(*window->SubWindow(), {20, 15}));
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
