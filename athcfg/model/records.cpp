#include "athcfg/model/records.h"

#include <cstring>

#include "athcfg/model/channels.h"

namespace athsim {

uint32_t ReadU32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

void PutU64(uint8_t* p, uint64_t v) {
    for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

std::vector<uint8_t> BuildStatusRecord(const StatusValues& v) {
    std::vector<uint8_t> r(kStatusSize, 0);
    PutU32(&r[kStRate], v.rate);
    PutU32(&r[kStSignal], v.signal);
    PutU32(&r[kStChannel], v.channelWord);
    // The name field runs up to the security code; its last byte stays NUL.
    std::memcpy(&r[kStSsid], v.ssid.data(), std::min(v.ssid.size(), kStSecurity - kStSsid - 1));
    PutU32(&r[kStSecurity], v.security);
    PutU32(&r[kStNetMode], v.netMode);
    PutU32(&r[kStTxPackets], v.txPackets);
    PutU32(&r[kStRxPackets], v.rxPackets);
    PutU32(&r[kStDisconnected], v.disconnected);
    PutU64(&r[kStTxBytes], v.txBytes);
    PutU64(&r[kStRxBytes], v.rxBytes);
    PutU32(&r[kStModes], v.modes);
    return r;
}

namespace {

const uint8_t kRatesB[] = {0x82, 0x84, 0x8B, 0x96};
const uint8_t kRatesG[] = {0x82, 0x84, 0x8B, 0x96, 0x0C, 0x12, 0x18, 0x24};
const uint8_t kRatesGExtended[] = {0x30, 0x48, 0x60, 0x6C};
const uint8_t kRatesA[] = {0x8C, 0x12, 0x98, 0x24, 0xB0, 0x48, 0x60, 0x6C};

void Element(std::vector<uint8_t>& out, uint8_t id, const std::vector<uint8_t>& data) {
    out.push_back(id);
    out.push_back(static_cast<uint8_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
}

// Cipher suite types: 2 TKIP, 4 CCMP; key management: 1 802.1X, 2 pre-shared key.
std::vector<uint8_t> WpaElement(bool psk) {
    return {0x00, 0x50, 0xF2, 0x01,  0x01, 0x00,  0x00, 0x50, 0xF2, 0x02,
            0x01, 0x00, 0x00, 0x50, 0xF2, 0x02,  0x01, 0x00, 0x00, 0x50, 0xF2,
            static_cast<uint8_t>(psk ? 2 : 1)};
}

std::vector<uint8_t> RsnElement(bool psk) {
    return {0x01, 0x00,  0x00, 0x0F, 0xAC, 0x04,  0x01, 0x00, 0x00, 0x0F, 0xAC, 0x04,
            0x01, 0x00,  0x00, 0x0F, 0xAC, static_cast<uint8_t>(psk ? 2 : 1),  0x00, 0x00};
}

bool Ofdm24(const Network& n) { return n.phy == Phy::G || n.phy == Phy::Turbo; }

}  // namespace

std::vector<uint8_t> BuildElements(const Network& n) {
    std::vector<uint8_t> e;
    Element(e, 0, n.hidden ? std::vector<uint8_t>() : std::vector<uint8_t>(n.ssid.begin(), n.ssid.end()));
    if (n.phy == Phy::A) Element(e, 1, std::vector<uint8_t>(kRatesA, kRatesA + sizeof kRatesA));
    else if (n.phy == Phy::B) Element(e, 1, std::vector<uint8_t>(kRatesB, kRatesB + sizeof kRatesB));
    else Element(e, 1, std::vector<uint8_t>(kRatesG, kRatesG + sizeof kRatesG));
    Element(e, 3, {static_cast<uint8_t>(n.channel)});
    if (n.adhoc) Element(e, 6, {0x00, 0x00});
    if (Ofdm24(n)) Element(e, 50, std::vector<uint8_t>(kRatesGExtended, kRatesGExtended + sizeof kRatesGExtended));
    switch (n.security) {
    case Security::WpaPsk: Element(e, 221, WpaElement(true)); break;
    case Security::Wpa: Element(e, 221, WpaElement(false)); break;
    case Security::Wpa2Psk: Element(e, 48, RsnElement(true)); break;
    case Security::Wpa2: Element(e, 48, RsnElement(false)); break;
    default: break;
    }
    return e;
}

std::vector<uint8_t> BuildBssRecord(const Network& n, int rssi) {
    const std::vector<uint8_t> elements = BuildElements(n);
    const size_t ie_length = kFixedIeBytes + elements.size();
    const size_t length = (kBssIes + ie_length + 3) & ~static_cast<size_t>(3);
    std::vector<uint8_t> r(length, 0);
    PutU32(&r[kBssLength], static_cast<uint32_t>(length));
    std::memcpy(&r[kBssMac], n.bssid, 6);
    if (!n.hidden) {
        PutU32(&r[kBssSsidLength], static_cast<uint32_t>(n.ssid.size()));
        std::memcpy(&r[kBssSsid], n.ssid.data(), n.ssid.size());
    }
    PutU32(&r[kBssPrivacy], n.security == Security::Open ? 0 : 1);
    PutU32(&r[kBssRssi], static_cast<uint32_t>(rssi));
    PutU32(&r[kBssNetworkType], n.phy == Phy::A ? 2 : Ofdm24(n) ? 3 : 1);
    PutU32(&r[kBssConfig], 32);       // configuration length
    PutU32(&r[kBssConfig + 4], 100);  // beacon period, TU
    PutU32(&r[kBssFrequencyKHz], static_cast<uint32_t>(FrequencyOfChannel(n.channel)) * 1000u);
    PutU32(&r[kBssInfrastructure], n.adhoc ? 0 : 1);
    const uint8_t* rates = n.phy == Phy::A ? kRatesA : n.phy == Phy::B ? kRatesB : kRatesG;
    const size_t rate_count = n.phy == Phy::B ? sizeof kRatesB : 8;
    std::memcpy(&r[kBssRates], rates, rate_count);
    if (Ofdm24(n)) std::memcpy(&r[kBssRates + 8], kRatesGExtended, sizeof kRatesGExtended);
    PutU32(&r[kBssIeLength], static_cast<uint32_t>(ie_length));
    // Fixed elements: timestamp (left 0), beacon interval, capabilities.
    r[kBssIes + 8] = 100;
    uint16_t caps = n.adhoc ? 0x0002 : 0x0001;
    if (n.security != Security::Open) caps |= 0x0010;
    r[kBssIes + 10] = static_cast<uint8_t>(caps);
    r[kBssIes + 11] = static_cast<uint8_t>(caps >> 8);
    std::memcpy(&r[kBssIes + kFixedIeBytes], elements.data(), elements.size());
    return r;
}

std::vector<uint8_t> BuildNetworkList(const std::vector<SeenNetwork>& seen) {
    std::vector<uint8_t> out(4, 0);
    PutU32(out.data(), static_cast<uint32_t>(seen.size()));
    for (const SeenNetwork& s : seen) {
        const std::vector<uint8_t> r = BuildBssRecord(*s.network, s.rssi);
        out.insert(out.end(), r.begin(), r.end());
    }
    return out;
}

std::vector<uint8_t> BuildVendorRecords(const std::vector<SeenNetwork>& seen) {
    std::vector<uint8_t> out(seen.size() * kVendorSize, 0);
    for (size_t i = 0; i < seen.size(); ++i) {
        const Network& n = *seen[i].network;
        uint8_t* r = &out[i * kVendorSize];
        std::memcpy(r + kVnBssid, n.bssid, 6);
        uint32_t flags = 0;
        if (Ofdm24(n)) flags |= kModeOfdm;
        if (n.phy == Phy::Turbo) flags |= kModeSuper;
        PutU32(r + kVnModeFlags, flags);
        r[kVnXr] = n.xr ? 1 : 0;
        PutU32(r + kVnSuperG, n.phy == Phy::Turbo ? 1 : 0);
    }
    return out;
}

}  // namespace athsim
