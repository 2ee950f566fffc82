// The cut preview: the surface dialog's Preview simulates exactly the program its Create
// writes, a Cancel stops it, and the DNC view's Simulate asks for the tool and stock.
#include "common/number_format.h"
#include "gui/dnc/dnc_window.h"
#include "gui/dnc/simulate_dialog.h"
#include "gui/draw3d/draw3d_panel.h"
#include "gui/simulation/cut_preview.h"
#include "gui/simulation/deviation_legend.h"
#include "simulation/preview_settings.h"
#include "surface_dialog_support.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QKeyEvent>
#include <QRegularExpression>

namespace corvane::gui::testing {
namespace {

using CutPreviewTest = SurfaceDialogTest;

// The value after "key: " in the command line's figures.
double cliFigure(const QByteArray& out, const char* key)
{
    const QRegularExpression line(QStringLiteral("(?m)^%1: (\\S+)$").arg(QLatin1String(key)));
    return line.match(QString::fromUtf8(out)).captured(1).toDouble();
}

int countReddish(const QImage& picture)
{
    int n = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            n += c.red() > c.green() + 40 && c.red() > c.blue() + 40;
        }
    return n;
}

TEST_F(CutPreviewTest, PreviewShowsWhatCreateWritesWithoutWritingIt)
{
    TfrmPicture* picture = loadPicture(40, 30);
    TDXF* dialog = openDialog(picture, true);
    type(dialog->depthEdit(), QStringLiteral(".2"));
    type(dialog->depthPerPassEdit(), QStringLiteral(".1"));
    dialog->toolTypeCombo()->setCurrentIndex(1); // Ball Mill
    type(dialog->toolDiameterEdit(), QStringLiteral(".08"));
    dialog->gougeCheck()->setChecked(false); // the sharp bands get gouged
    ASSERT_TRUE(dialog->previewButton()->isVisible());
    dialog->previewButton()->click();

    auto* preview = activeChild<TfrmCutPreview>();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->windowTitle(), QStringLiteral("Cut Preview - relief.bmp"));
    EXPECT_EQ(statusText(), preview->Figures());
    EXPECT_TRUE(isOpen(dialog));
    EXPECT_EQ(QDir(folder.path()).entryList({QStringLiteral("*.Dnc")}, QDir::Files).size(), 0);

    // Deviation colours show the gouges in red, with the key below.
    const int plainRed = countReddish(preview->Draw3D().PictureOnWhite());
    preview->MenuItem(QStringLiteral("Deviation1"))->trigger();
    EXPECT_TRUE(preview->ByDeviation());
    EXPECT_TRUE(preview->Legend().isVisible());
    EXPECT_GT(countReddish(preview->Draw3D().PictureOnWhite()), plainRed + 50);

    // Its pictures, and one to a folder that does not exist.
    const QString carved = folder.filePath(QStringLiteral("gui.pgm"));
    const QString deviation = folder.filePath(QStringLiteral("gui.png"));
    answerSave(carved);
    preview->MenuItem(QStringLiteral("SaveCarved1"))->trigger();
    answerSave(deviation);
    preview->MenuItem(QStringLiteral("SaveDeviation1"))->trigger();
    const QString nowhere = folder.filePath(QStringLiteral("missing/gui.png"));
    answerSave(nowhere);
    preview->MenuItem(QStringLiteral("SaveDeviation1"))->trigger();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.contains(nowhere))
        << prompts.messages[0].text.toStdString();

    // The same figures and pictures as the command line's simulation of the file Create
    // writes.
    const double cell = simulation::previewCell(shared().HeightGrid, dialog->Model().read());
    frame->MdiArea().setActiveSubWindow(dialog->SubWindow());
    const QString written = folder.filePath(QStringLiteral("gui.Dnc"));
    answerSave(written);
    dialog->createButton()->click();
    QProcess cli;
    cli.start(QStringLiteral(CORVANE_CLI),
              {QStringLiteral("simulate"),
               written,
               QStringLiteral("--tool"),
               QStringLiteral("Ball Mill"),
               QStringLiteral("--diameter"),
               QStringLiteral(".08"),
               QStringLiteral("--cell"),
               QString::number(cell, 'g', 17),
               QStringLiteral("--target"),
               picturePath,
               QStringLiteral("--size-x"),
               QString::fromStdString(dialog->Model().text(relief::SurfaceEdit::SizeX)),
               QStringLiteral("--size-y"),
               QString::fromStdString(dialog->Model().text(relief::SurfaceEdit::SizeY)),
               QStringLiteral("--depth"),
               QStringLiteral(".2"),
               QStringLiteral("-o"),
               folder.filePath(QStringLiteral("cli.pgm")),
               QStringLiteral("--deviation"),
               folder.filePath(QStringLiteral("cli.png"))});
    ASSERT_TRUE(cli.waitForFinished(60000));
    const QByteArray out = cli.readAllStandardOutput();
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    const double gouge = cliFigure(out, "largestGouge");
    EXPECT_GT(gouge, 0.01);
    EXPECT_TRUE(preview->Figures().startsWith(
        QStringLiteral("Gouge ") + QString::fromStdString(fixedText(gouge, 4)) + " at ("))
        << preview->Figures().toStdString();
    EXPECT_EQ(fileBytes(carved), fileBytes(folder.filePath(QStringLiteral("cli.pgm"))));
    EXPECT_EQ(fileBytes(deviation), fileBytes(folder.filePath(QStringLiteral("cli.png"))));
    EXPECT_FALSE(fileBytes(carved).isEmpty());
}

TEST_F(CutPreviewTest, CancelStopsThePreviewAndAToolThatCannotCutIsNamed)
{
    TfrmPicture* picture = loadPicture(60, 40);
    TDXF* dialog = openDialog(picture, true);
    duringRun([dialog] { dialog->cancelButton()->click(); });
    dialog->previewButton()->click();
    EXPECT_EQ(activeChild<TfrmCutPreview>(), nullptr);
    EXPECT_EQ(statusText(), QStringLiteral("Process Cancelled..."));
    EXPECT_TRUE(isOpen(dialog));

    // Esc stops it the same way.
    duringRun([dialog] {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(dialog, &esc);
    });
    dialog->previewButton()->click();
    EXPECT_EQ(activeChild<TfrmCutPreview>(), nullptr);
    EXPECT_EQ(statusText(), QStringLiteral("Process Cancelled..."));
    EXPECT_FALSE(shared().EscapePressed);
    EXPECT_TRUE(isOpen(dialog));

    type(dialog->toolDiameterEdit(), QStringLiteral("0"));
    dialog->previewButton()->click();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Diameter must be a number greater than 0"));
    EXPECT_EQ(activeChild<TfrmCutPreview>(), nullptr);
}

TEST_F(CutPreviewTest, DncViewSimulatesWithTheToolAndStockAskedFor)
{
    OpenDncFile(*frame, writeFile(QStringLiteral("part.dnc"),
                                  "G90 T0 F20\r\nG00 X1 Y1 Z0.1\r\nG01 Z-0.2\r\nG01 X4\r\n"
                                  "G00 X2 Y2 Z-0.1\r\n"));
    TfrmDnc* view = activeChild<TfrmDnc>();
    ASSERT_NE(view, nullptr);
    QString offeredCell;
    int refusals = 0;
    // First OK with a cell the map cannot use: the dialog names it and stays.
    const auto answer = [&] {
        auto* dialog = dynamic_cast<TfrmSimulate*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        offeredCell = dialog->Edit(simulation::SimulateField::CellSize)->text();
        dialog->ToolTypeCombo()->setCurrentText(QStringLiteral("End Mill"));
        dialog->Edit(simulation::SimulateField::Diameter)->setText(QStringLiteral("0.5"));
        dialog->Edit(simulation::SimulateField::CellSize)->setText(QStringLiteral("0"));
        dialog->accept();
        refusals = int(prompts.messages.size());
        dialog->Edit(simulation::SimulateField::CellSize)->setText(QStringLiteral("0.05"));
        dialog->Edit(simulation::SimulateField::StockMinX)->setText(QStringLiteral("0"));
        dialog->Edit(simulation::SimulateField::StockMinY)->setText(QStringLiteral("0"));
        dialog->accept();
    };
    QTimer::singleShot(0, frame.get(), answer);
    view->MenuItem(QStringLiteral("Simulate1"))->trigger();

    EXPECT_EQ(offeredCell, QStringLiteral("0.005")); // 3.x units / 1000, rounded up
    EXPECT_EQ(refusals, 1);
    auto* preview = activeChild<TfrmCutPreview>();
    ASSERT_NE(preview, nullptr);
    // The rapid into the cut stock at line 5 collides; no relief to compare with.
    EXPECT_TRUE(preview->Figures().endsWith(QStringLiteral("1 collision at line 5")))
        << preview->Figures().toStdString();
    EXPECT_FALSE(preview->MenuItem(QStringLiteral("Deviation1"))->isEnabled());
    EXPECT_EQ(preview->Surface().heights.left, 0);
}

TEST_F(CutPreviewTest, DncViewComparesWithThePictureTheProgramCameFrom)
{
    const QString program = folder.filePath(QStringLiteral("relief.dnc"));
    ASSERT_EQ(runCli({QStringLiteral("gcode"), QStringLiteral(CORVANE_SAMPLES "/relief.bmp"),
                      QStringLiteral("-o"), program, QStringLiteral("--tool"),
                      QStringLiteral("Ball Mill"), QStringLiteral("--diameter"),
                      QStringLiteral(".0625")}),
              0);
    OpenDncFile(*frame, program);
    TfrmDnc* view = activeChild<TfrmDnc>();
    ASSERT_NE(view, nullptr);
    bool stockEnabled = true;
    QTimer::singleShot(0, frame.get(), [&] {
        auto* dialog = dynamic_cast<TfrmSimulate*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialog->Edit(simulation::SimulateField::Diameter)->setText(QStringLiteral(".0625"));
        dialog->Edit(simulation::SimulateField::CellSize)->setText(QStringLiteral(".01"));
        prompts.answerOpen(FileChoice{QStringLiteral(CORVANE_SAMPLES "/relief.bmp"), 1});
        for (QPushButton* button : dialog->findChildren<QPushButton*>())
            if (button->text() == QStringLiteral("Browse..."))
                button->click();
        stockEnabled = dialog->Edit(simulation::SimulateField::StockMaxX)->isEnabled();
        dialog->Edit(simulation::SimulateField::TargetSizeX)->setText(QStringLiteral("2.39"));
        dialog->Edit(simulation::SimulateField::TargetSizeY)->setText(QStringLiteral("1.59"));
        dialog->Edit(simulation::SimulateField::TargetDepth)->setText(QStringLiteral(".25"));
        dialog->accept();
    });
    view->Simulate1Click();

    EXPECT_FALSE(stockEnabled);
    auto* preview = activeChild<TfrmCutPreview>();
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->MenuItem(QStringLiteral("Deviation1"))->isEnabled());
    EXPECT_TRUE(preview->Figures().startsWith(QStringLiteral("Gouge ")))
        << preview->Figures().toStdString();
    EXPECT_EQ(preview->Surface().heights.cols, 239); // the relief's area, not the program's
}

} // namespace
} // namespace corvane::gui::testing

namespace corvane::gui::testing {
namespace {

// The manual's pictures of the bundled sample's preview, shaded and by deviation. Skipped
// unless CORVANE_MANUAL_IMAGES names the folder to write them to; run it on a real display
// (xvfb-run) so that the window frame and fonts look as the user sees them.
TEST_F(CutPreviewTest, SamplePreviewForTheManual)
{
    const QString images = qEnvironmentVariable("CORVANE_MANUAL_IMAGES");
    if (images.isEmpty())
        GTEST_SKIP() << "set CORVANE_MANUAL_IMAGES to write the manual's pictures";
    frame->resize(1060, 640);
    TfrmPicture* picture = OpenPicture(*frame, QStringLiteral(CORVANE_SAMPLES "/relief.bmp"));
    ASSERT_NE(picture, nullptr);
    TDXF* dialog = openDialog(picture, true);
    dialog->toolTypeCombo()->setCurrentIndex(1); // Ball Mill
    type(dialog->toolDiameterEdit(), QStringLiteral(".0625"));
    dialog->SubWindow()->move(0, 0);
    dialog->previewButton()->click();
    auto* preview = activeChild<TfrmCutPreview>();
    ASSERT_NE(preview, nullptr);
    preview->SubWindow()->setGeometry(dialog->SubWindow()->width() + 4, 0, 620, 480);
    const auto shoot = [&](const char* name) {
        QEventLoop loop;
        QTimer::singleShot(300, &loop, &QEventLoop::quit);
        loop.exec();
        EXPECT_TRUE(frame->grab().save(QDir(images).filePath(QLatin1String(name))));
    };
    shoot("preview-shaded.png");
    preview->Deviation1Click();
    shoot("preview-deviation.png");
}

} // namespace
} // namespace corvane::gui::testing
