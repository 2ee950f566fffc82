// Protect Moves on two threads: the program of the one-thread protector, bit for bit, at
// every way of cutting the moves into batches; and no helper thread left behind when the
// run stops, is abandoned or fails.
#include "relief/create_relief.h"
#include "relief/protect_moves.h"
#include "relief/raster_passes.h"
#include "relief/two_thread_protector.h"
#include "relief_test_support.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

using namespace corvane::relief;

namespace {

using relief_test::protectCase;
using relief_test::ToolCase;
using relief_test::Tools;

SampleField fieldOf(const TZGrid& grid, const ReliefParameters& p)
{
    return sampleField(grid, p.sizeX, p.sizeY, p.depth);
}

ToolProfile toolOf(const ReliefParameters& p)
{
    return toolProfile(p.tool, p.toolDiameter, p.includedAngle);
}

// The raster moves of the program before protection (gouge control applied).
std::vector<RasterMove> rasterMoves(const TZGrid& grid, const ReliefParameters& p)
{
    TZGrid gouged = grid;
    applyGougeForRun(gouged, p, corvane::silentRunControl());
    MoveList list;
    GenerateRasterPasses(gouged, p, corvane::silentRunControl(), list);
    return list.moves;
}

bool sameBits(const RasterMove& a, const RasterMove& b)
{
    return a.kind == b.kind &&
           std::bit_cast<std::uint64_t>(a.x) == std::bit_cast<std::uint64_t>(b.x) &&
           std::bit_cast<std::uint64_t>(a.y) == std::bit_cast<std::uint64_t>(b.y) &&
           std::bit_cast<std::uint64_t>(a.z) == std::bit_cast<std::uint64_t>(b.z);
}

TZGrid smoothGrid(int rows, int cols)
{
    TZGrid g(rows, cols);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            g[r][c] = TZGrid::Cell(128 + 90 * std::sin(c / 5.0) * std::cos(r / 7.0) +
                                   ((r / 8 + c / 8) % 2) * 20);
    return g;
}

int threadsOfProcess()
{
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word)
        if (word == "Threads:") {
            int n = 0;
            status >> n;
            return n;
        }
    return -1;
}

// Fails at the given move: a disk filling up under the formatter.
class FailingSink : public MoveSink {
public:
    explicit FailingSink(long long failAt) : failAt_(failAt) {}
    void add(const RasterMove&) override
    {
        if (++seen_ == failAt_)
            throw std::runtime_error("disk full");
    }

private:
    long long failAt_, seen_ = 0;
};

} // namespace

TEST(ProtectMovesThreads, WritesTheOneThreadProgramAtEveryBatching)
{
    const TZGrid noise = relief_test::randomGrid(22, 28, 5);
    const TZGrid deepNoise = relief_test::randomGrid(22, 28, 6, White16);
    const TZGrid smooth = smoothGrid(24, 30);
    TwoThreadProtector::Joins total;
    for (const TZGrid* grid : {&noise, &deepNoise, &smooth})
        for (const ToolCase& t : Tools)
            for (const double step : {0.01, 0.03})
                for (const double perPass : {0.25, 0.1}) {
                    const ReliefParameters p = protectCase(*grid, t, step, perPass);
                    const std::vector<RasterMove> moves = rasterMoves(*grid, p);
                    MoveList one;
                    MoveProtector alone(fieldOf(*grid, p), toolOf(p), one);
                    for (const RasterMove& m : moves)
                        alone.add(m);
                    alone.finish();
                    // Batches of one move (no helper), of two (the helper's part starts on
                    // the caller's last move), odd sizes that put the joins anywhere, and
                    // one batch for the whole program.
                    for (const std::size_t batch :
                         {std::size_t(1), std::size_t(2), std::size_t(3), std::size_t(17),
                          std::size_t(250), moves.size()})
                        for (const double share : {0.5, 0.9}) {
                            MoveList two;
                            TwoThreadProtector protector(fieldOf(*grid, p), toolOf(p), two,
                                                         MoveProtector::Path::Fast,
                                                         {batch, share, 2});
                            for (const RasterMove& m : moves)
                                protector.add(m);
                            protector.finish();
                            const std::string where =
                                std::string(t.name) + " step " + std::to_string(step) +
                                " per pass " + std::to_string(perPass) + " batch " +
                                std::to_string(batch) + " share " + std::to_string(share);
                            ASSERT_EQ(two.moves.size(), one.moves.size()) << where;
                            for (std::size_t i = 0; i < one.moves.size(); ++i)
                                ASSERT_TRUE(sameBits(two.moves[i], one.moves[i]))
                                    << where << " move " << i;
                            EXPECT_EQ(protector.changedMoves(), alone.changedMoves()) << where;
                            total.joined += protector.joins().joined;
                            total.missed += protector.joins().missed;
                        }
                }
    // Both ways of ending a helper's part were taken.
    EXPECT_GT(total.joined, 0);
    EXPECT_GT(total.missed, 0);
}

TEST(ProtectMovesThreads, NoHelperOutlivesAStoppedOrFailedRun)
{
    const TZGrid grid = relief_test::randomGrid(40, 40, 11);
    const ReliefParameters p = protectCase(grid, Tools[1], 0.01, 0.1);
    TZGrid gouged = grid;
    applyGougeForRun(gouged, p, corvane::silentRunControl());
    const int before = threadsOfProcess();
    ASSERT_GT(before, 0);

    { // Cancel in the second pass: the passes end there with the helper at work.
        relief_test::ScriptedControl control;
        control.stopAt = 14;
        MoveList out;
        TwoThreadProtector protector(fieldOf(grid, p), toolOf(p), out, MoveProtector::Path::Fast,
                                     {40, 0.6, 2});
        EXPECT_FALSE(GenerateRasterPasses(gouged, p, control, protector));
        EXPECT_GT(out.moves.size(), 0u);
    }
    EXPECT_EQ(threadsOfProcess(), before);

    { // The next stage fails while the helper has a batch of its own.
        FailingSink out(300);
        TwoThreadProtector protector(fieldOf(grid, p), toolOf(p), out, MoveProtector::Path::Fast,
                                     {100, 0.6, 2});
        EXPECT_THROW(GenerateRasterPasses(gouged, p, corvane::silentRunControl(), protector),
                     std::runtime_error);
    }
    EXPECT_EQ(threadsOfProcess(), before);
}

TEST(ProtectMovesThreads, EscapeAbandonsTheProgramAndLeavesNoThread)
{
    // Enough moves for the helper to have batches of its own.
    const TZGrid grid = relief_test::randomGrid(130, 130, 3);
    const ReliefParameters p = protectCase(grid, Tools[2], 0.01, 0.25);
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / "corvane_protect_threads_escape.dnc";
    std::filesystem::remove(file);
    const int before = threadsOfProcess();
    relief_test::ScriptedControl control;
    control.escapeFrom = 4;
    bool asked = false;
    const CreateHooks hooks{[&] {
                                asked = true;
                                return std::optional<std::string>(file.string());
                            },
                            {}};
    const CreateResult result = CreateRasterProgram(grid, p, "noise.bmp", control, hooks);
    EXPECT_EQ(result.outcome, CreateOutcome::Abandoned);
    EXPECT_FALSE(asked);
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(threadsOfProcess(), before);
}
