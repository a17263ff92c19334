// The live state record as another process may have left it: any bytes at all.
// Reading it, appending to its ring and reading the registry form of the log must
// stay inside the record.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "athcfg/model/live_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto a = std::make_unique<athsim::LiveAdapter>();
    std::memset(a.get(), 0, sizeof *a);
    std::memcpy(a.get(), data, std::min(size, sizeof *a));
    athsim::AdapterState st;
    if (athsim::LoadLive(a->state, st)) athsim::StoreLive(st, a->state);
    athsim::SetsOf(*a);
    athsim::AppendSet(*a, 1, data, size);
    athsim::SetsOf(*a);
    athsim::ParseLogBytes(std::vector<uint8_t>(data, data + size));
    return 0;
}
