// Channel occupancy and the suggested channel, from crafted lists of networks.
#include <gtest/gtest.h>

#include <vector>

#include "monitor/ui/survey/channel_view/channel_occupancy.h"

using namespace channels;

namespace {

Network On(int mhz, int signal) { return Network{uint32_t(mhz) * 1000u, signal}; }

// (networks, load) of each 2.4 GHz channel 1..14.
std::vector<std::pair<int, int64_t>> Bars24(const Occupancy& o) {
    std::vector<std::pair<int, int64_t>> bars;
    for (const Bar& b : o.band24) bars.emplace_back(b.networks, b.load);
    return bars;
}

}  // namespace

TEST(ChannelOccupancy, FrequenciesNameTheirChannels) {
    struct Case {
        uint32_t kHz;
        int channel;
    } cases[] = {{2412000, 1}, {2437000, 6}, {2472000, 13}, {2484000, 14}, {2477000, 0}, {2437500, 0},
                 {5180000, 36}, {5340000, 0}, {5745000, 149}, {5825000, 165}, {5170000, 0}, {5185000, 0},
                 {4920000, 184}, {4980000, 196}, {5920000, 0}, {0, 0}, {0xFFFFFFFF, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.channel, ChannelOf(c.kHz)) << c.kHz;
        if (c.channel) {
            EXPECT_EQ(int(c.kHz / 1000), CentreMHz(c.channel)) << c.kHz;
        }
    }
}

TEST(ChannelOccupancy, ANetworkLoadsItsNeighboursLessTheFartherTheyLie) {
    Occupancy o = Measure({On(2437, 80), On(2412, 50)});  // channels 6 and 1
    std::vector<std::pair<int, int64_t>> expected = {
        {1, 750}, {1, 500}, {1, 250}, {1, 80 * 5}, {1, 80 * 10}, {1, 80 * 15}, {1, 80 * 10},
        {1, 80 * 5}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}};
    EXPECT_EQ(expected, Bars24(o));
    EXPECT_EQ(11, o.suggested24);
    EXPECT_TRUE(o.band5.empty());
    EXPECT_EQ(0, o.suggested5);
}

TEST(ChannelOccupancy, Channel14IsTwelveMegahertzAboveChannel13) {
    Occupancy o = Measure({On(2484, 100)});
    ASSERT_EQ(14u, o.band24.size());
    EXPECT_EQ(1500, o.band24[13].load);
    EXPECT_EQ(300, o.band24[12].load);  // 3 MHz of overlap left at 12 MHz apart
    EXPECT_EQ(0, o.band24[11].networks);
    EXPECT_EQ(1, o.suggested24);
}

TEST(ChannelOccupancy, FiveGigahertzOnlyListsTheChannelsSeenAndSuggestsTheQuietest) {
    Occupancy o = Measure({On(5180, 90), On(5180, 40), On(5745, 70), On(5200, 60), On(5300, 0)});
    std::vector<std::pair<int, int>> seen;
    for (const Bar& b : o.band5) seen.emplace_back(b.channel, b.networks);
    EXPECT_EQ((std::vector<std::pair<int, int>>{{36, 2}, {40, 1}, {60, 1}, {149, 1}}), seen);
    EXPECT_EQ(60, o.suggested5);  // seen, with no signal
    EXPECT_EQ(0, Bars24(o)[5].first);
    EXPECT_EQ(1, o.suggested24);  // all of 2.4 GHz is free: the first of 1, 6, 11
}

TEST(ChannelOccupancy, AnEmptyListSuggestsChannel1AndNo5GigahertzChannel) {
    Occupancy o = Measure({});
    EXPECT_EQ(14u, o.band24.size());
    EXPECT_EQ(1, o.suggested24);
    EXPECT_EQ(0, o.suggested5);
}

TEST(ChannelOccupancy, TwoHundredFiftySixNetworksOnOneChannel) {
    std::vector<Network> crowd(256, On(2412, 100));
    crowd.push_back(On(2462, 5));  // a faint one on 11
    crowd.push_back(On(2437, 1000));  // a signal out of range counts as 100 %
    Occupancy o = Measure(crowd);
    EXPECT_EQ(256, o.band24[0].networks);
    EXPECT_EQ(256 * 1500, o.band24[0].load);
    EXPECT_EQ(256 * 500, o.band24[2].load);
    EXPECT_EQ(100 * 15, o.band24[5].load);
    EXPECT_EQ(11, o.suggested24);
}

// Faint networks weigh; equal loads go to fewer networks, then quieter neighbours; off-grid is other.
TEST(ChannelOccupancy, FaintNetworksWeighTiesGoToTheQuieterChannelAndOffGridIsOther) {
    struct Case { std::vector<Network> networks; int suggested24, suggested5, others; } cases[] = {
        {std::vector<Network>(5, On(2412, 0)), 6, 0, 0},
        {{On(2412, 10), On(2412, 10), On(2437, 20), On(2462, 40)}, 6, 0, 0},
        {{On(2437, 100), On(2427, 50), On(5185, 100), On(2477, 30)}, 11, 0, 2},
        {{On(5180, 50), On(5200, 50), On(5240, 50)}, 1, 48, 0}};
    for (const Case& c : cases) {
        Occupancy o = Measure(c.networks);
        EXPECT_EQ((std::vector<int>{c.suggested24, c.suggested5, c.others}),
                  (std::vector<int>{o.suggested24, o.suggested5, o.other.networks}));
    }
}
