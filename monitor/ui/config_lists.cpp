#include "monitor/ui/config_lists.h"

#include <algorithm>
#include <cstring>

namespace config_lists {

namespace {
uint32_t ReadU32(const uint8_t* at) {
    return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

constexpr size_t kSsidLengthOffset = 12;
constexpr size_t kSsidOffset = 16;
}  // namespace

std::string ProfileEntry(const std::string& name, bool current) {
    return current ? name + kCurrentMarker : name;
}

std::vector<std::string> ScannedSsids(const uint8_t* list, size_t size) {
    std::vector<std::string> ssids(kMaxScannedSsids);
    if (!list || size < 4) return ssids;
    uint32_t count = ReadU32(list);
    size_t at = 4;
    for (uint32_t i = 0; i < count && i < kMaxScannedSsids; ++i) {
        if (size - at < kSsidOffset + kMaxSsidChars) break;
        uint32_t length = ReadU32(list + at);
        // An entry shorter than its SSID field, or past the buffer, ends the walk.
        if (length < kSsidOffset + kMaxSsidChars || length > size - at) break;
        uint32_t ssidLength = ReadU32(list + at + kSsidLengthOffset);
        if (ssidLength > kMaxSsidChars) ssidLength = kMaxSsidChars;
        const char* ssid = reinterpret_cast<const char*>(list + at + kSsidOffset);
        ssids[i].assign(ssid, strnlen(ssid, ssidLength));
        at += length;
    }
    return ssids;
}

std::vector<std::string> SsidChoices(const std::string& ssid, const std::vector<std::string>& scanned) {
    std::vector<std::string> choices{ssid};
    for (const std::string& s : scanned)
        if (!s.empty() && std::find(choices.begin(), choices.end(), s) == choices.end())
            choices.push_back(s);
    return choices;
}

}  // namespace config_lists
