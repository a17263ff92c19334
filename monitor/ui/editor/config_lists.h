// What the Configuration page and its Common sub-page list: profile entries with the
// current profile's marker, and the network names of the adapter's scan list.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace config_lists {

constexpr char kCurrentMarker[] = " *";
// The profile list entry of `name`; the current profile's carries the marker.
std::string ProfileEntry(const std::string& name, bool current);

constexpr size_t kMaxScannedSsids = 200;
constexpr size_t kMaxSsidChars = 32;
// The SSIDs of an NDIS 802.11 BSSID list (a 32-bit count, then entries that each start
// with their own 32-bit length and hold the SSID length at byte 12, the SSID from byte
// 16), in list order, one per entry; always kMaxScannedSsids slots, the unused ones empty.
// The walk stops at the first entry that does not fit the buffer.
std::vector<std::string> ScannedSsids(const uint8_t* list, size_t size);

// The SSID box's entries: `ssid` first, then each scanned SSID that is neither empty nor
// `ssid` itself (compared exactly: a name differing in case is listed), in scan order. A
// network heard from several access points is listed once per access point.
std::vector<std::string> SsidChoices(const std::string& ssid, const std::vector<std::string>& scanned);

}  // namespace config_lists
