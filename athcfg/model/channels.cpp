#include "athcfg/model/channels.h"

namespace athsim {

int ChannelFrom2GHz(int mhz) {
    if (mhz == 2484) return 14;
    if (mhz < 2412 || mhz > 2472 || (mhz - 2412) % 5 != 0) return 0;
    return (mhz - 2407) / 5;
}

int FrequencyOfChannel(int channel) {
    if (channel >= 1 && channel <= 13) return 2407 + 5 * channel;
    if (channel == 14) return 2484;
    if (channel >= 34 && channel <= 196) return 5000 + 5 * channel;
    return 0;
}

}  // namespace athsim
