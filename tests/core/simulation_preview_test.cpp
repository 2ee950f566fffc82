// What the desktop program's cut preview is built from: the stock the DNC view asks for,
// the dialog's defaults and refusals, the preview's cell, the blocks it draws and the
// figures it shows.
#include "common/error.h"
#include "dnc/dnc_reader.h"
#include "simulation/preview_settings.h"
#include "simulation/preview_surface.h"
#include "simulation/simulate_dialog_model.h"
#include "simulation/simulation_figures.h"

#include <gtest/gtest.h>

using namespace corvane::simulation;
using corvane::relief::ToolShape;

namespace {

corvane::dnc::DncProgram parse(const std::string& text)
{
    return corvane::dnc::ParseDncProgram(text, corvane::silentRunControl());
}

} // namespace

TEST(SimulationPreview, AStockSetsTheAreaAndTheTopTheToolMeets)
{
    // The stock stands 1 above z = 0, so the rapid at z 0.5 runs through it.
    const auto program = parse("G90 T0 F10\nG00 X2 Y2 Z0.5\nG01 Z-0.5\nG01 X3\n");
    SimulationSettings s;
    s.cutter = makeCutter(ToolShape::EndMill, 0.5, 60);
    s.cell = 0.25;
    s.stock = Stock{0, 0, 5, 4, 1};
    const Simulation sim = SimulateProgram(program, s, corvane::silentRunControl());
    EXPECT_EQ(sim.carved.cols, 21);
    EXPECT_EQ(sim.carved.rows, 17);
    EXPECT_EQ(sim.carved.at(0, 0), 1);     // untouched corner: the stock top
    EXPECT_EQ(sim.carved.at(8, 10), -0.5); // X 2.5, Y 2: on the cut
    EXPECT_EQ(sim.collisionLines, (std::vector<int>{2}));
    s.stock = Stock{0, 0, 0, 4, 1};
    EXPECT_THROW(SimulateProgram(program, s, corvane::silentRunControl()), corvane::Error);
}

TEST(SimulationPreview, DialogOffersTheProgramsAreaAndRefusesWhatItCannotUse)
{
    const auto program = parse("G90 T0 F10\nG01 X37 Y11.93 Z-1\n");
    SimulateDialogTexts texts = simulateDialogDefaults(program);
    EXPECT_EQ(texts[SimulateField::CellSize], "0.05"); // 37 / 1000 rounded up to 1-2-5
    EXPECT_EQ(texts[SimulateField::StockMaxX], "37");
    EXPECT_EQ(texts[SimulateField::StockMaxY], "11.93"); // not the reader's 11.9300003...
    const SimulationSettings s = readSimulateDialog(texts);
    ASSERT_TRUE(s.stock);
    EXPECT_EQ(s.stock->maxY, 11.93);
    EXPECT_EQ(s.cutter.shape, ToolShape::BallMill);

    const auto refusal = [&](SimulateField field, const std::string& text) {
        SimulateDialogTexts bad = texts;
        bad.tool = "V Bit";
        bad[field] = text;
        try {
            readSimulateDialog(bad);
        } catch (const corvane::Error& e) {
            return std::string(e.what());
        }
        return std::string("accepted");
    };
    EXPECT_EQ(refusal(SimulateField::Diameter, "1,5"), "Diameter: \"1,5\" is not a number");
    EXPECT_EQ(refusal(SimulateField::Diameter, "0"), "Diameter must be a number greater than 0");
    EXPECT_EQ(refusal(SimulateField::IncludedAngle, "200"),
              "Included Angle must lie between 5 and 179 degrees");
    EXPECT_EQ(refusal(SimulateField::CellSize, "-1"), "Cell Size must be a number greater than 0");
    EXPECT_EQ(refusal(SimulateField::StockMaxY, "0.01"),
              "Stock Y To must lie at least one cell beyond Stock Y From");
    // A picture to compare with sets the area: the stock is not read, the relief is.
    SimulateDialogTexts compared = texts;
    compared.picture = "relief.bmp";
    compared[SimulateField::StockMaxX] = "nonsense";
    compared[SimulateField::TargetSizeX] = "2";
    compared[SimulateField::TargetSizeY] = "1";
    EXPECT_FALSE(readSimulateDialog(compared).stock);
    EXPECT_FALSE(readTargetRequest(texts));
    try {
        readTargetRequest(compared);
        ADD_FAILURE() << "an empty Depth was accepted";
    } catch (const corvane::Error& e) {
        EXPECT_STREQ(e.what(), "Depth must be a number greater than 0");
    }
    compared[SimulateField::TargetDepth] = ".25";
    EXPECT_EQ(readTargetRequest(compared)->depth, 0.25);

    SimulateDialogTexts unknownTool = texts;
    unknownTool.tool = "Drill";
    EXPECT_THROW(readSimulateDialog(unknownTool), corvane::Error);
}

TEST(SimulationPreview, CellIsTheFinerStepTakenButKeepsTheMapBounded)
{
    const corvane::relief::TZGrid grid(100, 200, 128);
    corvane::relief::ReliefParameters p;
    p.sizeX = 2;
    p.sizeY = 1;
    p.stepX = 0.02;
    p.stepY = 0.015;
    EXPECT_DOUBLE_EQ(previewCell(grid, p), 0.015);
    p.stepY = 0.001; // finer than a pixel: the program samples every pixel
    EXPECT_DOUBLE_EQ(previewCell(grid, p), 0.01);
    p.sizeX = 100;
    p.stepX = 0.5;
    EXPECT_DOUBLE_EQ(previewCell(grid, p), 100.0 / MaxPreviewCells);
}

TEST(SimulationPreview, BlocksKeepAOneCellGougeInSight)
{
    Simulation sim;
    sim.carved = makeZMap(0, 4.5, 0.5, 10, 9);
    sim.target.assign(sim.carved.heights.size(), 0.0);
    sim.carved.at(4, 7) = -0.3; // a gouge away from its block's first cell
    sim.carved.at(0, 1) = 0.05; // leftover, smaller
    sim.deviation = Deviation{};
    sim.deviation->tolerance = 0.01;
    const PreviewSurface surface = previewSurface(sim, 4);
    ASSERT_EQ(surface.heights.rows, 4); // blocks of 3
    ASSERT_EQ(surface.heights.cols, 3);
    EXPECT_DOUBLE_EQ(surface.heights.cell, 1.5);
    EXPECT_DOUBLE_EQ(surface.deviation[1 * 3 + 2], -0.3);
    EXPECT_DOUBLE_EQ(surface.deviation[0], 0.05);
    EXPECT_DOUBLE_EQ(surface.heights.at(1, 2), 0); // the block's first cell, not the gouge
    EXPECT_EQ(surface.tolerance, 0.01);
}

TEST(SimulationPreview, FiguresReadAsALine)
{
    Simulation sim;
    sim.time.minutes = 125.4;
    sim.feedMoves = 4000;
    sim.rapidMoves = 12;
    sim.collisionLines = {14, 20};
    EXPECT_EQ(
        figuresLine(sim),
        "Machining 2 h 05 min, 4000 feed moves, 12 rapids, 2 collisions at line 14 and after");
    sim.collisionLines.clear();
    sim.time.minutes = 12.46;
    sim.deviation = Deviation{0.01234, 1.25, 3, 0.04, 0.5, 0.75, 0.005, 0.01, 0.973};
    EXPECT_EQ(figuresLine(sim), "Gouge 0.0123 at (1.2500, 3.0000), leftover 0.0400 at (0.5000, "
                                "0.7500), mean 0.0050, 97.3% within 0.0100, machining 12.5 min, "
                                "no collisions");
    EXPECT_EQ(machiningTimeText(59.97), "1 h 00 min");
}

TEST(SimulationPreview, FiguresOfRoughingThenFinishingAddTheRoughingAndTheSecondCut)
{
    SequenceSimulation sequence;
    sequence.final.time.minutes = 12.2;
    sequence.final.feedMoves = 400;
    sequence.final.rapidMoves = 3;
    sequence.first.time.minutes = 0.96;
    sequence.largestSecondCut = 0.21604;
    sequence.secondCut95 = 0.12;
    EXPECT_EQ(sequenceFiguresLine(sequence),
              "Machining 12.2 min, 400 feed moves, 3 rapids, no collisions, roughing 1.0 min, "
              "largest second cut 0.2160, 95% of second cut within 0.1200");
    sequence.first.collisionLines = {40};
    EXPECT_EQ(sequenceFiguresLine(sequence),
              "Machining 12.2 min, 400 feed moves, 3 rapids, no collisions, roughing 1.0 min, "
              "largest second cut 0.2160, 95% of second cut within 0.1200, roughing: 1 "
              "collision at line 40");
}
