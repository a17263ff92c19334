#include "monitor/ui/survey/survey_rows.h"

#include <algorithm>
#include <cstdio>

#include "monitor/res/resource.h"

namespace survey {
namespace {

uint32_t U32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

constexpr uint8_t kWpaElementId = 221;
constexpr uint8_t kRsnElementId = 48;
// OUI 00 50 F2, type 1 (WPA), version 1.
constexpr uint8_t kWpaHeader[6] = {0x00, 0x50, 0xF2, 0x01, 0x01, 0x00};
constexpr size_t kWpaPairwiseCipher = 17;  // from the element's id
constexpr size_t kRsnGroupCipher = 7;      // from the element's id
constexpr uint8_t kCipherTkip = 2;
constexpr uint8_t kCipherAes = 4;

bool StrongCipher(uint8_t type) { return type == kCipherTkip || type == kCipherAes; }

// A whole element (id, length, data) at `e`, `size` bytes long.
bool NamesWpaCipher(const uint8_t* e, size_t size) {
    if (e[0] == kWpaElementId && e[1] > 6)
        return size > kWpaPairwiseCipher && std::equal(kWpaHeader, kWpaHeader + 6, e + 2) &&
               StrongCipher(e[kWpaPairwiseCipher]);
    if (e[0] == kRsnElementId) return size > kRsnGroupCipher && StrongCipher(e[kRsnGroupCipher]);
    return false;
}

std::string Hex6(const uint8_t* mac) {
    char text[18];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2], mac[3],
                  mac[4], mac[5]);
    return text;
}

int SignalPercent(int32_t rssi) {
    int64_t percent = 2 * int64_t(rssi) + 240;
    return int(std::clamp<int64_t>(percent, 0, 100));
}

int NetworkTypeText(uint32_t modeFlags, uint32_t superG, bool xrLayout) {
    bool ofdm = modeFlags & kModeOfdm;
    if (xrLayout) return superG ? IDS_MODE_SUPER_G : ofdm ? IDS_MODE_11G : IDS_MODE_11B;
    if (!ofdm) return IDS_MODE_11B;
    return modeFlags & kModeSuper ? IDS_MODE_SUPER_G : IDS_MODE_11G;
}

// The number a text starts with (optional sign, then digits), kept to the key's range;
// 0 when it starts with none.
int32_t LeadingNumber(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min<int64_t>(value * 10 + (text[i] - '0'), INT32_MAX);
    return int32_t(negative ? -value : value);
}

}  // namespace

bool UsesXrLayout(uint32_t supportedModes) { return supportedModes != 12; }

std::vector<int> ColumnTitles(bool xrLayout) {
    std::vector<int> titles = {IDS_COLUMN_SSID,   IDS_COLUMN_BSSID,  IDS_COLUMN_CHANNEL,
                               IDS_COLUMN_SECURITY, IDS_COLUMN_SIGNAL, IDS_COLUMN_NETWORK_MODE};
    if (xrLayout) titles.push_back(IDS_COLUMN_XR);
    titles.push_back(IDS_COLUMN_NETWORK_TYPE);
    return titles;
}

int NetworkTypeColumn(bool xrLayout) { return xrLayout ? 7 : 6; }

int SecurityText(const uint8_t* elements, size_t length) {
    if (length > kFixedElementBytes) {
        // Each element must lie wholly inside the elements; the walk ends at one that does
        // not, since what follows it cannot be trusted.
        for (size_t at = kFixedElementBytes; at + 2 <= length;) {
            size_t size = 2 + size_t(elements[at + 1]);
            if (at + size > length) break;
            if (NamesWpaCipher(elements + at, size)) return IDS_ENCRYPTION_WPA;
            at += size;
        }
    }
    return IDS_SECURITY_WEP;
}

std::string RecordSsid(const uint8_t* record) {
    const size_t length = std::min<size_t>(U32(record + kSsidLength), kSsidMax);
    const char* ssid = reinterpret_cast<const char*>(record + kSsid);
    return std::string(ssid, std::find(ssid, ssid + length, '\0'));
}

std::vector<Row> ReadRows(const uint8_t* list, size_t listSize, const uint8_t* vendor,
                          size_t vendorSize, bool xrLayout) {
    std::vector<Row> rows;
    // Every record is at least the fixed part long, so the walk takes at most
    // listSize / kRecordFixedPart steps, whatever the count says.
    WalkRecords(list, listSize, kRecordFixedPart, UINT32_MAX, [&](uint32_t i, const uint8_t* r, size_t length) {
        // A network without its vendor record (a short vendor answer) has no mode flags.
        uint8_t none[kVendorRecordSize] = {};
        const size_t vendorAt = size_t(i) * kVendorRecordSize;
        const uint8_t* v =
            vendor && vendorAt < vendorSize && vendorSize - vendorAt >= kVendorRecordSize ? vendor + vendorAt
                                                                                          : none;
        Row row;
        row.ssid = RecordSsid(r);
        if (row.ssid.empty()) return;
        row.bssid = Hex6(r + kBssid);
        row.frequencyKHz = U32(r + kFrequencyKHz);
        row.channel = std::to_string((row.frequencyKHz - 2412000u) / 5000u + 1u);
        if (U32(r + kPrivacy) == 0) {
            row.securityText = IDS_SECURITY_NONE;
        } else {
            // The elements cannot run past their record.
            const size_t elements = std::min<size_t>(U32(r + kElementsLength), length - kElements);
            row.securityText = SecurityText(r + kElements, elements);
        }
        row.signalPercent = SignalPercent(int32_t(U32(r + kRssi)));
        row.signal = std::to_string(row.signalPercent) + " %";
        row.networkModeText = U32(r + kInfrastructure) == 0 ? IDS_AD_HOC : IDS_INFRASTRUCTURE;
        if (xrLayout) row.xrText = v[kVendorXr] ? IDS_XR_ENABLED : 0;
        row.networkTypeText =
            NetworkTypeText(U32(v + kVendorModeFlags), U32(v + kVendorSuperG), xrLayout);
        rows.push_back(row);
    });
    return rows;
}

std::vector<channels::Network> ReadChannelUse(const uint8_t* list, size_t listSize) {
    std::vector<channels::Network> networks;
    WalkRecords(list, listSize, kRecordFixedPart, UINT32_MAX, [&](uint32_t, const uint8_t* r, size_t) {
        networks.push_back(channels::Network{U32(r + kFrequencyKHz), SignalPercent(int32_t(U32(r + kRssi)))});
    });
    return networks;
}

bool IsNumericColumn(int column) { return column == kChannelColumn || column == kSignalColumn; }

std::vector<int32_t> SortKeys(const std::vector<std::string>& texts, bool numeric) {
    std::vector<int32_t> keys;
    keys.reserve(texts.size());
    if (numeric) {
        for (const std::string& text : texts) keys.push_back(LeadingNumber(text));
        return keys;
    }
    // A text's key is the number of texts that sort before it, so equal texts share one.
    std::vector<std::string> sorted = texts;
    std::sort(sorted.begin(), sorted.end());
    for (const std::string& text : texts)
        keys.push_back(int32_t(std::lower_bound(sorted.begin(), sorted.end(), text) - sorted.begin()));
    return keys;
}

int CompareKeys(int32_t first, int32_t second, bool ascending) {
    int order = first < second ? -1 : first > second ? 1 : 0;
    return ascending ? order : -order;
}

JoinSettings JoinSettingsFor(const std::vector<std::string>& cells, bool xrLayout,
                             const std::string& infrastructureText) {
    auto cell = [&](int column) { return size_t(column) < cells.size() ? cells[column] : std::string(); };
    JoinSettings s;
    s.ssid = cell(kSsidColumn);
    s.infrastructure = cell(kNetworkModeColumn) == infrastructureText ? 1 : 0;

    // Channels 1 to 13, written without leading zeros; anything else joins on 2457 MHz.
    const std::string channel = cell(kChannelColumn);
    s.channelMHz = 2457;
    if (!channel.empty() && channel.size() <= 2 && channel[0] != '0' &&
        std::all_of(channel.begin(), channel.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        int n = std::stoi(channel);
        if (n <= 13) s.channelMHz = 2407 + 5 * n;
    }

    s.wirelessMode = cell(NetworkTypeColumn(xrLayout)) == "Super G" ? 28 : 12;
    if (!s.infrastructure) s.wirelessMode = 4;

    const std::string security = cell(kSecurityColumn);
    if (security == "WEP" || security == "WPA") {
        s.privacy = 1;
        s.eapMethod = 7;
        s.wpa = security == "WPA" ? 1 : 0;
    }
    return s;
}

}  // namespace survey
