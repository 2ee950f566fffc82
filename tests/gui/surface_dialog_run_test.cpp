// The surface dialog's "Create" end to end: the files it writes (byte for byte what the
// command line writes for the same values), the save prompt, Cancel and Esc during a run,
// the dialog's refusals and what it does while busy.
#include "surface_dialog_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QSpinBox>

namespace corvane::gui::testing {
namespace {

using SurfaceDialogRunTest = SurfaceDialogTest;

TEST_F(SurfaceDialogRunTest, DxfSurfaceWritesWhatTheCommandLineWritesAndCloses)
{
    TfrmPicture* picture = loadPicture(40, 30);
    TDXF* dialog = openDialog(picture, false);
    type(dialog->sizeXEdit(), QStringLiteral("0.5"));
    type(dialog->depthEdit(), QStringLiteral(".3"));
    const QString written = folder.filePath(QStringLiteral("gui.Dxf"));
    answerSave(written);
    QTest::mouseClick(dialog->createButton(), Qt::LeftButton);

    ASSERT_EQ(prompts.saveRequests.size(), 1u);
    EXPECT_EQ(prompts.saveRequests[0].filter, QStringLiteral("DXF Files|*.Dxf|STL Files|*.Stl"));
    EXPECT_EQ(prompts.saveRequests[0].defaultExtension, QStringLiteral("Dxf"));
    EXPECT_TRUE(prompts.saveRequests[0].fileName.isEmpty());
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(statusText(), QStringLiteral("Ready..."));
    EXPECT_FALSE(frame->StatusBar1().gaugeVisible());
    EXPECT_FALSE(QApplication::overrideCursor());
    flushDeletes();
    EXPECT_FALSE(isOpen(dialog));
    EXPECT_TRUE(shared().HeightGrid.empty());

    const QString expected = folder.filePath(QStringLiteral("cli.dxf"));
    ASSERT_EQ(runCli({QStringLiteral("surface"), picturePath, QStringLiteral("-o"), expected,
                      QStringLiteral("--size-x"), QStringLiteral("0.5"), QStringLiteral("--depth"),
                      QStringLiteral(".3")}),
              0)
        << cliErrors.toStdString();
    const QByteArray bytes = fileBytes(written);
    EXPECT_TRUE(bytes.startsWith("0\r\nSECTION\r\n2\r\nHEADER\r\n"));
    EXPECT_TRUE(bytes.endsWith("0\r\nENDSEC\r\n0\r\nEOF\r\n"));
    EXPECT_GT(bytes.count("3DFACE"), 100);
    EXPECT_EQ(bytes, fileBytes(expected));
}

TEST_F(SurfaceDialogRunTest, GCodeWritesWhatTheCommandLineWritesAfterThePasses)
{
    TfrmPicture* picture = loadPicture(40, 30);
    TDXF* dialog = openDialog(picture, true);
    type(dialog->depthEdit(), QStringLiteral(".2"));
    type(dialog->depthPerPassEdit(), QStringLiteral(".08"));
    type(dialog->feedrateEdit(), QStringLiteral("25"));
    dialog->toolTypeCombo()->setCurrentIndex(2);
    dialog->includedAngleSpin()->setValue(90);
    type(dialog->toolDiameterEdit(), QStringLiteral(".05"));
    const QString written = folder.filePath(QStringLiteral("gui.Dnc"));
    answerSave(written);
    QStringList statuses;
    QObject::connect(dialog->progressBar(), &QProgressBar::valueChanged, dialog,
                     [&](int) { statuses << statusText(); });
    dialog->sizeXEdit()->setFocus();
    QTest::keyClick(dialog->sizeXEdit(), Qt::Key_Return); // Create is the default button

    ASSERT_EQ(prompts.saveRequests.size(), 1u);
    EXPECT_EQ(prompts.saveRequests[0].filter, QStringLiteral("DNC Files|*.Dnc"));
    EXPECT_EQ(prompts.saveRequests[0].defaultExtension, QStringLiteral("Dnc"));
    EXPECT_TRUE(statuses.contains(QStringLiteral("Pass 3"))); // .2 in steps of .08
    EXPECT_FALSE(statuses.contains(QStringLiteral("Pass 4")));
    EXPECT_EQ(statusText(), QStringLiteral("Ready..."));
    EXPECT_EQ(dialog->progressBar()->value(), 0);
    flushDeletes();
    EXPECT_FALSE(isOpen(dialog));
    EXPECT_TRUE(shared().HeightGrid.empty());

    const QString expected = folder.filePath(QStringLiteral("cli.dnc"));
    ASSERT_EQ(
        runCli({QStringLiteral("gcode"), picturePath, QStringLiteral("-o"), expected,
                QStringLiteral("--depth"), QStringLiteral(".2"), QStringLiteral("--depth-per-pass"),
                QStringLiteral(".08"), QStringLiteral("--feed"), QStringLiteral("25"),
                QStringLiteral("--tool"), QStringLiteral("V Bit"), QStringLiteral("--angle"),
                QStringLiteral("90"), QStringLiteral("--diameter"), QStringLiteral(".05")}),
        0)
        << cliErrors.toStdString();
    const QByteArray bytes = fileBytes(written);
    EXPECT_TRUE(bytes.contains(" From relief.bmp)\r\nG90 T0 F25.0000\r\n"));
    EXPECT_EQ(bytes, fileBytes(expected));
}

TEST_F(SurfaceDialogRunTest, CancelDuringThePassesSavesNothingAndKeepsTheDialogOpen)
{
    TfrmPicture* picture = loadPicture(40, 30);
    TDXF* dialog = openDialog(picture, true);
    bool wasBusy = false;
    bool hourglass = false;
    bool gauge = false;
    QString firstStatus;
    duringRun([&] {
        wasBusy = dialog->Busy();
        hourglass = QApplication::overrideCursor() &&
                    QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        gauge = frame->StatusBar1().gaugeVisible();
        firstStatus = statusText();
        QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
    });
    QTest::mouseClick(dialog->createButton(), Qt::LeftButton);

    EXPECT_TRUE(wasBusy);
    EXPECT_TRUE(hourglass);
    // Gouge control reports on the status bar's gauge; Cancel waits for the passes.
    EXPECT_TRUE(gauge);
    EXPECT_EQ(firstStatus, QStringLiteral("Applying Gouge Control. Please Wait..."));
    EXPECT_FALSE(frame->StatusBar1().gaugeVisible());
    EXPECT_TRUE(prompts.saveRequests.empty());
    EXPECT_TRUE(isOpen(dialog));
    EXPECT_FALSE(dialog->Busy());
    EXPECT_FALSE(dialog->StopRequested());
    EXPECT_EQ(dialog->progressBar()->value(), 0);
    EXPECT_EQ(statusText(), QStringLiteral("Ready...")) << "no \"Pass n\" of the stopped run";
    EXPECT_FALSE(QApplication::overrideCursor());
    // The grid as it was built stays for another try, which runs to the end.
    ASSERT_FALSE(shared().HeightGrid.empty());
    const QString written = folder.filePath(QStringLiteral("second.Dnc"));
    answerSave(written);
    QTest::mouseClick(dialog->createButton(), Qt::LeftButton);
    EXPECT_TRUE(fileBytes(written).startsWith("( Created "));
    flushDeletes();
    EXPECT_FALSE(isOpen(dialog));
}

TEST_F(SurfaceDialogRunTest, CancelDuringTheSurfaceFinishesAShorterFileAndCloses)
{
    TfrmPicture* picture = loadPicture(40, 30);
    TDXF* dialog = openDialog(picture, false);
    dialog->gougeCheck()->setChecked(false);
    duringRun([&] { QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton); });
    const QString written = folder.filePath(QStringLiteral("short.Dxf"));
    answerSave(written);
    QTest::mouseClick(dialog->createButton(), Qt::LeftButton);

    const QByteArray bytes = fileBytes(written);
    EXPECT_TRUE(bytes.endsWith("0\r\nENDSEC\r\n0\r\nEOF\r\n"));
    const auto facets = bytes.count("3DFACE");
    EXPECT_GT(facets, 0);
    EXPECT_LT(facets, 41 * 31); // the full surface has a facet per cell
    EXPECT_EQ(statusText(), QStringLiteral("Ready..."));
    flushDeletes();
    EXPECT_FALSE(isOpen(dialog));
}

TEST_F(SurfaceDialogRunTest, EscElsewhereRunsThePassesButSavesNothing)
{
    TfrmPicture* picture = loadPicture(40, 30);
    TDXF* dialog = openDialog(picture, true);
    shared().EscapePressed = true; // from an earlier job: Create starts afresh
    QStringList statuses;
    duringRun([&] { QTest::keyClick(picture->TP, Qt::Key_Escape); });
    QObject::connect(dialog->progressBar(), &QProgressBar::valueChanged, dialog,
                     [&](int) { statuses << statusText(); });
    QTest::mouseClick(dialog->createButton(), Qt::LeftButton);

    EXPECT_TRUE(statuses.contains(QStringLiteral("Pass 1"))); // the passes ran on
    EXPECT_TRUE(prompts.saveRequests.empty());
    EXPECT_EQ(statusText(), QStringLiteral("Process Cancelled..."));
    flushDeletes();
    EXPECT_FALSE(isOpen(dialog));
    EXPECT_TRUE(shared().HeightGrid.empty());
}

TEST_F(SurfaceDialogRunTest, EscInTheDialogAlsoPressesCancel)
{
    TfrmPicture* picture = loadPicture(40, 30);
    TDXF* dialog = openDialog(picture, true);
    duringRun([&] { QTest::keyClick(dialog->sizeYEdit(), Qt::Key_Escape); });
    QTest::mouseClick(dialog->createButton(), Qt::LeftButton);
    EXPECT_TRUE(shared().EscapePressed);
    EXPECT_TRUE(prompts.saveRequests.empty());
    EXPECT_TRUE(isOpen(dialog));
    EXPECT_FALSE(dialog->Busy());
}

TEST_F(SurfaceDialogRunTest, CancelledSavePromptWritesNothingAndCloses)
{
    TfrmPicture* picture = loadPicture(20, 10);
    TDXF* dialog = openDialog(picture, false);
    frame->StatusBar1().setText(0, QStringLiteral("before"));
    prompts.answerSave(std::nullopt);
    QTest::mouseClick(dialog->createButton(), Qt::LeftButton);
    EXPECT_EQ(prompts.saveRequests.size(), 1u);
    EXPECT_EQ(statusText(), QStringLiteral("before"));
    flushDeletes();
    EXPECT_FALSE(isOpen(dialog));

    dialog = openDialog(picture, true);
    prompts.answerSave(std::nullopt);
    QTest::mouseClick(dialog->createButton(), Qt::LeftButton);
    EXPECT_EQ(prompts.saveRequests.size(), 2u);
    flushDeletes();
    EXPECT_FALSE(isOpen(dialog));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 1); // the picture alone
}

TEST_F(SurfaceDialogRunTest, ZeroDiameterStopsTheGCodeRunButNotTheSurface)
{
    TfrmPicture* picture = loadPicture(20, 10);
    TDXF* dialog = openDialog(picture, true);
    type(dialog->toolDiameterEdit(), QStringLiteral("0"));
    QTest::mouseClick(dialog->createButton(), Qt::LeftButton);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Tool Diameter can not be 0!"));
    EXPECT_TRUE(prompts.saveRequests.empty());
    EXPECT_TRUE(isOpen(dialog));
    dialog->SubWindow()->close();

    // The surface goes on without gouge control.
    dialog = openDialog(picture, false);
    type(dialog->toolDiameterEdit(), QStringLiteral("0"));
    const QString written = folder.filePath(QStringLiteral("flat.Dxf"));
    answerSave(written);
    QTest::mouseClick(dialog->createButton(), Qt::LeftButton);
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[1].text, QStringLiteral("Tool Diameter can not be 0!"));
    const QString expected = folder.filePath(QStringLiteral("nogouge.dxf"));
    ASSERT_EQ(runCli({QStringLiteral("surface"), picturePath, QStringLiteral("-o"), expected,
                      QStringLiteral("--no-gouge")}),
              0);
    EXPECT_EQ(fileBytes(written), fileBytes(expected));
}

TEST_F(SurfaceDialogRunTest, RefusedValuesAndFailedWritesAreNamedAndTheDialogStays)
{
    TfrmPicture* picture = loadPicture(20, 10);
    TDXF* dialog = openDialog(picture, false);
    type(dialog->stepXEdit(), QStringLiteral("1,5"));
    QTest::mouseClick(dialog->createButton(), Qt::LeftButton);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.contains(QStringLiteral("Step X")));
    EXPECT_TRUE(prompts.saveRequests.empty());
    EXPECT_TRUE(isOpen(dialog));

    type(dialog->stepXEdit(), QStringLiteral("0.01"));
    answerSave(QStringLiteral("/dev/full"));
    QTest::mouseClick(dialog->createButton(), Qt::LeftButton);
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_TRUE(prompts.messages[1].text.contains(QStringLiteral("/dev/full")));
    EXPECT_NE(statusText(), QStringLiteral("Ready..."));
    EXPECT_FALSE(dialog->Busy());
    EXPECT_FALSE(QApplication::overrideCursor());
    EXPECT_TRUE(isOpen(dialog));

    // An unwritable folder, then a good file: the same dialog still works.
    answerSave(folder.filePath(QStringLiteral("missing/out.Dxf")));
    answerSave(folder.filePath(QStringLiteral("out.Dxf")));
    QTest::mouseClick(dialog->createButton(), Qt::LeftButton);
    ASSERT_EQ(prompts.messages.size(), 3u);
    EXPECT_TRUE(prompts.messages[2].text.contains(QStringLiteral("missing")));
    QTest::mouseClick(dialog->createButton(), Qt::LeftButton);
    EXPECT_EQ(statusText(), QStringLiteral("Ready..."));
    EXPECT_FALSE(fileBytes(folder.filePath(QStringLiteral("out.Dxf"))).isEmpty());
}

TEST_F(SurfaceDialogRunTest, WhileBusyNothingElseCutsIn)
{
    TfrmPicture* picture = loadPicture(40, 30);
    TDXF* dialog = openDialog(picture, true);
    bool dialogClosed = true;
    bool pictureClosed = true;
    bool frameClosed = true;
    QPushButton elsewhere(QStringLiteral("Elsewhere"), frame.get());
    elsewhere.show();
    int elsewhereClicks = 0;
    QObject::connect(&elsewhere, &QPushButton::clicked, [&] { ++elsewhereClicks; });
    duringRun([&] {
        dialog->Button1Click(); // a second Create inside the first
        dialogClosed = dialog->SubWindow()->close();
        pictureClosed = picture->SubWindow()->close();
        frameClosed = frame->close();
        // A click on another window's command does not get through.
        QTest::mouseClick(&elsewhere, Qt::LeftButton);
    });
    answerSave(folder.filePath(QStringLiteral("busy.Dnc")));
    QTest::mouseClick(dialog->createButton(), Qt::LeftButton);
    EXPECT_FALSE(dialogClosed);
    EXPECT_FALSE(pictureClosed);
    EXPECT_FALSE(frameClosed);
    EXPECT_EQ(elsewhereClicks, 0);
    QTest::mouseClick(&elsewhere, Qt::LeftButton); // and once the run is over, it does
    EXPECT_EQ(elsewhereClicks, 1);
    EXPECT_EQ(prompts.saveRequests.size(), 1u); // one run, one question
    EXPECT_EQ(statusText(), QStringLiteral("Ready..."));
    EXPECT_TRUE(isOpen(picture));
    flushDeletes();
    EXPECT_FALSE(isOpen(dialog));
}

TEST_F(SurfaceDialogRunTest, ADialogWhoseGridWasRebuiltRefusesToRun)
{
    TfrmPicture* picture = loadPicture(20, 10);
    TDXF* first = openDialog(picture, false);
    TDXF* second = openDialog(picture, true);
    QTest::mouseClick(first->createButton(), Qt::LeftButton);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.contains(QStringLiteral("Close this dialog")));
    EXPECT_TRUE(prompts.saveRequests.empty());

    // Closing the old dialog leaves the newer one its grid.
    first->SubWindow()->close();
    ASSERT_FALSE(shared().HeightGrid.empty());
    answerSave(folder.filePath(QStringLiteral("second.Dnc")));
    QTest::mouseClick(second->createButton(), Qt::LeftButton);
    EXPECT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(statusText(), QStringLiteral("Ready..."));
}

} // namespace
} // namespace corvane::gui::testing
