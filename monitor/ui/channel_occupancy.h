// How crowded each channel is, from the networks a scan found, and which channel a new
// network should take. UI-free.
//
// A network loads its own channel and, in 2.4 GHz, its neighbours: its signal share counts
// in full on its centre frequency and less the farther a channel's centre lies from it,
// nothing from 15 MHz on (two channels either side of it, 20 MHz wide). 5 GHz channels lie
// 20 MHz apart, so there a network loads its own channel only.
#pragma once
#include <cstdint>
#include <vector>

namespace channels {

struct Network {
    uint32_t frequencyKHz = 0;
    int signalPercent = 0;  // 0 to 100
};

// The channel of a centre frequency: 1 to 14 in 2.4 GHz, 34 to 196 in 5 GHz; 0 otherwise.
int ChannelOf(uint32_t frequencyKHz);
// The centre frequency in MHz of a channel ChannelOf gives; 0 for any other number.
int CentreMHz(int channel);

struct Bar {
    int channel = 0;
    int networks = 0;  // on the channel or overlapping it
    int64_t load = 0;  // signal percent x overlap in MHz, summed over those networks
};

struct Occupancy {
    std::vector<Bar> band24;  // channels 1 to 14, always all of them
    std::vector<Bar> band5;   // the 5 GHz channels networks were seen on, ascending
    int suggested24 = 0;      // the least loaded of 1, 6 and 11 (the first of equals)
    int suggested5 = 0;       // the least loaded 5 GHz channel seen; 0 when none was seen
};

Occupancy Measure(const std::vector<Network>& networks);

}  // namespace channels
