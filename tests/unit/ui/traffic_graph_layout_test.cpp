// The traffic chart's scale, grid and series geometry.
#include <gtest/gtest.h>

#include <vector>

#include "monitor/controls/traffic_graph/traffic_graph_layout.h"

TEST(TrafficGraphLayout, ScaleStepsAtTenFiftyAndAHundredStored) {
    struct Case {
        uint32_t basis;
        const char* label;
        int factor;
    } cases[] = {{0, "5 %", 20},   {10, "5 %", 20},  {11, "25 %", 4},  {50, "25 %", 4},
                 {51, "50 %", 2},  {100, "50 %", 2}, {101, "100 %", 1}, {200, "100 %", 1}};
    for (const Case& c : cases) {
        EXPECT_STREQ(c.label, traffic::ScaleLabel(c.basis)) << c.basis;
        EXPECT_EQ(c.factor, traffic::ScaleFactor(c.basis)) << c.basis;
    }
    EXPECT_EQ(200, traffic::SampleHeight(11, 20));  // never above the plot
    EXPECT_EQ(0, traffic::SampleHeight(-4, 2));
}

TEST(TrafficGraphLayout, GridScrollsLeftAndRepeatsEvery35Phases) {
    uint8_t phase = 0;
    std::vector<uint8_t> seen;
    for (int i = 0; i < 36; ++i) seen.push_back(phase = traffic::NextGridPhase(phase));
    EXPECT_EQ(1, seen[0]);
    EXPECT_EQ(35, seen[34]);
    EXPECT_EQ(seen[0], seen[35]);
    std::vector<int> first = traffic::GridColumns(1);
    EXPECT_EQ((std::vector<int>{354, 319, 284, 249, 214, 179, 144, 109, 74}), first);
    EXPECT_EQ((std::vector<int>{325, 290, 255, 220, 185, 150, 115, 80, 45}), traffic::GridColumns(30));
}

TEST(TrafficGraphLayout, SeriesRunsFromTheNewestSampleLeftwardsAcrossTheRingsEnd) {
    std::vector<int32_t> samples(307, 0);
    samples[1] = 6;    // newest
    samples[0] = 2;    // one before it
    samples[306] = 4;  // two before: the walk wraps to the ring's end
    traffic::SeriesPlot p = traffic::PlotSeries(samples.data(), 307, 1, 20, 365, 393);
    ASSERT_EQ(306u, p.line.size());
    EXPECT_EQ(352, p.line[0].x);
    EXPECT_EQ(229 - 120, p.line[0].y);
    EXPECT_EQ(229 - 40, p.line[1].y);
    EXPECT_EQ(229 - 80, p.line[2].y);
    EXPECT_EQ(47, p.line.back().x);
    EXPECT_EQ("  3.0%", p.value);
    EXPECT_EQ(109, p.bar.top);
    EXPECT_EQ(231, p.bar.bottom);
    EXPECT_FALSE(traffic::PlotSeries(samples.data(), 0, 0, 20, 365, 393).hasBar);  // an empty history
}
