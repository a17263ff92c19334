// The networks the Site Survey page has seen across its scans: when each was first and last
// seen, and how many scans have missed it since. A network one scan misses is kept for
// three more, so that a flickering access point does not jump in and out of a watched
// list. UI-free.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "monitor/ui/survey/survey_rows.h"

namespace survey {

constexpr int kKeptScans = 3;

struct Sighting {
    Row row;  // as the latest scan that saw it listed it
    uint32_t firstTick = 0, lastTick = 0;  // milliseconds, wrapping
    std::string firstSeen, lastSeen;       // the local times as the export writes them
    int missedScans = 0;                   // 0 = in the latest scan
};

// One line of what the page lists: a row of the driver's list, a network the driver no
// longer lists, or both; kNone where there is none.
struct ListEntry {
    static constexpr size_t kNone = size_t(-1);
    size_t row = kNone;       // in the rows given
    size_t sighting = kNone;  // in Networks()
};

class History {
public:
    // One scan's rows, read at `tick` (milliseconds) and local time `when`. A network is
    // told apart by its BSSID and SSID; the latest scan's networks come first, in its order,
    // then the missed ones, in the order they had.
    void Update(const std::vector<Row>& rows, uint32_t tick, const std::string& when);
    const std::vector<Sighting>& Networks() const { return networks_; }
    // What the driver's `rows` are, changing nothing: each row in order with its sighting
    // (none for a network no scan has seen yet), then, when `withMissed`, the networks the
    // rows leave out that the history still keeps.
    std::vector<ListEntry> Match(const std::vector<Row>& rows, bool withMissed) const;

private:
    std::vector<Sighting> networks_;
};

// The tooltip of a missed network's row: "last seen N s ago" from the string-table text
// `format` (with one %u), `now` being the current tick.
std::string LastSeenText(const std::string& format, const Sighting& seen, uint32_t now);

}  // namespace survey
