// The profile store against the real registry and the simulated adapter's library.
#include "tests/win/profiles/store_fixture.h"

#include <cstring>
#include <tuple>

#include "monitor/profiles/crypto/secret_cipher.h"
#include "monitor/profiles/profile_file.h"
#include "monitor/res/resource.h"

using storetest::KeyExists;
using storetest::StoreTest;
using storetest::ValueShape;

namespace {

const char kWepHome[] =
    "profile name=Home ssid=Harbor infrastructure=1 privacy=1 eapMethod=7 wpa=0 keyIsHex=0 "
    "defaultKey=1 wepKey1=abcde wepKey2=fghij wepKey3=klmno wepKey4=pqrst wepKeyBits1=40 "
    "wepKeyBits2=40 wepKeyBits3=40 wepKeyBits4=40 channelMHz=2437 wirelessMode=12 authMode=1\n";
const char kThree[] =
    "profile name=Alpha ssid=A\nprofile name=Bravo ssid=B\nprofile name=Charlie ssid=C\n"
    "select name=Charlie\n";

}  // namespace

TEST_F(StoreTest, SaveNormalisesChannelModeAndPowerSaving) {
    Open(kWepHome, "Home");
    Edit().channelMHz = 2484;
    Edit().wirelessMode = 16;
    Edit().infrastructure = 0;
    Edit().powerSave = 1;
    theApp.maskFlags[4] = 1;
    store.SaveProfile("Home");

    ACProfile* stored = Stored("Home");
    ASSERT_NE(nullptr, stored);
    EXPECT_EQ(2457, stored->channelMHz);
    EXPECT_EQ(4, stored->channelBand);
    EXPECT_EQ(28, stored->wirelessMode);
    EXPECT_EQ(0, stored->infrastructure);
    EXPECT_EQ(0, stored->powerSave);
    EXPECT_EQ(1, stored->savedFlag1);
    EXPECT_EQ(0, theApp.maskFlags[4]);
    EXPECT_TRUE(pages.events.empty());

    Edit().wirelessMode = 0;
    Edit().channelMHz = 2413;
    store.SaveProfile("Home");
    EXPECT_EQ(28, Stored("Home")->wirelessMode);
    EXPECT_EQ(2457, Stored("Home")->channelMHz);
}

TEST_F(StoreTest, SavingWithAPassphraseRewritesAllFourKeysAsHex) {
    Open(kWepHome, "Home");
    theApp.editPassphrase = "Hello";
    theApp.editTxRate = 5500;
    store.SaveProfile("Home");

    const char* expected[] = {"3472624673", "8FC0521C6A", "EBDC9CCE53", "23880ADD0A"};
    ACProfile* stored = Stored("Home");
    ASSERT_NE(nullptr, stored);
    for (ACProfile* p : {&Edit(), stored}) {
        EXPECT_EQ(1, p->keyIsHex);
        EXPECT_STREQ(expected[0], p->wepKey1.c_str());
        EXPECT_STREQ(expected[1], p->wepKey2.c_str());
        EXPECT_STREQ(expected[2], p->wepKey3.c_str());
        EXPECT_STREQ(expected[3], p->wepKey4.c_str());
    }
    std::string key = KeyPath("Home");
    EXPECT_EQ(5u, testsim::ReadDword(key, "PassphraseCodeLength"));
    EXPECT_EQ(5500u, testsim::ReadDword(key, "TxRate"));
    EXPECT_EQ(*secret::EncipherText("Hello", 40, testsim::GuidOf(0)),
              testsim::ReadString(key, "PassphraseCode"));
    EXPECT_EQ(16u, testsim::ReadString(key, "PassphraseCode").size());

    theApp.editPassphrase.clear();
    store.LoadProfileForEdit("Home");
    EXPECT_EQ("Hello", theApp.editPassphrase);
    EXPECT_EQ(5500, theApp.editTxRate);
}

TEST_F(StoreTest, EmptyPassphraseIsStoredAsLengthZeroAndNoData) {
    Open(kWepHome, "Home");
    theApp.editPassphrase = "first";
    store.SaveProfile("Home");
    theApp.editPassphrase.clear();
    store.SaveProfile("Home");

    std::string key = KeyPath("Home");
    EXPECT_EQ(0u, testsim::ReadDword(key, "PassphraseCodeLength"));
    EXPECT_EQ(std::make_pair(DWORD(REG_SZ), DWORD(0)), ValueShape(key, "PassphraseCode"));
    EXPECT_EQ("", store.ReadPassphrase("Home"));
}

TEST_F(StoreTest, CreateCopiesTheEditProfileAndItsValues) {
    Open(kWepHome, "Home");
    theApp.editPassphrase = "typed keys stay";
    theApp.editTxRate = 11000;
    theApp.maskFlags[0] = 1;
    ASSERT_EQ(1, store.CreateProfile("Office copy"));

    EXPECT_EQ((std::vector<std::string>{"Home", "Office copy"}), theApp.session.profileNames);
    EXPECT_EQ(1, theApp.session.mainConfig->selectedIndex);
    ACProfile* stored = Stored("Office copy");
    ASSERT_NE(nullptr, stored);
    EXPECT_STREQ("Harbor", stored->ssid.c_str());
    EXPECT_STREQ("abcde", stored->wepKey1.c_str());  // create keeps typed keys
    EXPECT_EQ(0, stored->keyIsHex);
    EXPECT_EQ(1, stored->savedFlag2);
    EXPECT_EQ(0, theApp.maskFlags[0]);
    EXPECT_EQ(11000u, testsim::ReadDword(KeyPath("Office copy"), "TxRate"));
    EXPECT_EQ("typed keys stay", store.ReadPassphrase("Office copy"));
}

TEST_F(StoreTest, OverlongNameIsRefusedInsteadOfCut) {
    Open(kWepHome, "Home");
    std::string longest(165, 'n');
    EXPECT_EQ(0, store.CreateProfile(longest + "x"));
    EXPECT_EQ(std::vector<std::string>{"message " + std::to_string(IDS_PROFILE_NAME_TOO_LONG)},
              pages.events);
    EXPECT_EQ(std::vector<std::string>{"Home"}, theApp.session.profileNames);
    EXPECT_EQ(nullptr, Stored(longest + "x"));
    EXPECT_FALSE(KeyExists(KeyPath(longest)));

    theApp.editTxRate = 2000;
    EXPECT_EQ(1, store.CreateProfile(longest));
    EXPECT_EQ(2000u, testsim::ReadDword(KeyPath(longest), "TxRate"));
}

TEST_F(StoreTest, OverlongPassphraseIsRefusedAndNothingIsWritten) {
    Open(kWepHome, "Home");
    theApp.editTxRate = 9000;
    theApp.editPassphrase = std::string(130, 'p');
    EXPECT_EQ(0, store.CreateProfile("New"));
    store.SaveProfile("Home");
    std::string message = "message " + std::to_string(IDS_PASSPHRASE_TOO_LONG);
    EXPECT_EQ((std::vector<std::string>{message, message, "security"}), pages.events);
    EXPECT_FALSE(KeyExists(KeyPath("New")));
    EXPECT_EQ(0xDEADBEEFu, testsim::ReadDword(KeyPath("Home"), "TxRate"));
}

TEST_F(StoreTest, FailedKeyCheckOnSaveWritesNothing) {
    Open(kWepHome, "Home");
    Edit().keyIsHex = 1;
    Edit().defaultKey = 2;
    Edit().wepKey2 = "123456789";
    Edit().ssid = "Changed";
    theApp.editTxRate = 1000;
    theApp.maskFlags[8] = 1;
    store.SaveProfile("Home");

    EXPECT_EQ((std::vector<std::string>{"message " + std::to_string(IDS_KEY_64_HEX), "security"}),
              pages.events);
    EXPECT_STREQ("Harbor", Stored("Home")->ssid.c_str());
    EXPECT_EQ(0xDEADBEEFu, testsim::ReadDword(KeyPath("Home"), "TxRate"));
    EXPECT_EQ(0, theApp.maskFlags[8]);  // a save clears them either way

    pages.events.clear();
    theApp.editPassphrase = "any";
    store.SaveProfile("Home");
    EXPECT_TRUE(pages.events.empty());
    EXPECT_STREQ("Changed", Stored("Home")->ssid.c_str());
}

TEST_F(StoreTest, DeletingAMiddleProfileShiftsTheListAndFindsTheSelectionByName) {
    Open(kThree, "Charlie");
    store.StoreTxRate("Bravo", 12000);
    store.StorePassphraseCreating("Bravo", "gone soon");
    ASSERT_TRUE(KeyExists(KeyPath("Bravo")));
    store.StoreTxRate("Charlie", 24000);

    store.DeleteProfile("Bravo");
    EXPECT_EQ((std::vector<std::string>{"Alpha", "Charlie"}), theApp.session.profileNames);
    EXPECT_EQ(1, theApp.session.mainConfig->selectedIndex);
    EXPECT_EQ(nullptr, Stored("Bravo"));
    ASSERT_NE(nullptr, Stored("Charlie"));
    EXPECT_FALSE(KeyExists(KeyPath("Bravo")));
    EXPECT_EQ(24000, store.ReadTxRate("Charlie"));

    // The edited record was Charlie's; deleting the edited profile leaves no dangling pointer.
    store.DeleteProfile("Charlie");
    EXPECT_EQ(nullptr, theApp.editProfile);
    EXPECT_EQ(std::vector<std::string>{"Alpha"}, theApp.session.profileNames);
}

// An import that cannot be stored, by the library or in the store's own values, leaves the
// stored profiles as they were: they are written back over what was half written.
TEST_F(StoreTest, AnImportThatCannotBeStoredWritesThePreviousProfilesBack) {
    using Transfer = ProfileStore::Transfer;
    // The library's writes that fail; whether new profile keys cannot be made; the outcome.
    const std::tuple<int, bool, Transfer> cases[] = {
        {1, false, Transfer::NotStored}, {0, true, Transfer::NotStored}, {2, false, Transfer::NotRestored}};
    // What the library and the registry keep.
    auto kept = [&] {
        std::string text = store.ReadPassphrase("Bravo") + " " + std::to_string(store.ReadTxRate("Bravo"));
        for (const char* name : {"Alpha", "Bravo", "Charlie", "Delta"})
            if (ACProfile* p = Stored(name)) text += std::string(" ") + name + "=" + p->ssid.c_str();
        return text;
    };
    for (auto [failingWrites, volatileRoot, result] : cases) {
        Open(kThree, "Alpha");
        if (volatileRoot) {  // a key made under a volatile one must be volatile too
            testsim::ClearProductKeys();
            for (const char* sub : {"", "Alpha", "Bravo", "Charlie"}) {
                HKEY key;
                RegCreateKeyExA(HKEY_LOCAL_MACHINE, KeyPath(sub).c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                                KEY_ALL_ACCESS, nullptr, &key, nullptr);
                RegCloseKey(key);
            }
        }
        ASSERT_TRUE(store.StorePassphrase("Bravo", "Hello") && store.StoreTxRate("Bravo", 11000));
        const std::string before = kept();
        profile_file::ReadResult file = profile_file::Read(store.ExportProfiles("pw").text, "pw");  // Bravo changed, Delta new
        file.contents.profiles.at(1).Set("SSID", "Elsewhere");
        file.contents.profiles.push_back(file.contents.profiles[0]);
        file.contents.profiles.back().Set("Name", "Delta");
        std::string error;
        AthSimFailProfileWrites(failingWrites);
        EXPECT_EQ(result, store.ImportProfiles(profile_file::Write(file.contents, "pw", {}, error), "pw", true).result);
        AthSimFailProfileWrites(0);
        if (result == Transfer::NotStored) {
            EXPECT_EQ(before, kept());
        }
        theApp.session.CloseSession();
    }
}

TEST_F(StoreTest, ValuesLiveUnderTheModel54RootOnlyWhenItExists) {
    Open(kThree, "Alpha");
    store.StorePassphraseCreating("Alpha", "p108");
    store.StoreTxRate("Alpha", 36000);
    EXPECT_EQ(36000u, testsim::ReadDword(KeyPath("Alpha"), "TxRate"));
    EXPECT_FALSE(KeyExists(std::string(storetest::kRoot54) + "Alpha"));

    testsim::SetModel54(true);
    EXPECT_EQ(0, store.ReadTxRate("Alpha"));  // the 54 root has no Alpha yet
    EXPECT_EQ("", store.ReadPassphrase("Alpha"));
    store.StorePassphraseCreating("Alpha", "p54");
    store.StoreTxRate("Alpha", 48000);
    EXPECT_EQ(48000u, testsim::ReadDword(std::string(storetest::kRoot54) + "Alpha", "TxRate"));
    EXPECT_EQ("p54", store.ReadPassphrase("Alpha"));
    EXPECT_EQ(36000u, testsim::ReadDword(KeyPath("Alpha"), "TxRate"));
}

TEST_F(StoreTest, MissingOrDamagedValuesReadAsEmpty) {
    Open(kThree, "Alpha", false);
    // No key at all: existing-key writes create nothing, reads give nothing.
    store.StorePassphrase("Bravo", "secret");
    store.StoreTxRate("Bravo", 6000);
    EXPECT_FALSE(KeyExists(KeyPath("Bravo")));
    EXPECT_EQ("", store.ReadPassphrase("Bravo"));
    EXPECT_EQ(0, store.ReadTxRate("Bravo"));

    // Text that is not the cipher's uppercase hex, or a length beyond it.
    store.StorePassphraseCreating("Alpha", "secret");
    HKEY k;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, KeyPath("Alpha").c_str(), 0,
                                           KEY_ALL_ACCESS, &k));
    RegSetValueExA(k, "PassphraseCode", 0, REG_SZ, reinterpret_cast<const BYTE*>("0a1b2c3d4e5f6a7b"), 17);
    EXPECT_EQ("", store.ReadPassphrase("Alpha"));
    std::string code = *secret::EncipherText("secret", 48, testsim::GuidOf(0));
    RegSetValueExA(k, "PassphraseCode", 0, REG_SZ, reinterpret_cast<const BYTE*>(code.c_str()),
                   DWORD(code.size() + 1));
    EXPECT_EQ("secret", store.ReadPassphrase("Alpha"));
    DWORD huge = 5000;
    RegSetValueExA(k, "PassphraseCodeLength", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&huge), 4);
    EXPECT_EQ("", store.ReadPassphrase("Alpha"));
    RegCloseKey(k);
}

TEST_F(StoreTest, ReloadGivesAFreshCopyAndClearsTheMaskFlags) {
    Open(kWepHome, "Home");
    ACProfile* mainRecord = theApp.editProfile;
    EXPECT_EQ(theApp.session.mainConfig->GetProfile("Home"), mainRecord);
    Edit().ssid = "Unsaved";
    theApp.maskFlags[2] = 1;
    store.StoreTxRate("Home", 18000);
    store.ReloadProfile("Home");
    EXPECT_NE(mainRecord, theApp.editProfile);
    EXPECT_STREQ("Harbor", Edit().ssid.c_str());
    EXPECT_EQ(0, theApp.maskFlags[2]);
    EXPECT_EQ(18000, theApp.editTxRate);
}

TEST_F(StoreTest, DefaultProfileOnAProfileLessAdapter) {
    testsim::ClearProductKeys();
    testsim::Install(testsim::Adapter(0));
    // The adapter reports only mixed b/g (supported-modes code 12 at byte 256).
    std::memset(theApp.statusRecord, 0, sizeof theApp.statusRecord);
    theApp.statusRecord[256] = 12;
    ASSERT_EQ(1, theApp.session.Discover());
    theApp.statusRecord[256] = 0;
    ACProfile* p = Stored("Default");
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(12, p->wirelessMode);
    EXPECT_STREQ("ConnectionPoint", p->ssid.c_str());
    EXPECT_EQ(1, p->defaultKey);
    EXPECT_EQ(1, p->authMode);
    EXPECT_EQ(0, theApp.session.mainConfig->selectedIndex);
    EXPECT_EQ(0u, testsim::ReadDword(KeyPath("Default"), "TxRate"));
    EXPECT_EQ(std::make_pair(DWORD(REG_SZ), DWORD(0)), ValueShape(KeyPath("Default"), "PassphraseCode"));
}
