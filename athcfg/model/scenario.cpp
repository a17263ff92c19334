#include "athcfg/model/scenario.h"

#include <cctype>
#include <cstdio>

namespace athsim {

namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool ParseBool(const std::string& text, bool& out) {
    const std::string t = Lower(text);
    if (t == "yes" || t == "on" || t == "1" || t == "true") return out = true, true;
    if (t == "no" || t == "off" || t == "0" || t == "false") return out = false, true;
    return false;
}

bool ParseU32(const std::string& text, uint32_t& out) {
    int64_t v;
    if (!ParseNumber(text, v) || v < -2147483648LL || v > 0xFFFFFFFFLL) return false;
    out = static_cast<uint32_t>(v);
    return true;
}

bool ParseInt(const std::string& text, int64_t lo, int64_t hi, int& out) {
    int64_t v;
    if (!ParseNumber(text, v) || v < lo || v > hi) return false;
    out = static_cast<int>(v);
    return true;
}

std::string DefaultGuid(size_t index) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "{A7C3E1D0-5B2F-4C8E-9D61-0000000000%02X}",
                  static_cast<unsigned>(index + 1));
    return buf;
}

AdapterSpec DefaultAdapter(size_t index) {
    AdapterSpec a;
    a.guid = DefaultGuid(index);
    char key[8];
    std::snprintf(key, sizeof key, "%04u", static_cast<unsigned>(7 + index));
    a.subKey = key;
    a.description = "Telvara 802.11 Wireless LAN Adapter";
    return a;
}

bool ValidGuid(const std::string& g) {
    if (g.size() != 38 || g.front() != '{' || g.back() != '}') return false;
    for (size_t i = 1; i < 37; ++i) {
        const bool dash = (i == 9 || i == 14 || i == 19 || i == 24);
        if (dash ? g[i] != '-' : !std::isxdigit(static_cast<unsigned char>(g[i]))) return false;
    }
    return true;
}

bool ValidSubKey(const std::string& k) {
    if (k.empty() || k.size() > 8) return false;
    for (char c : k)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

class Parser {
public:
    explicit Parser(Scenario& out) : s_(out) {}

    bool Line(const athsim::Line& l, std::string& err) {
        if (l.keyword == "adapter") return Adapter(l, err);
        if (l.keyword == "adapters") return Adapters(l, err);
        if (l.keyword == "network") return NetworkLine(l, err);
        if (l.keyword == "scan") return Scan(l, err);
        if (l.keyword == "status" || l.keyword == "profile" || l.keyword == "select" ||
            l.keyword == "raw") {
            if (s_.adapters.empty()) return err = "'" + l.keyword + "' needs an 'adapter' line before it", false;
            AdapterSpec& a = s_.adapters.back();
            if (l.keyword == "status") return Status(a, l, err);
            if (l.keyword == "profile") return Profile(a, l, err);
            if (l.keyword == "select") return Select(a, l, err);
            return Raw(a, l, err);
        }
        return err = "unknown keyword '" + l.keyword + "'", false;
    }

    bool Finish(std::string& err) {
        for (size_t i = 0; i < s_.adapters.size(); ++i) {
            const AdapterSpec& a = s_.adapters[i];
            for (size_t j = 0; j < i; ++j) {
                if (Lower(s_.adapters[j].guid) == Lower(a.guid)) return err = "two adapters share guid " + a.guid, false;
                if (s_.adapters[j].subKey == a.subKey) return err = "two adapters share subkey " + a.subKey, false;
            }
            if (!a.selected.empty()) {
                bool found = false;
                for (const ProfileSpec& p : a.profiles) found = found || p.Get("name") == a.selected;
                if (!found) return err = "selected profile '" + a.selected + "' is not defined", false;
            }
        }
        return true;
    }

private:
    bool Adapter(const athsim::Line& l, std::string& err) {
        if (s_.adapters.size() >= static_cast<size_t>(kMaxAdapters)) return err = "too many adapters", false;
        AdapterSpec a = DefaultAdapter(s_.adapters.size());
        for (const auto& [k, v] : l.attrs) {
            if (k == "guid") {
                if (!ValidGuid(v)) return err = "bad guid '" + v + "'", false;
                a.guid = v;
            } else if (k == "subkey") {
                if (!ValidSubKey(v)) return err = "bad subkey '" + v + "'", false;
                a.subKey = v;
            } else if (k == "desc") {
                if (v.size() > kMaxText) return err = "desc too long", false;
                a.description = v;
            } else if (k == "interface") {
                if (v.empty() || v.size() > kMaxInterfaceName) return err = "bad interface '" + v + "'", false;
                a.tiedInterface = v;
            } else if (k == "present") {
                if (!ParseBool(v, a.present)) return err = "bad present '" + v + "'", false;
            } else if (k == "radio") {
                bool on;
                if (!ParseBool(v, on)) return err = "bad radio '" + v + "'", false;
                a.radioOff = !on;
            } else if (k == "modes") {
                if (!ParseU32(v, a.modes)) return err = "bad modes '" + v + "'", false;
            } else if (k == "auth") {
                uint32_t x;
                if (!ParseU32(v, x)) return err = "bad auth '" + v + "'", false;
                a.authMode = x;
            } else if (k == "quality") {
                uint32_t x;
                if (!ParseU32(v, x)) return err = "bad quality '" + v + "'", false;
                a.linkQuality = x;
            } else {
                return err = "unknown adapter attribute '" + k + "'", false;
            }
        }
        s_.adapters.push_back(std::move(a));
        return true;
    }

    bool Adapters(const athsim::Line& l, std::string& err) {
        if (l.attrs.size() != 1 || l.attrs[0].first != "count") return err = "expected 'adapters count=N'", false;
        int n;
        if (!ParseInt(l.attrs[0].second, 0, kMaxAdapters, n)) return err = "bad adapter count", false;
        if (static_cast<size_t>(n) < s_.adapters.size()) return err = "fewer adapters than already defined", false;
        while (s_.adapters.size() < static_cast<size_t>(n)) s_.adapters.push_back(DefaultAdapter(s_.adapters.size()));
        return true;
    }

    bool NetworkLine(const athsim::Line& l, std::string& err) {
        if (s_.networks.size() >= static_cast<size_t>(kMaxNetworks)) return err = "too many networks", false;
        Network n;
        const size_t index = s_.networks.size();
        const uint8_t auto_bssid[6] = {0x00, 0x03, 0x7F, 0x10, 0x00, static_cast<uint8_t>(index + 1)};
        std::copy(auto_bssid, auto_bssid + 6, n.bssid);
        bool has_ssid = false;
        for (const auto& [k, v] : l.attrs) {
            if (k == "ssid") {
                if (v.empty() || v.size() > kMaxSsid) return err = "ssid must be 1 to 32 characters", false;
                n.ssid = v;
                has_ssid = true;
            } else if (k == "bssid") {
                if (!ParseBssid(v, n.bssid)) return err = "bad bssid '" + v + "'", false;
            } else if (k == "channel") {
                if (!ParseInt(v, 1, 196, n.channel) || (n.channel > 14 && n.channel < 34))
                    return err = "bad channel '" + v + "'", false;
                if (n.channel >= 34) n.phy = Phy::A;
            } else if (k == "rssi") {
                if (!ParseInt(v, -120, 0, n.rssi)) return err = "bad rssi '" + v + "'", false;
            } else if (k == "mode") {
                if (v == "infrastructure" || v == "infra") n.adhoc = false;
                else if (v == "adhoc") n.adhoc = true;
                else return err = "bad mode '" + v + "'", false;
            } else if (k == "security") {
                if (!ParseSecurity(v, n.security)) return err = "bad security '" + v + "'", false;
            } else if (k == "key") {
                if (v.size() > 64) return err = "key too long", false;
                n.key = v;
            } else if (k == "type") {
                if (v == "b") n.phy = Phy::B;
                else if (v == "g") n.phy = Phy::G;
                else if (v == "turbo") n.phy = Phy::Turbo;
                else if (v == "a") n.phy = Phy::A;
                else return err = "bad type '" + v + "'", false;
            } else if (k == "xr") {
                if (!ParseBool(v, n.xr)) return err = "bad xr '" + v + "'", false;
            } else if (k == "hidden") {
                if (!ParseBool(v, n.hidden)) return err = "bad hidden '" + v + "'", false;
            } else {
                return err = "unknown network attribute '" + k + "'", false;
            }
        }
        if (!has_ssid) return err = "network needs an ssid", false;
        if ((n.phy == Phy::A) != (n.channel >= 34)) return err = "type a goes with 5 GHz channels only", false;
        s_.networks.push_back(std::move(n));
        return true;
    }

    bool Scan(const athsim::Line& l, std::string& err) {
        if (l.attrs.size() != 1 || l.attrs[0].first != "ms") return err = "expected 'scan ms=N'", false;
        int ms;
        if (!ParseInt(l.attrs[0].second, 0, 60000, ms)) return err = "bad scan time", false;
        s_.scanMs = static_cast<uint32_t>(ms);
        return true;
    }

    bool Status(AdapterSpec& a, const athsim::Line& l, std::string& err) {
        StatusPins& p = a.pins;
        for (const auto& [k, v] : l.attrs) {
            std::optional<uint32_t>* field = nullptr;
            if (k == "rate") field = &p.rate;
            else if (k == "signal") field = &p.signal;
            else if (k == "channel") field = &p.channelWord;
            else if (k == "freq") field = &p.frequency;
            else if (k == "flags") field = &p.modeFlags;
            else if (k == "security") field = &p.security;
            else if (k == "netmode") field = &p.netMode;
            else if (k == "txpackets") field = &p.txPackets;
            else if (k == "rxpackets") field = &p.rxPackets;
            else if (k == "disconnected") field = &p.disconnected;
            else if (k == "modes") field = &p.modes;
            if (field) {
                uint32_t x;
                if (!ParseU32(v, x)) return err = "bad status " + k + " '" + v + "'", false;
                *field = x;
            } else if (k == "txbytes" || k == "rxbytes") {
                int64_t x;
                if (!ParseNumber(v, x) || x < 0) return err = "bad status " + k + " '" + v + "'", false;
                (k == "txbytes" ? p.txBytes : p.rxBytes) = static_cast<uint64_t>(x);
            } else if (k == "ssid") {
                if (v.size() > 33) return err = "status ssid longer than 33 characters", false;
                p.ssid = v;
            } else {
                return err = "unknown status member '" + k + "'", false;
            }
        }
        return true;
    }

    bool Profile(AdapterSpec& a, const athsim::Line& l, std::string& err) {
        if (a.profiles.size() >= static_cast<size_t>(kMaxProfiles)) return err = "too many profiles", false;
        ProfileSpec p;
        for (const auto& [k, v] : l.attrs) {
            if (v.size() > kMaxText) return err = "profile value too long", false;
            p.fields.emplace_back(k, v);
        }
        const std::string name = p.Get("name");
        if (name.empty()) return err = "profile needs a name", false;
        for (const ProfileSpec& q : a.profiles)
            if (q.Get("name") == name) return err = "profile '" + name + "' defined twice", false;
        a.profiles.push_back(std::move(p));
        return true;
    }

    bool Select(AdapterSpec& a, const athsim::Line& l, std::string& err) {
        if (l.attrs.size() != 1 || l.attrs[0].first != "name") return err = "expected 'select name=PROFILE'", false;
        a.selected = l.attrs[0].second;
        return true;
    }

    bool Raw(AdapterSpec& a, const athsim::Line& l, std::string& err) {
        for (const auto& [k, v] : l.attrs) {
            std::optional<std::vector<uint8_t>>* target = nullptr;
            if (k == "list") target = &a.rawList;
            else if (k == "vendor") target = &a.rawVendor;
            else return err = "unknown raw record '" + k + "'", false;
            std::vector<uint8_t> bytes;
            if (!ParseHexBytes(v, bytes)) return err = "bad hex in raw " + k, false;
            if (!*target) *target = std::vector<uint8_t>();
            if ((*target)->size() + bytes.size() > kMaxRawBytes) return err = "raw " + k + " longer than 30000 bytes", false;
            (*target)->insert((*target)->end(), bytes.begin(), bytes.end());
        }
        return true;
    }

    Scenario& s_;
};

}  // namespace

std::string ProfileSpec::Get(const std::string& field) const {
    for (const auto& [k, v] : fields)
        if (k == field) return v;
    return std::string();
}

bool SplitLine(const std::string& line, Line& out, std::string& error) {
    out = Line();
    size_t i = 0;
    const size_t n = line.size();
    auto skip_space = [&] {
        while (i < n && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    };
    skip_space();
    while (i < n && (std::isalnum(static_cast<unsigned char>(line[i])) || line[i] == '_')) out.keyword += line[i++];
    if (out.keyword.empty()) return error = "expected a keyword", false;
    for (;;) {
        skip_space();
        if (i >= n || line[i] == '#') return true;
        std::string name;
        while (i < n && (std::isalnum(static_cast<unsigned char>(line[i])) || line[i] == '_')) name += line[i++];
        if (name.empty() || i >= n || line[i] != '=') return error = "expected name=value", false;
        ++i;
        std::string value;
        if (i < n && line[i] == '"') {
            ++i;
            for (;;) {
                if (i >= n) return error = "unterminated quoted value", false;
                char c = line[i++];
                if (c == '"') break;
                if (c == '\\') {
                    if (i >= n) return error = "unterminated quoted value", false;
                    c = line[i++];
                    if (c != '"' && c != '\\') return error = "unknown escape in quoted value", false;
                }
                value += c;
            }
            if (i < n && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') return error = "expected a space after a quoted value", false;
        } else {
            while (i < n && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
                if (line[i] == '"') return error = "quote inside an unquoted value", false;
                value += line[i++];
            }
        }
        out.attrs.emplace_back(std::move(name), std::move(value));
    }
}

std::string Quote(const std::string& text) {
    std::string q = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') q += '\\';
        q += c;
    }
    return q + "\"";
}

bool ParseNumber(const std::string& text, int64_t& value) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    int base = 10;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size()) return false;
    uint64_t v = 0;
    for (; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        int d;
        if (std::isdigit(c)) d = c - '0';
        else if (base == 16 && std::isxdigit(c)) d = std::tolower(c) - 'a' + 10;
        else return false;
        if (v > (0x7FFFFFFFFFFFFFFFULL - static_cast<uint64_t>(d)) / static_cast<uint64_t>(base)) return false;
        v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
    }
    value = negative ? -static_cast<int64_t>(v) : static_cast<int64_t>(v);
    return true;
}

bool ParseHexBytes(const std::string& text, std::vector<uint8_t>& out) {
    int high = -1;
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == ' ' || c == ':' || c == '-') {
            if (high >= 0) return false;  // separators only between whole bytes
            continue;
        }
        if (!std::isxdigit(c)) return false;
        const int d = std::isdigit(c) ? c - '0' : std::tolower(c) - 'a' + 10;
        if (high < 0) {
            high = d;
        } else {
            out.push_back(static_cast<uint8_t>(high * 16 + d));
            high = -1;
        }
    }
    return high < 0;
}

bool ParseBssid(const std::string& text, uint8_t out[6]) {
    std::vector<uint8_t> bytes;
    if (text.size() != 17 || !ParseHexBytes(text, bytes) || bytes.size() != 6) return false;
    for (size_t i = 2; i < 17; i += 3)
        if (text[i] != ':') return false;
    std::copy(bytes.begin(), bytes.end(), out);
    return true;
}

const char* SecurityName(Security s) {
    switch (s) {
    case Security::Open: return "open";
    case Security::Wep: return "wep";
    case Security::WpaPsk: return "wpa-psk";
    case Security::Wpa2Psk: return "wpa2-psk";
    case Security::Wpa: return "wpa";
    case Security::Wpa2: return "wpa2";
    }
    return "open";
}

bool ParseSecurity(const std::string& text, Security& out) {
    for (Security s : {Security::Open, Security::Wep, Security::WpaPsk, Security::Wpa2Psk, Security::Wpa,
                       Security::Wpa2}) {
        if (text == SecurityName(s)) return out = s, true;
    }
    return false;
}

bool ParseScenario(const std::string& text, Scenario& out, std::string& error) {
    out = Scenario();
    Parser parser(out);
    size_t start = 0;
    int number = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string raw = text.substr(start, end - start);
        ++number;
        start = end + 1;
        size_t first = raw.find_first_not_of(" \t\r");
        if (first == std::string::npos || raw[first] == '#') continue;
        Line line;
        std::string what;
        if (!SplitLine(raw, line, what) || !parser.Line(line, what)) {
            error = "line " + std::to_string(number) + ": " + what;
            return false;
        }
    }
    std::string what;
    if (!parser.Finish(what)) return error = what, false;
    return true;
}

}  // namespace athsim
