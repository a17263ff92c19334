// The Site Survey page's rows, sort keys and join settings, from crafted driver lists.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "monitor/res/resource.h"
#include "monitor/ui/survey/survey_rows.h"

using namespace survey;

namespace {

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

struct Net {
    std::string ssid = "Net";
    uint32_t ssidLength = 0xFFFFFFFF;  // the SSID's own length unless set
    uint8_t mac = 1;
    uint32_t privacy = 0;
    int32_t rssi = -60;
    uint32_t frequencyKHz = 2437000;
    uint32_t infrastructure = 1;
    std::vector<uint8_t> elements;  // after the 12 fixed bytes
    // Vendor record.
    uint32_t modeFlags = 0;
    uint8_t xr = 0;
    uint32_t superG = 0;
};

std::vector<uint8_t> Record(const Net& n) {
    std::vector<uint8_t> r(kElements + kFixedElementBytes + n.elements.size());
    Put32(r, kRecordLength, uint32_t(r.size()));
    for (int i = 0; i < 6; ++i) r[kBssid + i] = uint8_t(i == 5 ? n.mac : 0x10 * i);
    Put32(r, kSsidLength, n.ssidLength == 0xFFFFFFFF ? uint32_t(n.ssid.size()) : n.ssidLength);
    std::memcpy(&r[kSsid], n.ssid.data(), n.ssid.size() < 32 ? n.ssid.size() : 32);
    Put32(r, kPrivacy, n.privacy);
    Put32(r, kRssi, uint32_t(n.rssi));
    Put32(r, kFrequencyKHz, n.frequencyKHz);
    Put32(r, kInfrastructure, n.infrastructure);
    Put32(r, kElementsLength, uint32_t(kFixedElementBytes + n.elements.size()));
    std::copy(n.elements.begin(), n.elements.end(), r.begin() + kElements + kFixedElementBytes);
    return r;
}

std::vector<uint8_t> List(const std::vector<Net>& nets) {
    std::vector<uint8_t> b(4);
    Put32(b, 0, uint32_t(nets.size()));
    for (const Net& n : nets) {
        std::vector<uint8_t> r = Record(n);
        b.insert(b.end(), r.begin(), r.end());
    }
    return b;
}

std::vector<uint8_t> Vendor(const std::vector<Net>& nets) {
    std::vector<uint8_t> b(nets.size() * kVendorRecordSize);
    for (size_t i = 0; i < nets.size(); ++i) {
        Put32(b, i * kVendorRecordSize + kVendorModeFlags, nets[i].modeFlags);
        b[i * kVendorRecordSize + kVendorXr] = nets[i].xr;
        Put32(b, i * kVendorRecordSize + kVendorSuperG, nets[i].superG);
    }
    return b;
}

// Rows read from exactly sized copies, so the sanitizer sees any read past either buffer.
std::vector<Row> Rows(const std::vector<uint8_t>& list, const std::vector<uint8_t>& vendor, bool xr = false) {
    std::vector<uint8_t> l(list), v(vendor);
    return ReadRows(l.data(), l.size(), v.data(), v.size(), xr);
}
std::vector<Row> Rows(const std::vector<Net>& nets, bool xr = false) { return Rows(List(nets), Vendor(nets), xr); }

std::vector<uint8_t> Wpa(uint8_t pairwise) {
    return {221, 22, 0x00, 0x50, 0xF2, 0x01, 0x01, 0x00, 0x00, 0x50, 0xF2, pairwise, 0x01, 0x00,
            0x00, 0x50, 0xF2, pairwise, 0x01, 0x00, 0x00, 0x50, 0xF2, 0x02};
}
std::vector<uint8_t> Rsn(uint8_t group) {
    return {48, 20, 0x01, 0x00, 0x00, 0x0F, 0xAC, group, 0x01, 0x00, 0x00, 0x0F,
            0xAC, group, 0x01, 0x00, 0x00, 0x0F, 0xAC, 0x02, 0x00, 0x00};
}
std::vector<uint8_t> Join(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::string Text(int id) {
    switch (id) {
    case 0: return "";
    case IDS_INFRASTRUCTURE: return "Infrastructure";
    case IDS_AD_HOC: return "Ad Hoc";
    case IDS_MODE_11B: return "802.11b";
    case IDS_MODE_11G: return "802.11g";
    case IDS_MODE_SUPER_G: return "Super G";
    case IDS_SECURITY_NONE: return "None";
    case IDS_SECURITY_WEP: return "WEP";
    case IDS_ENCRYPTION_WPA: return "WPA";
    case IDS_XR_ENABLED: return "Enabled";
    }
    return "#" + std::to_string(id);
}

std::vector<std::string> CellsOf(const Row& r, bool xr) { return Cells(r, xr, Text); }

}  // namespace

TEST(SurveyRows, ListEachNamedNetworkWithItsTextsInBothLayouts) {
    Net cafe;
    cafe.ssid = "Cafe";
    cafe.mac = 0xAB;
    cafe.rssi = -70;
    cafe.modeFlags = kModeOfdm;
    Net hidden;
    hidden.ssid = "";
    hidden.modeFlags = kModeOfdm | kModeSuper;  // passed over with its network
    Net lan;
    lan.ssid = "Lan";
    lan.privacy = 1;
    lan.rssi = -95;
    lan.infrastructure = 0;
    lan.frequencyKHz = 2412000;
    Net five;
    five.ssid = "Five";
    five.rssi = -121;
    five.frequencyKHz = 5180000;
    five.modeFlags = kModeOfdm | kModeSuper;
    five.xr = 1;
    Net far;
    far.ssid = "Far";
    far.rssi = 20;
    far.modeFlags = kModeOfdm;
    far.superG = 1;

    std::vector<Net> nets = {cafe, hidden, lan, five, far};
    std::vector<Row> normal = Rows(nets, false);
    ASSERT_EQ(4u, normal.size());
    EXPECT_EQ((std::vector<std::string>{"Cafe", "00:10:20:30:40:AB", "6", "None", "100 %", "Infrastructure",
                                        "802.11g"}),
              CellsOf(normal[0], false));
    EXPECT_EQ((std::vector<std::string>{"Lan", "00:10:20:30:40:01", "1", "WEP", "50 %", "Ad Hoc", "802.11b"}),
              CellsOf(normal[1], false));
    EXPECT_EQ((std::vector<std::string>{"Five", "00:10:20:30:40:01", "554", "None", "0 %", "Infrastructure",
                                        "Super G"}),
              CellsOf(normal[2], false));
    EXPECT_EQ("100 %", normal[3].signal);  // clamped above
    EXPECT_EQ("802.11g", Text(normal[3].networkTypeText));  // the Super G flag counts only in the XR layout

    std::vector<Row> xr = Rows(nets, true);
    ASSERT_EQ(4u, xr.size());
    EXPECT_EQ((std::vector<std::string>{"Cafe", "00:10:20:30:40:AB", "6", "None", "100 %", "Infrastructure", "",
                                        "802.11g"}),
              CellsOf(xr[0], true));
    EXPECT_EQ("802.11b", CellsOf(xr[1], true)[7]);
    EXPECT_EQ("Enabled", CellsOf(xr[2], true)[6]);
    EXPECT_EQ("802.11g", CellsOf(xr[2], true)[7]);  // turbo without the Super G flag
    EXPECT_EQ("Super G", CellsOf(xr[3], true)[7]);

    EXPECT_EQ((std::vector<int>{IDS_COLUMN_SSID, IDS_COLUMN_BSSID, IDS_COLUMN_CHANNEL, IDS_COLUMN_SECURITY,
                                IDS_COLUMN_SIGNAL, IDS_COLUMN_NETWORK_MODE, IDS_COLUMN_NETWORK_TYPE}),
              ColumnTitles(false));
    EXPECT_EQ(IDS_COLUMN_XR, ColumnTitles(true)[6]);
    EXPECT_EQ(8u, ColumnTitles(true).size());
    EXPECT_FALSE(UsesXrLayout(12));
    EXPECT_TRUE(UsesXrLayout(28));
    EXPECT_TRUE(UsesXrLayout(0));
}

TEST(SurveyRows, SecurityIsWpaOnlyForTkipOrAesInAWholeElement) {
    auto security = [](std::vector<uint8_t> elements) {
        Net n;
        n.privacy = 1;
        n.elements = std::move(elements);
        std::vector<Row> rows = Rows({n});
        return rows.size() == 1 ? Text(rows[0].securityText) : "no row";
    };
    std::vector<uint8_t> ssid = {0, 3, 'N', 'e', 't'};
    EXPECT_EQ("WEP", security({}));
    EXPECT_EQ("WEP", security(ssid));
    EXPECT_EQ("WPA", security(Join(ssid, Wpa(2))));
    EXPECT_EQ("WPA", security(Join(ssid, Wpa(4))));
    EXPECT_EQ("WEP", security(Join(ssid, Wpa(1))));  // WEP-40 pairwise
    EXPECT_EQ("WPA", security(Rsn(4)));
    EXPECT_EQ("WPA", security(Rsn(2)));
    EXPECT_EQ("WEP", security(Rsn(5)));
    std::vector<uint8_t> otherOui = Wpa(2);
    otherOui[4] = 0xF3;
    EXPECT_EQ("WEP", security(otherOui));

    // A WPA element too short to hold its pairwise cipher, and one that claims more bytes
    // than the record has: neither is read beyond its end.
    std::vector<uint8_t> shortWpa = {221, 8, 0x00, 0x50, 0xF2, 0x01, 0x01, 0x00, 0x00, 0x50, 4, 4, 4, 4, 4, 4, 4, 4};
    EXPECT_EQ("WEP", security(shortWpa));
    std::vector<uint8_t> overlong = Wpa(2);
    overlong[1] = 250;
    EXPECT_EQ("WEP", security(overlong));
    // An elements length past the record is cut to the record.
    Net n;
    n.privacy = 1;
    n.elements = Wpa(2);
    std::vector<uint8_t> list = List({n});
    Put32(list, 4 + kElementsLength, 5000);
    ASSERT_EQ(1u, Rows(list, Vendor({n})).size());
    EXPECT_EQ("WPA", Text(Rows(list, Vendor({n}))[0].securityText));
    EXPECT_EQ(IDS_SECURITY_WEP, SecurityText(nullptr, 0));
}

TEST(SurveyRows, MalformedListsEndTheWalkWithoutReadingOutside) {
    Net a, b, c;
    a.ssid = "A";
    b.ssid = "B";
    c.ssid = "C";
    std::vector<uint8_t> good = List({a, b, c});
    const size_t second = 4 + Record(a).size();

    // A count larger than the records there: the records that are there.
    std::vector<uint8_t> list = good;
    Put32(list, 0, 0xFFFFFFFF);
    EXPECT_EQ(3u, Rows(list, {}).size());
    // Record length 0, below the fixed part, or past the end: the walk ends before it.
    for (uint32_t length : {0u, uint32_t(kRecordFixedPart - 1), uint32_t(good.size())}) {
        list = good;
        Put32(list, second, length);
        std::vector<Row> rows = Rows(list, {});
        ASSERT_EQ(1u, rows.size()) << length;
        EXPECT_EQ("A", rows[0].ssid);
    }
    // A list cut in the middle of its last record.
    list.assign(good.begin(), good.end() - 10);
    EXPECT_EQ(2u, Rows(list, {}).size());
    // Too short for a count.
    EXPECT_EQ(0u, Rows(std::vector<uint8_t>(3, 0xFF), {}).size());

    // An SSID length over 32: the 32 characters there.
    Net longName;
    longName.ssid = std::string(32, 'x');
    longName.ssidLength = 4000;
    std::vector<Row> rows = Rows({longName});
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(std::string(32, 'x'), rows[0].ssid);

    // A vendor buffer shorter than the list: the networks without a vendor record are 802.11b.
    a.modeFlags = b.modeFlags = kModeOfdm;
    std::vector<uint8_t> vendor = Vendor({a, b});
    vendor.resize(kVendorRecordSize + 50);
    rows = Rows(List({a, b}), vendor);
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ(IDS_MODE_11G, rows[0].networkTypeText);
    EXPECT_EQ(IDS_MODE_11B, rows[1].networkTypeText);
    EXPECT_EQ(2u, ReadRows(good.data(), good.size() - Record(c).size(), nullptr, 0, true).size());
}

TEST(SurveySort, NumericColumnsByNumberOthersByTextWithoutLimits) {
    EXPECT_TRUE(IsNumericColumn(kChannelColumn));
    EXPECT_TRUE(IsNumericColumn(kSignalColumn));
    EXPECT_FALSE(IsNumericColumn(kSsidColumn));
    EXPECT_EQ((std::vector<int32_t>{1, 11, 6, 0, 2147483647, 84}),
              SortKeys({"1", "11", "6", "", "99999999999999", "84 %"}, true));
    EXPECT_EQ((std::vector<int32_t>{2, 0, 2, 1}), SortKeys({"b", "B", "b", "a"}, false));

    // More rows and longer texts than a fixed table would hold: every row keyed in order.
    std::vector<std::string> texts;
    for (int i = 599; i >= 0; --i) texts.push_back(std::string(300, 'n') + std::to_string(1000 + i));
    std::vector<int32_t> keys = SortKeys(texts, false);
    ASSERT_EQ(600u, keys.size());
    for (size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(int32_t(599 - i), keys[i]);

    EXPECT_LT(CompareKeys(1, 6, true), 0);
    EXPECT_GT(CompareKeys(6, 1, true), 0);
    EXPECT_GT(CompareKeys(1, 6, false), 0);
    EXPECT_EQ(0, CompareKeys(3, 3, false));
}

// Joining from the page (ad hoc and open networks, WEP) is driven in the Wine tests; here
// the cases the simulated networks do not reach.
TEST(SurveyJoin, SettingsFromTheRowsTexts) {
    const std::string infra = "Infrastructure";
    JoinSettings wpa = JoinSettingsFor({"Home", "x", "13", "WPA", "9 %", infra, "", "Super G"}, true, infra);
    EXPECT_EQ("Home", wpa.ssid);
    EXPECT_EQ(1, wpa.infrastructure);
    EXPECT_EQ(2472, wpa.channelMHz);
    EXPECT_EQ(28, wpa.wirelessMode);
    EXPECT_EQ(1, wpa.privacy);
    EXPECT_EQ(7, wpa.eapMethod);
    EXPECT_EQ(1, wpa.wpa);

    // A 5 GHz row, a leading zero, channel 14 or no number: 2457 MHz.
    for (const char* channel : {"554", "06", "14", "0", "", "1a"})
        EXPECT_EQ(2457, JoinSettingsFor({"N", "x", channel, "None", "", infra, "802.11g"}, false, infra).channelMHz)
            << channel;
    EXPECT_EQ(0, JoinSettingsFor({}, false, infra).privacy);  // no cells: nothing to read
}
