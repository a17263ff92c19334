#include "monitor/app/tray/tray_state.h"

#include "monitor/app/tray/signal_percent.h"

namespace tray {

unsigned ConnectedIcon(uint32_t signalLevel) {
    if (signalLevel >= 30) return kIconExcellent;
    int p = SignalPercent(signalLevel);
    if (p > 80) return kIconExcellent;
    if (p > 60) return kIconGood;
    // 41-60 shows two bars with 21-40, and a connection without a signal figure shows one
    // bar, so a connected adapter never keeps the disconnected icon.
    if (p > 20) return kIconFair;
    return kIconWeak;
}

int32_t TrafficSample(uint64_t previous, uint64_t current) {
    uint64_t kbit = (current - previous) * 8 / 1000;
    return kbit > 100 ? 100 : static_cast<int32_t>(kbit);
}

std::string FitTip(const std::string& text) {
    return text.size() < kTipField ? text : text.substr(0, kTipField - 1);
}

std::string MenuText(const std::string& name) {
    std::string text;
    for (char c : name) {
        if (c == '&') text += '&';
        text += c;
    }
    return text;
}

}  // namespace tray
