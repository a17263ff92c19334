// What the Status page shows for given status records.
#include <gtest/gtest.h>

#include <cstring>

#include "monitor/res/resource.h"
#include "monitor/ui/help_command.h"
#include "monitor/ui/radio_toggle.h"
#include "monitor/ui/status_format.h"

namespace {

class Record {
public:
    Record() { std::memset(bytes_, 0, sizeof bytes_); }
    Record& U32(size_t off, uint32_t v) {
        std::memcpy(bytes_ + off, &v, 4);
        return *this;
    }
    Record& Ssid(const char* s) {
        std::memcpy(bytes_ + StatusRecord::kSsid, s, std::strlen(s));
        return *this;
    }
    // Associated with "Harbor" in infrastructure mode, 100 packets in, signal level 30.
    static Record Connected() {
        Record r;
        r.Ssid("Harbor").U32(StatusRecord::kPacketsReceived, 100).U32(StatusRecord::kSignalLevel, 30);
        return r;
    }
    StatusView View(StatusInputs in = {}) const { return ComposeStatus(StatusRecord(bytes_), in); }

private:
    uint8_t bytes_[kStatusRecordSize];
};

std::string Rate(const StatusView& v) { return FormatRate(v.rate, "%.4s Mbps", "%.1f Mbps"); }

}  // namespace

TEST(StatusRate, KbitWordsComeFromTheTable) {
    EXPECT_EQ("54.0 Mbps", Rate(Record::Connected().U32(StatusRecord::kTxRate, 0x80000000u | 54000).View()));
    EXPECT_EQ("0.25 Mbps", Rate(Record::Connected().U32(StatusRecord::kTxRate, 0x80000000u | 250).View()));
    EXPECT_EQ("0.5 Mbps", Rate(Record::Connected().U32(StatusRecord::kTxRate, 0x80000000u | 500).View()));
    // A kbit/s value outside the table.
    EXPECT_EQ("0.0 Mbps", Rate(Record::Connected().U32(StatusRecord::kTxRate, 0x80000000u | 5000).View()));
}

TEST(StatusRate, MbitWordsAreShownWithOneDecimal) {
    EXPECT_EQ("5.5 Mbps", Rate(Record::Connected().U32(StatusRecord::kTxRate, 5).View()));
    EXPECT_EQ("11.0 Mbps", Rate(Record::Connected().U32(StatusRecord::kTxRate, 11).View()));
    EXPECT_EQ("54.0 Mbps", Rate(Record::Connected().U32(StatusRecord::kTxRate, 54).View()));
}

TEST(StatusRate, AdHocOnAutomaticRateShowsElevenAndTheSignalUntil35Packets) {
    StatusInputs in;
    in.linkQuality = 40;
    Record r = Record::Connected();
    r.U32(StatusRecord::kNetworkMode, 1).U32(StatusRecord::kTxRate, 2).U32(StatusRecord::kSignalLevel, 10);
    r.U32(StatusRecord::kPacketsReceived, 34);
    StatusView early = r.View(in);
    EXPECT_EQ("11.0 Mbps", Rate(early));
    EXPECT_EQ(75, early.linkQualityBar);  // the signal percent of level 10
    EXPECT_EQ(75, early.signalBar);

    r.U32(StatusRecord::kPacketsReceived, 35);
    StatusView settled = r.View(in);
    EXPECT_EQ("2.0 Mbps", Rate(settled));
    EXPECT_EQ(40, settled.linkQualityBar);

    // A fixed rate, or infrastructure mode, shows the driver's figures at once.
    r.U32(StatusRecord::kPacketsReceived, 3);
    StatusInputs fixed = in;
    fixed.editTxRate = 11000;
    EXPECT_EQ("2.0 Mbps", Rate(r.View(fixed)));
    EXPECT_EQ(40, r.View(fixed).linkQualityBar);
    r.U32(StatusRecord::kNetworkMode, 0);
    EXPECT_EQ("2.0 Mbps", Rate(r.View(in)));
    EXPECT_EQ(IDS_INFRASTRUCTURE, r.View(in).networkModeText);
}

TEST(StatusChannel, FrequencyGivesChannelAndTransmissionMode) {
    Record r = Record::Connected();
    r.U32(StatusRecord::kChannelWord, 5180);
    EXPECT_EQ(36, r.View().channel);
    EXPECT_EQ(IDS_MODE_11A, r.View().transmissionModeText);
    r.U32(StatusRecord::kChannelWord, 5180 | (1u << 24));
    EXPECT_EQ(IDS_MODE_SUPER_A, r.View().transmissionModeText);

    StatusInputs in;
    in.channel2GHz = 6;  // what the library gives for 2437 MHz
    r.U32(StatusRecord::kChannelWord, 2437 | (1u << 26));
    EXPECT_EQ(6, r.View(in).channel);
    EXPECT_EQ(IDS_MODE_11G, r.View(in).transmissionModeText);
    r.U32(StatusRecord::kChannelWord, 2437 | (1u << 26) | (1u << 24));
    EXPECT_EQ(IDS_MODE_SUPER_G, r.View(in).transmissionModeText);
    r.U32(StatusRecord::kChannelWord, 2437 | (1u << 24));
    EXPECT_EQ(IDS_MODE_11B, r.View(in).transmissionModeText);
}

TEST(StatusBars, EmptySsidOrDisconnectedKeepsBothBarsAtZero) {
    StatusInputs in;
    in.linkQuality = 80;
    StatusView connected = Record::Connected().View(in);
    EXPECT_EQ(80, connected.linkQualityBar);
    EXPECT_EQ(100, connected.signalBar);

    Record noName;
    noName.U32(StatusRecord::kSignalLevel, 30);
    EXPECT_EQ(0, noName.View(in).linkQualityBar);
    EXPECT_EQ(0, noName.View(in).signalBar);

    Record off = Record::Connected();
    off.U32(StatusRecord::kDisconnected, 1).U32(StatusRecord::kPacketsSent, 12);
    StatusView v = off.View(in);
    EXPECT_EQ(0, v.linkQualityBar);
    EXPECT_EQ(0, v.signalBar);
    EXPECT_EQ("Harbor", v.ssid);  // the texts still show the record
    EXPECT_EQ(12u, v.txPackets);
}

TEST(StatusBars, LinkQualityIsClampedToAPercentage) {
    StatusInputs in;
    in.linkQuality = 130;
    EXPECT_EQ(100, Record::Connected().View(in).linkQualityBar);
    in.linkQuality = -5;
    EXPECT_EQ(0, Record::Connected().View(in).linkQualityBar);
}

TEST(StatusTexts, NetworkModeAuthenticationAndEncryption) {
    EXPECT_EQ(IDS_INFRASTRUCTURE, NetworkModeText(0));
    EXPECT_EQ(IDS_AD_HOC, NetworkModeText(1));
    EXPECT_EQ(0, NetworkModeText(2));
    EXPECT_EQ(IDS_SHARED, AuthenticationText(2));
    EXPECT_EQ(IDS_OPEN, AuthenticationText(1));
    EXPECT_EQ(IDS_OPEN, AuthenticationText(0));

    EXPECT_EQ(IDS_ENCRYPTION_DISABLED, EncryptionText(0, 0, 0));
    EXPECT_EQ(IDS_ENCRYPTION_WEP, EncryptionText(1, 0, 0));
    EXPECT_EQ(IDS_ENCRYPTION_WPA_PSK, EncryptionText(2, 0, 0));
    for (uint32_t code : {3u, 5u}) {
        EXPECT_EQ(IDS_ENCRYPTION_WPA_PSK, EncryptionText(code, 7, 1)) << code;
        EXPECT_EQ(IDS_ENCRYPTION_WPA, EncryptionText(code, 7, 0)) << code;
        EXPECT_EQ(IDS_ENCRYPTION_WPA, EncryptionText(code, 4, 1)) << code;
    }
    EXPECT_EQ(IDS_ENCRYPTION_WPA, EncryptionText(4, 7, 1));
    EXPECT_EQ(IDS_ENCRYPTION_WPA, EncryptionText(7, 0, 0));
    EXPECT_EQ(IDS_ENCRYPTION_DISABLED, EncryptionText(6, 0, 0));
    EXPECT_EQ(IDS_ENCRYPTION_DISABLED, EncryptionText(99, 0, 0));
}

TEST(RadioButton, AFirstClickChangesTheRadio) {
    for (int32_t state : {0, 1}) {
        int toggle = RadioToggleForState(state);
        int afterClick = !toggle;
        EXPECT_NE(state, RadioValueForToggle(afterClick)) << state;
        // The text names what the next click does.
        EXPECT_EQ(state == 1 ? IDS_RADIO_ON : IDS_RADIO_OFF, RadioTextForToggle(toggle));
        EXPECT_EQ(RadioValueForToggle(afterClick) == 1 ? IDS_RADIO_ON : IDS_RADIO_OFF,
                  RadioTextForToggle(afterClick));
    }
}

TEST(HelpCommand, ModelPicksTheHelpFile) {
    EXPECT_EQ("Hh.exe C:\\Program Files\\Skyvane\\Wevo_54_Help.chm",
              HelpCommandLine("C:\\Program Files\\Skyvane", 54));
    EXPECT_EQ("Hh.exe C:\\x\\Wevo_108_Help.chm", HelpCommandLine("C:\\x", 108));
}
