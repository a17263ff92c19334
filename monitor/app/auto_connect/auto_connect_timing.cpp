#include "monitor/app/auto_connect/auto_connect_timing.h"

namespace auto_connect {

void Timing::SetOn(bool on) {
    if (on == on_) return;
    on_ = on;
    state_ = State::Off;  // the next tick starts afresh
}

void Timing::Enter(State state, uint32_t now) {
    state_ = state;
    since_ = now;
    upSincePause_ = false;
}

Step Timing::Tick(const Link& link, uint32_t now) {
    if (!on_ || !link.adapter) {
        state_ = State::Off;
        return Step::None;
    }
    if (!link.radioOn) {
        Enter(State::Paused, now);  // the link it had went down with the radio
        return Step::None;
    }
    const uint32_t waited = now - since_;
    switch (state_) {
    case State::Off:
        Enter(link.connected ? State::Connected : State::Grace, now);
        return Step::None;
    case State::Paused:
        if (link.connected) upSincePause_ = true;
        else if (upSincePause_) Enter(State::Grace, now);
        return Step::None;
    case State::Connected:
        if (!link.connected) Enter(State::Grace, now);
        return Step::None;
    default:
        break;
    }
    if (link.connected) {
        const bool joined = state_ == State::Joining;
        Enter(State::Connected, now);
        return joined ? Step::Joined : Step::None;
    }
    switch (state_) {
    case State::Grace:
    case State::Resting:
        if (waited < (state_ == State::Grace ? kGraceMs : kIntervalMs)) return Step::None;
        Enter(State::Scanning, now);
        return Step::Scan;
    case State::Scanning: return Step::Choose;
    case State::Joining:
        if (waited < kJoinMs) return Step::None;
        // The scan is long over: choose from its list at once.
        Enter(State::Scanning, now - kScanMs);
        return Step::Missed;
    default: return Step::None;
    }
}

void Timing::Applied(uint32_t now) { Enter(State::Joining, now); }

void Timing::Exhausted(uint32_t now) {
    if (ScanOver(now)) Enter(State::Resting, now);
}

void Timing::UserApplied() {
    if (on_) Enter(State::Paused, since_);
}

void Timing::Hold(uint32_t now) {
    if (state_ != State::Off && state_ != State::Paused) Enter(State::Grace, now);
}

}  // namespace auto_connect
