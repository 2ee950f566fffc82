// The G-code reader: the dialect's edge cases, its precision rules, lenient numbers, line
// ends, Esc, files, and reading back what our raster writer wrote.
#include "common/error.h"
#include "common/number_format.h"
#include "dnc/dnc_reader.h"
#include "dnc/dnc_words.h"
#include "relief/collapse_rapids.h"
#include "relief/raster_passes.h"
#include "relief/raster_program.h"
#include "relief_test_support.h"
#include "scratch_folder.h"

#include <cfloat>
#include <charconv>
#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

using namespace corvane::dnc;
using corvane::Extents3D;

namespace {

DncProgram parse(const std::string& text)
{
    return ParseDncProgram(text, corvane::silentRunControl());
}

DncMove move(DncMoveKind kind, int line, double feed, double x, double y, double z, float i = 0,
             float j = 0)
{
    DncMove m;
    m.kind = kind;
    m.line = line;
    m.feed = feed;
    m.x = x;
    m.y = y;
    m.z = z;
    m.i = i;
    m.j = j;
    return m;
}

double f(double v)
{
    return double(float(v));
} // as the reader keeps a coordinate

} // namespace

TEST(DncReader, CommentsCoordinatesBeforeAnyGAndModalAxes)
{
    const DncProgram p = parse("G01 X1 Y2 (first cut)\n"
                               "X10 Y10\n"
                               "G01 X5\n"
                               "Y3\n");
    ASSERT_EQ(p.moves.size(), 3u);
    EXPECT_EQ(p.moves[0], move(DncNone, 2, 0, 10, 10, 0));
    EXPECT_EQ(p.moves[1], move(DncFeed, 3, 0, 5, 10, 0));
    EXPECT_EQ(p.moves[2], move(DncFeed, 4, 0, 5, 3, 0));
    // The kind-0 line still counts for the box; the origin is always inside.
    EXPECT_EQ(p.extents, (Extents3D{0, 10, 0, 10, 0, 0, 10, 10}));
}

TEST(DncReader, LinesWithOtherGNumbersRecordOnlyTheirFeed)
{
    const DncProgram p = parse("G01 X5\n"
                               "G90 T0 F250.0000\n"
                               "G90 X7\n"
                               "G17 G02 X1 Y1 I1 J0\n"
                               "Y2\n");
    ASSERT_EQ(p.moves.size(), 3u);
    EXPECT_EQ(p.moves[1], move(DncFeedChange, 2, 250, 0, 0, 0));
    // X stayed 5 through "G90 X7"; the feed is carried into later records.
    EXPECT_EQ(p.moves[2], move(DncFeed, 5, 250, 5, 2, 0));
}

TEST(DncReader, HalfCircleFromTheOriginWidensByTheWholeCircle)
{
    const DncProgram p = parse("G02 X10 Y0 I5 J0 Z-1\n");
    ASSERT_EQ(p.moves.size(), 1u);
    const DncMove& m = p.moves[0];
    EXPECT_EQ(m.kind, DncClockwise);
    EXPECT_EQ(m.startAngle, float(Pi));
    EXPECT_EQ(m.endAngle, 0.0f);
    EXPECT_EQ(m.i, 5.0f);
    // Arcs leave z out of the box.
    EXPECT_EQ(p.extents, (Extents3D{0, 10, -5, 5, 0, 0, 10, 10}));
}

TEST(DncReader, ArcsBackToTheirStartAreFullCircles)
{
    DncProgram p = parse("G03 X0 Y0 I5 J0\nG02 X0 Y0 I0 J-2\n");
    ASSERT_EQ(p.moves.size(), 2u);
    EXPECT_EQ(p.moves[0].startAngle, float(Pi));
    EXPECT_EQ(p.moves[0].endAngle, float(Pi + TwoPi));
    EXPECT_EQ(p.moves[1].startAngle, float(HalfPi));
    EXPECT_EQ(p.moves[1].endAngle, float(HalfPi - TwoPi));

    // Each sweep runs its own way: clockwise from the left over the top is π to π/2,
    // clockwise from the left under the bottom ends below zero.
    p = parse("G02 X5 Y5 I5 J0\nG00 X0 Y0\nG02 X5 Y-5 I5 J0\nG00 X0 Y0\nG03 X5 Y5 I5\n");
    EXPECT_EQ(p.moves[0].endAngle, float(HalfPi));
    EXPECT_EQ(p.moves[2].endAngle, float(ThreeHalvesPi - TwoPi));
    EXPECT_EQ(p.moves[4].endAngle, float(HalfPi + TwoPi));
}

TEST(DncReader, ArcOffsetsCarryOverModalArcLinesAndLinesWithoutG)
{
    const DncProgram p = parse("G02 X2 Y0 I1 J0\n"
                               "X4 J1\n"
                               "G03 X6 Y0\n"
                               "G01 X7\n"
                               "Y1\n");
    ASSERT_EQ(p.moves.size(), 5u);
    EXPECT_EQ(p.moves[1].i, 1.0f); // kept from the line before
    EXPECT_EQ(p.moves[1].j, 1.0f);
    EXPECT_EQ(p.moves[2].i, 0.0f); // a G02/G03 line starts from 0
    EXPECT_EQ(p.moves[2].j, 0.0f);
    EXPECT_EQ(p.moves[1].startAngle, float(ArcAngle(-1, -1)));
    // A G01 line records 0, but the working offsets live on in later lines without G.
    EXPECT_EQ(p.moves[3].i, 0.0f);
    EXPECT_EQ(p.moves[4].i, 0.0f);
    const DncProgram q = parse("G02 X2 Y0 I1 J3\nG01 X3\nY1\n");
    EXPECT_EQ(q.moves[1].j, 0.0f);
    EXPECT_EQ(q.moves[2].i, 1.0f);
    EXPECT_EQ(q.moves[2].j, 3.0f);
}

TEST(DncReader, GNumbersAndBareLetters)
{
    const DncProgram p = parse("G01 X3 Y4 Z5\n"
                               "G1\n"
                               "G01X5\n"
                               "G021 X6\n"    // two digits at most: G02
                               "G X1\n"       // a lone G is a rapid
                               "X Y2\n"       // a bare X is 0
                               "x9 y9 g1\n"); // lower case is no word
    ASSERT_EQ(p.moves.size(), 6u);
    EXPECT_EQ(p.moves[1], move(DncFeed, 2, 0, 3, 4, 5));
    EXPECT_EQ(p.moves[2].kind, DncFeed);
    EXPECT_EQ(p.moves[3].kind, DncClockwise);
    EXPECT_EQ(p.moves[4], move(DncRapid, 5, 0, 1, 4, 5));
    EXPECT_EQ(p.moves[5], move(DncRapid, 6, 0, 0, 2, 5));
    EXPECT_EQ(gNumberAt("G90", 1), 90);
    EXPECT_EQ(gNumberAt("G", 1), 0);
}

TEST(DncReader, EmptyInputsGiveNothing)
{
    for (const char* text : {"", "\n\n\r\n", "( only a comment )", "M30\nT1 S1000\n"}) {
        const DncProgram p = parse(text);
        EXPECT_TRUE(p.moves.empty()) << text;
        EXPECT_EQ(p.extents, Extents3D{}) << text;
    }
}

TEST(DncReader, LineEndsAndLineNumbers)
{
    const std::string lf = "G00 X1\n\nY2\nG01 Z-3";
    std::string crlf;
    for (char c : lf)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const DncProgram a = parse(lf), b = parse(crlf);
    ASSERT_EQ(a.moves.size(), 3u);
    EXPECT_EQ(a.moves, b.moves);
    EXPECT_EQ(a.moves[2].line, 4);
    EXPECT_EQ(a.moves[2].z, -3.0);
}

TEST(DncReader, NumbersReadAsTheirLongestLeadingNumber)
{
    using W = WordChars;
    EXPECT_EQ(WordValue("X1,5", 'X', W::Coordinate), 1.0f);
    EXPECT_EQ(WordValue("X1-2", 'X', W::Coordinate), 1.0f);
    EXPECT_EQ(WordValue("X+-3", 'X', W::Coordinate), 0.0f);
    EXPECT_EQ(WordValue("X-.5/", 'X', W::Coordinate), -0.5f);
    EXPECT_EQ(WordValue("X5.Y1", 'X', W::Coordinate), 5.0f);
    EXPECT_EQ(WordValue("X.", 'X', W::Coordinate), 0.0f);
    EXPECT_EQ(WordValue("X2 X3", 'X', W::Coordinate), 2.0f);
    EXPECT_EQ(WordValue("Y2", 'X', W::Coordinate), std::nullopt);
    EXPECT_EQ(WordValue("X1e5", 'X', W::Coordinate), 1.0f); // E is not collected
    // F collects "$" to "9": "12*3" is collected whole and reads as 12, "$5" as nothing.
    EXPECT_EQ(WordValue("F12*3", 'F', W::Feed), 12.0f);
    EXPECT_EQ(WordValue("F$5", 'F', W::Feed), 0.0f);
    // Out of range: the largest float of the sign, never infinity; tiny values are 0.
    EXPECT_EQ(WordValue("X-" + std::string(400, '9'), 'X', W::Coordinate), -FLT_MAX);
    EXPECT_EQ(WordValue("X1" + std::string(40, '0'), 'X', W::Coordinate), FLT_MAX);
    EXPECT_EQ(WordValue("X0." + std::string(400, '0') + "1", 'X', W::Coordinate), 0.0f);
}

TEST(DncReader, TextConvertsToDoubleThenToFloat)
{
    // Halfway between the floats 1 and 1 + 2^-23, plus far less than half a double step:
    // the double is exactly the halfway point, which rounds to the even float, 1.
    const DncProgram p = parse("G01 X1.00000005960464477539062500000001 Y0.1\n");
    EXPECT_EQ(p.moves[0].x, 1.0);
    EXPECT_EQ(p.moves[0].y, f(0.1));
}

TEST(DncReader, QuickNumberConversionAgreesWithTheGeneralOne)
{
    std::mt19937 random(11);
    for (int n = 0; n < 200000; ++n) {
        std::string digits;
        const int length = 1 + int(random() % 24);
        for (int k = 0; k < length; ++k)
            digits += char('0' + random() % 10);
        std::string text = digits;
        if (random() % 4)
            text.insert(random() % (text.size() + 1), ".");
        double expected = 0;
        const char* first = text.data();
        if (text == ".")
            continue;
        std::from_chars(first, first + text.size(), expected, std::chars_format::fixed);
        ASSERT_EQ(leadingNumber(text), expected) << text;
        ASSERT_EQ(leadingNumber("-" + text + "/"), -expected) << text;
    }
}

TEST(DncReader, ArcAngleOnTheAxesAndInEachQuadrant)
{
    EXPECT_EQ(ArcAngle(0, 0), HalfPi);
    EXPECT_EQ(ArcAngle(0, 2), HalfPi);
    EXPECT_EQ(ArcAngle(0, -2), ThreeHalvesPi);
    EXPECT_EQ(ArcAngle(3, 0), 0.0);
    EXPECT_EQ(ArcAngle(-3, 0), Pi);
    EXPECT_DOUBLE_EQ(ArcAngle(1, 1), Pi / 4);
    EXPECT_DOUBLE_EQ(ArcAngle(-1, 1), 3 * Pi / 4);
    EXPECT_DOUBLE_EQ(ArcAngle(-1, -1), 5 * Pi / 4);
    EXPECT_DOUBLE_EQ(ArcAngle(1, -1), 7 * Pi / 4);
}

TEST(DncReader, EscStopsAtAProgressPointAndTheFileEndsWithACheckpoint)
{
    std::string text;
    for (int k = 0; k < 1000; ++k)
        text += "G01 X" + std::to_string(k) + "\n";
    relief_test::ScriptedControl control;
    control.escapeFrom = 3;
    const DncProgram p = ParseDncProgram(text, control);
    EXPECT_GT(p.moves.size(), 200u);
    EXPECT_LT(p.moves.size(), 400u);

    const corvane::testing::ScratchFolder folder;
    const std::filesystem::path& dir = folder.path();
    const std::string name = (dir / "program.dnc").string();
    std::ofstream(name, std::ios::binary) << text;
    relief_test::ScriptedControl quiet;
    const DncFile file = LoadDncProgram(name, quiet);
    EXPECT_EQ(file.bytes, text);
    EXPECT_EQ(file.program.moves.size(), 1000u);
    ASSERT_FALSE(quiet.statuses.empty());
    EXPECT_EQ(quiet.statuses[0], "Loading " + name + "... Esc to Cancel.");
    EXPECT_EQ(quiet.checkpoints, 10); // nine progress points and the last one

    for (const std::string& bad : {(dir / "missing.dnc").string(), dir.string()}) {
        try {
            LoadDncProgram(bad, quiet);
            ADD_FAILURE() << bad;
        } catch (const corvane::Error& e) {
            EXPECT_EQ(e.file(), bad);
        }
    }
}

TEST(DncReader, AProgramShortenedOrAPipeIsRefusedNotHalfRead)
{
    // Shortens the file once it is open, before it is read, as another program would.
    struct Truncating : corvane::RunControl {
        std::string path;
        void showStatus(const std::string&) override { ::truncate(path.c_str(), 20); }
    };
    const corvane::testing::ScratchFolder folder;
    Truncating control;
    control.path = (folder.path() / "p.dnc").string();
    std::string text;
    for (int k = 0; k < 1000; ++k)
        text += "G01 X" + std::to_string(k) + "\n";
    std::ofstream(control.path, std::ios::binary) << text;
    try {
        LoadDncProgram(control.path, control);
        ADD_FAILURE() << "half a program must not pass for the whole";
    } catch (const corvane::Error& e) {
        EXPECT_EQ(e.file(), control.path);
        EXPECT_EQ(e.reason(), "changed while it was read");
    }

    // A pipe would wait for a writer for ever.
    const std::string pipe = (folder.path() / "pipe.dnc").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    try {
        LoadDncProgram(pipe, corvane::silentRunControl());
        ADD_FAILURE() << "a pipe must be refused";
    } catch (const corvane::Error& e) {
        EXPECT_EQ(e.reason(), "is not a regular file");
    }
}

TEST(DncReader, ReadsBackExactlyWhatTheRasterWriterWrote)
{
    using namespace corvane::relief;
    ReliefParameters params;
    params.sizeX = 7;
    params.sizeY = 5;
    params.stepX = 0.13;
    params.stepY = 0.21;
    params.depth = 1.7;
    params.depthPerPass = 0.6;
    params.rapidHeight = 0.25;
    params.feedRate = 123.4567;
    MoveList written;
    RapidCollapser collapse(written);
    ASSERT_TRUE(GenerateRasterPasses(relief_test::randomGrid(40, 60, 7), params,
                                     corvane::silentRunControl(), collapse));
    collapse.finish();
    StringSink sink;
    sink.write(rasterProgramHeader("01/01/70 00:00:00", "relief (1).bmp", params.feedRate));
    RasterProgramBody body(sink);
    for (const RasterMove& m : written.moves)
        body.add(m);
    body.flush();

    const DncProgram p = parse(sink.text);
    // As the file says it: "%.4f", read as a double, kept as a float.
    std::setlocale(LC_NUMERIC, "C");
    const auto asRead = [](double v) {
        return double(float(std::strtod(corvane::fixedText(v, 4).c_str(), nullptr)));
    };
    const double feed = asRead(params.feedRate);
    TGCodeArray expected{move(DncFeedChange, 2, feed, 0, 0, 0)};
    RasterMove previous{RasterMoveKind(-1), 0, 0, 0};
    for (const RasterMove& m : written.moves) {
        if (m == previous)
            continue; // the writer writes no line for a move that changes nothing
        previous = m;
        expected.push_back(move(m.kind == RasterRapid ? DncRapid : DncFeed,
                                int(expected.size()) + 2, feed, asRead(m.x), asRead(m.y),
                                asRead(m.z)));
    }
    ASSERT_GT(expected.size(), 1000u);
    EXPECT_EQ(p.moves, expected);
}

TEST(DncReader, ReadsTheWorkedRasterExample)
{
    const DncFile file =
        LoadDncProgram(CORVANE_TEST_DATA "/relief/worked_example.dnc", corvane::silentRunControl());
    const DncProgram& p = file.program;
    ASSERT_EQ(p.moves.size(), 14u);
    EXPECT_EQ(p.moves[0], move(DncFeedChange, 2, 10, 0, 0, 0));
    EXPECT_EQ(p.moves[3], move(DncRapid, 5, 10, 0, 2, 0));
    EXPECT_EQ(p.moves[11], move(DncFeed, 13, 10, 4, 2, 0));
    EXPECT_EQ(p.moves[13], move(DncRapid, 15, 10, 0, 1, f(0.1)));
    EXPECT_EQ(p.extents, (Extents3D{0, 4, 0, 2, f(-0.2), f(0.1), 2, 4}));
}
