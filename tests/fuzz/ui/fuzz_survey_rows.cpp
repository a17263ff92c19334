// Feeds arbitrary network lists and vendor records to the Site Survey page's walk, in
// buffers of exactly the input's size so that any read outside them is caught.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "monitor/ui/survey/survey_rows.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    // The first two bytes say where the list ends and the vendor records begin; the
    // third chooses the layout.
    size_t split = (data[0] | data[1] << 8) % (size - 2);
    bool xr = data[2] & 1;
    std::vector<uint8_t> list(data + 3, data + 3 + split);
    std::vector<uint8_t> vendor(data + 3 + split, data + size);

    std::vector<survey::Row> rows = survey::ReadRows(list.data(), list.size(), vendor.data(), vendor.size(), xr);
    // Every record takes at least its fixed part of the list.
    if (rows.size() > list.size() / survey::kRecordFixedPart) abort();
    for (const survey::Row& row : rows) {
        if (row.ssid.empty() || row.ssid.size() > survey::kSsidMax) abort();
        if (row.bssid.size() != 17) abort();
        if (!xr && row.xrText != 0) abort();
    }
    survey::SecurityText(list.data(), list.size());
    return 0;
}
