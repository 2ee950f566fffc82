// The picture window's rules as plain functions: Save As names and types, progress steps.
#include "gui/picture/progress_steps.h"
#include "gui/picture/save_as_rules.h"

#include <gtest/gtest.h>

namespace corvane::gui {
namespace {

TEST(SaveAsRules, FilterGivesTypeAndExtensionForNamesWithoutADot)
{
    EXPECT_EQ(saveTargetFor("/p/a", 1).fileName, QStringLiteral("/p/a.Bmp"));
    EXPECT_EQ(saveTargetFor("/p/a", 1).typeCode, 4);
    EXPECT_EQ(saveTargetFor("/p/a", 2).fileName, QStringLiteral("/p/a.Jpg"));
    EXPECT_EQ(saveTargetFor("/p/a", 2).typeCode, 11);
    EXPECT_EQ(saveTargetFor("/p/a", 3).fileName, QStringLiteral("/p/a.Pcx"));
    EXPECT_EQ(saveTargetFor("/p/a", 3).typeCode, 8);
    EXPECT_EQ(saveTargetFor("/p/a", 4).fileName, QStringLiteral("/p/a.Tif"));
    EXPECT_EQ(saveTargetFor("/p/a", 4).typeCode, 9);
    EXPECT_EQ(saveTargetFor("/p/a", 5).fileName, QStringLiteral("/p/a.Png"));
    EXPECT_EQ(saveTargetFor("/p/a", 6).fileName, QStringLiteral("/p/a.Pnm"));
    EXPECT_EQ(saveTargetFor("/p/a", 0).typeCode, 4) << "an unknown filter counts as the first";
}

TEST(SaveAsRules, ADotInTheFileNamePartKeepsTheNameButNotInTheFolder)
{
    EXPECT_EQ(saveTargetFor("/p/a.bmp", 2).fileName, QStringLiteral("/p/a.bmp"));
    EXPECT_EQ(saveTargetFor("/p/a.bmp", 2).typeCode, 11);
    EXPECT_EQ(saveTargetFor("/p/my.picture.x", 4).fileName, QStringLiteral("/p/my.picture.x"));
    EXPECT_EQ(saveTargetFor("/p.d/a", 2).fileName, QStringLiteral("/p.d/a.Jpg"));
}

TEST(SaveAsRules, UntitledCaptions)
{
    EXPECT_TRUE(isUntitledCaption(QStringLiteral("New Picture")));
    EXPECT_TRUE(isUntitledCaption(QStringLiteral(" ")));
    EXPECT_FALSE(isUntitledCaption(QStringLiteral("/p/New Picture.bmp")));
}

TEST(ProgressSteps, PercentRoundsHalvesToEven)
{
    EXPECT_EQ(roundedPercent(25, 1000), 2); // 2.5
    EXPECT_EQ(roundedPercent(35, 1000), 4); // 3.5
    EXPECT_EQ(roundedPercent(1, 8), 12);    // 12.5
    EXPECT_EQ(roundedPercent(2, 3), 67);
    EXPECT_EQ(roundedPercent(7, 200), 4); // 3.5 exactly
}

TEST(ProgressSteps, TheDocumentedSequence)
{
    int step = 0;
    std::vector<int> gauge;
    bool finished = false;
    for (long percent : {5L, 12L, 15L, 30L, 97L}) {
        const ProgressUpdate update = advanceProgress(step, percent, 100);
        if (update.moveGauge)
            gauge.push_back(update.percent);
        finished = update.runFinished;
    }
    EXPECT_EQ(gauge, (std::vector<int>{5, 12, 30, 97}));
    EXPECT_TRUE(finished);
    EXPECT_EQ(step, 0);
}

TEST(ProgressSteps, ARunThatStopsBelow96LeavesTheStepForTheNext)
{
    int step = 0;
    advanceProgress(step, 50, 100);
    advanceProgress(step, 60, 100);
    EXPECT_EQ(step, 20);
    EXPECT_FALSE(advanceProgress(step, 10, 100).moveGauge) << "next run: 10 is not above 20";
    EXPECT_TRUE(advanceProgress(step, 21, 100).moveGauge);
}

TEST(ProgressSteps, AReportWithoutATotalReportsNothing)
{
    int step = 30;
    const ProgressUpdate update = advanceProgress(step, 5, 0);
    EXPECT_FALSE(update.moveGauge);
    EXPECT_FALSE(update.runFinished);
    EXPECT_EQ(step, 30);
}

} // namespace
} // namespace corvane::gui
