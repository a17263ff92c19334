// Applying a profile: what reaches the library, the registry and the driver.
#include "tests/win/profiles/store_fixture.h"

#include "monitor/adapter/oids.h"
#include "monitor/res/resource.h"

using storetest::StoreTest;

namespace {

const char kProfiles[] =
    "profile name=Open ssid=CafeCorner infrastructure=1 privacy=0 eapMethod=0 channelMHz=2412 "
    "wirelessMode=12 authMode=1 keyIsHex=1 defaultKey=1 wepKeyBits1=40 wepKeyBits2=40 "
    "wepKeyBits3=40 wepKeyBits4=40 leapPasswordBits=3 eapPasswordBits=5\n"
    "profile name=Wep ssid=Library infrastructure=1 privacy=1 eapMethod=7 wpa=0 keyIsHex=1 "
    "defaultKey=3 wepKey1=0000000000 wepKey2=0000000000 wepKey3=0000000000 wepKey4=0000000000 "
    "wepKeyBits1=104 wepKeyBits2=104 wepKeyBits3=104 wepKeyBits4=104\n"
    "select name=Wep\n";

// The tx rate sets the driver received, oldest first.
std::vector<DWORD> RateSets() {
    std::vector<DWORD> rates;
    for (int i = 0; i < AthSimRecordedCount(0); ++i) {
        DWORD oid = 0, length = 0, value = 0;
        if (AthSimRecordedSet(0, i, &oid, &value, sizeof value, &length) && oid == oid::kTxRate)
            rates.push_back(value);
    }
    return rates;
}

std::string Selected() {
    return testsim::ReadString("SYSTEM\\CurrentControlSet\\Control\\Class\\"
                               "{4D36E972-E325-11CE-BFC1-08002BE10318}\\0007\\Profiles",
                               "Selected");
}

// What the driver received, oldest first: "rate N" for a tx rate set, "activate NAME" for a
// profile activation.
std::vector<std::string> DriverEvents() {
    std::vector<std::string> events;
    for (int i = 0; i < AthSimRecordedCount(0); ++i) {
        DWORD oid = 0, length = 0;
        char data[17] = {};
        if (!AthSimRecordedSet(0, i, &oid, data, 16, &length)) continue;
        if (oid == kAthSimActivation)
            events.push_back("activate " + std::string(data, length < 16 ? length : 16));
        else if (oid == oid::kTxRate)
            events.push_back("rate " + std::to_string(*reinterpret_cast<DWORD*>(data)));
    }
    return events;
}

}  // namespace

TEST_F(StoreTest, ApplySelectsSendsTheRateThenActivates) {
    Open(kProfiles, "Open");
    theApp.editTxRate = 11000;
    AthSimClearRecorded(0);
    store.ApplyProfile("Open");
    EXPECT_EQ((std::vector<std::string>{"activate Open", "rate 11000", "activate Open"}), DriverEvents());
}

TEST_F(StoreTest, ApplySendsTheEditRateMakesTheProfileCurrentAndShowsStatus) {
    Open(kProfiles, "Open");
    theApp.editTxRate = 11000;
    theApp.maskFlags[5] = 1;
    theApp.rememberedSubTab = 1;
    store.ApplyProfile("Open");

    EXPECT_EQ(std::vector<DWORD>{11000}, RateSets());
    EXPECT_EQ("Open", theApp.session.CurrentProfileName());
    EXPECT_EQ("Open", Selected());
    EXPECT_EQ(11000u, testsim::ReadDword(KeyPath("Open"), "TxRate"));
    EXPECT_EQ(std::vector<std::string>{"status"}, pages.events);
    EXPECT_EQ(0, theApp.rememberedSubTab);
    EXPECT_EQ(0, theApp.maskFlags[5]);

    theApp.editTxRate = 0;  // Auto
    store.ApplyProfile("Open");
    EXPECT_EQ((std::vector<DWORD>{11000, 0}), RateSets());
}

TEST_F(StoreTest, ApplyStoresPasswordBitsWhereSaveLeavesThem) {
    Open(kProfiles, "Open");
    Edit().leapPassword = "leap-pw";
    Edit().eapPassword = "twelve chars";
    store.SaveProfile("Open");
    EXPECT_EQ(3, Stored("Open")->leapPasswordBits);
    EXPECT_EQ(5, Stored("Open")->eapPasswordBits);

    store.ApplyProfile("Open");
    EXPECT_EQ(56, Stored("Open")->leapPasswordBits);
    EXPECT_EQ(96, Stored("Open")->eapPasswordBits);
}

TEST_F(StoreTest, ApplyWithAPassphraseAnd128BitKeysTransmitsWithKey1) {
    Open(kProfiles, "Wep");
    theApp.editPassphrase = "Hello";
    store.ApplyProfile("Wep");
    ACProfile* stored = Stored("Wep");
    ASSERT_NE(nullptr, stored);
    EXPECT_EQ(1, stored->defaultKey);
    EXPECT_STREQ("8808850624936C235594C5ED8F", stored->wepKey4.c_str());
    EXPECT_EQ(5u, testsim::ReadDword(KeyPath("Wep"), "PassphraseCodeLength"));
    EXPECT_EQ(std::vector<std::string>{"status"}, pages.events);
}

TEST_F(StoreTest, FailedChecksStopTheApplyBeforeAnythingIsWritten) {
    Open(kProfiles, "Wep");
    Edit().wepKey3 = "short";
    Edit().ssid = "Changed";
    theApp.editTxRate = 54000;
    theApp.maskFlags[1] = 1;
    store.ApplyProfile("Wep");
    EXPECT_EQ((std::vector<std::string>{"message " + std::to_string(IDS_KEY_128_HEX), "security"}),
              pages.events);
    EXPECT_TRUE(RateSets().empty());
    EXPECT_STREQ("Library", Stored("Wep")->ssid.c_str());
    EXPECT_EQ(0xDEADBEEFu, testsim::ReadDword(KeyPath("Wep"), "TxRate"));
    EXPECT_EQ(1, theApp.maskFlags[1]);  // only a successful apply clears them
    // The in-memory record has received the copy all the same.
    EXPECT_STREQ("Changed", theApp.session.mainConfig->GetProfile("Wep")->ssid.c_str());

    // TTLS without a password: no message, just the Security sub-tab.
    pages.events.clear();
    Edit().eapMethod = 5;
    Edit().wpa = 1;
    Edit().eapUser = "user";
    store.ApplyProfile("Wep");
    EXPECT_EQ(std::vector<std::string>{"security"}, pages.events);

    // TLS without a certificate can be saved but not applied.
    pages.events.clear();
    Edit().eapMethod = 4;
    Edit().loginName = "user";
    store.SaveProfile("Wep");
    EXPECT_TRUE(pages.events.empty());
    store.ApplyProfile("Wep");
    EXPECT_EQ((std::vector<std::string>{"message " + std::to_string(IDS_NO_CERTIFICATES), "security"}),
              pages.events);

    // A 64-character key with a non-hex digit passes save and fails apply.
    pages.events.clear();
    Edit().eapMethod = 7;
    Edit().pskPassphrase = (std::string(63, 'a') + "g").c_str();
    store.SaveProfile("Wep");
    EXPECT_TRUE(pages.events.empty());
    store.ApplyProfile("Wep");
    EXPECT_EQ((std::vector<std::string>{"message " + std::to_string(IDS_PSK_NOT_HEX), "security"}),
              pages.events);
    EXPECT_TRUE(RateSets().empty());
    EXPECT_EQ("Wep", Selected());
}
