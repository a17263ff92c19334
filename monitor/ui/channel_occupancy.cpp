#include "monitor/ui/channel_occupancy.h"

#include <algorithm>
#include <cstdlib>

namespace channels {
namespace {

constexpr int kReachMHz = 15;  // a channel this far from a network's centre takes none of it
constexpr int kFirst5 = 34, kLast5 = 196;

int Overlap(int networkMHz, int channelMHz) {
    return std::max(0, kReachMHz - std::abs(networkMHz - channelMHz));
}

void Add(Bar& bar, int networkMHz, int signal) {
    int overlap = Overlap(networkMHz, CentreMHz(bar.channel));
    if (overlap == 0) return;
    ++bar.networks;
    bar.load += int64_t(signal) * overlap;
}

// The first of the least loaded bars among `bars`, 0 when there are none.
template <typename Pick>
int LeastLoaded(const std::vector<Bar>& bars, Pick pick) {
    const Bar* best = nullptr;
    for (const Bar& bar : bars)
        if (pick(bar.channel) && (!best || bar.load < best->load)) best = &bar;
    return best ? best->channel : 0;
}

}  // namespace

int ChannelOf(uint32_t frequencyKHz) {
    if (frequencyKHz % 1000 != 0) return 0;
    const uint32_t mhz = frequencyKHz / 1000;
    if (mhz == 2484) return 14;
    if (mhz >= 2412 && mhz <= 2472 && (mhz - 2407) % 5 == 0) return int(mhz - 2407) / 5;
    if (mhz >= 5000 + 5 * kFirst5 && mhz <= 5000 + 5 * kLast5 && mhz % 5 == 0) return int(mhz - 5000) / 5;
    return 0;
}

int CentreMHz(int channel) {
    if (channel >= 1 && channel <= 13) return 2407 + 5 * channel;
    if (channel == 14) return 2484;
    if (channel >= kFirst5 && channel <= kLast5) return 5000 + 5 * channel;
    return 0;
}

Occupancy Measure(const std::vector<Network>& networks) {
    Occupancy o;
    for (int channel = 1; channel <= 14; ++channel) o.band24.push_back(Bar{channel, 0, 0});
    for (const Network& n : networks) {
        const int channel = ChannelOf(n.frequencyKHz);
        if (channel >= kFirst5) {
            auto at = std::lower_bound(o.band5.begin(), o.band5.end(), channel,
                                       [](const Bar& bar, int c) { return bar.channel < c; });
            if (at == o.band5.end() || at->channel != channel) at = o.band5.insert(at, Bar{channel, 0, 0});
            Add(*at, CentreMHz(channel), std::clamp(n.signalPercent, 0, 100));
        } else if (channel >= 1) {
            for (Bar& bar : o.band24) Add(bar, CentreMHz(channel), std::clamp(n.signalPercent, 0, 100));
        }
    }
    o.suggested24 = LeastLoaded(o.band24, [](int c) { return c == 1 || c == 6 || c == 11; });
    o.suggested5 = LeastLoaded(o.band5, [](int) { return true; });
    return o;
}

}  // namespace channels
