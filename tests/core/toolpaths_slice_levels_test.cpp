// A run of levels sliced on one thread or two against the reference walk level by level:
// the same regions in the same order, each level reported once, in order, and Esc (or a
// refusal from the caller) leaving only whole levels behind.
#include "relief_test_support.h"
#include "toolpaths/slice_level.h"
#include "toolpaths/slice_levels.h"
#include "toolpaths_test_support.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <string>

using namespace corvane::toolpaths;
using namespace toolpaths_test;
using corvane::silentRunControl;

namespace {

bool sameSegment(const TMyEntity& a, const TMyEntity& b)
{
    return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2 && a.minX == b.minX &&
           a.maxX == b.maxX && a.minY == b.minY && a.maxY == b.maxY;
}

// regions[from, from + expected.size() - 1) against expected[1..], region for region.
void expectSameRun(const TRegionArray& regions, std::size_t from, const TRegionArray& expected,
                   const std::string& what)
{
    ASSERT_EQ(regions.size() - from, expected.size() - 1) << what;
    for (std::size_t i = 1; i < expected.size(); ++i) {
        const TRegion& a = regions[from + i - 1];
        const TRegion& b = expected[i];
        ASSERT_EQ(a.entities.size(), b.entities.size()) << what << ", region " << i;
        ASSERT_EQ(a.open, b.open) << what << ", region " << i;
        ASSERT_EQ(a.depth, b.depth) << what << ", region " << i;
        ASSERT_TRUE(a.minX == b.minX && a.maxX == b.maxX && a.minY == b.minY && a.maxY == b.maxY)
            << what << ", region " << i;
        for (std::size_t k = 0; k < a.entities.size(); ++k)
            ASSERT_TRUE(sameSegment(a.entities[k], b.entities[k]))
                << what << ", region " << i << ", segment " << k;
    }
}

// The regions of each level by the reference walk, each in a list of its own.
std::vector<TRegionArray> directLevels(const TTriangleArray& surface,
                                       const std::vector<double>& levels)
{
    std::vector<TRegionArray> out;
    for (double level : levels) {
        out.push_back(newRegionList());
        EXPECT_TRUE(SliceAtLevelDirect(surface, out.back(), level, silentRunControl()));
    }
    return out;
}

TTriangleArray plateaus(int cols, int rows, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<int> heights(std::size_t(cols * rows));
    for (int& h : heights)
        h = int(random() % 5) * 10;
    return gridSurface(cols, rows,
                       [&](int x, int y) { return double(heights[std::size_t(y * cols + x)]); });
}

} // namespace

TEST(SliceAtLevels, OneOrTwoThreadsGiveTheLevelsOfTheDirectWalkInOrder)
{
    // Noise, and plateaus cut at their own heights too, with levels that cut nothing at all
    // (below and above the surface) among them.
    const std::vector<double> noiseLevels = {-5, 3.5, 40, 90.5, 127.5, 128, 200, 251, 300};
    const std::vector<double> plateauLevels = {0, 5, 10, 15, 20, 25, 30, 35, 40, 45};
    const struct {
        TTriangleArray surface;
        std::vector<double> levels;
        const char* name;
    } cases[] = {{randomSurface(160, 120, 21), noiseLevels, "noise"},
                 {plateaus(80, 60, 22), plateauLevels, "plateaus"}};
    for (const auto& c : cases) {
        const std::vector<TRegionArray> expected = directLevels(c.surface, c.levels);
        const TriangleBlocks blocks = indexTriangleBlocks(c.surface);
        for (unsigned threads : {1u, 2u}) {
            const std::string what = std::string(c.name) + ", " + std::to_string(threads);
            TRegionArray regions = newRegionList();
            std::vector<std::size_t> reported, firsts;
            ASSERT_TRUE(SliceAtLevels(c.surface, blocks, c.levels, regions, silentRunControl(),
                                      threads, [&](std::size_t k, std::size_t first) {
                                          reported.push_back(k);
                                          firsts.push_back(first);
                                          return true;
                                      }));
            ASSERT_EQ(reported.size(), c.levels.size()) << what;
            std::size_t from = 1;
            for (std::size_t k = 0; k < c.levels.size(); ++k) {
                ASSERT_EQ(reported[k], k) << what;
                ASSERT_EQ(firsts[k], from) << what << ", level " << k;
                const std::size_t to = k + 1 < c.levels.size() ? firsts[k + 1] : regions.size();
                TRegionArray level(regions.begin(), regions.begin() + std::ptrdiff_t(to));
                expectSameRun(level, from, expected[k], what + ", level " + std::to_string(k));
                from = to;
            }
        }
    }
}

TEST(SliceAtLevels, EscOrARefusalLeavesOnlyWholeLevels)
{
    const TTriangleArray surface = randomSurface(70, 50, 23);
    const TriangleBlocks blocks = indexTriangleBlocks(surface);
    const std::vector<double> levels = {20.5, 60.5, 100.5, 140.5, 180.5, 220.5};
    const std::vector<TRegionArray> expected = directLevels(surface, levels);

    // Every level reported must be whole and the same as the walk's; Esc from any
    // checkpoint stops it with false, whatever the helper thread was doing.
    const auto expectWholeLevels = [&](const TRegionArray& regions,
                                       const std::vector<std::size_t>& firsts,
                                       const std::string& what) {
        for (std::size_t k = 0; k < firsts.size(); ++k) {
            const std::size_t to = k + 1 < firsts.size() ? firsts[k + 1] : regions.size();
            TRegionArray level(regions.begin(), regions.begin() + std::ptrdiff_t(to));
            expectSameRun(level, firsts[k], expected[k], what + ", level " + std::to_string(k));
        }
    };
    for (unsigned threads : {1u, 2u}) {
        relief_test::ScriptedControl counting;
        TRegionArray all = newRegionList();
        ASSERT_TRUE(SliceAtLevels(surface, blocks, levels, all, counting, threads,
                                  [](std::size_t, std::size_t) { return true; }));
        for (int from = 1; from <= counting.checkpoints; ++from) {
            relief_test::ScriptedControl control;
            control.escapeFrom = from;
            TRegionArray regions = newRegionList();
            std::vector<std::size_t> firsts;
            const bool done = SliceAtLevels(surface, blocks, levels, regions, control, threads,
                                            [&](std::size_t, std::size_t first) {
                                                firsts.push_back(first);
                                                return true;
                                            });
            const std::string what =
                std::to_string(threads) + " threads, Esc from " + std::to_string(from);
            // How many checkpoints two threads pass depends on how the levels were shared
            // out; a run that passed `from` of them must have stopped.
            EXPECT_EQ(done, control.checkpoints < from) << what;
            if (!done) {
                EXPECT_LT(firsts.size(), levels.size()) << what;
            }
            expectWholeLevels(regions, firsts, what);
        }

        // The caller refuses to go on after the third level: nothing after it is added.
        TRegionArray regions = newRegionList();
        std::vector<std::size_t> firsts;
        EXPECT_FALSE(SliceAtLevels(surface, blocks, levels, regions, silentRunControl(), threads,
                                   [&](std::size_t k, std::size_t first) {
                                       firsts.push_back(first);
                                       return k < 2;
                                   }));
        ASSERT_EQ(firsts.size(), 3u);
        expectWholeLevels(regions, firsts, std::to_string(threads) + " threads, refused");
    }
}
