// The simulated adapter through the library's OID requests: records read back
// at their offsets, association with the active profile, pinned values,
// recorded sets and scans.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "athcfg/athcfg.h"
#include "athcfg/model/records.h"
#include "athcfg/model/sim_model.h"
#include "sim_support.h"

namespace {

using namespace athsim;
using simtest::Query;
using simtest::QueryWord;
using simtest::U32;
using simtest::U64;

class DriverTest : public ::testing::Test {
protected:
    void TearDown() override { AthSimClear(); }
    const std::string device = simtest::DefaultDevice(0);
};

TEST_F(DriverTest, PinnedStatusMembersSitAtTheirOffsets) {
    simtest::Install(
        "adapter modes=12 quality=130 auth=2\n"
        "status rate=0x8000D2F0 signal=29 channel=0x0500098A ssid=PinnedNet security=3 netmode=1\n"
        "status txpackets=34 rxpackets=35 txbytes=0x1122334455 rxbytes=4294967302 disconnected=0\n");
    ASSERT_EQ(1, AthSimSetTime(60000));
    DWORD written = 0, length = 280;
    std::vector<uint8_t> s(280, 0xCC);
    ASSERT_EQ(1, AcsGetOid(device.c_str(), kOidStatus, &written, s.data(), &length));
    EXPECT_EQ(280u, written);
    EXPECT_EQ(280u, length);
    EXPECT_EQ(0x8000D2F0u, U32(s, 92));
    EXPECT_EQ(29u, U32(s, 96));
    EXPECT_EQ(0x0500098Au, U32(s, 132));
    EXPECT_EQ("PinnedNet", simtest::Text(s, 154, 34));
    EXPECT_EQ(3u, U32(s, 188));
    EXPECT_EQ(1u, U32(s, 192));
    EXPECT_EQ(34u, U32(s, 208));
    EXPECT_EQ(35u, U32(s, 212));
    EXPECT_EQ(0u, U32(s, 216));
    EXPECT_EQ(0x1122334455ull, U64(s, 224));
    EXPECT_EQ(4294967302ull, U64(s, 232));
    EXPECT_EQ(12u, U32(s, 256));
    EXPECT_EQ(130u, QueryWord(device, kOidLinkQuality));
    EXPECT_EQ(2u, QueryWord(device, kOidAuthMode));
}

TEST_F(DriverTest, FrequencyAndFlagPinsCombineIntoTheChannelWord) {
    simtest::Install("adapter\nstatus freq=5180 flags=0x01000000\n");
    EXPECT_EQ(0x01000000u | 5180u, U32(Query(device, kOidStatus, 280), 132));
}

TEST_F(DriverTest, AssociatesWithTheActiveProfilesNetworkWhenSecurityFits) {
    simtest::Install(
        "adapter\n"
        "profile name=Home ssid=HomeNet privacy=1 wpa=1 eapMethod=7 pskPassphrase=rightkey infrastructure=1\n"
        "profile name=Wrong ssid=HomeNet privacy=1 wpa=1 eapMethod=7 pskPassphrase=wrongkey infrastructure=1\n"
        "profile name=Open ssid=Cafe privacy=0 infrastructure=1\n"
        "select name=Home\n"
        "network ssid=HomeNet channel=6 rssi=-50 security=wpa2-psk key=rightkey type=turbo\n"
        "network ssid=Cafe channel=11 rssi=-70 security=open type=b\n");
    ASSERT_EQ(1, AthSimSetTime(10000));
    std::vector<uint8_t> s = Query(device, kOidStatus, 280);
    ASSERT_EQ(280u, s.size());
    EXPECT_EQ(0u, U32(s, 216));
    EXPECT_EQ("HomeNet", simtest::Text(s, 154, 34));
    EXPECT_EQ(2437u | kModeOfdm | kModeSuper, U32(s, 132));
    EXPECT_EQ(5u, U32(s, 188));  // WPA2 with a pre-shared key
    EXPECT_EQ(0u, U32(s, 192));
    EXPECT_EQ(108u, U32(s, 92));
    EXPECT_GE(U32(s, 96), 40u);
    EXPECT_GT(U64(s, 232), 0u);
    EXPECT_GT(QueryWord(device, kOidLinkQuality), 50u);

    ACAdapterConfig config;
    ASSERT_EQ(1, config.ReadConfig(device.c_str(), "0007"));
    ASSERT_EQ(1, config.SetProfile("Wrong"));
    ASSERT_EQ(1, AthSimSetTime(20000));
    s = Query(device, kOidStatus, 280);
    EXPECT_EQ(1u, U32(s, 216));
    EXPECT_EQ("", simtest::Text(s, 154, 34));
    EXPECT_EQ(0u, QueryWord(device, kOidLinkQuality));

    ASSERT_EQ(1, config.ActivateProfile(config.GetProfile("Open")));
    s = Query(device, kOidStatus, 280);
    EXPECT_EQ(1u, U32(s, 216)) << "the link takes a moment to come up";
    ASSERT_EQ(1, AthSimSetTime(21500));
    s = Query(device, kOidStatus, 280);
    EXPECT_EQ(0u, U32(s, 216));
    EXPECT_EQ("Cafe", simtest::Text(s, 154, 34));
    EXPECT_EQ(2462u, U32(s, 132));
    EXPECT_EQ(0u, U32(s, 188));
}

TEST_F(DriverTest, CountersGrowAndNeverRunBackwards) {
    simtest::Install(
        "adapter\nprofile name=P ssid=Net infrastructure=1\nselect name=P\nnetwork ssid=Net channel=1 rssi=-60\n");
    uint64_t last_tx = 0, last_rx = 0;
    uint32_t last_rxp = 0;
    for (int second = 1; second <= 40; ++second) {
        ASSERT_EQ(1, AthSimSetTime(second * 1000LL));
        const std::vector<uint8_t> s = Query(device, kOidStatus, 280);
        ASSERT_GE(U64(s, 224), last_tx);
        ASSERT_GE(U64(s, 232), last_rx);
        ASSERT_GE(U32(s, 212), last_rxp);
        last_tx = U64(s, 224);
        last_rx = U64(s, 232);
        last_rxp = U32(s, 212);
    }
    EXPECT_GT(last_rx, 40000u);
    EXPECT_GT(last_rxp, 10u);
    // Radio off keeps the counters where they stand and drops the link.
    ASSERT_TRUE(simtest::SetWord(device, kOidRadio, 1));
    ASSERT_EQ(1, AthSimSetTime(90000));
    const std::vector<uint8_t> off = Query(device, kOidStatus, 280);
    EXPECT_EQ(1u, U32(off, 216));
    EXPECT_EQ(U64(Query(device, kOidStatus, 280), 232), U64(off, 232));
    EXPECT_GE(U64(off, 232), last_rx);
    EXPECT_EQ(1u, QueryWord(device, kOidRadio));
}

TEST_F(DriverTest, SetsAreRecordedInOrder) {
    simtest::Install("adapter\n");
    AthSimClearRecorded(0);
    ASSERT_TRUE(simtest::SetWord(device, kOidRadio, 1));
    ASSERT_TRUE(simtest::SetWord(device, kOidTxRate, 11000));
    ASSERT_TRUE(simtest::SetWord(device, kOidScan, 0));
    ASSERT_TRUE(simtest::SetWord(device, kOidRadio, 0));
    ASSERT_EQ(4, AthSimRecordedCount(0));
    DWORD oid = 0, length = 0;
    unsigned char data[16] = {};
    ASSERT_EQ(1, AthSimRecordedSet(0, 1, &oid, data, sizeof data, &length));
    EXPECT_EQ(kOidTxRate, oid);
    EXPECT_EQ(4u, length);
    EXPECT_EQ(11000u, data[0] | data[1] << 8 | data[2] << 16);
    ASSERT_EQ(1, AthSimRecordedSet(0, 2, &oid, data, sizeof data, &length));
    EXPECT_EQ(kOidScan, oid);
    EXPECT_EQ(0, AthSimRecordedSet(0, 4, &oid, data, sizeof data, &length));
    DWORD value = 99;
    ASSERT_EQ(1, AthSimLastRecordedValue(0, kOidRadio, &value));
    EXPECT_EQ(0u, value);
    EXPECT_EQ(0u, QueryWord(device, kOidRadio));
    EXPECT_EQ(1, AthSimClearRecorded(0));
    EXPECT_EQ(0, AthSimRecordedCount(0));
}

TEST_F(DriverTest, RefusesUnknownDevicesOidsAndShortBuffers) {
    simtest::Install("adapter radio=off\n");
    EXPECT_EQ(1u, QueryWord(device, kOidRadio));
    EXPECT_EQ("0", simtest::RegString(
                       "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\0007",
                       "radioEnable"));
    EXPECT_TRUE(Query("\\DEVICE\\{00000000-0000-0000-0000-000000000000}", kOidStatus, 280).empty());
    EXPECT_TRUE(Query(device, 0xFF123456, 64).empty());
    std::vector<uint8_t> small(279, 0xAB);
    DWORD written = 7, length = 279;
    EXPECT_EQ(0, AcsGetOid(device.c_str(), kOidStatus, &written, small.data(), &length));
    EXPECT_EQ(0u, written);
    EXPECT_EQ(280u, length);
    EXPECT_EQ(0xAB, small[0]);
    DWORD read = 5, word = 1;
    EXPECT_EQ(0, AcsSetOid(device.c_str(), kOidRadio, &read, &word, 2));
    EXPECT_EQ(0u, read);
    EXPECT_EQ(0, AcsGetOid(nullptr, kOidStatus, &written, small.data(), &length));
}

std::vector<size_t> RecordStarts(const std::vector<uint8_t>& list) {
    std::vector<size_t> starts;
    size_t at = 4;
    for (uint32_t i = 0; i < U32(list, 0) && at + 4 <= list.size(); ++i) {
        starts.push_back(at);
        at += U32(list, at);
    }
    return starts;
}

// Offset of the first element with `id` in the record at `at`, or 0.
size_t FindElement(const std::vector<uint8_t>& list, size_t at, uint8_t id) {
    const size_t end = at + kBssIes + U32(list, at + kBssIeLength);
    for (size_t e = at + kBssIes + kFixedIeBytes; e + 2 <= end; e += 2 + list[e + 1])
        if (list[e] == id) return e;
    return 0;
}

TEST_F(DriverTest, NetworkListAndVendorRecordsDescribeEachNetwork) {
    simtest::Install(
        "adapter\n"
        "network ssid=Open1 bssid=00:11:22:33:44:01 channel=1 rssi=-40 type=b\n"
        "network ssid=Wpa2 bssid=00:11:22:33:44:02 channel=6 rssi=-60 security=wpa2-psk type=turbo xr=yes\n"
        "network ssid=Wpa bssid=00:11:22:33:44:03 channel=11 rssi=-70 security=wpa-psk\n"
        "network ssid=Secret bssid=00:11:22:33:44:04 channel=3 mode=adhoc security=wep hidden=yes\n");
    const std::vector<uint8_t> list = Query(device, kOidNetworkList);
    ASSERT_EQ(4u, U32(list, 0));
    const std::vector<size_t> at = RecordStarts(list);
    ASSERT_EQ(4u, at.size());
    EXPECT_EQ(list.size(), at[3] + U32(list, at[3]));
    for (size_t r : at) EXPECT_EQ(0u, U32(list, r) % 4);

    EXPECT_EQ(0x11u, list[at[1] + kBssMac + 1]);
    EXPECT_EQ(0x02u, list[at[1] + kBssMac + 5]);
    EXPECT_EQ(4u, U32(list, at[1] + kBssSsidLength));
    EXPECT_EQ("Wpa2", simtest::Text(list, at[1] + kBssSsid, 4));
    EXPECT_EQ(0u, U32(list, at[0] + kBssPrivacy));
    EXPECT_EQ(1u, U32(list, at[1] + kBssPrivacy));
    const int rssi = static_cast<int>(U32(list, at[1] + kBssRssi));
    EXPECT_LE(-63, rssi);
    EXPECT_GE(-57, rssi);
    EXPECT_EQ(2437000u, U32(list, at[1] + kBssFrequencyKHz));
    EXPECT_EQ(1u, U32(list, at[1] + kBssInfrastructure));
    EXPECT_EQ(0u, U32(list, at[3] + kBssInfrastructure));
    EXPECT_EQ(0u, U32(list, at[3] + kBssSsidLength));

    // Real elements: the SSID, the DS parameter and the RSN/WPA element.
    const size_t ssid = FindElement(list, at[1], 0);
    ASSERT_NE(0u, ssid);
    EXPECT_EQ(4, list[ssid + 1]);
    const size_t ds = FindElement(list, at[1], 3);
    ASSERT_NE(0u, ds);
    EXPECT_EQ(6, list[ds + 2]);
    const size_t rsn = FindElement(list, at[1], 48);
    ASSERT_NE(0u, rsn);
    EXPECT_EQ(4, list[rsn + 7]);  // group cipher CCMP
    const size_t wpa = FindElement(list, at[2], 221);
    ASSERT_NE(0u, wpa);
    EXPECT_GT(list[wpa + 1], 6);
    const uint8_t wpa_head[] = {0x00, 0x50, 0xF2, 0x01, 0x01, 0x00};
    EXPECT_EQ(std::vector<uint8_t>(wpa_head, wpa_head + 6), std::vector<uint8_t>(&list[wpa + 2], &list[wpa + 8]));
    EXPECT_EQ(2, list[wpa + 17]);  // pairwise cipher TKIP
    EXPECT_EQ(0u, FindElement(list, at[0], 221));
    EXPECT_EQ(0u, FindElement(list, at[0], 48));
    const size_t hidden_ssid = FindElement(list, at[3], 0);
    ASSERT_NE(0u, hidden_ssid);
    EXPECT_EQ(0, list[hidden_ssid + 1]);

    const std::vector<uint8_t> vendor = Query(device, kOidVendorList);
    ASSERT_EQ(4 * kVendorSize, vendor.size());
    EXPECT_EQ(0u, U32(vendor, kVnModeFlags));
    EXPECT_EQ(kModeOfdm | kModeSuper, U32(vendor, kVendorSize + kVnModeFlags));
    EXPECT_EQ(1, vendor[kVendorSize + kVnXr]);
    EXPECT_EQ(1u, U32(vendor, kVendorSize + kVnSuperG));
    EXPECT_EQ(kModeOfdm, U32(vendor, 2 * kVendorSize + kVnModeFlags));
    EXPECT_EQ(0, vendor[2 * kVendorSize + kVnXr]);
    EXPECT_EQ(0u, U32(vendor, 2 * kVendorSize + kVnSuperG));
}

TEST_F(DriverTest, ScanRevealsNetworksChannelByChannelOverItsDuration) {
    simtest::Install(
        "scan ms=4000\nadapter\n"
        "network ssid=Low channel=1\nnetwork ssid=Mid channel=7\nnetwork ssid=High channel=13\n");
    ASSERT_EQ(1, AthSimSetTime(5000));
    EXPECT_EQ(3u, U32(Query(device, kOidNetworkList), 0));
    ASSERT_TRUE(simtest::SetWord(device, kOidScan, 0));
    EXPECT_EQ(0u, U32(Query(device, kOidNetworkList), 0));
    EXPECT_EQ(0u, Query(device, kOidVendorList).size());
    // The 2.4 GHz channels are swept in the first half of the scan.
    ASSERT_EQ(1, AthSimSetTime(5500));
    EXPECT_EQ(1u, U32(Query(device, kOidNetworkList), 0));
    ASSERT_EQ(1, AthSimSetTime(6500));
    EXPECT_EQ(2u, U32(Query(device, kOidNetworkList), 0));
    EXPECT_EQ(2 * kVendorSize, Query(device, kOidVendorList).size());
    ASSERT_EQ(1, AthSimSetTime(9000));
    EXPECT_EQ(3u, U32(Query(device, kOidNetworkList), 0));
    // Nothing is heard with the radio off.
    ASSERT_TRUE(simtest::SetWord(device, kOidRadio, 1));
    EXPECT_EQ(0u, U32(Query(device, kOidNetworkList), 0));
}

TEST_F(DriverTest, RawRecordsReplaceTheBuiltOnes) {
    simtest::Install(
        "adapter\nnetwork ssid=Ignored\n"
        "raw list=\"05000000 FFFFFFFF\"\nraw list=0102\nraw vendor=AA\n");
    const std::vector<uint8_t> list = Query(device, kOidNetworkList);
    const std::vector<uint8_t> expected = {0x05, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x02};
    EXPECT_EQ(expected, list);
    EXPECT_EQ(std::vector<uint8_t>{0xAA}, Query(device, kOidVendorList));
}

TEST_F(DriverTest, SecondAdapterHasItsOwnState) {
    simtest::Install("adapters count=2\n");
    const std::string second = simtest::DefaultDevice(1);
    ASSERT_TRUE(simtest::SetWord(second, kOidRadio, 1));
    EXPECT_EQ(1u, QueryWord(second, kOidRadio));
    EXPECT_EQ(0u, QueryWord(device, kOidRadio));
    EXPECT_EQ(0, AthSimRecordedCount(0));
    EXPECT_EQ(1, AthSimRecordedCount(1));
}

TEST_F(DriverTest, ClearCacheOfTheActiveProfileDropsTheLink) {
    simtest::Install("adapter\nprofile name=P ssid=Net infrastructure=1\nselect name=P\nnetwork ssid=Net\n");
    ASSERT_EQ(1, AthSimSetTime(5000));
    EXPECT_EQ(0u, U32(Query(device, kOidStatus, 280), 216));
    AcsClearCache(device.c_str(), "Other");
    EXPECT_EQ(0u, U32(Query(device, kOidStatus, 280), 216));
    AcsClearCache(device.c_str(), "P");
    EXPECT_EQ(1u, U32(Query(device, kOidStatus, 280), 216));
}

TEST_F(DriverTest, LivelyScenarioHasOneAssociatedAdapterInABusyNeighbourhood) {
    std::ifstream in(LIVELY_SCENARIO);
    ASSERT_TRUE(in.good()) << LIVELY_SCENARIO;
    std::ostringstream text;
    text << in.rdbuf();
    simtest::Install(text.str());
    ACEnumNics nics;
    nics.GetAllAtherosAdapters();
    ASSERT_EQ(1, nics.NbrNics());
    const std::string lively = nics.Nics.GetAt(0);
    const std::vector<uint8_t> s = Query(lively, kOidStatus, 280);
    EXPECT_EQ(0u, U32(s, 216));
    EXPECT_EQ("Skyline-Home", simtest::Text(s, 154, 34));
    EXPECT_NE(12u, U32(s, 256));

    const std::vector<uint8_t> list = Query(lively, kOidNetworkList);
    const std::vector<size_t> at = RecordStarts(list);
    ASSERT_EQ(8u, at.size());
    int hidden = 0, adhoc = 0, open = 0;
    for (size_t r : at) {
        hidden += U32(list, r + kBssSsidLength) == 0;
        adhoc += U32(list, r + kBssInfrastructure) == 0;
        open += U32(list, r + kBssPrivacy) == 0;
    }
    EXPECT_EQ(1, hidden);
    EXPECT_EQ(1, adhoc);
    EXPECT_EQ(3, open);
    const std::vector<uint8_t> vendor = Query(lively, kOidVendorList);
    ASSERT_EQ(8 * kVendorSize, vendor.size());
    int xr = 0;
    for (size_t i = 0; i < 8; ++i) xr += vendor[i * kVendorSize + kVnXr] != 0;
    EXPECT_EQ(2, xr);
}

}  // namespace
