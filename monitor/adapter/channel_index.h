// 0-based channel number of the current connection from its centre frequency.
#pragma once

// `channel2GHz` is the library's channel number (from 1) for frequencies up to 5000 MHz.
inline int ChannelIndex(unsigned mhz, int channel2GHz) {
    if (mhz > 5000) return static_cast<int>((mhz - 5000) / 5) - 1;
    return channel2GHz - 1;
}
