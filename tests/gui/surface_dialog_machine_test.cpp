// The surface dialog's Machine group: the program written for a controller is byte for byte
// what the command line writes for the same values, bad fields are named before any pass
// runs, the save prompt offers the controller's kind first, and the choice and the fields
// come back in the next dialog. "As Written" keeps today's program and prompt.
#include "gui/app/machine_group.h"
#include "surface_dialog_support.h"

#include <QComboBox>

namespace corvane::gui::testing {
namespace {

using SurfaceDialogMachineTest = SurfaceDialogTest;

const QString kGrblFilter = QStringLiteral("GRBL Programs|*.nc;*.gcode|DNC Files|*.Dnc|"
                                           "LinuxCNC Programs|*.ngc|Mach3 Programs|*.tap");

QStringList gcodeOptions(const QString& picture, const QString& output)
{
    return {QStringLiteral("gcode"),
            picture,
            QStringLiteral("-o"),
            output,
            QStringLiteral("--depth"),
            QStringLiteral(".2"),
            QStringLiteral("--depth-per-pass"),
            QStringLiteral(".08"),
            QStringLiteral("--feed"),
            QStringLiteral("25")};
}

TEST_F(SurfaceDialogMachineTest, AProgramForGrblIsTheCommandLinesAndTheChoiceIsRemembered)
{
    TfrmPicture* picture = loadPicture(40, 30);
    TDXF* dialog = openDialog(picture, true);
    MachineGroup* group = dialog->machineGroup();
    ASSERT_NE(group, nullptr);
    EXPECT_TRUE(group->isVisibleTo(dialog));
    EXPECT_EQ(group->machineCombo()->currentText(), QStringLiteral("As Written"));
    EXPECT_FALSE(group->unitsCombo()->isEnabled());
    EXPECT_FALSE(group->spindleSpeedEdit()->isEnabled());
    EXPECT_FALSE(group->plungeFeedrateEdit()->isEnabled());
    type(dialog->depthEdit(), QStringLiteral(".2"));
    type(dialog->depthPerPassEdit(), QStringLiteral(".08"));
    type(dialog->feedrateEdit(), QStringLiteral("25"));

    // The fields a profile needs are judged, and named, before any pass runs.
    group->machineCombo()->setCurrentText(QStringLiteral("GRBL"));
    EXPECT_TRUE(group->unitsCombo()->isEnabled());
    EXPECT_TRUE(group->spindleSpeedEdit()->isEnabled());
    type(group->spindleSpeedEdit(), QStringLiteral("18k"));
    QTest::mouseClick(dialog->createButton(), Qt::LeftButton);
    group->unitsCombo()->setCurrentText(QStringLiteral("mm"));
    QTest::mouseClick(dialog->createButton(), Qt::LeftButton);
    type(group->spindleSpeedEdit(), QStringLiteral("18000"));
    type(group->plungeFeedrateEdit(), QStringLiteral("0"));
    QTest::mouseClick(dialog->createButton(), Qt::LeftButton);
    ASSERT_EQ(prompts.messages.size(), 3u);
    EXPECT_EQ(prompts.messages[0].text,
              QStringLiteral("Units must be chosen for GRBL: inch or mm"));
    EXPECT_TRUE(prompts.messages[1].text.startsWith(QStringLiteral("Spindle Speed must be")))
        << prompts.messages[1].text.toStdString();
    EXPECT_TRUE(prompts.messages[2].text.startsWith(QStringLiteral("Plunge Feedrate must be")))
        << prompts.messages[2].text.toStdString();
    EXPECT_TRUE(prompts.saveRequests.empty());
    EXPECT_TRUE(isOpen(dialog));

    type(group->plungeFeedrateEdit(), QStringLiteral("10"));
    const QString written = folder.filePath(QStringLiteral("gui.nc"));
    answerSave(written);
    QTest::mouseClick(dialog->createButton(), Qt::LeftButton);
    ASSERT_EQ(prompts.saveRequests.size(), 1u);
    EXPECT_EQ(prompts.saveRequests[0].filter, kGrblFilter);
    EXPECT_EQ(prompts.saveRequests[0].defaultExtension, QStringLiteral("nc"));
    flushDeletes();
    EXPECT_FALSE(isOpen(dialog));

    const QString expected = folder.filePath(QStringLiteral("cli.nc"));
    ASSERT_EQ(runCli(gcodeOptions(picturePath, expected) +
                     QStringList{"--machine", "GRBL", "--units", "mm", "--spindle-speed", "18000",
                                 "--plunge-feed", "10"}),
              0)
        << cliErrors.toStdString();
    const QByteArray bytes = fileBytes(written);
    EXPECT_TRUE(bytes.contains("\r\nG21\r\n"));
    EXPECT_TRUE(bytes.contains("\r\nM3 S18000\r\n"));
    EXPECT_TRUE(bytes.endsWith("M5\r\nM2\r\n"));
    EXPECT_EQ(bytes, fileBytes(expected));

    // The next dialog, as the next session's, starts from what was chosen.
    dialog = openDialog(picture, true);
    group = dialog->machineGroup();
    EXPECT_EQ(group->machineCombo()->currentText(), QStringLiteral("GRBL"));
    EXPECT_EQ(group->unitsCombo()->currentText(), QStringLiteral("mm"));
    EXPECT_EQ(group->spindleSpeedEdit()->text(), QStringLiteral("18000"));
    EXPECT_EQ(group->plungeFeedrateEdit()->text(), QStringLiteral("10"));
    EXPECT_TRUE(group->spindleSpeedEdit()->isEnabled());
}

TEST_F(SurfaceDialogMachineTest, AsWrittenWithTheFieldsStillFilledWritesTodaysProgram)
{
    TfrmPicture* picture = loadPicture(40, 30);
    TDXF* dialog = openDialog(picture, true);
    MachineGroup* group = dialog->machineGroup();
    group->machineCombo()->setCurrentText(QStringLiteral("Mach3"));
    group->unitsCombo()->setCurrentText(QStringLiteral("inch"));
    type(group->spindleSpeedEdit(), QStringLiteral("12000"));
    type(group->plungeFeedrateEdit(), QStringLiteral("7"));
    group->machineCombo()->setCurrentText(QStringLiteral("As Written"));
    EXPECT_FALSE(group->plungeFeedrateEdit()->isEnabled());
    type(dialog->depthEdit(), QStringLiteral(".2"));
    type(dialog->depthPerPassEdit(), QStringLiteral(".08"));
    type(dialog->feedrateEdit(), QStringLiteral("25"));
    const QString written = folder.filePath(QStringLiteral("gui.Dnc"));
    answerSave(written);
    QTest::mouseClick(dialog->createButton(), Qt::LeftButton);

    ASSERT_EQ(prompts.saveRequests.size(), 1u);
    EXPECT_EQ(prompts.saveRequests[0].filter, QStringLiteral("DNC Files|*.Dnc"));
    EXPECT_EQ(prompts.saveRequests[0].defaultExtension, QStringLiteral("Dnc"));
    const QString expected = folder.filePath(QStringLiteral("cli.dnc"));
    ASSERT_EQ(runCli(gcodeOptions(picturePath, expected)), 0) << cliErrors.toStdString();
    const QByteArray bytes = fileBytes(written);
    EXPECT_TRUE(bytes.contains(" From relief.bmp)\r\nG90 T0 F25.0000\r\n"));
    EXPECT_FALSE(bytes.contains("F7"));
    EXPECT_EQ(bytes, fileBytes(expected));

    // The fields are kept for when a profile is chosen again.
    dialog = openDialog(picture, true);
    EXPECT_EQ(dialog->machineGroup()->machineCombo()->currentText(), QStringLiteral("As Written"));
    EXPECT_EQ(dialog->machineGroup()->spindleSpeedEdit()->text(), QStringLiteral("12000"));
}

TEST_F(SurfaceDialogMachineTest, TheDxfSurfaceHasNoMachine)
{
    TfrmPicture* picture = loadPicture(20, 10);
    EXPECT_EQ(openDialog(picture, false)->machineGroup(), nullptr);
}

TEST(ProgramSaveKinds, EachControllersKindComesFirstAndEveryOtherKindIsStillOffered)
{
    const ProgramSaveKinds asWritten = programSaveKinds(machine::Machine::AsWritten);
    EXPECT_EQ(asWritten.filter, QStringLiteral("DNC Files|*.Dnc"));
    EXPECT_EQ(asWritten.defaultExtension, QStringLiteral("Dnc"));
    EXPECT_EQ(programSaveKinds(machine::Machine::Grbl).filter, kGrblFilter);
    EXPECT_EQ(programSaveKinds(machine::Machine::Grbl).defaultExtension, QStringLiteral("nc"));
    const ProgramSaveKinds linuxCnc = programSaveKinds(machine::Machine::LinuxCnc);
    EXPECT_EQ(linuxCnc.filter,
              QStringLiteral("LinuxCNC Programs|*.ngc|DNC Files|*.Dnc|GRBL Programs|*.nc;*.gcode|"
                             "Mach3 Programs|*.tap"));
    EXPECT_EQ(linuxCnc.defaultExtension, QStringLiteral("ngc"));
    const ProgramSaveKinds mach3 = programSaveKinds(machine::Machine::Mach3);
    EXPECT_EQ(mach3.filter, QStringLiteral("Mach3 Programs|*.tap|DNC Files|*.Dnc|GRBL Programs|"
                                           "*.nc;*.gcode|LinuxCNC Programs|*.ngc"));
    EXPECT_EQ(mach3.defaultExtension, QStringLiteral("tap"));
}

} // namespace
} // namespace corvane::gui::testing
