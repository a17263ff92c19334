#include "monitor/adapter/status_record.h"

#include <gtest/gtest.h>

#include <cstring>

#include "monitor/adapter/channel_index.h"
#include "monitor/app/tray/signal_percent.h"

namespace {
void Put32(uint8_t* b, size_t off, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[off + i] = static_cast<uint8_t>(v >> (8 * i));
}
}  // namespace

TEST(StatusRecord, ReadsEveryMemberAtItsOffsetLittleEndian) {
    uint8_t b[kStatusRecordSize] = {};
    Put32(b, 92, 0x8000D2F0);
    Put32(b, 96, 29);
    Put32(b, 132, 0x04000000 | 2437);
    std::memcpy(b + 154, "Harbor", 7);
    Put32(b, 188, 5);
    Put32(b, 192, 1);
    Put32(b, 208, 1001);
    Put32(b, 212, 2002);
    Put32(b, 216, 1);
    Put32(b, 224, 0x89ABCDEF);
    Put32(b, 228, 0x01234567);
    Put32(b, 232, 7);
    Put32(b, 236, 1);
    Put32(b, 256, 12);

    StatusRecord r(b);
    EXPECT_EQ(0x8000D2F0u, r.TxRateWord());
    EXPECT_EQ(29u, r.SignalLevel());
    EXPECT_EQ(2437u, r.FrequencyMHz());
    EXPECT_EQ(0x04000000u, r.ModeFlags());
    EXPECT_EQ("Harbor", r.Ssid());
    EXPECT_EQ(5u, r.SecurityCode());
    EXPECT_EQ(1u, r.NetworkMode());
    EXPECT_EQ(1001u, r.PacketsSent());
    EXPECT_EQ(2002u, r.PacketsReceived());
    EXPECT_TRUE(r.Disconnected());
    EXPECT_EQ(0x0123456789ABCDEFull, r.BytesSent());
    EXPECT_EQ(0x100000007ull, r.BytesReceived());
    EXPECT_EQ(12u, r.SupportedModes());
}

TEST(StatusRecord, SsidWithoutTerminatorStopsAtTheNextMember) {
    uint8_t b[kStatusRecordSize];
    std::memset(b, 'x', sizeof b);
    EXPECT_EQ(std::string(34, 'x'), StatusRecord(b).Ssid());
}

TEST(SignalPercent, FollowsTheThreeRangesAtTheirBoundaries) {
    EXPECT_EQ(0, SignalPercent(0));
    EXPECT_EQ(15, SignalPercent(2));
    EXPECT_EQ(67, SignalPercent(9));
    EXPECT_EQ(75, SignalPercent(10));
    EXPECT_EQ(99, SignalPercent(29));
    EXPECT_EQ(100, SignalPercent(30));
    EXPECT_EQ(100, SignalPercent(0xFFFFFFFFu));
}

TEST(ChannelIndex, FiveGigahertzFromFrequencyTwoFourFromLibraryChannel) {
    EXPECT_EQ(35, ChannelIndex(5180, 0));
    EXPECT_EQ(0, ChannelIndex(2412, 1));
    EXPECT_EQ(10, ChannelIndex(2462, 11));
}

// The History keeps whole megabits, which its reader takes only from 0 to 10000: a kbit/s word
// read as a number would be lost at the next start.
TEST(StatusRecord, RateInWholeMegabitsFromEitherFormOfTheWord) {
    const struct {
        uint32_t word;
        int mbps;
    } cases[] = {{11, 11}, {5, 5}, {0x8000D2F0u, 54}, {0x800000FAu, 0}, {0xFFFFFFFFu, 10000}, {20000, 10000}};
    for (const auto& c : cases) {
        uint8_t b[kStatusRecordSize] = {};
        Put32(b, StatusRecord::kTxRate, c.word);
        EXPECT_EQ(c.mbps, StatusRecord(b).RateMbps()) << c.word;
    }
}
