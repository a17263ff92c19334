// Signal percent shown by the tray icon and the Status page, from the driver's raw level.
#pragma once
#include <cstdint>

inline int SignalPercent(uint32_t level) {
    if (level >= 30) return 100;
    if (level >= 10) return static_cast<int>((26 * level - 260) / 20 + 75);
    return static_cast<int>(75 * level / 10);
}
