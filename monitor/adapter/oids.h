// Driver OIDs the monitor uses.
#pragma once
#include <cstdint>

namespace oid {
constexpr uint32_t kStatusRecord = 0xFF100004;     // query, 280 bytes
constexpr uint32_t kLinkQuality = 0xFF00002A;      // query, 4 bytes, percent
constexpr uint32_t kRadio = 0xFF300000;            // query/set, 4 bytes: 1 = off, 0 = on
constexpr uint32_t kAuthenticationMode = 0xFF10000D;  // query, 4 bytes: 2 = shared key
constexpr uint32_t kTxRate = 0xFF000009;           // set, 4 bytes, kbit/s, 0 = automatic
constexpr uint32_t kStartScan = 0xFF21000E;        // set, 4 bytes, content ignored
constexpr uint32_t kNetworkList = 0xFF21000B;      // query, 30 000 bytes
constexpr uint32_t kVendorNetworkList = 0xFF000019;  // query, 30 000 bytes
constexpr uint32_t kCurrentAddress = 0x01010102;   // query, 6 bytes: the adapter's MAC address
}  // namespace oid
