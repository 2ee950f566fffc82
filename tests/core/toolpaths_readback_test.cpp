#include "dnc/dnc_reader.h"
#include "toolpaths/dnc_writer.h"
#include "toolpaths/optimize_toolpaths.h"
#include "toolpaths/region_builder.h"
#include "toolpaths_test_support.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace corvane::toolpaths;
using namespace toolpaths_test;
using corvane::silentRunControl;
using corvane::dnc::DncMove;

namespace {

bool near(double written, double read)
{
    // "%.4f" on the way out, single precision on the way in.
    return std::abs(written - read) <= 5e-5 + std::abs(written) * 2e-7;
}

} // namespace

TEST(DncReadBack, OurReaderGivesTheRegionPointsInCuttingOrder)
{
    for (unsigned seed : {5u, 6u}) {
        RegionList list;
        BuildParameters p;
        p.styleCode = 3; // Topography, each region at its own level
        p.zStep = 37.25;
        p.opDepth = 240;
        p.post.curveFit = seed == 6;
        p.post.curveFitSubdivisions = 3;
        ASSERT_EQ(
            CreateRegions(list, randomSurface(50, 40, seed), p, {}, silentRunControl()).outcome,
            BuildOutcome::Created);
        const std::vector<std::size_t> order = OptimizeToolpaths(list.regions);
        ASSERT_EQ(order.size(), regionCount(list.regions));
        const DncHeader header{"01/01/70 00:00:00", "random.dxf", 12.5, 0.75};
        const std::string text = dncProgramText(list.regions, order, header);
        const auto moves = corvane::dnc::ParseDncProgram(text, silentRunControl()).moves;

        // The feed record, the rapid to the safe height, then one block a region.
        std::size_t m = 0;
        ASSERT_GE(moves.size(), 2u);
        EXPECT_EQ(moves[m].kind, corvane::dnc::DncFeedChange);
        EXPECT_EQ(moves[m++].feed, 12.5);
        EXPECT_EQ(moves[m].kind, corvane::dnc::DncRapid);
        EXPECT_TRUE(near(0.75, moves[m++].z));
        for (std::size_t index : order) {
            const TRegion& r = list.regions[index];
            ASSERT_LT(m + r.entities.size() + 2, moves.size() + 1);
            const DncMove& to = moves[m++];
            EXPECT_EQ(to.kind, corvane::dnc::DncRapid);
            EXPECT_TRUE(near(r.entities[0].x1, to.x) && near(r.entities[0].y1, to.y));
            const DncMove& plunge = moves[m++];
            EXPECT_EQ(plunge.kind, corvane::dnc::DncFeed);
            EXPECT_TRUE(near(-r.depth, plunge.z)) << r.depth << " " << plunge.z;
            for (const TMyEntity& s : r.entities) {
                const DncMove& cut = moves[m++];
                ASSERT_EQ(cut.kind, corvane::dnc::DncFeed);
                ASSERT_TRUE(near(s.x2, cut.x) && near(s.y2, cut.y) && near(-r.depth, cut.z))
                    << s.x2 << " " << cut.x << " " << s.y2 << " " << cut.y;
            }
            const DncMove& retract = moves[m++];
            EXPECT_EQ(retract.kind, corvane::dnc::DncRapid);
            EXPECT_TRUE(near(0.75, retract.z));
        }
        EXPECT_EQ(m, moves.size());
    }
}
