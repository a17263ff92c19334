// Adapter discovery and the session's queries against the simulated adapter.
#include <gtest/gtest.h>

#include <cstring>

#include "athcfg/athcfg.h"
#include "monitor/adapter/oids.h"
#include "monitor/app/monitor_app.h"
#include "tests/support/sim_scenario.h"

namespace {

const char kRoot108[] = "SOFTWARE\\Halvex\\TelvaraWevo108\\";
const char kRoot54[] = "SOFTWARE\\Halvex\\TelvaraWevo54\\";

class Discovery : public ::testing::Test {
protected:
    void SetUp() override { testsim::ClearProductKeys(); }
    void TearDown() override {
        theApp.session.CloseSession();
        theApp.adapterPresent = 0;
        AthSimClear();
        testsim::ClearProductKeys();
    }
};

const char kTwoProfiles[] =
    "profile name=Home ssid=Harbor\n"
    "profile name=Office ssid=Quay\n"
    "select name=Office\n";

}  // namespace

TEST_F(Discovery, NoAdapterLeavesTheSessionClosed) {
    testsim::Install("");
    EXPECT_EQ(0, theApp.session.Discover());
    EXPECT_EQ(0, theApp.adapterPresent);
    EXPECT_EQ(nullptr, theApp.session.mainConfig);
    EXPECT_EQ(5u, theApp.session.adapterNames.size());
}

TEST_F(Discovery, OneAdapterOpensTheSessionOnIt) {
    testsim::Install(testsim::Adapter(0) + kTwoProfiles);
    ASSERT_EQ(1, theApp.session.Discover());
    EXPECT_EQ(1, theApp.adapterPresent);
    EXPECT_EQ(testsim::GuidOf(0), theApp.session.interfaceGuid);
    EXPECT_EQ("0007", theApp.session.subKey);
    EXPECT_EQ(theApp.session.adapterNames[0], theApp.session.deviceName);
    EXPECT_EQ("", theApp.session.adapterNames[1]);
    EXPECT_EQ(1, theApp.session.AdapterCount());
    EXPECT_EQ((std::vector<std::string>{"Home", "Office"}), theApp.session.profileNames);
    EXPECT_EQ("Office", theApp.session.CurrentProfileName());
}

TEST_F(Discovery, TwoAdaptersUseTheFirstAndKeepTheSecondInSlotOne) {
    testsim::Install(testsim::Adapter(0) + kTwoProfiles + testsim::Adapter(1) + kTwoProfiles);
    ASSERT_EQ(1, theApp.session.Discover());
    EXPECT_EQ(2, theApp.session.AdapterCount());
    EXPECT_EQ("0007", theApp.session.subKey);
    EXPECT_EQ("0008", theApp.session.adapterSubKeys[1]);
    EXPECT_NE("", theApp.session.adapterNames[1]);
    EXPECT_NE(theApp.session.adapterNames[0], theApp.session.adapterNames[1]);
    EXPECT_EQ(testsim::GuidOf(0), theApp.session.interfaceGuid);
}

TEST_F(Discovery, ProfileLessAdapterGetsTheDefaultProfile) {
    testsim::Install(testsim::Adapter(0));
    ASSERT_EQ(1, theApp.session.Discover());
    EXPECT_EQ(std::vector<std::string>{"Default"}, theApp.session.profileNames);

    ACProfile* p = theApp.session.mainConfig->GetProfile("Default");
    ASSERT_NE(nullptr, p);
    EXPECT_STREQ("ConnectionPoint", p->ssid.c_str());
    EXPECT_EQ(1, p->infrastructure);
    EXPECT_EQ(40, p->wepKeyBits1);
    EXPECT_STREQ("0000000000", p->wepKey4.c_str());

    std::string key = std::string(kRoot108) + "Default";
    EXPECT_EQ(0u, testsim::ReadDword(key, "PassphraseCodeLength"));
    EXPECT_EQ("", testsim::ReadString(key, "PassphraseCode"));
    EXPECT_EQ(0u, testsim::ReadDword(key, "TxRate"));

    // The profile was written through the library: a fresh read finds it.
    ACAdapterConfig fresh;
    fresh.ReadConfig(theApp.session.deviceName.c_str(), theApp.session.subKey.c_str());
    EXPECT_EQ(1, fresh.NbrProfiles());
}

TEST_F(Discovery, DefaultProfileValuesGoUnderTheModel54RootWhenItsKeyExists) {
    testsim::SetModel54(true);
    testsim::Install(testsim::Adapter(0));
    ASSERT_EQ(1, theApp.session.Discover());
    std::string key = std::string(kRoot54) + "Default";
    EXPECT_EQ(0u, testsim::ReadDword(key, "TxRate"));
    EXPECT_EQ(0xDEADBEEFu, testsim::ReadDword(std::string(kRoot108) + "Default", "TxRate"));
}

TEST_F(Discovery, ModelNumberFollowsTheModel54Key) {
    testsim::SetModel54(false);
    EXPECT_EQ(108, AdapterSession::ModelNumber());
    testsim::SetModel54(true);
    EXPECT_EQ(54, AdapterSession::ModelNumber());
}

TEST_F(Discovery, ClosingTheSessionDropsTheLibraryObjects) {
    testsim::Install(testsim::Adapter(0) + kTwoProfiles);
    ASSERT_EQ(1, theApp.session.Discover());
    ACProfile* home = theApp.session.mainConfig->GetProfile("Home");
    theApp.editProfile = home;
    theApp.session.CloseSession();
    EXPECT_EQ(nullptr, theApp.session.mainConfig);
    EXPECT_EQ(nullptr, theApp.session.enumerator);
    // The edited record belonged to the closed configuration.
    EXPECT_NE(home, theApp.editProfile);
    // A later discovery builds everything again.
    EXPECT_EQ(1, theApp.session.Discover());
    EXPECT_NE(nullptr, theApp.session.mainConfig);
}

TEST_F(Discovery, StatusRecordMembersArriveAtTheirOffsets) {
    testsim::Install(testsim::Adapter(0) + kTwoProfiles +
                     "status rate=0x8000D2F0 signal=17 channel=0x04000985 ssid=Lighthouse security=5 "
                     "netmode=1 txpackets=4001 rxpackets=4002 disconnected=0 txbytes=0x123456789 "
                     "rxbytes=77 modes=12\n");
    ASSERT_EQ(1, theApp.session.Discover());
    ASSERT_TRUE(theApp.session.ReadStatusRecord(theApp.statusRecord));

    StatusRecord r = theApp.Status();
    EXPECT_EQ(0x8000D2F0u, r.TxRateWord());
    EXPECT_EQ(17u, r.SignalLevel());
    EXPECT_EQ(0x04000985u, r.ChannelWord());
    EXPECT_EQ("Lighthouse", r.Ssid());
    EXPECT_EQ(5u, r.SecurityCode());
    EXPECT_EQ(1u, r.NetworkMode());
    EXPECT_EQ(4001u, r.PacketsSent());
    EXPECT_EQ(4002u, r.PacketsReceived());
    EXPECT_FALSE(r.Disconnected());
    EXPECT_EQ(0x123456789ull, r.BytesSent());
    EXPECT_EQ(77ull, r.BytesReceived());
    EXPECT_EQ(12u, r.SupportedModes());
    EXPECT_EQ(5, AdapterSession::ChannelIndex(theApp.Status()));  // 2437 MHz is channel 6
}

TEST_F(Discovery, ChannelIndexForFiveAndTwoPointFourGigahertz) {
    testsim::Install(testsim::Adapter(0) + kTwoProfiles + "status channel=5180\n");
    ASSERT_EQ(1, theApp.session.Discover());
    ASSERT_TRUE(theApp.session.ReadStatusRecord(theApp.statusRecord));
    EXPECT_EQ(35, AdapterSession::ChannelIndex(theApp.Status()));

    testsim::Install(testsim::Adapter(0) + kTwoProfiles + "status channel=2412\n");
    ASSERT_TRUE(theApp.session.ReadStatusRecord(theApp.statusRecord));
    EXPECT_EQ(0, AdapterSession::ChannelIndex(theApp.Status()));
}

TEST_F(Discovery, FourByteQueriesAndTheFailedStatusQuery) {
    testsim::Install(testsim::Adapter(0, "radio=off auth=2 quality=64") + kTwoProfiles);
    ASSERT_EQ(1, theApp.session.Discover());
    EXPECT_EQ(1, theApp.session.RadioState());
    EXPECT_EQ(2, theApp.session.AuthenticationMode());
    EXPECT_EQ(64, theApp.session.LinkQuality());

    ASSERT_TRUE(theApp.session.ReadStatusRecord(theApp.statusRecord));
    uint8_t before[kStatusRecordSize];
    std::memcpy(before, theApp.statusRecord, sizeof before);
    AthSimSetPresent(0, 0);
    EXPECT_FALSE(theApp.session.ReadStatusRecord(theApp.statusRecord));
    EXPECT_EQ(0, std::memcmp(before, theApp.statusRecord, sizeof before));
}

TEST_F(Discovery, ApplyCurrentProfileSendsTheStoredTxRate) {
    testsim::Install(testsim::Adapter(0) + kTwoProfiles);
    ASSERT_EQ(1, theApp.session.Discover());
    theApp.store.StorePassphraseCreating("Home", "");
    theApp.store.StoreTxRate("Home", 11000);
    AthSimClearRecorded(0);

    EXPECT_NE(0, theApp.session.ApplyCurrentProfile("Home", theApp.store.ReadTxRate("Home")));
    DWORD rate = 0;
    ASSERT_NE(0, AthSimLastRecordedValue(0, oid::kTxRate, &rate));
    EXPECT_EQ(11000u, rate);
    EXPECT_EQ("Home", theApp.session.CurrentProfileName());
}
