// What the Site Survey page lists: the rows read from the driver's network list and vendor
// network records, the column layouts, the sort keys and the settings for joining a row's
// network. UI-free: texts that come from the string table are given as their string IDs
// (0 = an empty cell).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "monitor/ui/survey/channel_view/channel_occupancy.h"

namespace survey {

// The network list: a 32-bit count, then records in the NDIS_WLAN_BSSID_EX layout.
constexpr size_t kRecordLength = 0;
constexpr size_t kBssid = 4;
constexpr size_t kSsidLength = 12;
constexpr size_t kSsid = 16;
constexpr size_t kSsidMax = 32;
constexpr size_t kPrivacy = 48;
constexpr size_t kRssi = 52;
constexpr size_t kFrequencyKHz = 72;
constexpr size_t kInfrastructure = 92;
constexpr size_t kElementsLength = 112;
constexpr size_t kElements = 116;  // 12 fixed bytes, then id/length/data elements
constexpr size_t kFixedElementBytes = 12;
// A record shorter than this cannot hold the fields above.
constexpr size_t kRecordFixedPart = kElements;

// The vendor network records: 92 bytes each, in the network list's order.
constexpr size_t kVendorRecordSize = 92;
constexpr size_t kVendorModeFlags = 56;
constexpr size_t kVendorXr = 76;
constexpr size_t kVendorSuperG = 80;
constexpr uint32_t kModeOfdm = 0x04000000u;
constexpr uint32_t kModeSuper = 0x01000000u;

// Calls visit(index, record, length) for each record of the network list in `list` (`size`
// bytes), in order, for at most `maxCount` records. Reads nothing outside the buffer: the
// walk ends at the first record shorter than `minLength` (which holds at least the record
// length) or running past the end of the buffer, whatever the count says.
template <class Visit>
void WalkRecords(const uint8_t* list, size_t size, size_t minLength, size_t maxCount, Visit visit) {
    if (!list || size < 4) return;
    auto u32 = [](const uint8_t* p) {
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    };
    const uint32_t count = u32(list);
    size_t at = 4;
    for (uint32_t i = 0; i < count && i < maxCount; ++i) {
        if (size - at < minLength) return;
        const uint32_t length = u32(list + at);
        if (length < minLength || length > size - at) return;
        visit(i, list + at, size_t(length));
        at += length;
    }
}

// A record's SSID as the list shows it: at most 32 characters, ending at the first NUL.
std::string RecordSsid(const uint8_t* record);

// The XR layout is used on adapters whose supported-modes code is not 12.
bool UsesXrLayout(uint32_t supportedModes);

// The columns of a layout, as string IDs, and where each field sits in it.
std::vector<int> ColumnTitles(bool xrLayout);
constexpr int kSsidColumn = 0;
constexpr int kBssidColumn = 1;
constexpr int kChannelColumn = 2;
constexpr int kSecurityColumn = 3;
constexpr int kSignalColumn = 4;
constexpr int kNetworkModeColumn = 5;
constexpr int kXrColumn = 6;  // XR layout only
int NetworkTypeColumn(bool xrLayout);

struct Row {
    std::string ssid;
    std::string bssid;    // "00:03:7F:1A:2B:01"
    std::string channel;  // "6"
    int securityText = 0;
    std::string signal;  // "84 %"
    int networkModeText = 0;
    int xrText = 0;  // XR layout only
    int networkTypeText = 0;
    // The figures behind the texts, for the channel view.
    uint32_t frequencyKHz = 0;
    int signalPercent = 0;
};

// The rows for the networks in `list` with their vendor records, hidden networks left
// out. Reads nothing outside the two buffers, whatever they hold: the walk ends at the
// first record whose length is 0, below the fixed part or past the end of the buffer.
std::vector<Row> ReadRows(const uint8_t* list, size_t listSize, const uint8_t* vendor,
                          size_t vendorSize, bool xrLayout);

// The frequency and signal of every network in `list`, hidden ones too: they take their
// channel's air as much as any. Reads nothing outside the buffer, as ReadRows.
std::vector<channels::Network> ReadChannelUse(const uint8_t* list, size_t listSize);

// The security text of a record's information elements (the `length` bytes at
// `elements`, fixed bytes included) for a record with privacy on: WPA when a WPA or RSN
// element names TKIP or AES, else WEP.
int SecurityText(const uint8_t* elements, size_t length);

// The cells of a row in the column order of its layout, with `text` giving string-table
// texts (it receives 0 for an empty cell).
template <typename TextOf>
std::vector<std::string> Cells(const Row& row, bool xrLayout, TextOf text) {
    std::vector<std::string> cells = {row.ssid,   row.bssid,         row.channel,
                                      text(row.securityText), row.signal,
                                      text(row.networkModeText)};
    if (xrLayout) cells.push_back(text(row.xrText));
    cells.push_back(text(row.networkTypeText));
    return cells;
}

// Sort keys, one per row, for the texts of the sorted column. Channel and Signal sort by
// the number their text starts with; the others by byte value, equal texts sharing a key.
bool IsNumericColumn(int column);
std::vector<int32_t> SortKeys(const std::vector<std::string>& texts, bool numeric);
// The list's comparison: ascending, or descending after a second click on a heading.
int CompareKeys(int32_t first, int32_t second, bool ascending);

// The edit profile's settings for joining the network of a row.
struct JoinSettings {
    std::string ssid;
    int infrastructure = 0;
    int channelMHz = 0;
    int wirelessMode = 0;
    int privacy = 0;
    int eapMethod = 0;
    int wpa = 0;
};
// `cells` are the row's texts in its layout's order; `infrastructureText` is the Network
// Mode text of an infrastructure network.
JoinSettings JoinSettingsFor(const std::vector<std::string>& cells, bool xrLayout,
                             const std::string& infrastructureText);

}  // namespace survey
