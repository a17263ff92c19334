// The driver's records, byte for byte: the 280-byte status record, the network
// list (a count and NDIS_WLAN_BSSID_EX records with information elements) and the
// 92-byte vendor network records. All little-endian. UI-free.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "athcfg/model/scenario.h"

namespace athsim {

// Status record.
constexpr size_t kStatusSize = 280;
constexpr size_t kStRate = 92;
constexpr size_t kStSignal = 96;
constexpr size_t kStChannel = 132;
constexpr size_t kStSsid = 154;  // NUL-terminated, up to kStSecurity
constexpr size_t kStSecurity = 188;
constexpr size_t kStNetMode = 192;
constexpr size_t kStTxPackets = 208;
constexpr size_t kStRxPackets = 212;
constexpr size_t kStDisconnected = 216;
constexpr size_t kStTxBytes = 224;
constexpr size_t kStRxBytes = 232;
constexpr size_t kStModes = 256;

constexpr uint32_t kRateKbps = 0x80000000u;     // rate word: low bits are kbit/s
constexpr uint32_t kModeSuper = 0x01000000u;    // channel word / vendor flags: turbo
constexpr uint32_t kModeOfdm = 0x04000000u;     // channel word / vendor flags: 802.11g

struct StatusValues {
    uint32_t rate = 0, signal = 0, channelWord = 0;
    std::string ssid;
    uint32_t security = 0, netMode = 0, txPackets = 0, rxPackets = 0, disconnected = 1;
    uint64_t txBytes = 0, rxBytes = 0;
    uint32_t modes = 0;
};
std::vector<uint8_t> BuildStatusRecord(const StatusValues& v);

// Network list record (NDIS_WLAN_BSSID_EX).
constexpr size_t kBssLength = 0;
constexpr size_t kBssMac = 4;
constexpr size_t kBssSsidLength = 12;
constexpr size_t kBssSsid = 16;
constexpr size_t kBssPrivacy = 48;
constexpr size_t kBssRssi = 52;
constexpr size_t kBssNetworkType = 56;
constexpr size_t kBssConfig = 60;
constexpr size_t kBssFrequencyKHz = 72;
constexpr size_t kBssInfrastructure = 92;
constexpr size_t kBssRates = 96;
constexpr size_t kBssIeLength = 112;
constexpr size_t kBssIes = 116;       // 12 fixed bytes, then id/length/data elements
constexpr size_t kFixedIeBytes = 12;

// Vendor network record.
constexpr size_t kVendorSize = 92;
constexpr size_t kVnBssid = 0;
constexpr size_t kVnModeFlags = 56;
constexpr size_t kVnXr = 76;
constexpr size_t kVnSuperG = 80;

// A network as one answer shows it.
struct SeenNetwork {
    const Network* network;
    int rssi;
};

// The elements after the 12 fixed bytes: SSID, rates, DS parameter, IBSS
// parameter for ad hoc, and the WPA or RSN element of WPA/WPA2 networks.
std::vector<uint8_t> BuildElements(const Network& n);
std::vector<uint8_t> BuildBssRecord(const Network& n, int rssi);
std::vector<uint8_t> BuildNetworkList(const std::vector<SeenNetwork>& seen);
std::vector<uint8_t> BuildVendorRecords(const std::vector<SeenNetwork>& seen);

uint32_t ReadU32(const uint8_t* p);
void PutU32(uint8_t* p, uint32_t v);
void PutU64(uint8_t* p, uint64_t v);

}  // namespace athsim
