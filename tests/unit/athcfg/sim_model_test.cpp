// The simulated adapter's behaviour: association, counters, scans, sets, pins.
#include <gtest/gtest.h>

#include "athcfg/model/sim_model.h"

namespace {

using namespace athsim;

Scenario Parse(const std::string& text) {
    Scenario s;
    std::string error;
    EXPECT_TRUE(ParseScenario(text, s, error)) << error;
    return s;
}

ActiveSettings Profile(const std::string& ssid, ProfileSecurity security, const std::string& key = "",
                       bool adhoc = false) {
    ActiveSettings a;
    a.valid = true;
    a.profileName = "P";
    a.ssid = ssid;
    a.security = security;
    a.key = key;
    a.adhoc = adhoc;
    return a;
}

AdapterState Joined(const ActiveSettings& a) {
    AdapterState st;
    st.active = a;
    st.activeSince = -kAssociateMs;
    return st;
}

TEST(ProfileSecurityTest, FromTheRecordFields) {
    EXPECT_EQ(ProfileSecurity::Open, SecurityOfProfile(0, 1, 7));
    EXPECT_EQ(ProfileSecurity::Wep, SecurityOfProfile(1, 0, 7));
    EXPECT_EQ(ProfileSecurity::Wep, SecurityOfProfile(1, 0, 3));
    EXPECT_EQ(ProfileSecurity::WpaPsk, SecurityOfProfile(1, 1, 7));
    EXPECT_EQ(ProfileSecurity::WpaEap, SecurityOfProfile(1, 1, 3));
    const std::string keys[4] = {"k1", "k2", "k3", "k4"};
    EXPECT_EQ("k3", MakeSettings("n", "s", 1, 1, 0, 7, 3, keys, "psk", 1).key);
    EXPECT_EQ("k1", MakeSettings("n", "s", 1, 1, 0, 7, 9, keys, "psk", 1).key);
    EXPECT_EQ("psk", MakeSettings("n", "s", 1, 1, 1, 7, 3, keys, "psk", 1).key);
    EXPECT_TRUE(MakeSettings("n", "s", 0, 0, 0, 0, 1, keys, "", 1).adhoc);
}

TEST(Association, SecurityMustFitAndKeysMustMatch) {
    const Scenario sc = Parse(
        "network ssid=open\nnetwork ssid=wep security=wep key=K\nnetwork ssid=psk security=wpa-psk\n"
        "network ssid=psk2 security=wpa2-psk key=secret\nnetwork ssid=eap security=wpa2\n");
    struct Case {
        const char* ssid;
        ProfileSecurity security;
        const char* key;
        int expected;
    } cases[] = {
        {"open", ProfileSecurity::Open, "", 0},    {"open", ProfileSecurity::Wep, "", -1},
        {"wep", ProfileSecurity::Wep, "K", 1},     {"wep", ProfileSecurity::Wep, "k", -1},
        {"wep", ProfileSecurity::Open, "", -1},    {"psk", ProfileSecurity::WpaPsk, "any", 2},
        {"psk", ProfileSecurity::WpaEap, "", -1},  {"psk2", ProfileSecurity::WpaPsk, "secret", 3},
        {"psk2", ProfileSecurity::WpaPsk, "Secret", -1}, {"eap", ProfileSecurity::WpaEap, "", 4},
        {"eap", ProfileSecurity::WpaPsk, "", -1},  {"missing", ProfileSecurity::Open, "", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ssid);
        EXPECT_EQ(c.expected, AssociatedNetwork(sc, Joined(Profile(c.ssid, c.security, c.key)), 0));
    }
}

TEST(Association, StrongestMatchModeRadioAndDelay) {
    const Scenario sc = Parse(
        "network ssid=dup rssi=-80\nnetwork ssid=dup rssi=-50\nnetwork ssid=dup rssi=-40 mode=adhoc\n"
        "network ssid=locked rssi=-30 security=wep\n");
    AdapterState st = Joined(Profile("dup", ProfileSecurity::Open));
    EXPECT_EQ(1, AssociatedNetwork(sc, st, 0));
    EXPECT_EQ(2, AssociatedNetwork(sc, Joined(Profile("dup", ProfileSecurity::Open, "", true)), 0));
    EXPECT_EQ(1, AssociatedNetwork(sc, Joined(Profile("", ProfileSecurity::Open)), 0));  // any open AP
    st.radioOff = true;
    EXPECT_EQ(-1, AssociatedNetwork(sc, st, 0));
    st.radioOff = false;
    ApplyActivation(sc, st, 5000, Profile("dup", ProfileSecurity::Open));
    EXPECT_EQ(-1, AssociatedNetwork(sc, st, 5000 + kAssociateMs - 1));
    EXPECT_EQ(1, AssociatedNetwork(sc, st, 5000 + kAssociateMs));
    st.active.valid = false;
    EXPECT_EQ(-1, AssociatedNetwork(sc, st, 99999));
}

TEST(Counters, GrowMonotonicallyAcrossLinkChanges) {
    const Scenario sc = Parse("network ssid=n\n");
    AdapterState st = Joined(Profile("n", ProfileSecurity::Open));
    Counters last = CountersAt(sc, st, 0);
    uint64_t total_steps = 0;
    for (int64_t t = 0; t <= 3600 * 1000; t += 250) {
        const uint8_t off[4] = {1, 0, 0, 0}, on[4] = {0, 0, 0, 0};
        if (t == 600 * 1000) {
            ASSERT_EQ(4, ApplySet(sc, st, t, kOidRadio, off, 4));
        }
        if (t == 900 * 1000) {
            ASSERT_EQ(4, ApplySet(sc, st, t, kOidRadio, on, 4));
        }
        if (t == 1200 * 1000) ApplyActivation(sc, st, t, Profile("n", ProfileSecurity::Open));
        const Counters c = CountersAt(sc, st, t);
        ASSERT_GE(c.txBytes, last.txBytes) << t;
        ASSERT_GE(c.rxBytes, last.rxBytes) << t;
        ASSERT_GE(c.txPackets, last.txPackets) << t;
        ASSERT_GE(c.rxPackets, last.rxPackets) << t;
        if (c.rxBytes > last.rxBytes) ++total_steps;
        last = c;
    }
    // An hour less the five radio-off minutes at a few kB/s.
    EXPECT_GT(last.rxBytes, 3000ull * 3300);
    EXPECT_LT(last.rxBytes, 20000ull * 3600);
    EXPECT_GT(total_steps, 10000u);
    // The radio-off stretch adds nothing.
    AdapterState off = st;
    ApplySet(sc, off, 4000 * 1000, kOidRadio, std::vector<uint8_t>{1, 0, 0, 0}.data(), 4);
    EXPECT_EQ(CountersAt(sc, off, 4000 * 1000).rxBytes, CountersAt(sc, off, 9000 * 1000).rxBytes);
    // A week on, still sane.
    EXPECT_GT(CountersAt(sc, st, 7LL * 24 * 3600 * 1000).rxBytes, last.rxBytes);
}

TEST(Sets, RadioRateScanAndRefusals) {
    const Scenario sc = Parse("scan ms=2000\nnetwork ssid=a channel=1\nnetwork ssid=b channel=13\n");
    AdapterState st;
    const uint8_t rate[4] = {0xF8, 0x2A, 0, 0};  // 11000
    EXPECT_EQ(4, ApplySet(sc, st, 0, kOidTxRate, rate, 4));
    EXPECT_EQ(11000u, st.txRate);
    EXPECT_EQ(-1, ApplySet(sc, st, 0, kOidTxRate, rate, 3));
    EXPECT_EQ(-1, ApplySet(sc, st, 0, kOidRadio, rate, 0));
    EXPECT_EQ(-1, ApplySet(sc, st, 0, 0xFF000000, rate, 4));
    EXPECT_EQ(4, ApplySet(sc, st, 100, kOidScan, rate, 4));
    EXPECT_EQ(100, st.scanStart);
    EXPECT_EQ(0u, SeenNetworks(sc, st, 100).size());
    EXPECT_EQ(1u, SeenNetworks(sc, st, 200).size());
    EXPECT_EQ(2u, SeenNetworks(sc, st, 100 + 1000).size());
    EXPECT_EQ(2u, SeenNetworks(sc, st, 100 + 2000).size());
    const uint8_t off[4] = {1, 0, 0, 0};
    EXPECT_EQ(4, ApplySet(sc, st, 5000, kOidRadio, off, 4));
    EXPECT_TRUE(SeenNetworks(sc, st, 5000).empty());
    EXPECT_EQ(4, ApplySet(sc, st, 6000, kOidScan, rate, 4));
    EXPECT_EQ(100, st.scanStart) << "no scan with the radio off";
}

TEST(Status, ModelValuesAndPinsOverThem) {
    Scenario sc = Parse(
        "adapter modes=12\nnetwork ssid=b type=b channel=1 rssi=-60\nnetwork ssid=g channel=6 rssi=-60\n"
        "network ssid=t type=turbo channel=6 rssi=-60 security=wpa\n");
    const AdapterSpec& a = sc.adapters[0];
    StatusValues v = ComputeStatus(sc, a, AdapterState(), 0);
    EXPECT_EQ(1u, v.disconnected);
    EXPECT_EQ("", v.ssid);
    EXPECT_EQ(12u, v.modes);
    EXPECT_EQ(0u, ComputeLinkQuality(sc, a, AdapterState(), 0));

    v = ComputeStatus(sc, a, Joined(Profile("b", ProfileSecurity::Open)), 0);
    EXPECT_EQ(0u, v.disconnected);
    EXPECT_EQ(11u, v.rate);
    EXPECT_EQ(2412u, v.channelWord);
    EXPECT_EQ(0u, v.security);
    EXPECT_GE(v.signal, 32u);
    EXPECT_LE(v.signal, 38u);
    v = ComputeStatus(sc, a, Joined(Profile("g", ProfileSecurity::Open)), 0);
    EXPECT_EQ(kRateKbps | 54000u, v.rate);
    EXPECT_EQ(2437u | kModeOfdm, v.channelWord);
    AdapterState turbo = Joined(Profile("t", ProfileSecurity::WpaEap));
    v = ComputeStatus(sc, a, turbo, 0);
    EXPECT_EQ(108u, v.rate);
    EXPECT_EQ(2437u | kModeOfdm | kModeSuper, v.channelWord);
    EXPECT_EQ(4u, v.security);
    turbo.txRate = 5500;
    EXPECT_EQ(5u, ComputeStatus(sc, a, turbo, 0).rate);
    turbo.txRate = 24000;
    EXPECT_EQ(kRateKbps | 24000u, ComputeStatus(sc, a, turbo, 0).rate);
    const uint32_t quality = ComputeLinkQuality(sc, a, turbo, 0);
    EXPECT_GE(quality, 60u);
    EXPECT_LE(quality, 80u);

    sc.adapters[0].pins.disconnected = 1;
    sc.adapters[0].pins.ssid = "pinned";
    sc.adapters[0].pins.frequency = 5180;
    v = ComputeStatus(sc, sc.adapters[0], turbo, 0);
    EXPECT_EQ(1u, v.disconnected);
    EXPECT_EQ("pinned", v.ssid);
    EXPECT_EQ(5180u | kModeOfdm | kModeSuper, v.channelWord);
    EXPECT_EQ(4u, v.security) << "unpinned members keep the model's values";
}

TEST(Status, AuthModeFollowsTheProfileUnlessPinned) {
    Scenario sc = Parse("adapter\n");
    AdapterState st = Joined(Profile("x", ProfileSecurity::Wep));
    EXPECT_EQ(1u, ComputeAuthMode(sc.adapters[0], st));
    st.active.authMode = 2;
    EXPECT_EQ(2u, ComputeAuthMode(sc.adapters[0], st));
    sc.adapters[0].authMode = 7;
    EXPECT_EQ(7u, ComputeAuthMode(sc.adapters[0], st));
}

TEST(StateText, RoundTripsAndRefusesGarbage) {
    AdapterState st;
    st.radioOff = true;
    st.active = Profile("ss \"id\"", ProfileSecurity::WpaPsk, "k\\ey", true);
    st.active.profileName = "My profile";
    st.active.authMode = 2;
    st.activeSince = -1000;
    st.scanStart = 123456789012LL;
    st.txRate = 54000;
    st.txBytes = 0xFFFFFFFFFFull;
    st.rxBytes = 5;
    st.txPackets = 6;
    st.rxPackets = 7;
    AdapterState back;
    ASSERT_TRUE(ParseState(SerializeState(st), back));
    EXPECT_EQ(SerializeState(st), SerializeState(back));
    EXPECT_EQ("ss \"id\"", back.active.ssid);
    EXPECT_EQ(ProfileSecurity::WpaPsk, back.active.security);
    EXPECT_EQ(0xFFFFFFFFFFull, back.txBytes);
    EXPECT_FALSE(ParseState("state radio=x", back));
    EXPECT_FALSE(ParseState("state security=9", back));
    EXPECT_FALSE(ParseState("state colour=1", back));
    EXPECT_FALSE(ParseState("other radio=1", back));
}

}  // namespace
