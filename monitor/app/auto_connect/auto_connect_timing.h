// When automatic connection acts, driven by the tray poll: 10 s without association (after
// start or a loss), a scan, up to 15 s per candidate tried, then 60 s before the next round.
// It leaves the link alone while the user has chosen otherwise. UI-free; times are
// milliseconds of a clock that may wrap.
#pragma once
#include <cstdint>

namespace auto_connect {

constexpr uint32_t kGraceMs = 10000;
// How long a scan's list takes to fill: the Site Survey page waits as long.
constexpr uint32_t kScanMs = 4000;
constexpr uint32_t kJoinMs = 15000;
constexpr uint32_t kIntervalMs = 60000;

// What one poll tick saw.
struct Link {
    bool adapter = false;
    bool radioOn = false;
    bool connected = false;
};

enum class State {
    Off,        // the switch is off, or there is no adapter
    Connected,
    Paused,     // the user applied a profile or switched the radio off
    Grace,      // not associated, not for long enough yet
    Scanning,   // the scan's list is filling, or a candidate gave up: choose from it
    Joining,    // a candidate was applied; waiting for its association
    Resting,    // no candidate joined: waiting for the next round
};

// What the caller does on this tick.
enum class Step {
    None,
    Scan,    // ask the driver for a scan
    Choose,  // read the list and apply a candidate (Applied), or say there is none (Exhausted)
    Missed,  // the candidate did not associate in time; then as Choose
    Joined,  // the candidate associated
};

class Timing {
public:
    void SetOn(bool on);
    bool On() const { return on_; }
    Step Tick(const Link& link, uint32_t now);

    // Answers to Choose and Missed.
    void Applied(uint32_t now);
    // No candidate is left to try. Before the scan has had its time the list may still grow.
    void Exhausted(uint32_t now);
    bool ScanOver(uint32_t now) const { return now - since_ >= kScanMs; }

    // A profile applied by the user, or the radio switched off: nothing happens until the
    // link has come up and gone down again.
    void UserApplied();
    // The user is at the Configuration page, or the system's service has the adapter:
    // nothing is applied now, and the wait starts again.
    void Hold(uint32_t now);

    State Current() const { return state_; }

private:
    void Enter(State state, uint32_t now);

    bool on_ = false;
    State state_ = State::Off;
    uint32_t since_ = 0;
    bool upSincePause_ = false;
};

}  // namespace auto_connect
