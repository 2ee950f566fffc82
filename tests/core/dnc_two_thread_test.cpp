// The two-thread reading of a G-code program against the one-thread reading: the same moves,
// line numbers and box wherever the second thread starts, on random programs that use every
// modal value the reader carries from line to line.
#include "dnc/dnc_reader.h"
#include "dnc/two_thread_read.h"
#include "relief_test_support.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

using namespace corvane::dnc;

namespace {

// A program of `lines` lines drawn from everything the reader treats differently: G0 to G3
// with and without end points, G numbers it skips, arcs with and without offsets, bare
// coordinate lines, feed words alone and beside moves, comments, blank lines, CR LF, lenient
// numbers, minus zero and letters it does not use. `gEvery` makes G words rarer, so that a
// mode, a feed or an offset often stays in force across the seam.
std::string randomProgram(std::mt19937& random, int lines, int gEvery)
{
    const auto pick = [&](int n) { return int(random() % unsigned(n)); };
    const auto number = [&]() -> std::string {
        switch (pick(8)) {
        case 0:
            return "-0";
        case 1:
            return "";
        case 2:
            return "1,5";
        case 3:
            return std::to_string(pick(5));
        default:
            return std::to_string(pick(4000) - 2000) + "." + std::to_string(pick(10000));
        }
    };
    std::string text;
    for (int n = 0; n < lines; ++n) {
        std::string line;
        const int kind = pick(20);
        if (kind == 0)
            line = "( note X5 Y5 )";
        else if (kind == 1)
            line = "";
        else if (kind == 2)
            line = "F" + number();
        else if (kind == 3)
            line = "G90 G17 T1";
        else {
            if (pick(gEvery) == 0)
                line += "G0" + std::to_string(pick(4)) + " ";
            if (pick(10) == 0)
                line += "F" + number() + " ";
            for (const char letter : {'X', 'Y', 'Z', 'I', 'J'})
                if (pick(3) == 0)
                    line += std::string(1, letter) + number() + " ";
            if (pick(15) == 0)
                line += "M3 S1000";
        }
        text += line + (pick(4) == 0 ? "\r\n" : "\n");
    }
    if (pick(2) == 0 && !text.empty())
        text.pop_back(); // a last line without a line end
    return text;
}

void expectSame(const DncProgram& expected, const DncProgram& got, std::size_t from)
{
    ASSERT_EQ(expected.moves.size(), got.moves.size()) << "seam at " << from;
    for (std::size_t k = 0; k < expected.moves.size(); ++k)
        ASSERT_EQ(expected.moves[k], got.moves[k]) << "record " << k << ", seam at " << from;
    EXPECT_EQ(expected.extents, got.extents) << "seam at " << from;
}

} // namespace

TEST(DncTwoThreadReading, SameAsOneThreadWithTheSeamAtEveryLine)
{
    std::mt19937 random(24);
    for (int program = 0; program < 60; ++program) {
        const std::string text = randomProgram(random, 24, 1 + program % 6);
        const DncProgram expected = ParseDncProgramOnOneThread(text, corvane::silentRunControl());
        for (std::size_t from = 0; from <= text.size(); ++from)
            if (from == 0 || from == text.size() || text[from - 1] == '\n')
                expectSame(expected,
                           ParseDncProgramFromSeam(text, from, corvane::silentRunControl()), from);
    }
}

TEST(DncTwoThreadReading, SameAsOneThreadOnLongProgramsWhereTheStatesMeetLate)
{
    // Long enough for the second thread to note its state many times past the seam. Rare G
    // words keep an unknown mode in the second thread for thousands of lines.
    std::mt19937 random(2024);
    for (const int gEvery : {2, 50, 5000}) {
        const std::string text = randomProgram(random, 30000, gEvery);
        const DncProgram expected = ParseDncProgramOnOneThread(text, corvane::silentRunControl());
        for (const std::size_t from : {text.size() / 3, text.size() / 2, text.size() - 100})
            expectSame(expected, ParseDncProgramFromSeam(text, from, corvane::silentRunControl()),
                       from);
    }
}

TEST(DncTwoThreadReading, ModalValuesSetOnlyBeforeTheSeamReachTheLaterRecords)
{
    // The mode, the feed, z and the arc offsets are each set once, before the seam; the
    // second half sets only x. An arc mode in force over the seam is read on by the first
    // thread. In the last program z is set on an arc, which does not widen the box by it,
    // and the first straight move to widen it by that z comes long after the seam.
    std::string text = "G90 F800\nG01 Y10 Z-1\nG03 X0 Y0 Z-7 I1 J2\nG01 X1\n";
    std::string arcs = "G02 X1 Y1 I0.5 J0.5\n";
    std::string circles = "G03 X0 Y0 Z-7 I1 J2\n";
    for (int k = 0; k < 20000; ++k) {
        text += " X" + std::to_string(k % 100) + "\n";
        arcs += " X" + std::to_string(k % 3) + " Y" + std::to_string(k % 5) + "\n";
        circles += k == 15000 ? "G02 X0 Y0 I1 J1\n" : " X0 Y0\n";
    }
    circles += "G01 X5\n";
    for (const std::string& program : {text, arcs, circles}) {
        const DncProgram expected =
            ParseDncProgramOnOneThread(program, corvane::silentRunControl());
        const DncProgram got =
            ParseDncProgramFromSeam(program, program.size() / 2, corvane::silentRunControl());
        expectSame(expected, got, program.size() / 2);
    }
    const DncMove last =
        ParseDncProgramFromSeam(text, text.size() / 2, corvane::silentRunControl()).moves.back();
    EXPECT_EQ(last.kind, DncFeed);
    EXPECT_EQ(last.feed, 800.0);
    EXPECT_EQ(last.z, -7.0);
    EXPECT_EQ(last.i, 1.0f);
    EXPECT_EQ(last.j, 2.0f);
}

TEST(DncTwoThreadReading, EscInTheFirstHalfStopsBothThreads)
{
    std::string text;
    for (int k = 0; k < 20000; ++k)
        text += "G01 X" + std::to_string(k) + "\n";
    relief_test::ScriptedControl control;
    control.escapeFrom = 3;
    const DncProgram p = ParseDncProgramFromSeam(text, text.size() / 2, control);
    // Three tenths of the first half: the second thread's records are not taken over.
    EXPECT_GT(p.moves.size(), 2000u);
    EXPECT_LT(p.moves.size(), 4000u);
    EXPECT_EQ(control.checkpoints, 3);
}
