// What the DNC view draws, without a window: the lines of rapid and feed moves from the
// origin, and the text pane's line index.
#include "dnc/dnc_drawing.h"
#include "dnc/dnc_reader.h"
#include "dnc/program_lines.h"

#include <gtest/gtest.h>
#include <tuple>
#include <vector>

using namespace corvane::dnc;

namespace {

using Line = std::tuple<DncMoveKind, CanvasPoint, CanvasPoint>;

// Model units at scale 2 to canvas points, y flipped about 10.
std::vector<Line> linesOf(const DncProgram& p)
{
    std::vector<Line> lines;
    const auto toCanvas = [](double x, double y, double z) {
        return CanvasPoint{int(x * 2), 10 - int(y * 2), int(z * 2)};
    };
    forEachDncLine(p.moves, toCanvas, [&](DncMoveKind kind, CanvasPoint from, CanvasPoint to) {
        lines.emplace_back(kind, from, to);
    });
    return lines;
}

} // namespace

TEST(DncView, LinesStartAtTheOriginAndSkipWhatIsNotDrawn)
{
    const DncProgram p = ParseDncProgram("X5 Y5\n"        // kind 0: not drawn, the pen stays
                                         "G00 X1 Y1\n"    // from the origin, as a rapid
                                         "F100\n"         // a feed change draws nothing
                                         "G02 X3 Y1 I1\n" // nor does an arc
                                         "G01 X2 Y2\n"    // from the last drawn point
                                         "X2.01\n"        // less than a pixel: left out
                                         "G00 X0 Y0\n",
                                         corvane::silentRunControl());
    const std::vector<Line> lines = linesOf(p);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], Line(DncRapid, (CanvasPoint{0, 10, 0}), (CanvasPoint{2, 8, 0})));
    EXPECT_EQ(lines[1], Line(DncFeed, (CanvasPoint{2, 8, 0}), (CanvasPoint{4, 6, 0})));
    EXPECT_EQ(lines[2], Line(DncRapid, (CanvasPoint{4, 6, 0}), (CanvasPoint{0, 10, 0})));
}

TEST(DncView, TextLinesAsTheReaderCountsThem)
{
    std::string text;
    for (int k = 0; k < 200; ++k)
        text += "N" + std::to_string(k) + (k % 3 ? "\r\n" : "\n");
    text += "last";
    const ProgramLines lines(text);
    ASSERT_EQ(lines.count(), 201u);
    EXPECT_EQ(lines.line(0), "N0");
    EXPECT_EQ(lines.line(64), "N64");
    EXPECT_EQ(lines.line(130), "N130");
    EXPECT_EQ(lines.line(200), "last");
    EXPECT_EQ(lines.line(201), "");
    EXPECT_EQ(lines.longestLine(), 4u);
    EXPECT_EQ(ProgramLines("a\n\nb\n").count(), 3u);
    EXPECT_EQ(ProgramLines("").count(), 0u);
}
