// The choice of the profile to join: stored records in the user's order, a scanned list and
// the profile checks give the verdicts in trying order, each with its reason.
#include "monitor/app/auto_connect/auto_connect_choice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitor/res/resource.h"

using namespace auto_connect;

namespace {

// The fields of the library's record that the checks read.
struct Record {
    std::string ssid, wepKey1, wepKey2, wepKey3, wepKey4, pskPassphrase, eapUser, eapPassword, leapUser,
        leapPassword, clientCertificate, loginName;
    int infrastructure = 1, privacy = 0, wpa = 0, eapMethod = 0, keyIsHex = 1, defaultKey = 1, wepKeyBits1 = 40;
};

// A stored profile: `kind` "open", "wep" (key 1), "psk", "peap" (WPA) or "dot1x" (802.1X
// with dynamic WEP); `key` its key, passphrase or EAP password.
Record R(const std::string& ssid, const std::string& kind = "open", const std::string& key = "", int infra = 1) {
    Record r;
    r.ssid = ssid;
    r.infrastructure = infra;
    r.privacy = kind != "open";
    r.wpa = kind == "psk" || kind == "peap";
    r.eapMethod = kind == "open" ? 0 : kind == "wep" || kind == "psk" ? 7 : 3;
    (kind == "wep" ? r.wepKey1 : kind == "psk" ? r.pskPassphrase : r.eapPassword) = key;
    r.eapUser = "ann";
    return r;
}

// A scanned row as the Site Survey decoder gives it.
survey::Row Seen(const std::string& ssid, int security, bool infrastructure = true) {
    survey::Row row;
    row.ssid = ssid;
    row.securityText = security;
    row.networkModeText = infrastructure ? IDS_INFRASTRUCTURE : IDS_AD_HOC;
    return row;
}
constexpr int kNone = IDS_SECURITY_NONE, kWep = IDS_SECURITY_WEP, kWpa = IDS_ENCRYPTION_WPA;

// "Name=finding" per verdict in trying order, with what differs as "(seen/wanted)".
std::string Verdicts(const Choice& choice) {
    std::string text;
    for (const Verdict& v : choice.verdicts) {
        const char* words[] = {"candidate", "not-in-range", "mode", "security", "wep-key", "psk", "sign-in"};
        text += (text.empty() ? "" : " ") + v.profile + "=" + words[int(v.finding)];
        if (v.finding == Finding::ModeDiffers || v.finding == Finding::SecurityDiffers)
            text += "(" + std::to_string(v.seen) + "/" + std::to_string(v.wanted) + ")";
    }
    return text + (choice.settled ? " settled" : "");
}

}  // namespace

TEST(AutoConnectChoice, VerdictsInTryingOrderWithTheirReasons) {
    struct Case {
        const char* what;
        struct Stored {
            const char* name;
            Record record;
            const char* passphrase = "";  // a WEP passphrase makes the keys
        };
        std::vector<Stored> profiles;  // in the user's order
        std::vector<survey::Row> seen;
        const char* expected;
    } cases[] = {
        {"the first in order that is in range; one before it may still be found",
         {{"Home", R("Harbor")}, {"Office", R("Tower")}, {"Cafe", R("Corner")}},
         {Seen("Corner", kNone), Seen("Tower", kNone)},
         "Home=not-in-range Office=candidate Cafe=candidate"},
        {"keys refused whether in range or not: they cannot hold the first candidate back",
         {{"Cafe", R("Corner", "wep", "12345678")},     // 64-bit hex key needs 10 digits
          {"Short", R("Lab", "psk", "seven77")},        // a pre-shared key of 7 characters
          {"NotHex", R("Lab", "psk", std::string(63, 'a') + "g")},
          {"Peap", R("Corp", "peap")},
          {"Phrase", R("Tower", "wep"), "a passphrase"}},
         {Seen("Corner", kWep), Seen("Tower", kWep)},
         "Cafe=wep-key Short=psk NotHex=psk Peap=sign-in Phrase=candidate settled"},
        {"mode and security that differ, as seen against wanted",
         {{"Party", R("Lab", "open", "", 0)}, {"Lab", R("Lab", "wep", "1A2B3C4D5E")}, {"Home", R("Harbor", "psk", "sunny-terrace")}},
         {Seen("Lab", kWpa), Seen("Harbor", kNone)},
         "Party=mode(1/0) Lab=security(2/1) Home=security(0/3)"},
        {"one of several access points with the name fits",
         {{"Home", R("Harbor", "psk", "sunny-terrace")}},
         {Seen("Harbor", kNone), Seen("Harbor", kNone, false), Seen("Harbor", kWpa)},
         "Home=candidate settled"},
        {"802.1X joins what shows as WEP, WPA with 802.1X what shows as WPA",
         {{"Dot1x", R("Corp", "dot1x", "pw")}, {"Wpa", R("Corp2", "peap", "pw")}},
         {Seen("Corp2", kWpa), Seen("Corp", kWep)},
         "Dot1x=candidate Wpa=candidate settled"},
        {"an empty SSID joins any open network of its mode, after every named profile",
         {{"Anywhere", R("")}, {"Home", R("Harbor")}, {"Adhoc", R("", "open", "", 0)}},
         {Seen("Cafe", kNone), Seen("Secure", kWpa)},
         "Home=not-in-range Anywhere=candidate Adhoc=not-in-range"},
        {"nothing scanned", {{"Home", R("Harbor")}}, {}, "Home=not-in-range"},
    };
    for (const Case& c : cases) {
        std::vector<Profile> profiles;
        for (const auto& p : c.profiles) profiles.push_back(ProfileOf(p.record, p.name, p.passphrase));
        EXPECT_EQ(c.expected, Verdicts(Choose(profiles, NetworksOf(c.seen)))) << c.what;
    }
}

TEST(AutoConnectOrder, StoredOrderFollowsTheProfilesAndReadsBack) {
    // Deleted names drop out, new ones come last in the library's order, a repeat counts once.
    EXPECT_EQ((std::vector<std::string>{"Office", "Home", "Cafe"}),
              MergedOrder({"Office", "Gone", "Home", "Office"}, {"Home", "Cafe", "Office"}));
    std::vector<std::string> names = {"Home", "My Office", "R&D\t2"};
    EXPECT_EQ(names, OrderNames(OrderBytes(names)));
    EXPECT_EQ((std::vector<std::string>{"Home"}), OrderNames(std::string("Home\0Cut", 8)));
    EXPECT_EQ(160u, OrderNames(OrderBytes(std::vector<std::string>(200, std::string(99, 'n')))).size());  // the bound
}
