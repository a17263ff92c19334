// The library's enumeration, profile storage and helper classes against the
// registry, with adapters made by the simulated adapter's scenario installer.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>
#include <string>

#include "athcfg/athcfg.h"
#include "sim_support.h"
#include "tests/support/program_dir.h"

namespace {

const char kClassKey[] = "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}";

std::string ClassSubKey(const char* sub) { return std::string(kClassKey) + "\\" + sub; }

class LibraryTest : public ::testing::Test {
protected:
    void TearDown() override { AthSimClear(); }
};

TEST_F(LibraryTest, EnumeratesNoneOneAndTwoAdaptersInSubkeyOrder) {
    simtest::Install("scan ms=1000\n");
    ACEnumNics none;
    none.GetAllAtherosAdapters();
    EXPECT_EQ(0, none.NbrNics());

    simtest::Install("adapter\n");
    ACEnumNics one;
    one.GetAllAtherosAdapters();
    ASSERT_EQ(1, one.NbrNics());
    EXPECT_STREQ(simtest::DefaultDevice(0).c_str(), one.Nics.GetAt(0));
    EXPECT_STREQ("0007", one.NicSubKeys.GetAt(0));

    simtest::Install(
        "adapter subkey=0012 guid={11111111-2222-3333-4444-555555555555}\n"
        "adapter subkey=0009 guid={AAAAAAAA-2222-3333-4444-555555555555} desc=\"Second card\"\n");
    ACEnumNics two;
    two.GetAllAtherosAdapters();
    ASSERT_EQ(2, two.NbrNics());
    EXPECT_STREQ("\\DEVICE\\{AAAAAAAA-2222-3333-4444-555555555555}", two.Nics.GetAt(0));
    EXPECT_STREQ("0009", two.NicSubKeys.GetAt(0));
    EXPECT_STREQ("\\DEVICE\\{11111111-2222-3333-4444-555555555555}", two.Nics.GetAt(1));
    EXPECT_STREQ("0012", two.NicSubKeys.GetAt(1));
    EXPECT_EQ("Second card", simtest::RegString(ClassSubKey("0009"), "DriverDesc"));
    EXPECT_EQ("1", simtest::RegString(ClassSubKey("0009"), "radioEnable"));
    // The previous scenario's adapter is gone.
    EXPECT_EQ("<no key>", simtest::RegString(ClassSubKey("0007"), "ComponentId"));
}

TEST_F(LibraryTest, AnAdapterTiedToAnInterfaceIsNamedByItAndAnswersToBothNames) {
    simtest::Install(
        "adapter interface=\"Wired Card 7\"\nstatus ssid=Tied\n"
        "adapter subkey=0008\nstatus ssid=Plain\n");
    ACEnumNics nics;
    nics.GetAllAtherosAdapters();
    ASSERT_EQ(2, nics.NbrNics());
    EXPECT_STREQ("Wired Card 7", nics.Nics.GetAt(0));
    EXPECT_STREQ(simtest::DefaultDevice(1).c_str(), nics.Nics.GetAt(1));
    for (const std::string& name : {std::string("Wired Card 7"), simtest::DefaultDevice(0)})
        EXPECT_EQ("Tied", simtest::Text(simtest::Query(name, 0xFF100004, 280), 154, 34)) << name;
    // Only the whole description names it.
    EXPECT_TRUE(simtest::Query("Wired Card", 0xFF100004, 280).empty());
}

TEST_F(LibraryTest, EnumerationSkipsOtherVendorsAndInstallRefusesTheirSubkey) {
    HKEY k;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, ClassSubKey("0003").c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &k, nullptr));
    const char other[] = "PCI\\VEN_8086&DEV_1229";
    RegSetValueExA(k, "ComponentId", 0, REG_SZ, reinterpret_cast<const BYTE*>(other), sizeof other);
    RegSetValueExA(k, "NetCfgInstanceId", 0, REG_SZ, reinterpret_cast<const BYTE*>("{X}"), 4);
    RegCloseKey(k);

    // Upper-case vendor text still counts as ours.
    simtest::Install("adapter subkey=0004\n");
    HKEY ours;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, ClassSubKey("0004").c_str(), 0, KEY_ALL_ACCESS, &ours));
    const char upper[] = "PCI\\VEN_168C&DEV_001A";
    RegSetValueExA(ours, "ComponentId", 0, REG_SZ, reinterpret_cast<const BYTE*>(upper), sizeof upper);
    RegCloseKey(ours);

    ACEnumNics nics;
    nics.GetAllAtherosAdapters();
    ASSERT_EQ(1, nics.NbrNics());
    EXPECT_STREQ("0004", nics.NicSubKeys.GetAt(0));

    char error[256] = "";
    EXPECT_EQ(0, AthSimInstallScenario("adapter subkey=0003\n", error, sizeof error));
    EXPECT_NE(nullptr, std::strstr(error, "0003")) << error;
    EXPECT_EQ(std::string(other), simtest::RegString(ClassSubKey("0003"), "ComponentId"));

    RegDeleteKeyA(HKEY_LOCAL_MACHINE, ClassSubKey("0003").c_str());
}

TEST_F(LibraryTest, BadScenarioIsRefusedWithItsLineAndChangesNothing) {
    simtest::Install("adapter\n");
    char error[256] = "";
    EXPECT_EQ(0, AthSimInstallScenario("adapter\nnetwork ssid=x channel=20\n", error, sizeof error));
    EXPECT_STREQ("line 2: bad channel '20'", error);
    EXPECT_EQ(0, AthSimInstallScenario("adapter\nprofile name=P bogusField=1\n", error, sizeof error));
    EXPECT_STREQ("unknown profile field 'bogusField'", error);
    ACEnumNics nics;
    nics.GetAllAtherosAdapters();
    EXPECT_EQ(1, nics.NbrNics());
}

TEST_F(LibraryTest, PresenceTogglesTheAdapterAndKeepsItsProfiles) {
    simtest::Install("adapter\nprofile name=Kept ssid=KeptNet\nselect name=Kept\n");
    const std::string device = simtest::DefaultDevice(0);
    ASSERT_EQ(1, AthSimSetPresent(0, 0));
    ACEnumNics gone;
    gone.GetAllAtherosAdapters();
    EXPECT_EQ(0, gone.NbrNics());
    EXPECT_TRUE(simtest::Query(device, 0xFF100004, 280).empty());
    ACAdapterConfig absent;
    EXPECT_EQ(0, absent.ReadConfig(device.c_str(), "0007"));

    ASSERT_EQ(1, AthSimSetPresent(0, 1));
    ACEnumNics back;
    back.GetAllAtherosAdapters();
    ASSERT_EQ(1, back.NbrNics());
    EXPECT_EQ(280u, simtest::Query(device, 0xFF100004, 280).size());
    ACAdapterConfig config;
    ASSERT_EQ(1, config.ReadConfig(device.c_str(), "0007"));
    ASSERT_EQ(1, config.NbrProfiles());
    EXPECT_STREQ("KeptNet", config.GetCurrentProfile()->ssid.c_str());
    EXPECT_EQ(0, AthSimSetPresent(3, 0));  // no such adapter
}

TEST_F(LibraryTest, AdapterAbsentAtInstallAppearsLater) {
    simtest::Install("adapter present=no\nprofile name=Later ssid=L\n");
    ACEnumNics nics;
    nics.GetAllAtherosAdapters();
    EXPECT_EQ(0, nics.NbrNics());
    ASSERT_EQ(1, AthSimSetPresent(0, 1));
    nics.GetAllAtherosAdapters();
    ASSERT_EQ(1, nics.NbrNics());
    ACAdapterConfig config;
    ASSERT_EQ(1, config.ReadConfig(nics.Nics.GetAt(0), nics.NicSubKeys.GetAt(0)));
    EXPECT_EQ(0, config.GetProfileIndex("Later"));
}

// Distinct values for every field, so a swapped or dropped field shows.
void FillEveryField(ACProfile& p) {
    p.name = "Office";
    p.ssid = "OfficeNet";
    p.defaultUserName = "jdoe";
    p.infrastructure = 1;
    p.powerSave = 2;
    p.privacy = 3;
    p.ieee8021x = 4;
    p.keyIsHex = 5;
    p.defaultKey = 6;
    p.wepKey1 = "k1";
    p.wepKey2 = "k2";
    p.wepKey3 = "k3";
    p.wepKey4 = "k4";
    p.wepKeyBits1 = 7;
    p.wepKeyBits2 = 8;
    p.wepKeyBits3 = 9;
    p.wepKeyBits4 = 10;
    p.pskPassphrase = "psk phrase";
    p.pskBits = 11;
    p.eapMethod = 12;
    p.leapUser = "lu";
    p.leapPassword = "lp";
    p.leapPasswordBits = 13;
    p.reservedA = 14;
    p.leapDomain = "ld";
    p.reservedB = 15;
    p.clientCertificate = "cc";
    p.rootCertificate = "rc";
    p.serverDomainName = "sd";
    p.loginName = "ln";
    p.wpa = 16;
    p.eapUser = "eu";
    p.eapPassword = "ep";
    p.eapPasswordBits = 17;
    p.savedFlag1 = 18;
    p.savedFlag2 = 19;
    p.wirelessMode = 20;
    p.channelBand = 21;
    p.channelMHz = 2472;
    p.authMode = -2;
}

void ExpectEveryField(const ACProfile& p) {
    EXPECT_STREQ("Office", p.name.c_str());
    EXPECT_STREQ("OfficeNet", p.ssid.c_str());
    EXPECT_STREQ("jdoe", p.defaultUserName.c_str());
    EXPECT_EQ(1, p.infrastructure);
    EXPECT_EQ(2, p.powerSave);
    EXPECT_EQ(3, p.privacy);
    EXPECT_EQ(4, p.ieee8021x);
    EXPECT_EQ(5, p.keyIsHex);
    EXPECT_EQ(6, p.defaultKey);
    EXPECT_STREQ("k1", p.wepKey1.c_str());
    EXPECT_STREQ("k2", p.wepKey2.c_str());
    EXPECT_STREQ("k3", p.wepKey3.c_str());
    EXPECT_STREQ("k4", p.wepKey4.c_str());
    EXPECT_EQ(7, p.wepKeyBits1);
    EXPECT_EQ(8, p.wepKeyBits2);
    EXPECT_EQ(9, p.wepKeyBits3);
    EXPECT_EQ(10, p.wepKeyBits4);
    EXPECT_STREQ("psk phrase", p.pskPassphrase.c_str());
    EXPECT_EQ(11, p.pskBits);
    EXPECT_EQ(12, p.eapMethod);
    EXPECT_STREQ("lu", p.leapUser.c_str());
    EXPECT_STREQ("lp", p.leapPassword.c_str());
    EXPECT_EQ(13, p.leapPasswordBits);
    EXPECT_EQ(14, p.reservedA);
    EXPECT_STREQ("ld", p.leapDomain.c_str());
    EXPECT_EQ(15, p.reservedB);
    EXPECT_STREQ("cc", p.clientCertificate.c_str());
    EXPECT_STREQ("rc", p.rootCertificate.c_str());
    EXPECT_STREQ("sd", p.serverDomainName.c_str());
    EXPECT_STREQ("ln", p.loginName.c_str());
    EXPECT_EQ(16, p.wpa);
    EXPECT_STREQ("eu", p.eapUser.c_str());
    EXPECT_STREQ("ep", p.eapPassword.c_str());
    EXPECT_EQ(17, p.eapPasswordBits);
    EXPECT_EQ(18, p.savedFlag1);
    EXPECT_EQ(19, p.savedFlag2);
    EXPECT_EQ(20, p.wirelessMode);
    EXPECT_EQ(21, p.channelBand);
    EXPECT_EQ(2472, p.channelMHz);
    EXPECT_EQ(-2, p.authMode);
}

TEST_F(LibraryTest, ProfilesRoundTripEveryFieldAndTheSelection) {
    simtest::Install("adapter\n");
    const std::string device = simtest::DefaultDevice(0);
    ACAdapterConfig config;
    ASSERT_EQ(1, config.ReadConfig(device.c_str(), "0007"));
    EXPECT_EQ(0, config.NbrProfiles());
    EXPECT_EQ(nullptr, config.GetCurrentProfile());

    ACProfile* first = new ACProfile;
    first->name = "Default";
    config.profiles.Add(first);
    ACProfile* office = new ACProfile;
    FillEveryField(*office);
    config.profiles.Add(office);
    config.selectedIndex = config.GetProfileIndex("Office");
    ASSERT_EQ(1, config.WriteConfig(0));
    EXPECT_STREQ("Office", config.selectedName.c_str());

    ACAdapterConfig reread;
    ASSERT_EQ(1, reread.ReadConfig(device.c_str(), "0007"));
    ASSERT_EQ(2, reread.NbrProfiles());
    ACStringArray names;
    reread.GetProfileArray(names);
    ASSERT_EQ(2, names.GetSize());
    EXPECT_STREQ("Default", names.GetAt(0));
    EXPECT_STREQ("Office", names.GetAt(1));
    EXPECT_EQ(1, reread.selectedIndex);
    EXPECT_STREQ("Office", reread.selectedName.c_str());
    ASSERT_NE(nullptr, reread.GetCurrentProfile());
    ExpectEveryField(*reread.GetCurrentProfile());
    EXPECT_EQ(nullptr, reread.GetProfile("office"));  // names compare case-sensitively
    EXPECT_EQ(-1, reread.GetProfileIndex("nope"));

    // Removing shortens the stored list; a stale selection falls back to the first profile.
    reread.profiles.RemoveAt(1);
    reread.selectedIndex = reread.GetProfileIndex(reread.selectedName.c_str());
    EXPECT_EQ(-1, reread.selectedIndex);
    ASSERT_EQ(1, reread.WriteConfig(0));
    ACAdapterConfig third;
    ASSERT_EQ(1, third.ReadConfig(device.c_str(), "0007"));
    EXPECT_EQ(1, third.NbrProfiles());
    EXPECT_EQ(0, third.selectedIndex);
    EXPECT_STREQ("Default", third.GetCurrentProfile()->name.c_str());
}

TEST_F(LibraryTest, SetProfileStoresOnlyTheSelection) {
    simtest::Install("adapter\nprofile name=A ssid=netA\nprofile name=B ssid=netB\nselect name=A\n");
    const std::string device = simtest::DefaultDevice(0);
    ACAdapterConfig config;
    ASSERT_EQ(1, config.ReadConfig(device.c_str(), "0007"));
    EXPECT_STREQ("A", config.GetCurrentProfile()->name.c_str());
    config.GetProfile("A")->ssid = "edited, not saved";
    EXPECT_EQ(0, config.SetProfile("missing"));
    EXPECT_EQ(1, config.SetProfile("B"));
    EXPECT_EQ(1, config.selectedIndex);
    EXPECT_STREQ("B", config.selectedName.c_str());

    ACAdapterConfig reread;
    ASSERT_EQ(1, reread.ReadConfig(device.c_str(), "0007"));
    EXPECT_STREQ("B", reread.GetCurrentProfile()->name.c_str());
    EXPECT_STREQ("netA", reread.GetProfile("A")->ssid.c_str());
}

TEST_F(LibraryTest, WriteConfigNeedsTheAdapterAndRegistryPathNamesTheDriverKey) {
    simtest::Install("adapter\n");
    ACAdapterConfig config;
    EXPECT_EQ(0, config.WriteConfig(0));  // never read
    EXPECT_EQ(0, config.ReadConfig(simtest::DefaultDevice(0).c_str(), "0099"));
    EXPECT_EQ(0, config.WriteConfig(0));
    EXPECT_EQ("<no key>", simtest::RegString(ClassSubKey("0099"), "ComponentId"));
    EXPECT_STREQ(ClassSubKey("0007").c_str(), config.GetRegistryPath("0007").c_str());
}

TEST_F(LibraryTest, RegKeyWritesAStringValue) {
    simtest::Install("adapter\n");
    ACAdapterConfig config;
    const ACString path = config.GetRegistryPath("0007");
    ACRegKey key;
    ASSERT_EQ(1, key.OpenKey(HKEY_LOCAL_MACHINE, path.c_str()));
    EXPECT_EQ(1, key.SetValue("radioEnable", "0"));
    EXPECT_EQ("0", simtest::RegString(path.c_str(), "radioEnable"));
    ACRegKey unopened;
    EXPECT_EQ(0, unopened.SetValue("x", "y"));
}

// Runs athsim.exe (beside this program) with `args`; its exit code, or -1.
int RunAthsim(const std::string& args) {
    std::string command = "\"" + ProgramDir() + "athsim.exe\" " + args;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::vector<char> line(command.begin(), command.end());
    line.push_back(0);
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}

TEST_F(LibraryTest, AnotherProcessSeesAndChangesTheSameAdapter) {
    simtest::Install("adapter\nstatus ssid=First\n");
    const std::string device = simtest::DefaultDevice(0);
    EXPECT_EQ("First", simtest::Text(simtest::Query(device, 0xFF100004, 280), 154, 34));

    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string file = std::string(dir) + "athcfg_second.txt";
    FILE* f = std::fopen(file.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    std::fputs("adapter\nstatus ssid=Second\n", f);
    std::fclose(f);
    ASSERT_EQ(0, RunAthsim("install \"" + file + "\""));
    EXPECT_EQ("Second", simtest::Text(simtest::Query(device, 0xFF100004, 280), 154, 34));

    ASSERT_EQ(0, RunAthsim("present 0 0"));
    EXPECT_TRUE(simtest::Query(device, 0xFF100004, 280).empty());
    ASSERT_EQ(0, RunAthsim("present 0 1"));
    EXPECT_EQ(280u, simtest::Query(device, 0xFF100004, 280).size());
    ASSERT_EQ(0, RunAthsim("clear"));
    EXPECT_TRUE(simtest::Query(device, 0xFF100004, 280).empty());
    EXPECT_EQ(2, RunAthsim("unknown"));
    DeleteFileA(file.c_str());
}

TEST(LibraryStrings, StringAndArrayKeepTheirText) {
    ACString empty;
    EXPECT_STREQ("", empty.c_str());
    EXPECT_TRUE(empty.empty());
    ACString a("abc");
    ACString b(a);
    a = "longer text";
    a = a;
    EXPECT_STREQ("longer text", a.c_str());
    EXPECT_STREQ("abc", b.c_str());
    EXPECT_EQ(11, a.length());
    a = nullptr;
    EXPECT_STREQ("", a.c_str());

    ACStringArray arr;
    arr.SetSize(5);
    EXPECT_EQ(5, arr.GetSize());
    EXPECT_STREQ("", arr.GetAt(4));
    arr.SetAt(1, "one");
    arr.SetAt(5, "outside");
    arr.Add("six");
    EXPECT_EQ(6, arr.GetSize());
    EXPECT_STREQ("one", arr.GetAt(1));
    EXPECT_STREQ("six", arr.GetAt(5));
    EXPECT_STREQ("", arr.GetAt(-1));
    arr.SetSize(0);
    arr.SetSize(2);
    EXPECT_STREQ("", arr.GetAt(1));
}

TEST(LibraryFunctions, ChannelConversionAndThreadInit) {
    EXPECT_EQ(1, ACWlanConvert2GHztoCh(2412));
    EXPECT_EQ(6, ACWlanConvert2GHztoCh(2437));
    EXPECT_EQ(13, ACWlanConvert2GHztoCh(2472));
    EXPECT_EQ(14, ACWlanConvert2GHztoCh(2484));
    EXPECT_EQ(0, ACWlanConvert2GHztoCh(2413));
    EXPECT_EQ(0, ACWlanConvert2GHztoCh(5180));
    EXPECT_NE(0, ThreadInit(1));
    EXPECT_NE(0, ThreadInit(0));
    DbgPrintf("athcfg test %d %s\n", 1, "ok");
}

}  // namespace
