// The simulated adapter's behaviour over time: which network it is associated
// with, what it sees, how signal, link quality and counters move, and the
// answers it gives to each OID. Pure functions of the scenario, the adapter's
// state and the time (milliseconds since the scenario was installed). UI-free.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "athcfg/model/records.h"
#include "athcfg/model/scenario.h"

namespace athsim {

// OIDs the simulated driver answers.
constexpr uint32_t kOidStatus = 0xFF100004;
constexpr uint32_t kOidLinkQuality = 0xFF00002A;
constexpr uint32_t kOidRadio = 0xFF300000;
constexpr uint32_t kOidAuthMode = 0xFF10000D;
constexpr uint32_t kOidTxRate = 0xFF000009;
constexpr uint32_t kOidScan = 0xFF21000E;
constexpr uint32_t kOidNetworkList = 0xFF21000B;
constexpr uint32_t kOidVendorList = 0xFF000019;
// Answered by the transport: a tied adapter's MAC address is its interface's.
constexpr uint32_t kOidCurrentAddress = 0x01010102;

// Time from a profile's activation until the link is up.
constexpr int64_t kAssociateMs = 1000;

enum class ProfileSecurity { Open, Wep, WpaPsk, WpaEap };
ProfileSecurity SecurityOfProfile(int privacy, int wpa, int eapMethod);

// What the driver holds of the active profile.
struct ActiveSettings {
    bool valid = false;
    std::string profileName;
    std::string ssid;
    bool adhoc = false;
    ProfileSecurity security = ProfileSecurity::Open;
    std::string key;  // transmit WEP key or pre-shared passphrase
    int authMode = 1;
};

// The adapter's changing state, shared by every process through the registry.
struct AdapterState {
    bool radioOff = false;
    ActiveSettings active;
    int64_t activeSince = 0;     // when the current link period began
    int64_t scanStart = -1;      // -1: no scan started yet
    uint32_t txRate = 0;         // fixed rate in kbit/s, 0 = automatic
    // Counters accumulated before activeSince.
    uint64_t txBytes = 0, rxBytes = 0;
    uint32_t txPackets = 0, rxPackets = 0;
};

std::string SerializeState(const AdapterState& s);
bool ParseState(const std::string& text, AdapterState& s);

// Whether a profile with these settings may join the network.
bool SecurityFits(const Network& n, const ActiveSettings& a);
// Index into scenario.networks of the network the adapter is associated with, or -1.
int AssociatedNetwork(const Scenario& sc, const AdapterState& st, int64_t now);

struct Counters {
    uint64_t txBytes, rxBytes;
    uint32_t txPackets, rxPackets;
};
Counters CountersAt(const Scenario& sc, const AdapterState& st, int64_t now);

// RSSI of a network at a time: its base value with a slow wobble.
int RssiAt(const Network& n, int64_t now);
// Networks the adapter sees now (a running scan reveals them channel by channel).
std::vector<SeenNetwork> SeenNetworks(const Scenario& sc, const AdapterState& st, int64_t now);

StatusValues ComputeStatus(const Scenario& sc, const AdapterSpec& a, const AdapterState& st, int64_t now);
uint32_t ComputeLinkQuality(const Scenario& sc, const AdapterSpec& a, const AdapterState& st, int64_t now);
uint32_t ComputeAuthMode(const AdapterSpec& a, const AdapterState& st);

// The bytes answered for a query; false for an OID the driver does not know.
bool QueryAnswer(const Scenario& sc, const AdapterSpec& a, const AdapterState& st, int64_t now, uint32_t oid,
                 std::vector<uint8_t>& answer);

// A set the driver receives: updates the state; returns the bytes taken, or -1
// for an OID it does not know or a buffer too short.
int ApplySet(const Scenario& sc, AdapterState& st, int64_t now, uint32_t oid, const uint8_t* data, size_t length);
// A profile handed to the driver.
void ApplyActivation(const Scenario& sc, AdapterState& st, int64_t now, const ActiveSettings& settings);
// The driver forgets the named profile; drops the link when it was the active one.
void ApplyClearCache(const Scenario& sc, AdapterState& st, int64_t now, const std::string& profileName);
// The adapter was removed or came back: the link starts over.
void ApplyPresence(const Scenario& sc, AdapterState& st, int64_t now);

// What the driver takes from a profile record's fields.
ActiveSettings MakeSettings(const std::string& name, const std::string& ssid, int infrastructure, int privacy,
                            int wpa, int eapMethod, int defaultKey, const std::string wepKeys[4],
                            const std::string& pskPassphrase, int authMode);
// Initial state of an adapter after installing the scenario: radio as given,
// `active` (the selected profile, or invalid) already associated at time 0.
AdapterState InitialState(const AdapterSpec& a, const ActiveSettings& active);

}  // namespace athsim
