#include "monitor/app/auto_connect/auto_connect_choice.h"

#include <algorithm>

#include "monitor/res/resource.h"

namespace auto_connect {

namespace {

bool Fits(Security seen, Security wanted) {
    switch (wanted) {
    case Security::Open: return seen == Security::Open;
    case Security::Wep:
    case Security::Dot1x: return seen == Security::Wep;
    case Security::WpaPsk:
    case Security::WpaEap: return seen == Security::Wpa;
    case Security::Wpa: break;
    }
    return false;
}

// Checks made in the order a user reads the reason: the profile's own keys, then whether
// its network is around, then what differs about it.
Verdict Judge(const Profile& p, const std::vector<Network>& seen) {
    Verdict v;
    v.profile = p.name;
    v.ssid = p.ssid;
    if (p.checks != Finding::Candidate) {
        v.finding = p.checks;
        return v;
    }
    const Network* sameName = nullptr;
    const Network* sameMode = nullptr;
    for (const Network& n : seen) {
        if (!p.ssid.empty() && n.ssid != p.ssid) continue;
        if (n.infrastructure == p.infrastructure && Fits(n.security, p.security)) return v;
        if (!sameName) sameName = &n;
        if (!sameMode && n.infrastructure == p.infrastructure) sameMode = &n;
    }
    // A profile for any network names none: nothing of its kind is a network not in range.
    if (!sameName || p.ssid.empty()) {
        v.finding = Finding::NotInRange;
    } else if (!sameMode) {
        v.finding = Finding::ModeDiffers;
        v.seen = sameName->infrastructure ? 1 : 0;
        v.wanted = p.infrastructure ? 1 : 0;
    } else {
        v.finding = Finding::SecurityDiffers;
        v.seen = int(sameMode->security);
        v.wanted = int(p.security);
    }
    return v;
}

}  // namespace

std::vector<Network> NetworksOf(const std::vector<survey::Row>& rows) {
    std::vector<Network> networks;
    for (const survey::Row& row : rows) {
        Network n;
        n.ssid = row.ssid;
        n.infrastructure = row.networkModeText != IDS_AD_HOC;
        n.security = row.securityText == IDS_SECURITY_NONE ? Security::Open
                     : row.securityText == IDS_SECURITY_WEP ? Security::Wep
                                                            : Security::Wpa;
        networks.push_back(n);
    }
    return networks;
}

Choice Choose(const std::vector<Profile>& profiles, const std::vector<Network>& seen) {
    Choice choice;
    std::vector<const Profile*> order;
    for (const Profile& p : profiles)
        if (!p.ssid.empty()) order.push_back(&p);
    for (const Profile& p : profiles)
        if (p.ssid.empty()) order.push_back(&p);
    for (const Profile* p : order) choice.verdicts.push_back(Judge(*p, seen));
    // A profile passed over for its own keys stays passed over; one passed over for what the
    // scan showed may yet be found by it.
    for (size_t i = 0; i < order.size(); ++i) {
        if (choice.verdicts[i].finding == Finding::Candidate) choice.settled = true;
        if (order[i]->checks == Finding::Candidate) break;
    }
    return choice;
}

std::vector<std::string> MergedOrder(const std::vector<std::string>& stored,
                                     const std::vector<std::string>& profiles) {
    std::vector<std::string> order;
    auto has = [](const std::vector<std::string>& names, const std::string& name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    for (const std::string& name : stored)
        if (has(profiles, name) && !has(order, name)) order.push_back(name);
    for (const std::string& name : profiles)
        if (!has(order, name)) order.push_back(name);
    return order;
}

std::string OrderBytes(const std::vector<std::string>& names) {
    std::string bytes;
    for (const std::string& name : names) {
        if (name.empty() || name.find('\0') != std::string::npos) continue;
        if (bytes.size() + name.size() + 1 > kMaxOrderBytes) break;
        bytes += name;
        bytes += '\0';
    }
    return bytes;
}

std::vector<std::string> OrderNames(const std::string& bytes) {
    std::vector<std::string> names;
    size_t at = 0;
    for (size_t end; at < bytes.size() && (end = bytes.find('\0', at)) != std::string::npos; at = end + 1)
        if (end > at) names.push_back(bytes.substr(at, end - at));
    return names;
}

}  // namespace auto_connect
