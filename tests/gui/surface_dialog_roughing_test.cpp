// The surface dialog's "Roughing" group: its fields and their defaults, the refusals, Create
// writing the roughing program beside the finishing program (the bytes the command line
// writes) and Preview carving the two in order.
#include "common/number_format.h"
#include "gui/app/machine_group.h"
#include "gui/relief/roughing_group.h"
#include "gui/simulation/cut_preview.h"
#include "simulation/preview_settings.h"
#include "simulation/simulation_figures.h"
#include "surface_dialog_support.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QRegularExpression>

namespace corvane::gui::testing {
namespace {

// A bowl: white at the rim, black in the middle, so that a roughing end mill has room to
// cut (the patterned picture's white bands stand too close for it).
imaging::Picture bowlPicture(int width, int height)
{
    imaging::Picture picture = solidPicture(width, height, {0, 0, 0});
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double dx = (x - width / 2.0) / (width / 2.0);
            const double dy = (y - height / 2.0) / (height / 2.0);
            const double rim = std::min(1.0, std::sqrt(dx * dx + dy * dy));
            std::uint8_t* pixel = picture.row(y) + 3 * x;
            pixel[0] = pixel[1] = pixel[2] = std::uint8_t(255 * rim);
        }
    return picture;
}

class SurfaceDialogRoughingTest : public SurfaceDialogTest {
protected:
    TfrmPicture* loadBowl(int width, int height)
    {
        picturePath = writeBmp(folder, QStringLiteral("bowl.bmp"), bowlPicture(width, height));
        return OpenPicture(*frame, picturePath);
    }

    // A 40 x 30 bowl's dialog, a 1/20 ball finishing after a .1 end mill that leaves .01.
    TDXF* openBowlWithRoughing()
    {
        TDXF* dialog = openDialog(loadBowl(40, 30), true);
        type(dialog->depthEdit(), QStringLiteral(".2"));
        type(dialog->depthPerPassEdit(), QStringLiteral(".08"));
        type(dialog->feedrateEdit(), QStringLiteral("25"));
        dialog->toolTypeCombo()->setCurrentIndex(1); // Ball Mill
        type(dialog->toolDiameterEdit(), QStringLiteral(".05"));
        RoughingGroup& group = *dialog->roughingGroup();
        group.roughFirstCheck()->setChecked(true);
        type(group.diameterEdit(), QStringLiteral(".1"));
        type(group.stockEdit(), QStringLiteral(".01"));
        type(group.feedrateEdit(), QStringLiteral("40"));
        return dialog;
    }

    // The command line that writes what openBowlWithRoughing's Create writes.
    QStringList bowlWithRoughingCommand(const QString& finishing, const QString& roughing) const
    {
        return {QStringLiteral("gcode"),
                picturePath,
                QStringLiteral("-o"),
                finishing,
                QStringLiteral("--depth"),
                QStringLiteral(".2"),
                QStringLiteral("--depth-per-pass"),
                QStringLiteral(".08"),
                QStringLiteral("--feed"),
                QStringLiteral("25"),
                QStringLiteral("--tool"),
                QStringLiteral("Ball Mill"),
                QStringLiteral("--diameter"),
                QStringLiteral(".05"),
                QStringLiteral("--rough"),
                roughing,
                QStringLiteral("--rough-diameter"),
                QStringLiteral(".1"),
                QStringLiteral("--stock"),
                QStringLiteral(".01"),
                QStringLiteral("--rough-feed"),
                QStringLiteral("40")};
    }
};

std::vector<QWidget*> roughingFields(const RoughingGroup& group)
{
    return {group.toolCombo(),    group.diameterEdit(), group.angleEdit(),   group.stockEdit(),
            group.stepOverEdit(), group.stepDownEdit(), group.feedrateEdit()};
}

// The value after "key: " in the command line's figures.
double cliFigure(const QByteArray& out, const char* key)
{
    const QRegularExpression line(QStringLiteral("(?m)^%1: (\\S+)$").arg(QLatin1String(key)));
    return line.match(QString::fromUtf8(out)).captured(1).toDouble();
}

TEST_F(SurfaceDialogRoughingTest, GroupIsOffUntilRoughFirstAndFollowsTheDialogsValues)
{
    TfrmPicture* picture = loadPicture(40, 30);
    TDXF* dxf = openDialog(picture, false);
    EXPECT_FALSE(dxf->roughingGroup()->isVisibleTo(dxf));
    dxf->SubWindow()->close();
    flushDeletes();

    TDXF* dialog = openDialog(picture, true);
    RoughingGroup& group = *dialog->roughingGroup();
    ASSERT_TRUE(group.isVisible());
    EXPECT_EQ(group.title(), QStringLiteral("Roughing"));
    EXPECT_EQ(group.roughFirstCheck()->text(), QStringLiteral("Rough First"));
    EXPECT_FALSE(group.roughFirstCheck()->isChecked());
    // The whole group lies inside the window, above the progress bar.
    EXPECT_LE(group.geometry().bottom(), dialog->progressBar()->geometry().top());
    EXPECT_LE(group.geometry().right(), dialog->width());
    EXPECT_FALSE(group.geometry().intersects(dialog->gougeGroup()->geometry()));

    for (QWidget* field : roughingFields(group)) {
        EXPECT_FALSE(field->isEnabled()) << field->objectName().toStdString();
        EXPECT_FALSE(group.labelFor(field)->isEnabled());
    }
    EXPECT_EQ(group.toolCombo()->currentText(), QStringLiteral("End Mill"));
    EXPECT_EQ(group.diameterEdit()->text(), QStringLiteral("0.25"));
    EXPECT_EQ(group.stockEdit()->text(), QStringLiteral("0.02"));
    EXPECT_EQ(group.stepOverEdit()->text(), QStringLiteral("0.1"));
    EXPECT_EQ(group.stepDownEdit()->text(), dialog->depthPerPassEdit()->text());
    EXPECT_EQ(group.feedrateEdit()->text(), dialog->feedrateEdit()->text());

    group.roughFirstCheck()->setChecked(true);
    for (QWidget* field : roughingFields(group))
        EXPECT_EQ(field->isEnabled(), field != group.angleEdit())
            << field->objectName().toStdString();
    group.toolCombo()->setCurrentIndex(2); // V Bit
    EXPECT_TRUE(group.angleEdit()->isEnabled());
    EXPECT_TRUE(group.labelFor(group.angleEdit())->isEnabled());

    // Depth also sets Depth / Pass in the dialog; Step Down follows it until typed.
    type(dialog->depthEdit(), QStringLiteral(".4"));
    type(dialog->feedrateEdit(), QStringLiteral("33"));
    EXPECT_EQ(dialog->depthPerPassEdit()->text(), QStringLiteral("0.400"));
    EXPECT_EQ(group.stepDownEdit()->text(), QStringLiteral("0.400"));
    EXPECT_EQ(group.feedrateEdit()->text(), QStringLiteral("33"));
    type(group.diameterEdit(), QStringLiteral(".5"));
    EXPECT_EQ(group.stepOverEdit()->text(), QStringLiteral("0.2"));
    type(group.stepOverEdit(), QStringLiteral(".15"));
    type(group.stepDownEdit(), QStringLiteral(".05"));
    type(group.diameterEdit(), QStringLiteral(".3"));
    type(dialog->depthPerPassEdit(), QStringLiteral(".1"));
    EXPECT_EQ(group.stepOverEdit()->text(), QStringLiteral(".15"));
    EXPECT_EQ(group.stepDownEdit()->text(), QStringLiteral(".05"));
    EXPECT_EQ(group.feedrateEdit()->text(), QStringLiteral("33"));
}

TEST_F(SurfaceDialogRoughingTest, BadRoughingValuesAreRefusedNamingTheFieldBeforeAnyWork)
{
    TfrmPicture* picture = loadPicture(40, 30);
    TDXF* dialog = openDialog(picture, true);
    RoughingGroup& group = *dialog->roughingGroup();
    group.roughFirstCheck()->setChecked(true);
    const struct {
        QLineEdit* edit;
        QString text;
        QString message;
    } cases[] = {
        {group.diameterEdit(), QStringLiteral("abc"),
         QStringLiteral("Roughing Diameter: \"abc\" is not a number")},
        {group.stockEdit(), QStringLiteral("-0.01"),
         QStringLiteral("Stock to Leave can not be negative")},
        {group.stepOverEdit(), QStringLiteral("0.3"),
         QStringLiteral("Step Over can not be larger than the Diameter")},
        {group.stepDownEdit(), QStringLiteral("0"),
         QStringLiteral("Step Down must be a number greater than 0")},
        {group.feedrateEdit(), QStringLiteral("1,5"),
         QStringLiteral("Roughing Feedrate: \"1,5\" is not a number")},
    };
    for (const auto& bad : cases) {
        const QString good = bad.edit->text();
        type(bad.edit, bad.text);
        for (QPushButton* button : {dialog->createButton(), dialog->previewButton()}) {
            prompts.messages.clear();
            button->click();
            ASSERT_EQ(prompts.messages.size(), 1u) << bad.text.toStdString();
            EXPECT_EQ(prompts.messages[0].text, bad.message);
        }
        type(bad.edit, good);
    }
    group.toolCombo()->setCurrentIndex(2); // V Bit: its angle is read
    type(group.angleEdit(), QStringLiteral("4"));
    prompts.messages.clear();
    dialog->createButton()->click();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.startsWith(QStringLiteral("Roughing Included Angle")))
        << prompts.messages[0].text.toStdString();

    EXPECT_TRUE(prompts.saveRequests.empty());
    EXPECT_EQ(activeChild<TfrmCutPreview>(), nullptr);
    EXPECT_TRUE(isOpen(dialog));
    EXPECT_FALSE(dialog->Busy());
}

TEST_F(SurfaceDialogRoughingTest, CreateWritesBothProgramsAsTheCommandLineDoes)
{
    TDXF* dialog = openBowlWithRoughing();
    const QString finishing = folder.filePath(QStringLiteral("gui.Dnc"));
    const QString roughing = folder.filePath(QStringLiteral("gui-rough.dnc"));
    answerSave(finishing);
    answerSave(roughing);
    dialog->createButton()->click();

    ASSERT_EQ(prompts.saveRequests.size(), 2u);
    EXPECT_TRUE(prompts.saveRequests[0].fileName.isEmpty());
    EXPECT_EQ(prompts.saveRequests[1].fileName, QStringLiteral("gui-rough.dnc"));
    EXPECT_EQ(QDir(prompts.saveRequests[1].folder), QDir(folder.path()));
    EXPECT_EQ(prompts.saveRequests[1].filter, QStringLiteral("DNC Files|*.Dnc"));
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(statusText(), QStringLiteral("Ready..."));
    flushDeletes();
    EXPECT_FALSE(isOpen(dialog));

    const QString cliFinishing = folder.filePath(QStringLiteral("cli.dnc"));
    const QString cliRoughing = folder.filePath(QStringLiteral("cli-rough.dnc"));
    ASSERT_EQ(runCli(bowlWithRoughingCommand(cliFinishing, cliRoughing)), 0)
        << cliErrors.toStdString();
    const QByteArray finish = fileBytes(finishing);
    const QByteArray rough = fileBytes(roughing);
    EXPECT_TRUE(rough.contains("F40.0000"));
    EXPECT_NE(rough, finish);
    EXPECT_EQ(finish, fileBytes(cliFinishing));
    EXPECT_EQ(rough, fileBytes(cliRoughing));
}

// With a controller chosen, both programs are that controller's, and the roughing program
// is proposed with the finishing program's extension.
TEST_F(SurfaceDialogRoughingTest, BothProgramsFollowTheMachineChosen)
{
    TDXF* dialog = openBowlWithRoughing();
    MachineGroup& machine = *dialog->machineGroup();
    machine.machineCombo()->setCurrentText(QStringLiteral("LinuxCNC"));
    machine.unitsCombo()->setCurrentText(QStringLiteral("mm"));
    type(machine.spindleSpeedEdit(), QStringLiteral("12000"));
    type(machine.plungeFeedrateEdit(), QStringLiteral("5"));
    const QString finishing = folder.filePath(QStringLiteral("gui.ngc"));
    const QString roughing = folder.filePath(QStringLiteral("gui-rough.ngc"));
    answerSave(finishing);
    answerSave(roughing);
    dialog->createButton()->click();

    ASSERT_EQ(prompts.saveRequests.size(), 2u);
    EXPECT_EQ(prompts.saveRequests[1].fileName, QStringLiteral("gui-rough.ngc"));
    EXPECT_EQ(prompts.saveRequests[1].filter, prompts.saveRequests[0].filter);
    EXPECT_EQ(prompts.saveRequests[1].defaultExtension, QStringLiteral("ngc"));
    for (const auto& message : prompts.messages)
        ADD_FAILURE() << message.text.toStdString();

    const QString cliFinishing = folder.filePath(QStringLiteral("cli.ngc"));
    const QString cliRoughing = folder.filePath(QStringLiteral("cli-rough.ngc"));
    ASSERT_EQ(runCli(bowlWithRoughingCommand(cliFinishing, cliRoughing) +
                     QStringList{"--machine", "LinuxCNC", "--units", "mm", "--spindle-speed",
                                 "12000", "--plunge-feed", "5"}),
              0)
        << cliErrors.toStdString();
    const QByteArray rough = fileBytes(roughing);
    EXPECT_TRUE(rough.contains("\r\nM3 S12000\r\n"));
    EXPECT_TRUE(rough.endsWith("M5\r\nM2\r\n"));
    EXPECT_EQ(rough, fileBytes(cliRoughing));
    EXPECT_EQ(fileBytes(finishing), fileBytes(cliFinishing));
}

TEST_F(SurfaceDialogRoughingTest, CancellingEitherPromptWritesNothing)
{
    TfrmPicture* picture = loadPicture(40, 30);
    for (const bool cancelRoughing : {true, false}) {
        TDXF* dialog = openDialog(picture, true);
        dialog->roughingGroup()->roughFirstCheck()->setChecked(true);
        prompts.saveRequests.clear();
        if (cancelRoughing)
            answerSave(folder.filePath(QStringLiteral("gui.Dnc")));
        prompts.answerSave(std::nullopt);
        dialog->createButton()->click();

        EXPECT_EQ(prompts.saveRequests.size(), cancelRoughing ? 2u : 1u);
        EXPECT_TRUE(QDir(folder.path()).entryList({QStringLiteral("*.dnc")}, QDir::Files).empty());
        EXPECT_FALSE(dialog->Busy());
        flushDeletes();
        EXPECT_FALSE(isOpen(dialog)); // as when the one prompt of a plain Create is cancelled
    }
}

TEST_F(SurfaceDialogRoughingTest, PreviewShowsTheStockAfterRoughingAndTheFinalSurface)
{
    TfrmPicture* picture = loadBowl(60, 40);
    TDXF* dialog = openDialog(picture, true);
    type(dialog->depthEdit(), QStringLiteral(".3"));
    type(dialog->depthPerPassEdit(), QStringLiteral(".1"));
    dialog->toolTypeCombo()->setCurrentIndex(1); // Ball Mill
    type(dialog->toolDiameterEdit(), QStringLiteral(".04"));

    // The finishing program alone, in its passes, for comparison.
    dialog->previewButton()->click();
    auto* alone = activeChild<TfrmCutPreview>();
    ASSERT_NE(alone, nullptr);
    EXPECT_FALSE(alone->RoughedSurface());
    EXPECT_FALSE(alone->MenuItem(QStringLiteral("StockAfterRoughing1"))->isEnabled());
    const simulation::ZMap finishedAlone = alone->Surface().heights;

    frame->MdiArea().setActiveSubWindow(dialog->SubWindow());
    RoughingGroup& group = *dialog->roughingGroup();
    group.roughFirstCheck()->setChecked(true);
    type(group.diameterEdit(), QStringLiteral(".1"));
    dialog->previewButton()->click();
    auto* preview = activeChild<TfrmCutPreview>();
    ASSERT_NE(preview, nullptr);
    ASSERT_NE(preview, alone);
    ASSERT_TRUE(preview->RoughedSurface());
    EXPECT_TRUE(isOpen(dialog));
    EXPECT_TRUE(QDir(folder.path()).entryList({QStringLiteral("*.dnc")}, QDir::Files).empty());
    EXPECT_TRUE(preview->MenuItem(QStringLiteral("FinalSurface1"))->isChecked());
    EXPECT_FALSE(preview->ShowsRoughedStock());

    // Roughing never takes what the finish leaves: the final surface is the one the finish
    // carves alone, and the stock after roughing stands on or above it everywhere.
    const simulation::ZMap& finished = preview->Surface().heights;
    const simulation::ZMap& stock = preview->RoughedSurface()->heights;
    ASSERT_EQ(finished.heights.size(), finishedAlone.heights.size());
    ASSERT_EQ(finished.heights.size(), stock.heights.size());
    int roughed = 0;
    for (std::size_t i = 0; i < finished.heights.size(); ++i) {
        EXPECT_NEAR(finished.heights[i], finishedAlone.heights[i], 1e-4) << i;
        EXPECT_GE(stock.heights[i], finished.heights[i] - 1e-9) << i;
        roughed += stock.heights[i] < -0.05;
    }
    EXPECT_GT(roughed, 0); // the end mill took material away

    preview->MenuItem(QStringLiteral("StockAfterRoughing1"))->trigger();
    EXPECT_TRUE(preview->ShowsRoughedStock());
    EXPECT_EQ(preview->Surface().heights.heights, stock.heights);
    EXPECT_TRUE(preview->MenuItem(QStringLiteral("StockAfterRoughing1"))->isChecked());
    EXPECT_FALSE(preview->MenuItem(QStringLiteral("FinalSurface1"))->isChecked());
    preview->MenuItem(QStringLiteral("FinalSurface1"))->trigger();
    EXPECT_FALSE(preview->ShowsRoughedStock());

    // The figures are those the command line gives for the two programs Create writes.
    const double cell = simulation::previewCell(shared().HeightGrid, dialog->Model().read());
    frame->MdiArea().setActiveSubWindow(dialog->SubWindow());
    const QString finishing = folder.filePath(QStringLiteral("gui.Dnc"));
    const QString roughing = folder.filePath(QStringLiteral("gui-rough.dnc"));
    answerSave(finishing);
    answerSave(roughing);
    dialog->createButton()->click();
    QProcess cli;
    cli.start(QStringLiteral(CORVANE_CLI),
              {QStringLiteral("simulate"),
               finishing,
               QStringLiteral("--tool"),
               QStringLiteral("Ball Mill"),
               QStringLiteral("--diameter"),
               QStringLiteral(".04"),
               QStringLiteral("--cell"),
               QString::number(cell, 'g', 17),
               QStringLiteral("--target"),
               picturePath,
               QStringLiteral("--size-x"),
               QString::fromStdString(dialog->Model().text(relief::SurfaceEdit::SizeX)),
               QStringLiteral("--size-y"),
               QString::fromStdString(dialog->Model().text(relief::SurfaceEdit::SizeY)),
               QStringLiteral("--depth"),
               QStringLiteral(".3"),
               QStringLiteral("--first"),
               roughing,
               QStringLiteral("--first-tool"),
               QStringLiteral("End Mill"),
               QStringLiteral("--first-diameter"),
               QStringLiteral(".1")});
    ASSERT_TRUE(cli.waitForFinished(60000));
    const QByteArray out = cli.readAllStandardOutput();
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    const double largest = cliFigure(out, "largestSecondCut");
    const double share95 = cliFigure(out, "secondCut95");
    EXPECT_GT(largest, 0);
    const std::string expected =
        ", roughing " + simulation::machiningTimeText(cliFigure(out, "firstMachiningMinutes")) +
        ", largest second cut " + fixedText(largest, 4) + ", 95% of second cut within " +
        fixedText(share95, 4);
    EXPECT_TRUE(preview->Figures().endsWith(QString::fromStdString(expected)))
        << preview->Figures().toStdString() << "\n"
        << expected;
    EXPECT_TRUE(preview->Figures().contains(
        QStringLiteral("machining ") +
        QString::fromStdString(simulation::machiningTimeText(cliFigure(out, "machiningMinutes")))));
}

} // namespace
} // namespace corvane::gui::testing
