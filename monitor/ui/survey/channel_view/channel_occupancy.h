// How crowded each channel is, from the networks a scan found, and which channel a new
// network should take. UI-free.
//
// A network loads its own channel and, in 2.4 GHz, its neighbours: its signal share counts
// in full on its centre frequency and less the farther a channel's centre lies from it,
// nothing from 15 MHz on (two channels either side of it, 20 MHz wide). 5 GHz channels lie
// 20 MHz apart, so there a network loads its own channel only. A network heard faintly
// still takes its channel's air: its share is never below kMinWeight percent.
#pragma once
#include <cstdint>
#include <vector>

namespace channels {

constexpr int kMinWeight = 10;

struct Network {
    uint32_t frequencyKHz = 0;
    int signalPercent = 0;  // 0 to 100
};

// The channel of a centre frequency: 1 to 14 in 2.4 GHz; in 5 GHz the 20 MHz channels 36 to
// 64, 100 to 144 and 149 to 165, and 184 to 196 at 4.9 GHz; 0 for any other frequency.
int ChannelOf(uint32_t frequencyKHz);
// The centre frequency in MHz of a channel ChannelOf gives; 0 for any other number.
int CentreMHz(int channel);

struct Bar {
    int channel = 0;
    int networks = 0;  // on the channel or overlapping it
    int64_t load = 0;  // weight (signal percent, at least kMinWeight) x overlap in MHz, summed
};

struct Occupancy {
    std::vector<Bar> band24;  // channels 1 to 14, always all of them
    std::vector<Bar> band5;   // the 5 GHz channels networks were seen on, ascending
    Bar other;                // networks on no channel's centre (channel 0); never suggested
    // The least loaded of 1, 6 and 11, and of the 5 GHz channels seen (0 when none was seen).
    // Equal loads go to the channel with fewer networks, then to the one whose neighbours
    // (the channels beside it) carry less, then to the lowest.
    int suggested24 = 0;
    int suggested5 = 0;
};

Occupancy Measure(const std::vector<Network>& networks);

}  // namespace channels
