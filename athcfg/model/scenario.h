// Scenario of the simulated adapter: the adapters, the networks in range and the
// values a test pins. Parsed from the line-oriented text described in SCENARIO.md.
// UI-free.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace athsim {

constexpr int kMaxAdapters = 8;
constexpr int kMaxNetworks = 64;
constexpr int kMaxProfiles = 64;
constexpr size_t kMaxRawBytes = 30000;
constexpr size_t kMaxSsid = 32;
constexpr size_t kMaxText = 499;
constexpr size_t kMaxInterfaceName = 128;  // what the IP helper holds of a description

enum class Security { Open, Wep, WpaPsk, Wpa2Psk, Wpa, Wpa2 };
enum class Phy { B, G, Turbo, A };

struct Network {
    std::string ssid;
    uint8_t bssid[6] = {};
    int channel = 6;       // 1..14, or a 5 GHz channel number
    int rssi = -60;        // dBm
    bool adhoc = false;
    Security security = Security::Open;
    std::string key;       // when set, the joining profile must carry this key
    Phy phy = Phy::G;
    bool xr = false;
    bool hidden = false;   // beacons carry an empty SSID
};

// Status-record members a scenario fixes; unset ones follow the model.
struct StatusPins {
    std::optional<uint32_t> rate, signal, channelWord, frequency, modeFlags, security, netMode,
        txPackets, rxPackets, disconnected, modes;
    std::optional<uint64_t> txBytes, rxBytes;
    std::optional<std::string> ssid;
};

// A stored profile: ACProfile field name and value text, in the order given.
struct ProfileSpec {
    std::vector<std::pair<std::string, std::string>> fields;
    std::string Get(const std::string& field) const;  // "" when absent
};

struct AdapterSpec {
    std::string guid;         // "{...}", the NetCfgInstanceId
    std::string subKey;       // network class subkey, "0007"
    std::string description;  // DriverDesc
    // The machine's network interface the adapter stands for: the library reports this
    // description as its device name. "" = none, "*" = the first interface with an address.
    std::string tiedInterface;
    bool present = true;
    bool radioOff = false;
    uint32_t modes = 28;      // supported-modes code
    std::optional<uint32_t> authMode, linkQuality;
    StatusPins pins;
    std::vector<ProfileSpec> profiles;
    std::string selected;     // name of the active profile, "" for none
    std::optional<std::vector<uint8_t>> rawList, rawVendor;
};

struct Scenario {
    std::vector<AdapterSpec> adapters;
    std::vector<Network> networks;
    uint32_t scanMs = 3000;
};

// Parses `text`; on failure returns false and sets `error` to "line N: what".
bool ParseScenario(const std::string& text, Scenario& out, std::string& error);

// One line split into its keyword and name=value attributes; values may be
// double-quoted with \" and \\ escapes. Shared with the adapter state text.
struct Line {
    std::string keyword;
    std::vector<std::pair<std::string, std::string>> attrs;
};
bool SplitLine(const std::string& line, Line& out, std::string& error);
std::string Quote(const std::string& text);

bool ParseNumber(const std::string& text, int64_t& value);
bool ParseHexBytes(const std::string& text, std::vector<uint8_t>& out);
bool ParseBssid(const std::string& text, uint8_t out[6]);
const char* SecurityName(Security s);
bool ParseSecurity(const std::string& text, Security& out);

}  // namespace athsim
