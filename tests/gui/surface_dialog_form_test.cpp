// The surface dialog as the user first sees it: caption, fields and defaults from the
// picture, the coupling of sizes and steps, the enabling of the tool fields, the window.
#include "gui/app/help_pages.h"
#include "surface_dialog_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>

namespace corvane::gui::testing {
namespace {

using SurfaceDialogFormTest = SurfaceDialogTest;

TEST_F(SurfaceDialogFormTest, DxfModeProposesSizesFromTheFramedGridAndHidesTheGCodeFields)
{
    TfrmPicture* picture = loadPicture(40, 30);
    TDXF* dialog = openDialog(picture, false);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Create DXf Surface"));
    EXPECT_EQ(dialog->Model().mode(), relief::SurfaceMode::DxfSurface);
    // 40 x 30 pixels at 100 pixels per unit, with the white frame: 42 x 32 cells.
    EXPECT_EQ(dialog->sizeXEdit()->text(), QStringLiteral("0.41"));
    EXPECT_EQ(dialog->sizeYEdit()->text(), QStringLiteral("0.31"));
    EXPECT_EQ(dialog->stepXEdit()->text(), QStringLiteral("0.010"));
    EXPECT_EQ(dialog->stepYEdit()->text(), QStringLiteral("0.010"));
    EXPECT_EQ(dialog->depthEdit()->text(), QStringLiteral(".25"));
    EXPECT_DOUBLE_EQ(dialog->AspectRatio(), 40.0 / 30.0);
    EXPECT_TRUE(dialog->keepAspectCheck()->isChecked());
    EXPECT_TRUE(dialog->gougeCheck()->isChecked());
    EXPECT_EQ(dialog->toolTypeCombo()->currentText(), QStringLiteral("End Mill"));
    EXPECT_EQ(dialog->toolTypeCombo()->count(), 3);
    EXPECT_EQ(dialog->toolTypeCombo()->itemText(2), QStringLiteral("V Bit"));
    EXPECT_EQ(dialog->toolDiameterEdit()->text(), QStringLiteral(".125"));
    EXPECT_EQ(dialog->includedAngleSpin()->value(), 60);
    EXPECT_FALSE(dialog->includedAngleSpin()->isEnabled());
    EXPECT_FALSE(dialog->LabelFor(dialog->includedAngleSpin())->isEnabled());
    EXPECT_EQ(dialog->progressBar()->value(), 0);

    for (QLineEdit* gcodeOnly :
         {dialog->feedrateEdit(), dialog->depthPerPassEdit(), dialog->rapidHeightEdit()}) {
        EXPECT_FALSE(gcodeOnly->isVisible());
        EXPECT_FALSE(dialog->LabelFor(gcodeOnly)->isVisible());
    }
    EXPECT_EQ(dialog->LabelFor(dialog->sizeXEdit())->text(), QStringLiteral("Size X"));
    EXPECT_EQ(dialog->sizeXEdit()->toolTip(), QStringLiteral("Width in Units"));
    EXPECT_EQ(dialog->stepYEdit()->toolTip(), QStringLiteral("Y Resolution"));
    EXPECT_EQ(dialog->depthEdit()->toolTip(), QStringLiteral("Maximum Depth"));
    EXPECT_EQ(dialog->keepAspectCheck()->toolTip(),
              QStringLiteral("Keeps Width x Height Constant"));
    EXPECT_EQ(dialog->gougeGroup()->title(), QStringLiteral("Gouge Control"));
    EXPECT_EQ(dialog->createButton()->text(), QStringLiteral("Create"));
    EXPECT_TRUE(dialog->createButton()->isDefault());
    EXPECT_EQ(dialog->cancelButton()->text(), QStringLiteral("Cancel"));
}

TEST_F(SurfaceDialogFormTest, GCodeModeShowsFeedratePassAndRapidHeightOverTheBareGrid)
{
    TfrmPicture* picture = loadPicture(40, 30);
    TDXF* dialog = openDialog(picture, true);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Create G-Code File"));
    EXPECT_EQ(dialog->sizeXEdit()->text(), QStringLiteral("0.39")); // (40 - 1) / 100
    EXPECT_EQ(dialog->sizeYEdit()->text(), QStringLiteral("0.29"));
    EXPECT_EQ(dialog->depthPerPassEdit()->text(), QStringLiteral(".25"));
    EXPECT_EQ(dialog->feedrateEdit()->text(), QStringLiteral("10"));
    EXPECT_EQ(dialog->rapidHeightEdit()->text(), QStringLiteral(".1"));
    EXPECT_EQ(dialog->feedrateEdit()->toolTip(), QStringLiteral("Feedrate to Set"));
    for (QLineEdit* gcodeOnly :
         {dialog->feedrateEdit(), dialog->depthPerPassEdit(), dialog->rapidHeightEdit()}) {
        EXPECT_TRUE(gcodeOnly->isVisible());
        EXPECT_TRUE(dialog->LabelFor(gcodeOnly)->isVisible());
    }
    EXPECT_EQ(dialog->LabelFor(dialog->depthPerPassEdit())->text(), QStringLiteral("Depth / Pass"));
    EXPECT_EQ(dialog->LabelFor(dialog->rapidHeightEdit())->text(), QStringLiteral("Rapid Height"));
    EXPECT_EQ(shared().SourcePictureName, QStringLiteral("relief.bmp"));
}

TEST_F(SurfaceDialogFormTest, WindowIsAFixedChildSizedAroundTheGougeGroup)
{
    TfrmPicture* picture = loadPicture(20, 10);
    TDXF* dialog = openDialog(picture, false);
    QMdiSubWindow* window = dialog->SubWindow();
    ASSERT_NE(window, nullptr);
    const QRect group = dialog->gougeGroup()->geometry();
    EXPECT_EQ(window->size(),
              QSize(group.x() + group.width() + 10, group.y() + group.height() + 55));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowSystemMenuHint);
    // The progress bar runs along the bottom edge and clears the group.
    const QRect bar = dialog->progressBar()->geometry();
    EXPECT_EQ(bar.bottom(), dialog->height() - 1);
    EXPECT_EQ(bar.width(), dialog->width());
    EXPECT_GT(bar.top(), group.bottom());
    // The dialog found its picture while it was being created, one place before the index
    // recorded for it, and now stands first in the child list with the picture behind it.
    EXPECT_EQ(frame->ChildWindows().value(0), window);
    EXPECT_EQ(frame->ChildWindows().value(shared().TargetChildIndex), picture->SubWindow());
}

TEST_F(SurfaceDialogFormTest, MissingResolutionIsRepairedAndWrittenBackToThePicture)
{
    TfrmPicture* picture = loadPicture(20, 10);
    picture->TP->SetImageXRes(0);
    picture->TP->SetImageYRes(0);
    TDXF* dialog = openDialog(picture, false);
    EXPECT_EQ(picture->TP->ImageXRes(), 100);
    EXPECT_EQ(picture->TP->ImageYRes(), 100);
    EXPECT_EQ(dialog->sizeXEdit()->text(), QStringLiteral("0.21"));
    dialog->SubWindow()->close();

    // One known axis lends its resolution to the other.
    picture->TP->SetImageXRes(0);
    picture->TP->SetImageYRes(200);
    dialog = openDialog(picture, true);
    EXPECT_EQ(picture->TP->ImageXRes(), 200);
    EXPECT_EQ(picture->TP->ImageYRes(), 200);
    EXPECT_EQ(dialog->stepXEdit()->text(), QStringLiteral("0.005"));
}

TEST_F(SurfaceDialogFormTest, KeepAspectRatioCouplesSizesAndSteps)
{
    TfrmPicture* picture = loadPicture(40, 20); // twice as wide as high
    TDXF* dialog = openDialog(picture, false);
    type(dialog->sizeXEdit(), QStringLiteral("4"));
    EXPECT_EQ(dialog->sizeXEdit()->text(), QStringLiteral("4"));
    EXPECT_EQ(dialog->sizeYEdit()->text(), QStringLiteral("2.000"));
    EXPECT_EQ(dialog->stepXEdit()->text(), QStringLiteral("0.095")); // 4 / 42 columns
    EXPECT_EQ(dialog->stepYEdit()->text(), QStringLiteral("0.091")); // 2 / 22 rows

    // A step finer than one cell copies the one-cell value; one larger than the size
    // copies the size. The typed edit keeps its text.
    type(dialog->stepXEdit(), QStringLiteral("0.001"));
    EXPECT_EQ(dialog->stepXEdit()->text(), QStringLiteral("0.001"));
    EXPECT_EQ(dialog->stepYEdit()->text(), QStringLiteral("0.095")); // one column: 4 / 42
    type(dialog->stepYEdit(), QStringLiteral("9"));
    EXPECT_EQ(dialog->stepXEdit()->text(), QStringLiteral("2.000"));

    type(dialog->sizeYEdit(), QStringLiteral("1"));
    EXPECT_EQ(dialog->sizeXEdit()->text(), QStringLiteral("2.000"));

    // Unchecked, sizes stand alone, but Depth still feeds Depth / Pass.
    dialog->keepAspectCheck()->setChecked(false);
    type(dialog->sizeXEdit(), QStringLiteral("7"));
    EXPECT_EQ(dialog->sizeYEdit()->text(), QStringLiteral("1"));
    type(dialog->depthEdit(), QStringLiteral(".5"));
    EXPECT_EQ(dialog->Model().text(relief::SurfaceEdit::DepthPerPass), "0.500");
    EXPECT_EQ(dialog->depthPerPassEdit()->text(), QStringLiteral("0.500"));
}

TEST_F(SurfaceDialogFormTest, GougeBoxAndToolListSwitchTheToolFields)
{
    TfrmPicture* picture = loadPicture(20, 10);
    TDXF* dialog = openDialog(picture, false);
    QLabel* typeLabel = dialog->LabelFor(dialog->toolTypeCombo());
    QLabel* diameterLabel = dialog->LabelFor(dialog->toolDiameterEdit());
    ASSERT_NE(typeLabel, nullptr);
    EXPECT_EQ(typeLabel->text(), QStringLiteral("Tool Type"));
    EXPECT_EQ(diameterLabel->text(), QStringLiteral("Diameter"));

    QTest::mouseClick(dialog->gougeCheck(), Qt::LeftButton);
    EXPECT_FALSE(dialog->gougeCheck()->isChecked());
    EXPECT_FALSE(dialog->gougeGroup()->isEnabled());
    EXPECT_FALSE(dialog->toolTypeCombo()->isEnabled());
    EXPECT_FALSE(dialog->toolDiameterEdit()->isEnabled());
    EXPECT_FALSE(typeLabel->isEnabled());
    EXPECT_FALSE(diameterLabel->isEnabled());
    QTest::mouseClick(dialog->gougeCheck(), Qt::LeftButton);
    EXPECT_TRUE(dialog->gougeGroup()->isEnabled());
    EXPECT_TRUE(dialog->toolTypeCombo()->isEnabled());
    EXPECT_TRUE(diameterLabel->isEnabled());
    EXPECT_FALSE(dialog->includedAngleSpin()->isEnabled());

    dialog->toolTypeCombo()->setCurrentIndex(2);
    EXPECT_TRUE(dialog->includedAngleSpin()->isEnabled());
    EXPECT_TRUE(dialog->LabelFor(dialog->includedAngleSpin())->isEnabled());
    EXPECT_EQ(dialog->Model().toolText(), "V Bit");
    dialog->toolTypeCombo()->setCurrentIndex(1);
    EXPECT_FALSE(dialog->includedAngleSpin()->isEnabled());

    // The list is editable: a text that is none of its items selects nothing.
    dialog->toolTypeCombo()->setFocus();
    dialog->toolTypeCombo()->lineEdit()->selectAll();
    QTest::keyClicks(dialog->toolTypeCombo(), QStringLiteral("Drill"));
    EXPECT_EQ(dialog->Model().toolIndex(), -1);
    EXPECT_FALSE(dialog->includedAngleSpin()->isEnabled());
    EXPECT_EQ(dialog->toolTypeCombo()->count(), 3);
}

TEST_F(SurfaceDialogFormTest, ProtectMovesBoxIsAGCodeChoiceKeptForTheSession)
{
    TfrmPicture* picture = loadPicture(20, 10);
    TDXF* dialog = openDialog(picture, false);
    EXPECT_FALSE(dialog->protectMovesCheck()->isVisible()); // DXF: no moves to protect
    dialog->close();

    dialog = openDialog(picture, true);
    ASSERT_TRUE(dialog->protectMovesCheck()->isVisible());
    EXPECT_EQ(dialog->protectMovesCheck()->text(), QStringLiteral("Protect Moves Between Samples"));
    EXPECT_FALSE(dialog->protectMovesCheck()->isChecked());
    EXPECT_FALSE(dialog->Model().read().protectMoves);
    QTest::mouseClick(dialog->protectMovesCheck(), Qt::LeftButton);
    EXPECT_TRUE(dialog->Model().read().protectMoves);
    // Within the group: off with gouge control, and then not asked for.
    QTest::mouseClick(dialog->gougeCheck(), Qt::LeftButton);
    EXPECT_FALSE(dialog->protectMovesCheck()->isEnabled());
    EXPECT_FALSE(dialog->Model().read().protectMoves);
    QTest::mouseClick(dialog->gougeCheck(), Qt::LeftButton);
    EXPECT_TRUE(dialog->gougeGroup()->geometry().contains(
        dialog->protectMovesCheck()->geometry().translated(dialog->gougeGroup()->pos())));
    dialog->close();

    dialog = openDialog(picture, true);
    EXPECT_TRUE(dialog->protectMovesCheck()->isChecked());
    EXPECT_TRUE(dialog->Model().read().protectMoves);
    QTest::mouseClick(dialog->protectMovesCheck(), Qt::LeftButton); // leave it as found
}

TEST_F(SurfaceDialogFormTest, CancelEscAndEnterOnCancelCloseAnIdleDialogAndEmptyTheGrid)
{
    TfrmPicture* picture = loadPicture(20, 10);
    TDXF* dialog = openDialog(picture, false);
    ASSERT_FALSE(shared().HeightGrid.empty());
    QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
    flushDeletes();
    EXPECT_FALSE(isOpen(dialog));
    EXPECT_TRUE(shared().HeightGrid.empty());

    dialog = openDialog(picture, true);
    QTest::keyClick(dialog->sizeYEdit(), Qt::Key_Escape);
    flushDeletes();
    EXPECT_FALSE(isOpen(dialog));
    EXPECT_TRUE(shared().HeightGrid.empty());

    // Enter on the focused Cancel button presses Cancel, not the default Create.
    dialog = openDialog(picture, false);
    dialog->cancelButton()->setFocus();
    QTest::keyClick(dialog->cancelButton(), Qt::Key_Return);
    flushDeletes();
    EXPECT_FALSE(isOpen(dialog));
    EXPECT_TRUE(prompts.saveRequests.empty());
}

TEST_F(SurfaceDialogFormTest, OpensInsideTheAreaAndGivesBackThePictureWhenClosed)
{
    frame->resize(700, 500);
    TfrmPicture* other = loadPicture(20, 10, QStringLiteral("other.bmp"));
    TfrmPicture* picture = loadPicture(600, 400);
    TDXF* dialog = openDialog(picture, true);
    const QRect area = frame->MdiArea().viewport()->rect();
    EXPECT_TRUE(area.contains(dialog->SubWindow()->geometry()));

    QUrl help;
    setUrlOpener([&](const QUrl& url) { help = url; });
    QTest::keyClick(dialog->sizeXEdit(), Qt::Key_F1);
    setUrlOpener({});
    EXPECT_TRUE(help.toLocalFile().endsWith(QStringLiteral("/surface.html")));

    dialog->cancelButton()->click();
    flushDeletes();
    EXPECT_EQ(frame->ActiveChild(), picture->SubWindow());
    EXPECT_NE(frame->ActiveChild(), other->SubWindow());
}

} // namespace
} // namespace corvane::gui::testing
