// The driver's records byte for byte.
#include <gtest/gtest.h>

#include "athcfg/model/channels.h"
#include "athcfg/model/records.h"

namespace {

using namespace athsim;

uint32_t At(const std::vector<uint8_t>& b, size_t offset) { return ReadU32(&b[offset]); }

TEST(StatusRecord, EveryMemberAtItsOffset) {
    StatusValues v;
    v.rate = 0x8000D2F0;
    v.signal = 29;
    v.channelWord = 0x0400098A;
    v.ssid = std::string(40, 'S');  // longer than the field: cut, still terminated
    v.security = 3;
    v.netMode = 1;
    v.txPackets = 208;
    v.rxPackets = 212;
    v.disconnected = 0;
    v.txBytes = 0x0102030405060708ull;
    v.rxBytes = 0x1112131415161718ull;
    v.modes = 12;
    const std::vector<uint8_t> r = BuildStatusRecord(v);
    ASSERT_EQ(280u, r.size());
    EXPECT_EQ(0x8000D2F0u, At(r, 92));
    EXPECT_EQ(29u, At(r, 96));
    EXPECT_EQ(0x0400098Au, At(r, 132));
    EXPECT_EQ(std::string(33, 'S'), std::string(reinterpret_cast<const char*>(&r[154])));
    EXPECT_EQ(0, r[187]);
    EXPECT_EQ(3u, At(r, 188));
    EXPECT_EQ(1u, At(r, 192));
    EXPECT_EQ(208u, At(r, 208));
    EXPECT_EQ(212u, At(r, 212));
    EXPECT_EQ(0u, At(r, 216));
    EXPECT_EQ(0x05060708u, At(r, 224));
    EXPECT_EQ(0x01020304u, At(r, 228));
    EXPECT_EQ(0x15161718u, At(r, 232));
    EXPECT_EQ(0x11121314u, At(r, 236));
    EXPECT_EQ(12u, At(r, 256));
    EXPECT_EQ(0u, At(r, 0));
    EXPECT_EQ(0u, At(r, 276));
}

Network MakeNetwork(Security security, Phy phy, int channel) {
    Network n;
    n.ssid = "Net";
    const uint8_t bssid[6] = {0, 0x03, 0x7F, 1, 2, 3};
    std::copy(bssid, bssid + 6, n.bssid);
    n.security = security;
    n.phy = phy;
    n.channel = channel;
    return n;
}

// What a reader that follows the record's rules concludes: the security column text.
std::string SecurityColumn(const std::vector<uint8_t>& r) {
    if (At(r, kBssPrivacy) == 0) return "None";
    const uint32_t ie_length = At(r, kBssIeLength);
    std::string result = "WEP";
    if (ie_length <= 12) return result;
    for (uint32_t at = 12; at < ie_length; at += r[kBssIes + at + 1] + 2) {
        const uint8_t* e = &r[kBssIes + at];
        const uint8_t wpa_head[] = {0x00, 0x50, 0xF2, 0x01, 0x01, 0x00};
        if (e[0] == 221 && e[1] > 6 && std::equal(wpa_head, wpa_head + 6, e + 2) && (e[17] == 2 || e[17] == 4))
            result = "WPA";
        if (e[0] == 48 && (e[7] == 2 || e[7] == 4)) result = "WPA";
    }
    return result;
}

TEST(NetworkRecord, LayoutAndElementsFollowTheNetwork) {
    for (Security s : {Security::Open, Security::Wep, Security::WpaPsk, Security::Wpa2Psk, Security::Wpa,
                       Security::Wpa2}) {
        const std::vector<uint8_t> r = BuildBssRecord(MakeNetwork(s, Phy::G, 6), -61);
        SCOPED_TRACE(SecurityName(s));
        EXPECT_EQ(r.size(), At(r, kBssLength));
        EXPECT_EQ(0u, r.size() % 4);
        EXPECT_GE(r.size(), kBssIes + At(r, kBssIeLength));
        EXPECT_LT(r.size(), kBssIes + At(r, kBssIeLength) + 4);
        EXPECT_EQ(static_cast<uint32_t>(-61), At(r, kBssRssi));
        EXPECT_EQ(2437000u, At(r, kBssFrequencyKHz));
        EXPECT_EQ(1u, At(r, kBssInfrastructure));
        EXPECT_EQ(3u, At(r, kBssNetworkType));
        const bool secured = s != Security::Open;
        EXPECT_EQ(secured ? 1u : 0u, At(r, kBssPrivacy));
        EXPECT_EQ(secured ? 0x10 : 0, r[kBssIes + 10] & 0x10);
        const char* expected = s == Security::Open ? "None" : s == Security::Wep ? "WEP" : "WPA";
        EXPECT_EQ(expected, SecurityColumn(r));
        // The element walk lands exactly on the end of the elements.
        uint32_t at = 12;
        while (at < At(r, kBssIeLength)) at += r[kBssIes + at + 1] + 2;
        EXPECT_EQ(At(r, kBssIeLength), at);
    }
}

TEST(NetworkRecord, HiddenAdHocAndFiveGigahertz) {
    Network hidden = MakeNetwork(Security::Wep, Phy::B, 3);
    hidden.hidden = true;
    hidden.adhoc = true;
    const std::vector<uint8_t> h = BuildBssRecord(hidden, -70);
    EXPECT_EQ(0u, At(h, kBssSsidLength));
    EXPECT_EQ(0, h[kBssSsid]);
    EXPECT_EQ(0x7F, h[kBssMac + 2]);
    EXPECT_EQ(0u, At(h, kBssInfrastructure));
    EXPECT_EQ(1u, At(h, kBssNetworkType));
    EXPECT_EQ(0, h[kBssIes + 12]);      // SSID element first
    EXPECT_EQ(0, h[kBssIes + 13]);      // with no characters
    EXPECT_EQ(0x02, h[kBssIes + 10] & 0x03);  // IBSS capability

    const std::vector<uint8_t> a = BuildBssRecord(MakeNetwork(Security::Open, Phy::A, 36), -50);
    EXPECT_EQ(5180000u, At(a, kBssFrequencyKHz));
    EXPECT_EQ(2u, At(a, kBssNetworkType));
    EXPECT_EQ(3u, At(a, kBssSsidLength));
    EXPECT_EQ("Net", std::string(reinterpret_cast<const char*>(&a[kBssSsid]), 3));
}

TEST(NetworkList, CountThenRecordsAndVendorRecordsInTheSameOrder) {
    Network g = MakeNetwork(Security::Open, Phy::G, 1);
    Network turbo = MakeNetwork(Security::Wpa2Psk, Phy::Turbo, 6);
    turbo.xr = true;
    Network b = MakeNetwork(Security::Wep, Phy::B, 11);
    const std::vector<SeenNetwork> seen = {{&g, -40}, {&turbo, -50}, {&b, -60}};
    const std::vector<uint8_t> list = BuildNetworkList(seen);
    EXPECT_EQ(3u, At(list, 0));
    size_t at = 4;
    for (const SeenNetwork& s : seen) {
        EXPECT_EQ(static_cast<uint32_t>(s.rssi), At(list, at + kBssRssi));
        at += At(list, at);
    }
    EXPECT_EQ(list.size(), at);
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0, 0}), BuildNetworkList({}));

    const std::vector<uint8_t> vendor = BuildVendorRecords(seen);
    ASSERT_EQ(3 * kVendorSize, vendor.size());
    EXPECT_EQ(kModeOfdm, At(vendor, kVnModeFlags));
    EXPECT_EQ(0, vendor[kVnXr]);
    EXPECT_EQ(0u, At(vendor, kVnSuperG));
    EXPECT_EQ(kModeOfdm | kModeSuper, At(vendor, kVendorSize + kVnModeFlags));
    EXPECT_EQ(1, vendor[kVendorSize + kVnXr]);
    EXPECT_EQ(1u, At(vendor, kVendorSize + kVnSuperG));
    EXPECT_EQ(0u, At(vendor, 2 * kVendorSize + kVnModeFlags));
}

TEST(Channels, GridOfBothBands) {
    EXPECT_EQ(1, ChannelFrom2GHz(2412));
    EXPECT_EQ(13, ChannelFrom2GHz(2472));
    EXPECT_EQ(14, ChannelFrom2GHz(2484));
    EXPECT_EQ(0, ChannelFrom2GHz(2477));
    EXPECT_EQ(0, ChannelFrom2GHz(2407));
    EXPECT_EQ(0, ChannelFrom2GHz(2414));
    EXPECT_EQ(2437, FrequencyOfChannel(6));
    EXPECT_EQ(2484, FrequencyOfChannel(14));
    EXPECT_EQ(5180, FrequencyOfChannel(36));
    EXPECT_EQ(0, FrequencyOfChannel(0));
    EXPECT_EQ(0, FrequencyOfChannel(20));
    for (int ch = 1; ch <= 14; ++ch) EXPECT_EQ(ch, ChannelFrom2GHz(FrequencyOfChannel(ch)));
}

}  // namespace
