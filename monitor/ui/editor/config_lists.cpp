#include "monitor/ui/editor/config_lists.h"

#include "monitor/ui/survey/survey_rows.h"

namespace config_lists {

std::string ProfileEntry(const std::string& name, bool current) {
    return current ? name + kCurrentMarker : name;
}

std::vector<std::string> ScannedSsids(const uint8_t* list, size_t size) {
    std::vector<std::string> ssids(kMaxScannedSsids);
    // An entry shorter than its SSID field, or past the buffer, ends the walk.
    survey::WalkRecords(list, size, survey::kSsid + survey::kSsidMax, kMaxScannedSsids,
                        [&](uint32_t i, const uint8_t* record, size_t) { ssids[i] = survey::RecordSsid(record); });
    return ssids;
}

std::vector<std::string> SsidChoices(const std::string& ssid, const std::vector<std::string>& scanned) {
    std::vector<std::string> choices{ssid};
    for (const std::string& s : scanned)
        if (!s.empty() && s != ssid) choices.push_back(s);
    return choices;
}

}  // namespace config_lists
