// Channel numbers and centre frequencies. UI-free.
#pragma once

namespace athsim {

// Channel (from 1) of a 2.4 GHz centre frequency in MHz; 0 when off the band's grid.
int ChannelFrom2GHz(int mhz);
// Centre frequency in MHz of a 2.4 GHz (1..14) or 5 GHz (34..196) channel; 0 otherwise.
int FrequencyOfChannel(int channel);

}  // namespace athsim
