// The text progress bar's gradient blocks and percentage text.
#include <gtest/gtest.h>

#include "monitor/controls/progress/progress_paint.h"

namespace {
constexpr uint32_t Rgb(int r, int g, int b) { return r | (g << 8) | (b << 16); }
const std::string kWords[4] = {"Excellent", "Good", "Fair", "Poor"};
}  // namespace

TEST(Gradient, FullStatusBarRunsIn251BlocksToAlmostWhite) {
    auto blocks = GradientBlocks(Rgb(228, 66, 4), Rgb(255, 255, 255), 270, 100, 100);
    ASSERT_EQ(251u, blocks.size());
    EXPECT_EQ(Rgb(228, 66, 4), blocks.front().colour);
    EXPECT_EQ(Rgb(254, 254, 254), blocks.back().colour);
    EXPECT_EQ(0, blocks.front().from);
    EXPECT_EQ(270, blocks.back().to);
    for (size_t i = 1; i < blocks.size(); ++i) EXPECT_EQ(blocks[i - 1].to, blocks[i].from) << i;
}

TEST(Gradient, StopsAtTheBlockThatReachesThePosition) {
    // 200 px, 251 steps: blocks of 0.797 px; half the range ends at pixel 100.
    auto blocks = GradientBlocks(Rgb(228, 66, 4), Rgb(255, 255, 255), 200, 50, 100);
    ASSERT_FALSE(blocks.empty());
    EXPECT_GE(blocks.back().to, 100);
    EXPECT_LT(blocks[blocks.size() - 2].to, 100);
    EXPECT_TRUE(GradientBlocks(Rgb(228, 66, 4), Rgb(255, 255, 255), 200, 0, 100).empty());
}

TEST(Gradient, ColourOfBlockIFollowsEachChannel) {
    // Red falls 200 -> 0 while green rises 0 -> 100 over 200 steps of one pixel.
    auto blocks = GradientBlocks(Rgb(200, 0, 50), Rgb(0, 100, 50), 200, 100, 100);
    ASSERT_EQ(200u, blocks.size());
    EXPECT_EQ(Rgb(100, 50, 50), blocks[100].colour);
    EXPECT_EQ(100, blocks[100].from);
    EXPECT_EQ(101, blocks[100].to);
}

TEST(Gradient, DegenerateInputsPaintNothingOrOneBlock) {
    EXPECT_TRUE(GradientBlocks(Rgb(1, 2, 3), Rgb(9, 9, 9), 100, 50, 0).empty());   // no range
    EXPECT_TRUE(GradientBlocks(Rgb(1, 2, 3), Rgb(9, 9, 9), 0, 50, 100).empty());   // no width
    auto same = GradientBlocks(Rgb(10, 20, 30), Rgb(10, 20, 30), 100, 40, 100);
    ASSERT_EQ(1u, same.size());
    EXPECT_EQ(40, same[0].to);
    EXPECT_EQ(Rgb(10, 20, 30), same[0].colour);
    // A position past the range fills no further than the bar.
    auto over = GradientBlocks(Rgb(228, 66, 4), Rgb(255, 255, 255), 100, 150, 100);
    EXPECT_LE(over.back().to, 100);
}

TEST(ProgressText, PercentAndQualityWord) {
    EXPECT_EQ("  0 % (Poor)", ProgressText(0, 0, 100, kWords));
    EXPECT_EQ(" 25 % (Poor)", ProgressText(25, 0, 100, kWords));
    EXPECT_EQ(" 26 % (Fair)", ProgressText(26, 0, 100, kWords));
    EXPECT_EQ(" 50 % (Fair)", ProgressText(50, 0, 100, kWords));
    EXPECT_EQ(" 51 % (Good)", ProgressText(51, 0, 100, kWords));
    EXPECT_EQ(" 75 % (Good)", ProgressText(75, 0, 100, kWords));
    EXPECT_EQ(" 76 % (Excellent)", ProgressText(76, 0, 100, kWords));
    EXPECT_EQ(" 80 % (Excellent)", ProgressText(80, 0, 100, kWords));
    EXPECT_EQ("100 % (Excellent)", ProgressText(100, 0, 100, kWords));
    EXPECT_EQ("  0 % (Poor)", ProgressText(5, 5, 5, kWords));  // empty range
}
