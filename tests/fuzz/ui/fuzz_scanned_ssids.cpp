// Feeds arbitrary bytes as the driver's network list to the SSID reader.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "monitor/ui/editor/config_lists.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A copy of exactly `size` bytes, so that any read past it is caught.
    std::vector<uint8_t> list(data, data + size);
    std::vector<std::string> ssids = config_lists::ScannedSsids(list.data(), list.size());
    if (ssids.size() != config_lists::kMaxScannedSsids) abort();
    for (const std::string& s : ssids)
        if (s.size() > config_lists::kMaxSsidChars) abort();
    std::vector<std::string> choices = config_lists::SsidChoices("", ssids);
    if (choices.empty() || choices.size() > ssids.size() + 1) abort();
    return 0;
}
