// What the tray icon shows: icon choice, traffic samples and the tooltip bound.
#pragma once
#include <cstdint>
#include <string>

#include "monitor/res/resource.h"

namespace tray {

constexpr unsigned kIconNoAdapter = IDI_NO_ADAPTER;
constexpr unsigned kIconDisconnected = IDI_DISCONNECTED;
constexpr unsigned kIconRadioOff = IDI_RADIO_OFF;
constexpr unsigned kIconExcellent = IDI_SIGNAL_EXCELLENT;  // 4 bars
constexpr unsigned kIconGood = IDI_SIGNAL_GOOD;       // 3 bars
constexpr unsigned kIconFair = IDI_SIGNAL_FAIR;       // 2 bars
constexpr unsigned kIconWeak = IDI_SIGNAL_WEAK;       // 1 bar

// The system's tip field: 128 characters including the terminator.
constexpr size_t kTipField = 128;

// Icon of a connected adapter from the status record's raw signal level.
unsigned ConnectedIcon(uint32_t signalLevel);

// Traffic of the last second in kbit from two readings of a byte counter, at most 100.
int32_t TrafficSample(uint64_t previous, uint64_t current);

// `text` cut so that it fits the tip field with its terminator.
std::string FitTip(const std::string& text);

// A profile name as a menu item's text: an ampersand shows as itself, not as a mnemonic.
std::string MenuText(const std::string& name);

}  // namespace tray
