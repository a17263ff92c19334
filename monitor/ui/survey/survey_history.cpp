#include "monitor/ui/survey/survey_history.h"

#include <cstdio>
#include <map>
#include <utility>

namespace survey {

namespace {
using Key = std::pair<std::string, std::string>;
Key KeyOf(const Row& row) { return Key(row.bssid, row.ssid); }
}  // namespace

std::vector<ListEntry> History::Match(const std::vector<Row>& rows, bool withMissed) const {
    // Each sighting answers at most one row, as in Update.
    std::multimap<Key, size_t> open;
    for (size_t i = 0; i < networks_.size(); ++i) open.emplace(KeyOf(networks_[i].row), i);
    std::vector<bool> matched(networks_.size(), false);
    std::vector<ListEntry> listed;
    for (size_t r = 0; r < rows.size(); ++r) {
        ListEntry line;
        line.row = r;
        auto at = open.find(KeyOf(rows[r]));
        if (at != open.end()) {
            line.sighting = at->second;
            matched[at->second] = true;
            open.erase(at);
        }
        listed.push_back(line);
    }
    for (size_t i = 0; withMissed && i < networks_.size(); ++i)
        if (!matched[i]) listed.push_back(ListEntry{ListEntry::kNone, i});
    return listed;
}

void History::Update(const std::vector<Row>& rows, uint32_t tick, const std::string& when) {
    std::vector<Sighting> next;
    next.reserve(rows.size() + networks_.size());
    for (const ListEntry& line : Match(rows, true)) {
        if (line.row == ListEntry::kNone) {  // missed by this scan
            if (networks_[line.sighting].missedScans >= kKeptScans) continue;
            next.push_back(std::move(networks_[line.sighting]));
            ++next.back().missedScans;
            continue;
        }
        Sighting s;
        if (line.sighting != ListEntry::kNone) {
            s = std::move(networks_[line.sighting]);
        } else {
            s.firstTick = tick;
            s.firstSeen = when;
        }
        s.row = rows[line.row];
        s.lastTick = tick;
        s.lastSeen = when;
        s.missedScans = 0;
        next.push_back(std::move(s));
    }
    networks_ = std::move(next);
}

std::string LastSeenText(const std::string& format, const Sighting& seen, uint32_t now) {
    char text[128];
    std::snprintf(text, sizeof text, format.c_str(), unsigned((now - seen.lastTick) / 1000u));
    return text;
}

}  // namespace survey
