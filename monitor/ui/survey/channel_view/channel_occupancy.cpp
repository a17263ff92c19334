#include "monitor/ui/survey/channel_view/channel_occupancy.h"

#include <algorithm>
#include <cstdlib>
#include <tuple>

namespace channels {
namespace {

constexpr int kReachMHz = 15;  // a channel this far from a network's centre takes none of it

// The 20 MHz channels of 5 GHz, four numbers apart; from 182 on they lie at 4.9 GHz.
struct Range {
    int first, last;
};
constexpr Range k5GHz[] = {{36, 64}, {100, 144}, {149, 165}, {184, 196}};
constexpr int kFirst49 = 182;

int Overlap(int networkMHz, int channelMHz) {
    return std::max(0, kReachMHz - std::abs(networkMHz - channelMHz));
}

void Add(Bar& bar, int networkMHz, int channelMHz, int weight) {
    int overlap = Overlap(networkMHz, channelMHz);
    if (overlap == 0) return;
    ++bar.networks;
    bar.load += int64_t(weight) * overlap;
}

// The load of the bars beside `at` in `bars` (channels `step` numbers away).
int64_t NeighbourLoad(const std::vector<Bar>& bars, const Bar& at, int step) {
    int64_t load = 0;
    for (const Bar& bar : bars)
        if (std::abs(bar.channel - at.channel) == step) load += bar.load;
    return load;
}

// The best of the bars `pick` allows, 0 when there are none.
template <typename Pick>
int LeastLoaded(const std::vector<Bar>& bars, int step, Pick pick) {
    const Bar* best = nullptr;
    auto rank = [&](const Bar& bar) { return std::make_tuple(bar.load, bar.networks, NeighbourLoad(bars, bar, step)); };
    for (const Bar& bar : bars)
        if (pick(bar.channel) && (!best || rank(bar) < rank(*best))) best = &bar;
    return best ? best->channel : 0;
}

}  // namespace

int ChannelOf(uint32_t frequencyKHz) {
    if (frequencyKHz % 1000 != 0) return 0;
    const int mhz = int(frequencyKHz / 1000);
    if (mhz == 2484) return 14;
    if (mhz >= 2412 && mhz <= 2472 && (mhz - 2407) % 5 == 0) return (mhz - 2407) / 5;
    for (int base : {5000, 4000}) {  // 5 GHz, then 4.9 GHz: a channel only where it has its centre
        const int channel = (mhz - base) / 5;
        if (channel > 14 && CentreMHz(channel) == mhz) return channel;
    }
    return 0;
}

int CentreMHz(int channel) {
    if (channel >= 1 && channel <= 13) return 2407 + 5 * channel;
    if (channel == 14) return 2484;
    for (const Range& r : k5GHz)
        if (channel >= r.first && channel <= r.last && (channel - r.first) % 4 == 0)
            return (channel >= kFirst49 ? 4000 : 5000) + 5 * channel;
    return 0;
}

Occupancy Measure(const std::vector<Network>& networks) {
    Occupancy o;
    for (int channel = 1; channel <= 14; ++channel) o.band24.push_back(Bar{channel, 0, 0});
    for (const Network& n : networks) {
        const int channel = ChannelOf(n.frequencyKHz);
        const int weight = std::clamp(n.signalPercent, kMinWeight, 100);
        if (channel == 0) {
            Add(o.other, 0, 0, weight);
        } else if (channel > 14) {
            auto at = std::lower_bound(o.band5.begin(), o.band5.end(), channel,
                                       [](const Bar& bar, int c) { return bar.channel < c; });
            if (at == o.band5.end() || at->channel != channel) at = o.band5.insert(at, Bar{channel, 0, 0});
            Add(*at, CentreMHz(channel), CentreMHz(channel), weight);
        } else {
            for (Bar& bar : o.band24) Add(bar, CentreMHz(channel), CentreMHz(bar.channel), weight);
        }
    }
    o.suggested24 = LeastLoaded(o.band24, 1, [](int c) { return c == 1 || c == 6 || c == 11; });
    o.suggested5 = LeastLoaded(o.band5, 4, [](int) { return true; });
    return o;
}

}  // namespace channels
