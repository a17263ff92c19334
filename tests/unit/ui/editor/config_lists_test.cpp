// The SSIDs read from the driver's network list when it is damaged.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "monitor/ui/editor/config_lists.h"

namespace {

void PutU32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

// A BSSID list of `ssids`, each entry `entryLength` bytes with its SSID length as given.
std::vector<uint8_t> List(const std::vector<std::string>& ssids, uint32_t entryLength = 104) {
    std::vector<uint8_t> b(4 + ssids.size() * entryLength);
    PutU32(b, 0, uint32_t(ssids.size()));
    for (size_t i = 0; i < ssids.size(); ++i) {
        size_t at = 4 + i * entryLength;
        PutU32(b, at, entryLength);
        PutU32(b, at + 12, uint32_t(ssids[i].size()));
        std::memcpy(&b[at + 16], ssids[i].data(), ssids[i].size() < 32 ? ssids[i].size() : 32);
    }
    return b;
}

std::vector<std::string> Firsts(const std::vector<std::string>& all, size_t n) {
    return std::vector<std::string>(all.begin(), all.begin() + n);
}

}  // namespace

TEST(ScannedSsids, DamagedListsStopTheWalkWithoutReadingPastTheBuffer) {
    // More entries announced than the buffer holds.
    auto list = List({"One", "Two"});
    PutU32(list, 0, 1000);
    EXPECT_EQ((std::vector<std::string>{"One", "Two", ""}),
              Firsts(config_lists::ScannedSsids(list.data(), list.size()), 3));
    // An entry length of 0 (would loop forever) or past the end.
    for (uint32_t bad : {0u, 20u, 5000u}) {
        auto l = List({"One", "Two"});
        PutU32(l, 4 + 104, bad);
        EXPECT_EQ((std::vector<std::string>{"One", ""}),
                  Firsts(config_lists::ScannedSsids(l.data(), l.size()), 2))
            << bad;
    }
    // An SSID length beyond its 32-byte field is held to the field; a NUL ends the text.
    auto wide = List({std::string(32, 'w')});
    PutU32(wide, 4 + 12, 0xFFFFFFFF);
    EXPECT_EQ(std::string(32, 'w'), config_lists::ScannedSsids(wide.data(), wide.size())[0]);
    auto nul = List({std::string("ab\0cd", 5)});
    EXPECT_EQ("ab", config_lists::ScannedSsids(nul.data(), nul.size())[0]);
    // Too short for a count.
    EXPECT_EQ("", config_lists::ScannedSsids(list.data(), 3)[0]);
}
