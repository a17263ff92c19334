// Automatic connection on the tray poll: the switch and the order kept for each adapter
// under the user's key, the scan with the Site Survey page's requests, the apply of the
// chosen profile through the store, and a History entry saying why each profile was or
// was not chosen.
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "monitor/app/auto_connect/auto_connect_choice.h"
#include "monitor/app/auto_connect/auto_connect_timing.h"
#include "monitor/app/history/link_history.h"

// What automatic connection asks of the tray frame.
class AutoConnectHost {
public:
    virtual ~AutoConnectHost() = default;
    // Keeps `event` in the History; `notice`: says it in a notice too.
    virtual void RecordAutoEvent(const link_history::Event& event, bool notice) = 0;
};

class AutoConnect {
public:
    // Starts afresh for a new frame: the switch is read again on the next tick.
    void Reset();
    // One poll tick; `radio` is the driver's radio state (0 = on).
    void Poll(AutoConnectHost& host, bool connected, int32_t radio);
    // Every apply the user makes calls this: the link is left alone until it next drops.
    void UserApplied() { timing_.UserApplied(); }
    // While true the next association is the outcome of an attempt, told as such.
    bool Joining() const { return timing_.Current() == auto_connect::State::Joining; }

    // The switch and the order kept for the session's adapter (all false or empty without one).
    bool SwitchOn() const;
    // False when there is no adapter or the setting cannot be stored.
    bool SetSwitch(bool on);
    // The adapter's profiles in the user's order.
    std::vector<std::string> Order() const;
    void SetOrder(const std::vector<std::string>& names);
    // What the last attempt found for `profile`, "" when it did not look at it.
    std::string LastFound(const std::string& profile) const;

private:
    struct Found {
        auto_connect::Finding finding;
        int seen, wanted;
        bool operator==(const Found& o) const { return finding == o.finding && seen == o.seen && wanted == o.wanted; }
    };
    bool Held(uint32_t now);
    void ChooseAndApply(AutoConnectHost& host, uint32_t now);
    std::vector<auto_connect::Profile> StoredProfiles() const;
    void Record(AutoConnectHost& host, const auto_connect::Verdict& verdict, auto_connect::Finding finding);

    auto_connect::Timing timing_;
    int osCode_ = 0;
    std::string adapterKey_;  // the adapter whose switch the timing has
    std::set<std::string> tried_;  // this round's candidates
    auto_connect::Verdict joining_;
    // Since the link was last up, what the History was told of each profile: a later round
    // that finds the same says nothing.
    std::map<std::string, Found> told_;
    std::map<std::string, Found> lastFound_;
};

// The History's text of an AutoConnect event, and a finding's own text.
std::string AutoConnectEventText(const link_history::Event& event);
std::string FindingText(int finding, int seen, int wanted);
