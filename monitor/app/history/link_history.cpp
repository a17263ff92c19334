#include "monitor/app/history/link_history.h"

#include <cstdlib>

namespace link_history {

namespace {

Event FromReading(const Reading& r, Kind kind) {
    Event e;
    e.kind = kind;
    e.ssid = r.ssid;
    e.bssid = r.bssid;
    e.channel = r.channel;
    e.signal = r.signal;
    e.rateMbps = r.rateMbps;
    e.address = r.address;
    return e;
}

// The SSID is stored as hex: it may hold any byte, tabs and line breaks too.
std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned char c : bytes) {
        text += digits[c >> 4];
        text += digits[c & 15];
    }
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool Unhex(const std::string& text, std::string& bytes, size_t maxBytes) {
    if (text.size() % 2 || text.size() > 2 * maxBytes) return false;
    bytes.clear();
    for (size_t i = 0; i < text.size(); i += 2) {
        int hi = HexDigit(text[i]), lo = HexDigit(text[i + 1]);
        if (hi < 0 || lo < 0) return false;
        bytes += char(hi * 16 + lo);
    }
    return true;
}

bool Number(const std::string& text, int low, int high, int& value) {
    if (text.empty() || text.size() > 6) return false;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (*end || v < low || v > high) return false;
    value = int(v);
    return true;
}

// A short field of printable characters (time, BSSID, address).
bool Plain(const std::string& text, size_t maxSize) {
    if (text.size() > maxSize) return false;
    for (unsigned char c : text)
        if (c < 0x20 || c > 0x7E) return false;
    return true;
}

std::vector<std::string> Split(const std::string& line, char at) {
    std::vector<std::string> parts(1);
    for (char c : line) {
        if (c == at) parts.emplace_back();
        else parts.back() += c;
    }
    return parts;
}

std::string Line(const Event& e) {
    return e.time + '\t' + std::to_string(int(e.kind)) + '\t' + std::to_string(int(e.cause)) + '\t' +
           Hex(e.ssid) + '\t' + e.bssid + '\t' + std::to_string(e.channel) + '\t' +
           std::to_string(e.signal) + '\t' + std::to_string(e.rateMbps) + '\t' + e.address +
           (e.kind == Kind::AutoConnect ? '\t' + Hex(e.profile) + '\t' + std::to_string(e.finding) + '\t' +
                                              std::to_string(e.seen) + '\t' + std::to_string(e.wanted)
                                        : std::string()) +
           "\r\n";
}

bool ReadLine(const std::string& line, Event& e) {
    std::vector<std::string> f = Split(line, '\t');
    int kind = 0, cause = 0;
    if (f.size() < 9 || !Plain(f[0], 19) || !Number(f[1], 1, 4, kind) || !Number(f[2], 0, 4, cause) ||
        !Unhex(f[3], e.ssid, 32) || !Plain(f[4], 17) || !Number(f[5], 0, 255, e.channel) ||
        !Number(f[6], 0, 100, e.signal) || !Number(f[7], 0, 10000, e.rateMbps) || !Plain(f[8], 39))
        return false;
    // A profile name fits its registry key path: under 200 bytes.
    if (f.size() != (kind == int(Kind::AutoConnect) ? 13u : 9u) ||
        (f.size() == 13 && (!Unhex(f[9], e.profile, 200) || !Number(f[10], 0, 99, e.finding) ||
                            !Number(f[11], 0, 99, e.seen) || !Number(f[12], 0, 99, e.wanted))))
        return false;
    e.time = f[0];
    e.kind = Kind(kind);
    e.cause = Cause(cause);
    e.bssid = f[4];
    e.address = f[8];
    return true;
}

}  // namespace

bool Detector::Next(const Reading& now, Event& event) {
    Reading before = last_;
    bool started = started_;
    last_ = now;
    started_ = true;
    if (!started) return false;
    if (before.connected && !now.connected) {
        event = FromReading(before, Kind::LinkDown);
        event.cause = !now.present   ? Cause::AdapterRemoved
                      : now.radioOff ? Cause::RadioOff
                      : now.applying ? Cause::Applied
                                     : Cause::SignalLost;
        return true;
    }
    if (!now.connected) return false;
    if (!before.connected || now.ssid != before.ssid) {
        event = FromReading(now, Kind::LinkUp);
        return true;
    }
    // An address that appears after the link came up is the lease arriving, not a change.
    if (!before.address.empty() && !now.address.empty() && now.address != before.address) {
        event = FromReading(now, Kind::AddressChanged);
        return true;
    }
    return false;
}

void History::Add(const Event& event) {
    events_.push_back(event);
    while (events_.size() > kCapacity) events_.pop_front();
}

std::vector<Event> History::Newest(size_t count) const {
    std::vector<Event> newest;
    for (auto e = events_.rbegin(); e != events_.rend() && newest.size() < count; ++e) newest.push_back(*e);
    return newest;
}

std::string History::Save() const {
    std::string text;
    for (auto e = events_.rbegin(); e != events_.rend(); ++e) {
        std::string line = Line(*e);
        if (text.size() + line.size() > kMaxStoredBytes) break;
        text.insert(0, line);
    }
    return text;
}

void History::Load(const std::string& text) {
    events_.clear();
    for (const std::string& line : Split(text.substr(0, kMaxStoredBytes), '\n')) {
        std::string l = !line.empty() && line.back() == '\r' ? line.substr(0, line.size() - 1) : line;
        Event e;
        if (ReadLine(l, e)) Add(e);
    }
}

std::vector<std::string> CsvFields(const Event& e, const std::string& description) {
    return {e.time, description, e.ssid, e.bssid, e.channel ? std::to_string(e.channel) : std::string(),
            std::to_string(e.signal), std::to_string(e.rateMbps), e.address};
}

}  // namespace link_history
