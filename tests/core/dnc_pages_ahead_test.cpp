// A big program read with a helper thread faulting in the records' pages ahead: the same
// records and box as the reading without it, also when the records outgrow the room
// reserved for them, and Esc still stops it.
#include "dnc/dnc_reader.h"
#include "relief_test_support.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

using namespace corvane::dnc;

namespace {

void expectSame(const DncProgram& expected, const DncProgram& got)
{
    ASSERT_EQ(expected.moves.size(), got.moves.size());
    for (std::size_t k = 0; k < expected.moves.size(); ++k)
        ASSERT_EQ(expected.moves[k], got.moves[k]) << "record " << k;
    EXPECT_EQ(expected.extents, got.extents);
}

} // namespace

TEST(DncPagesAhead, BigProgramsGiveTheRecordsOfTheReadingWithoutHelper)
{
    // A raster program, and one of lines so short ("X1" and a line end) that the records
    // outgrow the room the size allows for them and move while the helper works ahead.
    std::string raster = "G90 F800\nG00 Z0.1\nG01 Z-0.5\n";
    std::string shortLines = "G01 Z-1\n";
    for (int k = 0; raster.size() < PagesAheadBytes + 4096; ++k)
        raster += " X" + std::to_string(k % 997) + ".125 Y" + std::to_string(k / 997) +
                  (k % 3 ? " Z-0.25\n" : "\n");
    for (int k = 0; shortLines.size() < PagesAheadBytes + 4096; ++k)
        shortLines += k % 2 ? "X1\n" : "X2\r\n";
    for (const std::string& text : {raster, shortLines}) {
        const DncProgram expected = ParseDncProgramOnOneThread(text, corvane::silentRunControl());
        ASSERT_GT(expected.moves.size(), 100000u);
        expectSame(expected, ParseDncProgram(text, corvane::silentRunControl()));
    }
}

TEST(DncPagesAhead, EscStopsTheReadingOfABigProgram)
{
    std::string text;
    for (int k = 0; text.size() < 2 * PagesAheadBytes; ++k)
        text += "G01 X" + std::to_string(k) + "\n";
    relief_test::ScriptedControl control;
    control.escapeFrom = 3;
    const DncProgram p = ParseDncProgram(text, control);
    const std::size_t lines = std::size_t(std::count(text.begin(), text.end(), '\n'));
    // Three tenths of the bytes, give or take a line.
    EXPECT_GT(p.moves.size(), lines / 4);
    EXPECT_LT(p.moves.size(), lines * 4 / 10);
    EXPECT_EQ(control.checkpoints, 3);
}
