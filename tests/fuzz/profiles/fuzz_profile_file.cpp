// Feeds arbitrary bytes as a profile file to the reader; what it accepts must write and read
// back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "monitor/profiles/profile_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace profile_file;
    std::string text(reinterpret_cast<const char*>(data), size);
    ReadResult r = Read(text, "pw");
    if (!r.ok) {
        if (!r.contents.profiles.empty() || r.line == 0) abort();
        return 0;
    }
    if (r.contents.profiles.size() > kMaxProfiles) abort();
    for (const Profile& p : r.contents.profiles) {
        if (p.values.size() != kFieldCount) abort();
        for (const auto& v : p.values)
            if (v.second.size() > kMaxValueChars) abort();
    }
    std::string error;
    std::string again = Write(r.contents, "", {}, error);
    ReadResult back = Read(again, "");
    if (!back.ok || back.contents.profiles.size() != r.contents.profiles.size()) abort();
    return 0;
}
