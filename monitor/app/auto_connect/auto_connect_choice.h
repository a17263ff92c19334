// Which of the adapter's profiles to join when there is no association, and why each
// other one is passed over: the profiles in the user's order, the networks a scan found and
// what the profile checks say give the candidates in trying order. UI-free.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "monitor/profiles/profile_rules.h"
#include "monitor/ui/survey/survey_rows.h"

namespace auto_connect {

// Security as a profile asks for it (all but Wpa) or as a scan tells it (Open, Wep, Wpa:
// the scan cannot tell a pre-shared key from 802.1X behind WPA, nor dynamic from static WEP).
enum class Security { Open = 0, Wep = 1, Wpa = 2, WpaPsk = 3, WpaEap = 4, Dot1x = 5 };

// What an attempt found for a profile, as the History and the Preferred Networks window
// say it. The numbers are stored with the history.
enum class Finding {
    Candidate = 0,       // in range with its mode and security, keys passing the checks
    NotInRange = 1,
    ModeDiffers = 2,     // seen and wanted: 1 infrastructure, 0 ad hoc
    SecurityDiffers = 3,  // seen and wanted: Security
    WepKeyMissing = 4,
    PreSharedKeyMissing = 5,
    SignInMissing = 6,   // user name, password, certificate or login name
    NoAssociation = 7,   // tried, and no association came in time
    Connected = 8,
};
constexpr int kLastFinding = int(Finding::Connected);

// A stored profile as the choice sees it.
struct Profile {
    std::string name;
    std::string ssid;  // empty: any network of its mode and security
    bool infrastructure = true;
    Security security = Security::Open;
    Finding checks = Finding::Candidate;  // what the profile checks say; Candidate: they pass
};

// `record` is the library's profile record or one with the same fields; `passphrase` is
// its stored WEP passphrase.
template <class Record>
Profile ProfileOf(const Record& record, const std::string& name, const std::string& passphrase) {
    Profile p;
    p.name = name;
    p.ssid = record.ssid.c_str();
    p.infrastructure = record.infrastructure == 1;
    const bool eap = profile_rules::IsEapWith8021x(record.eapMethod);
    if (record.privacy != 1) p.security = Security::Open;
    else if (record.wpa == 1) p.security = eap ? Security::WpaEap : Security::WpaPsk;
    else p.security = eap ? Security::Dot1x : Security::Wep;
    const bool psk = p.security == Security::WpaPsk;
    if (profile_rules::KeyCheck(record, passphrase))
        p.checks = psk ? Finding::PreSharedKeyMissing : Finding::WepKeyMissing;
    else if (!profile_rules::ApplyCheck(record).pass)
        p.checks = psk ? Finding::PreSharedKeyMissing : Finding::SignInMissing;
    return p;
}

// A network of the scanned list.
struct Network {
    std::string ssid;
    bool infrastructure = true;
    Security security = Security::Open;
};
std::vector<Network> NetworksOf(const std::vector<survey::Row>& rows);

struct Verdict {
    std::string profile;
    std::string ssid;
    Finding finding = Finding::Candidate;
    int seen = 0, wanted = 0;  // ModeDiffers and SecurityDiffers: what differs
};

struct Choice {
    // One per profile in trying order: the user's order, profiles with an empty SSID last.
    std::vector<Verdict> verdicts;
    // No network a scan still running adds can put a candidate before the first one.
    bool settled = false;
};

// `profiles` in the user's order, `seen` the scanned networks (so far).
Choice Choose(const std::vector<Profile>& profiles, const std::vector<Network>& seen);

// The user's order for the adapter's profiles now: the stored names that still name a
// profile, in their order, then the others in `profiles`' order.
std::vector<std::string> MergedOrder(const std::vector<std::string>& stored,
                                     const std::vector<std::string>& profiles);
// The order as stored: each name followed by a NUL, at most kMaxOrderBytes (names that do
// not fit are left out and so come last on reading).
constexpr size_t kMaxOrderBytes = 16000;
std::string OrderBytes(const std::vector<std::string>& names);
std::vector<std::string> OrderNames(const std::string& bytes);

}  // namespace auto_connect
