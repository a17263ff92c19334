#include "athcfg/model/sim_model.h"

#include <algorithm>
#include <cmath>

#include "athcfg/model/channels.h"

namespace athsim {

namespace {

double Seed(const Network& n) {
    double s = 0;
    for (uint8_t b : n.bssid) s = s * 1.37 + b;
    return std::fmod(s, 6.283);
}

// A slow, smooth wobble in [-1, 1].
double Wave(double t, double seed) {
    return (std::sin(0.23 * t + seed) + 0.6 * std::sin(0.071 * t + 1.7 * seed)) / 1.6;
}

// Bytes moved after t seconds at a mean rate that swings between 20% and 180%.
double Moved(double t, double rate, double seed) {
    const double w1 = 0.37, w2 = 0.11;
    return rate * t + 0.5 * rate / w1 * (std::cos(seed) - std::cos(w1 * t + seed)) +
           0.3 * rate / w2 * (std::cos(2 * seed) - std::cos(w2 * t + 2 * seed));
}

uint32_t SecurityCode(Security s) {
    switch (s) {
    case Security::Open: return 0;
    case Security::Wep: return 1;
    case Security::WpaPsk: return 2;
    case Security::Wpa2Psk: return 5;
    case Security::Wpa: return 4;
    case Security::Wpa2: return 7;
    }
    return 0;
}

uint32_t SignalLevel(int rssi) { return static_cast<uint32_t>(std::clamp(rssi + 95, 0, 60)); }

uint32_t RateWord(const Network& n, uint32_t fixedKbps, uint32_t signal) {
    if (fixedKbps != 0) {
        switch (fixedKbps) {
        case 1000: return 1;
        case 2000: return 2;
        case 5500: return 5;
        case 11000: return 11;
        default: return kRateKbps | fixedKbps;
        }
    }
    if (n.phy == Phy::Turbo) return 108;
    if (n.phy == Phy::B) return signal >= 15 ? 11 : signal >= 8 ? 5 : 2;
    return kRateKbps | (signal >= 25 ? 54000 : signal >= 15 ? 48000 : signal >= 8 ? 36000 : 24000);
}

// Link restarts at `now`: counters so far become the base.
void Restart(const Scenario& sc, AdapterState& st, int64_t now) {
    const Counters c = CountersAt(sc, st, now);
    st.txBytes = c.txBytes;
    st.rxBytes = c.rxBytes;
    st.txPackets = c.txPackets;
    st.rxPackets = c.rxPackets;
    st.activeSince = now;
}

double SweepPosition(int channel) {
    if (channel <= 14) return (channel - 0.5) / 28.0;
    return 0.5 + (channel - 34 + 0.5) / 326.0;
}

}  // namespace

ProfileSecurity SecurityOfProfile(int privacy, int wpa, int eapMethod) {
    if (privacy == 0) return ProfileSecurity::Open;
    if (wpa == 1) return eapMethod == 7 ? ProfileSecurity::WpaPsk : ProfileSecurity::WpaEap;
    return ProfileSecurity::Wep;
}

ActiveSettings MakeSettings(const std::string& name, const std::string& ssid, int infrastructure, int privacy,
                            int wpa, int eapMethod, int defaultKey, const std::string wepKeys[4],
                            const std::string& pskPassphrase, int authMode) {
    ActiveSettings a;
    a.valid = true;
    a.profileName = name;
    a.ssid = ssid;
    a.adhoc = infrastructure == 0;
    a.security = SecurityOfProfile(privacy, wpa, eapMethod);
    if (a.security == ProfileSecurity::Wep) a.key = wepKeys[(defaultKey >= 1 && defaultKey <= 4) ? defaultKey - 1 : 0];
    if (a.security == ProfileSecurity::WpaPsk) a.key = pskPassphrase;
    a.authMode = authMode;
    return a;
}

AdapterState InitialState(const AdapterSpec& a, const ActiveSettings& active) {
    AdapterState s;
    s.radioOff = a.radioOff;
    s.active = active;
    s.activeSince = -kAssociateMs;
    return s;
}

std::string SerializeState(const AdapterState& s) {
    const ActiveSettings& a = s.active;
    return "state radio=" + std::to_string(s.radioOff ? 1 : 0) + " since=" + std::to_string(s.activeSince) +
           " scan=" + std::to_string(s.scanStart) + " txrate=" + std::to_string(s.txRate) +
           " txbytes=" + std::to_string(s.txBytes) + " rxbytes=" + std::to_string(s.rxBytes) +
           " txpackets=" + std::to_string(s.txPackets) + " rxpackets=" + std::to_string(s.rxPackets) +
           " active=" + std::to_string(a.valid ? 1 : 0) + " profile=" + Quote(a.profileName) +
           " ssid=" + Quote(a.ssid) + " adhoc=" + std::to_string(a.adhoc ? 1 : 0) +
           " security=" + std::to_string(static_cast<int>(a.security)) + " key=" + Quote(a.key) +
           " auth=" + std::to_string(a.authMode);
}

bool ParseState(const std::string& text, AdapterState& out) {
    Line line;
    std::string error;
    if (!SplitLine(text, line, error) || line.keyword != "state") return false;
    AdapterState s;
    for (const auto& [k, v] : line.attrs) {
        if (k == "profile") { s.active.profileName = v; continue; }
        if (k == "ssid") { s.active.ssid = v; continue; }
        if (k == "key") { s.active.key = v; continue; }
        int64_t n;
        if (!ParseNumber(v, n)) return false;
        if (k == "radio") s.radioOff = n != 0;
        else if (k == "since") s.activeSince = n;
        else if (k == "scan") s.scanStart = n;
        else if (k == "txrate") s.txRate = static_cast<uint32_t>(n);
        else if (k == "txbytes") s.txBytes = static_cast<uint64_t>(n);
        else if (k == "rxbytes") s.rxBytes = static_cast<uint64_t>(n);
        else if (k == "txpackets") s.txPackets = static_cast<uint32_t>(n);
        else if (k == "rxpackets") s.rxPackets = static_cast<uint32_t>(n);
        else if (k == "active") s.active.valid = n != 0;
        else if (k == "adhoc") s.active.adhoc = n != 0;
        else if (k == "security") {
            if (n < 0 || n > static_cast<int>(ProfileSecurity::WpaEap)) return false;
            s.active.security = static_cast<ProfileSecurity>(n);
        } else if (k == "auth") s.active.authMode = static_cast<int>(n);
        else return false;
    }
    out = s;
    return true;
}

bool SecurityFits(const Network& n, const ActiveSettings& a) {
    switch (n.security) {
    case Security::Open: return a.security == ProfileSecurity::Open;
    case Security::Wep:
        return a.security == ProfileSecurity::Wep && (n.key.empty() || n.key == a.key);
    case Security::WpaPsk:
    case Security::Wpa2Psk:
        return a.security == ProfileSecurity::WpaPsk && (n.key.empty() || n.key == a.key);
    case Security::Wpa:
    case Security::Wpa2: return a.security == ProfileSecurity::WpaEap;
    }
    return false;
}

int AssociatedNetwork(const Scenario& sc, const AdapterState& st, int64_t now) {
    if (st.radioOff || !st.active.valid || now < st.activeSince + kAssociateMs) return -1;
    int best = -1;
    for (size_t i = 0; i < sc.networks.size(); ++i) {
        const Network& n = sc.networks[i];
        // An empty SSID joins any open access point.
        const bool name_fits = st.active.ssid.empty() ? (n.security == Security::Open && !n.adhoc)
                                                      : n.ssid == st.active.ssid;
        if (!name_fits || n.adhoc != st.active.adhoc || !SecurityFits(n, st.active)) continue;
        if (best < 0 || n.rssi > sc.networks[best].rssi) best = static_cast<int>(i);
    }
    return best;
}

Counters CountersAt(const Scenario& sc, const AdapterState& st, int64_t now) {
    Counters c{st.txBytes, st.rxBytes, st.txPackets, st.rxPackets};
    const int index = AssociatedNetwork(sc, st, now);
    if (index < 0) return c;
    const Network& n = sc.networks[index];
    const double t = static_cast<double>(now - st.activeSince - kAssociateMs) / 1000.0;
    const double seed = Seed(n);
    const double tx = Moved(t, 2500, seed), rx = Moved(t, 6000, seed + 1.0);
    c.txBytes += static_cast<uint64_t>(tx);
    c.rxBytes += static_cast<uint64_t>(rx);
    c.txPackets += static_cast<uint32_t>(tx / 700);
    c.rxPackets += static_cast<uint32_t>(rx / 1100);
    return c;
}

int RssiAt(const Network& n, int64_t now) {
    const double wobble = 3.0 * Wave(static_cast<double>(now) / 1000.0, Seed(n));
    return std::clamp(n.rssi + static_cast<int>(std::lround(wobble)), -120, 0);
}

std::vector<SeenNetwork> SeenNetworks(const Scenario& sc, const AdapterState& st, int64_t now) {
    std::vector<SeenNetwork> seen;
    if (st.radioOff) return seen;
    const bool scanning = st.scanStart >= 0 && now >= st.scanStart && now - st.scanStart < sc.scanMs;
    const double swept = scanning ? static_cast<double>(now - st.scanStart) / sc.scanMs : 1.0;
    for (const Network& n : sc.networks)
        if (SweepPosition(n.channel) < swept) seen.push_back({&n, RssiAt(n, now)});
    return seen;
}

StatusValues ComputeStatus(const Scenario& sc, const AdapterSpec& a, const AdapterState& st, int64_t now) {
    StatusValues v;
    v.modes = a.modes;
    const int index = AssociatedNetwork(sc, st, now);
    if (index >= 0) {
        const Network& n = sc.networks[index];
        v.disconnected = 0;
        v.ssid = n.ssid;
        v.signal = SignalLevel(RssiAt(n, now));
        uint32_t flags = 0;
        if (n.phy == Phy::G || n.phy == Phy::Turbo) flags |= kModeOfdm;
        if (n.phy == Phy::Turbo) flags |= kModeSuper;
        v.channelWord = static_cast<uint32_t>(FrequencyOfChannel(n.channel)) | flags;
        v.security = SecurityCode(n.security);
        v.netMode = n.adhoc ? 1 : 0;
        v.rate = RateWord(n, st.txRate, v.signal);
    }
    const Counters c = CountersAt(sc, st, now);
    v.txBytes = c.txBytes;
    v.rxBytes = c.rxBytes;
    v.txPackets = c.txPackets;
    v.rxPackets = c.rxPackets;

    const StatusPins& p = a.pins;
    if (p.rate) v.rate = *p.rate;
    if (p.signal) v.signal = *p.signal;
    if (p.channelWord) v.channelWord = *p.channelWord;
    if (p.frequency) v.channelWord = (v.channelWord & 0xFFFF0000u) | (*p.frequency & 0xFFFFu);
    if (p.modeFlags) v.channelWord = (v.channelWord & 0xFFFFu) | (*p.modeFlags & 0xFFFF0000u);
    if (p.ssid) v.ssid = *p.ssid;
    if (p.security) v.security = *p.security;
    if (p.netMode) v.netMode = *p.netMode;
    if (p.txPackets) v.txPackets = *p.txPackets;
    if (p.rxPackets) v.rxPackets = *p.rxPackets;
    if (p.txBytes) v.txBytes = *p.txBytes;
    if (p.rxBytes) v.rxBytes = *p.rxBytes;
    if (p.disconnected) v.disconnected = *p.disconnected;
    if (p.modes) v.modes = *p.modes;
    return v;
}

uint32_t ComputeLinkQuality(const Scenario& sc, const AdapterSpec& a, const AdapterState& st, int64_t now) {
    if (a.linkQuality) return *a.linkQuality;
    const int index = AssociatedNetwork(sc, st, now);
    if (index < 0) return 0;
    return static_cast<uint32_t>(std::clamp(2 * (RssiAt(sc.networks[index], now) + 95) + 10, 0, 100));
}

uint32_t ComputeAuthMode(const AdapterSpec& a, const AdapterState& st) {
    if (a.authMode) return *a.authMode;
    return st.active.valid && st.active.authMode == 2 ? 2 : 1;
}

bool QueryAnswer(const Scenario& sc, const AdapterSpec& a, const AdapterState& st, int64_t now, uint32_t oid,
                 std::vector<uint8_t>& answer) {
    auto word = [&answer](uint32_t v) {
        answer.assign(4, 0);
        PutU32(answer.data(), v);
    };
    switch (oid) {
    case kOidStatus: answer = BuildStatusRecord(ComputeStatus(sc, a, st, now)); return true;
    case kOidLinkQuality: word(ComputeLinkQuality(sc, a, st, now)); return true;
    case kOidRadio: word(st.radioOff ? 1 : 0); return true;
    case kOidAuthMode: word(ComputeAuthMode(a, st)); return true;
    case kOidNetworkList:
        answer = a.rawList ? *a.rawList : BuildNetworkList(SeenNetworks(sc, st, now));
        return true;
    case kOidVendorList:
        answer = a.rawVendor ? *a.rawVendor : BuildVendorRecords(SeenNetworks(sc, st, now));
        return true;
    default: return false;
    }
}

int ApplySet(const Scenario& sc, AdapterState& st, int64_t now, uint32_t oid, const uint8_t* data, size_t length) {
    switch (oid) {
    case kOidRadio: {
        if (length < 4) return -1;
        const bool off = ReadU32(data) != 0;
        if (off != st.radioOff) {
            Restart(sc, st, now);
            st.radioOff = off;
        }
        return 4;
    }
    case kOidTxRate:
        if (length < 4) return -1;
        st.txRate = ReadU32(data);
        return 4;
    case kOidScan:
        if (!st.radioOff) st.scanStart = now;
        return static_cast<int>(std::min<size_t>(length, 4));
    default: return -1;
    }
}

void ApplyActivation(const Scenario& sc, AdapterState& st, int64_t now, const ActiveSettings& settings) {
    Restart(sc, st, now);
    st.active = settings;
}

void ApplyClearCache(const Scenario& sc, AdapterState& st, int64_t now, const std::string& profileName) {
    if (!st.active.valid || st.active.profileName != profileName) return;
    Restart(sc, st, now);
    st.active = ActiveSettings();
}

void ApplyPresence(const Scenario& sc, AdapterState& st, int64_t now) { Restart(sc, st, now); }

}  // namespace athsim
