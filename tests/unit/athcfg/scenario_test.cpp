// The scenario text: every statement's values, defaults, and refusals with line numbers.
#include <gtest/gtest.h>

#include "athcfg/model/scenario.h"

namespace {

using namespace athsim;

Scenario Parse(const std::string& text) {
    Scenario s;
    std::string error;
    EXPECT_TRUE(ParseScenario(text, s, error)) << error;
    return s;
}

std::string ErrorOf(const std::string& text) {
    Scenario s;
    std::string error;
    EXPECT_FALSE(ParseScenario(text, s, error)) << text;
    return error;
}

TEST(ScenarioParse, ReadsAdaptersPinsProfilesAndNetworks) {
    const Scenario s = Parse(
        "# comment\n"
        "scan ms=2500\r\n"
        "adapter guid={11111111-2222-3333-4444-55555555AAAA} subkey=0012 desc=\"Card \\\"one\\\"\" "
        "present=no radio=off modes=12 auth=2 quality=77 interface=\"eth0 card\"  # trailing comment\n"
        "status rate=0x80000000 signal=31 channel=2437 freq=2412 flags=0x05000000 ssid=\"A B\"\n"
        "status security=5 netmode=1 txpackets=1 rxpackets=2 txbytes=0x100000000 rxbytes=7 disconnected=0 modes=28\n"
        "profile name=\"My Home\" ssid=Net privacy=1\n"
        "select name=\"My Home\"\n"
        "raw list=\"01 02\"\nraw list=03 vendor=FF\n"
        "\n"
        "network ssid=N1 bssid=0A:0b:0C:0D:0E:0F channel=11 rssi=-80 mode=adhoc security=wpa2-psk key=k "
        "type=turbo xr=yes hidden=1\n"
        "network ssid=N5 channel=36\n");
    EXPECT_EQ(2500u, s.scanMs);
    ASSERT_EQ(1u, s.adapters.size());
    const AdapterSpec& a = s.adapters[0];
    EXPECT_EQ("{11111111-2222-3333-4444-55555555AAAA}", a.guid);
    EXPECT_EQ("0012", a.subKey);
    EXPECT_EQ("Card \"one\"", a.description);
    EXPECT_EQ("eth0 card", a.tiedInterface);
    EXPECT_FALSE(a.present);
    EXPECT_TRUE(a.radioOff);
    EXPECT_EQ(12u, a.modes);
    EXPECT_EQ(2u, a.authMode.value());
    EXPECT_EQ(77u, a.linkQuality.value());
    EXPECT_EQ(0x80000000u, a.pins.rate.value());
    EXPECT_EQ(31u, a.pins.signal.value());
    EXPECT_EQ(2437u, a.pins.channelWord.value());
    EXPECT_EQ(2412u, a.pins.frequency.value());
    EXPECT_EQ(0x05000000u, a.pins.modeFlags.value());
    EXPECT_EQ("A B", a.pins.ssid.value());
    EXPECT_EQ(5u, a.pins.security.value());
    EXPECT_EQ(1u, a.pins.netMode.value());
    EXPECT_EQ(1u, a.pins.txPackets.value());
    EXPECT_EQ(2u, a.pins.rxPackets.value());
    EXPECT_EQ(0x100000000ull, a.pins.txBytes.value());
    EXPECT_EQ(7u, a.pins.rxBytes.value());
    EXPECT_EQ(0u, a.pins.disconnected.value());
    EXPECT_EQ(28u, a.pins.modes.value());
    ASSERT_EQ(1u, a.profiles.size());
    EXPECT_EQ("Net", a.profiles[0].Get("ssid"));
    EXPECT_EQ("", a.profiles[0].Get("wpa"));
    EXPECT_EQ("My Home", a.selected);
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3}), a.rawList.value());
    EXPECT_EQ((std::vector<uint8_t>{0xFF}), a.rawVendor.value());

    ASSERT_EQ(2u, s.networks.size());
    const Network& n = s.networks[0];
    EXPECT_EQ("N1", n.ssid);
    EXPECT_EQ((std::vector<uint8_t>{0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F}), std::vector<uint8_t>(n.bssid, n.bssid + 6));
    EXPECT_EQ(11, n.channel);
    EXPECT_EQ(-80, n.rssi);
    EXPECT_TRUE(n.adhoc);
    EXPECT_EQ(Security::Wpa2Psk, n.security);
    EXPECT_EQ("k", n.key);
    EXPECT_EQ(Phy::Turbo, n.phy);
    EXPECT_TRUE(n.xr);
    EXPECT_TRUE(n.hidden);
    EXPECT_EQ(Phy::A, s.networks[1].phy);
}

TEST(ScenarioParse, DefaultsGiveDistinctAdaptersAndBssids) {
    const Scenario s = Parse("adapters count=3\nnetwork ssid=a\nnetwork ssid=b\n");
    ASSERT_EQ(3u, s.adapters.size());
    EXPECT_EQ("{A7C3E1D0-5B2F-4C8E-9D61-000000000001}", s.adapters[0].guid);
    EXPECT_EQ("{A7C3E1D0-5B2F-4C8E-9D61-000000000003}", s.adapters[2].guid);
    EXPECT_EQ("0007", s.adapters[0].subKey);
    EXPECT_EQ("0009", s.adapters[2].subKey);
    EXPECT_TRUE(s.adapters[1].present);
    EXPECT_FALSE(s.adapters[1].radioOff);
    EXPECT_EQ(28u, s.adapters[1].modes);
    EXPECT_FALSE(s.adapters[1].pins.rate.has_value());
    EXPECT_EQ("", s.adapters[1].tiedInterface);
    EXPECT_EQ(3000u, s.scanMs);
    EXPECT_NE(s.networks[0].bssid[5], s.networks[1].bssid[5]);
    EXPECT_EQ(6, s.networks[0].channel);
    EXPECT_EQ(Security::Open, s.networks[0].security);
    EXPECT_TRUE(Parse("").adapters.empty());
}

TEST(ScenarioParse, RefusesBadInputWithTheLineNumber) {
    EXPECT_EQ("line 2: unknown keyword 'adaptor'", ErrorOf("\nadaptor\n"));
    EXPECT_EQ("line 1: 'status' needs an 'adapter' line before it", ErrorOf("status rate=1\n"));
    EXPECT_EQ("line 2: unknown status member 'speed'", ErrorOf("adapter\nstatus speed=1\n"));
    EXPECT_EQ("line 2: bad status rate '0x1FFFFFFFF'", ErrorOf("adapter\nstatus rate=0x1FFFFFFFF\n"));
    EXPECT_EQ("line 1: bad guid '{1234}'", ErrorOf("adapter guid={1234}\n"));
    EXPECT_EQ("line 1: bad subkey '00a7'", ErrorOf("adapter subkey=00a7\n"));
    EXPECT_EQ("two adapters share subkey 0007", ErrorOf("adapter\nadapter subkey=0007\n"));
    EXPECT_EQ("line 1: network needs an ssid", ErrorOf("network channel=1\n"));
    EXPECT_EQ("line 1: ssid must be 1 to 32 characters", ErrorOf("network ssid=" + std::string(33, 'x') + "\n"));
    EXPECT_EQ("line 1: bad channel '15'", ErrorOf("network ssid=a channel=15\n"));
    EXPECT_EQ("line 1: type a goes with 5 GHz channels only", ErrorOf("network ssid=a type=a\n"));
    EXPECT_EQ("line 1: bad rssi '5'", ErrorOf("network ssid=a rssi=5\n"));
    EXPECT_EQ("line 1: bad bssid '00:11:22:33:44'", ErrorOf("network ssid=a bssid=00:11:22:33:44\n"));
    EXPECT_EQ("line 1: bad security 'wpa3'", ErrorOf("network ssid=a security=wpa3\n"));
    EXPECT_EQ("line 1: unterminated quoted value", ErrorOf("network ssid=\"abc\n"));
    EXPECT_EQ("line 1: expected name=value", ErrorOf("network ssid\n"));
    EXPECT_EQ("line 1: quote inside an unquoted value", ErrorOf("network ssid=a\"b\n"));
    EXPECT_EQ("line 2: bad hex in raw list", ErrorOf("adapter\nraw list=0G\n"));
    EXPECT_EQ("line 2: bad hex in raw list", ErrorOf("adapter\nraw list=012\n"));
    EXPECT_EQ("line 2: profile needs a name", ErrorOf("adapter\nprofile ssid=x\n"));
    EXPECT_EQ("line 3: profile 'p' defined twice", ErrorOf("adapter\nprofile name=p\nprofile name=p\n"));
    EXPECT_EQ("selected profile 'q' is not defined", ErrorOf("adapter\nprofile name=p\nselect name=q\n"));
    EXPECT_EQ("line 2: fewer adapters than already defined", ErrorOf("adapters count=2\nadapters count=1\n"));
    EXPECT_EQ("line 1: bad adapter count", ErrorOf("adapters count=9\n"));
    EXPECT_EQ("line 1: bad interface ''", ErrorOf("adapter interface=\"\"\n"));
    EXPECT_EQ("line 1: bad interface '" + std::string(129, 'e') + "'",
              ErrorOf("adapter interface=" + std::string(129, 'e') + "\n"));
}

TEST(ScenarioParse, EnforcesItsLimits) {
    std::string many;
    for (int i = 0; i < kMaxNetworks; ++i) many += "network ssid=n" + std::to_string(i) + "\n";
    EXPECT_EQ(static_cast<size_t>(kMaxNetworks), Parse(many).networks.size());
    EXPECT_EQ("line 65: too many networks", ErrorOf(many + "network ssid=x\n"));
    EXPECT_EQ("line 10: too many adapters",
              ErrorOf(std::string("adapters count=8\n") + std::string(8, '\n') + "adapter\n"));
    const std::string half(2 * 15000, 'A');
    EXPECT_EQ(kMaxRawBytes, Parse("adapter\nraw list=" + half + "\nraw list=" + half + "\n").adapters[0].rawList->size());
    EXPECT_EQ("line 4: raw list longer than 30000 bytes",
              ErrorOf("adapter\nraw list=" + half + "\nraw list=" + half + "\nraw list=00\n"));
}

TEST(ScenarioText, NumbersHexAndQuotingRoundTrip) {
    int64_t v = 0;
    EXPECT_TRUE(ParseNumber("0x7fffffffffffffff", v));
    EXPECT_EQ(INT64_MAX, v);
    EXPECT_FALSE(ParseNumber("0x8000000000000000", v));
    EXPECT_TRUE(ParseNumber("-42", v));
    EXPECT_EQ(-42, v);
    EXPECT_FALSE(ParseNumber("", v));
    EXPECT_FALSE(ParseNumber("-", v));
    EXPECT_FALSE(ParseNumber("0x", v));
    EXPECT_FALSE(ParseNumber("12a", v));

    Line line;
    std::string error;
    const std::string tricky = "a \"quoted\" back\\slash";
    ASSERT_TRUE(SplitLine("kw x=" + Quote(tricky) + " y=\"\"", line, error)) << error;
    ASSERT_EQ(2u, line.attrs.size());
    EXPECT_EQ(tricky, line.attrs[0].second);
    EXPECT_EQ("", line.attrs[1].second);
    EXPECT_FALSE(SplitLine("kw x=\"a\"b", line, error));
    EXPECT_FALSE(SplitLine("kw x=\"a\\n\"", line, error));
}

}  // namespace
