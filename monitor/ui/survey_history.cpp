#include "monitor/ui/survey_history.h"

#include <cstdio>
#include <map>
#include <utility>

namespace survey {

void History::Update(const std::vector<Row>& rows, uint32_t tick, const std::string& when) {
    // Each earlier sighting answers at most one row: a network listed twice stays listed twice.
    std::multimap<std::pair<std::string, std::string>, size_t> earlier;
    for (size_t i = 0; i < networks_.size(); ++i)
        earlier.emplace(std::make_pair(networks_[i].row.bssid, networks_[i].row.ssid), i);
    std::vector<bool> seen(networks_.size(), false);

    std::vector<Sighting> next;
    next.reserve(rows.size() + networks_.size());
    for (const Row& row : rows) {
        Sighting s;
        auto at = earlier.find(std::make_pair(row.bssid, row.ssid));
        if (at != earlier.end()) {
            s = std::move(networks_[at->second]);
            seen[at->second] = true;
            earlier.erase(at);
        } else {
            s.firstTick = tick;
            s.firstSeen = when;
        }
        s.row = row;
        s.lastTick = tick;
        s.lastSeen = when;
        s.missedScans = 0;
        next.push_back(std::move(s));
    }
    for (size_t i = 0; i < networks_.size(); ++i) {
        if (seen[i] || networks_[i].missedScans >= kKeptScans) continue;
        next.push_back(std::move(networks_[i]));
        ++next.back().missedScans;
    }
    networks_ = std::move(next);
}

std::string LastSeenText(const std::string& format, const Sighting& seen, uint32_t now) {
    char text[128];
    std::snprintf(text, sizeof text, format.c_str(), unsigned((now - seen.lastTick) / 1000u));
    return text;
}

}  // namespace survey
