// The Radio button of the monitor window. Its toggle state is checked while the radio is on,
// and its text names what a click does: "Radio OFF" while on, "Radio ON" while off. A click
// flips the toggle and sends the state the new toggle stands for. UI-free.
#pragma once
#include <cstdint>

#include "monitor/res/resource.h"

// Toggle state for the radio state the driver reports (1 = off).
inline int RadioToggleForState(int32_t radioState) { return radioState == 1 ? 0 : 1; }
// Button text for a toggle state.
inline int RadioTextForToggle(int toggle) { return toggle ? IDS_RADIO_OFF : IDS_RADIO_ON; }
// Value to send for the toggle state a click produced: 0 = switch on, 1 = switch off.
inline int RadioValueForToggle(int toggle) { return toggle ? 0 : 1; }
