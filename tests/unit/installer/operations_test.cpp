#include "installer/system/system_operations.h"

#include "installer/dispatcher.h"

#include <gtest/gtest.h>

#include "fake_system.h"

using drivora::RunState;
using drivora::SystemOperations;
using drivora_test::FakeDevice;
using drivora_test::FakeSystem;
using Texts = std::vector<std::string>;

namespace {

const std::string kClass = drivora::kNetClassKey;
const std::string kNetwork =
    "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}";
const std::string kInterfaces = drivora::kWzcInterfacesKey;
const std::string kGuid = "{11111111-2222-3333-4444-555555555555}";

class OperationsTest : public ::testing::Test {
protected:
    void SetUp() override { drivora::SetDefaultSettings(state.settings, "C:\\WINDOWS"); }

    void AddAdapter(const std::string& subkey, const std::string& componentId, const std::string& guid,
                    const std::string& infPath) {
        const std::string key = kClass + "\\" + subkey;
        sys.SetString(key, "ComponentId", componentId);
        if (!guid.empty()) sys.SetString(key, "NetCfgInstanceId", guid);
        if (!infPath.empty()) sys.SetString(key, "InfPath", infPath);
    }

    RunState state;
    FakeSystem sys;
    SystemOperations ops{state, sys};
};

}  // namespace

// ---- device removal

TEST_F(OperationsTest, HardwareIdRemovalHitsEveryVendorDevicePresentOrNot) {
    sys.devices = {
        {"PCI\\VEN_168C&DEV_0013\\1", "PCI\\VEN_168C&DEV_0013&SUBSYS_1", true, true},
        {"PCI\\VEN_168D&DEV_0013\\2", "PCI\\VEN_168D&DEV_0013", true, true},
        {"ROOT\\UNKNOWN\\0000", "pci\\ven_168c&dev_001a", false, false},
        {"PCI\\X\\3", "", true, true},
        {"USB\\VEN_168C\\4", "USB\\VEN_168C", true, false},
    };
    ops.RemoveDevicesByHardwareId();
    EXPECT_EQ((Texts{"PCI\\VEN_168C&DEV_0013\\1", "ROOT\\UNKNOWN\\0000"}), sys.removedDevices);
    EXPECT_EQ(Texts{}, sys.messages);
}

TEST_F(OperationsTest, RemovalWithoutAClassInstallerSaysSoOnce) {
    sys.devices = {{"PCI\\VEN_168C&DEV_0013\\1", "PCI\\VEN_168C&DEV_0013"}, {"PCI\\VEN_168C\\2", "PCI\\VEN_168C"}};
    sys.deviceRemovalError = 120;  // ERROR_CALL_NOT_IMPLEMENTED
    ops.RemoveDevicesByHardwareId();
    ASSERT_EQ(1u, sys.messages.size());
    EXPECT_EQ(0u, sys.messages[0].find("This Windows cannot remove devices through its class installer"));
}

TEST_F(OperationsTest, HardwareIdRemovalWithoutDeviceSetSaysError) {
    sys.deviceSetsAvailable = false;
    ops.RemoveDevicesByHardwareId();
    EXPECT_EQ(Texts{"Error"}, sys.messages);
}

TEST_F(OperationsTest, EmptyDeviceIdSelectsNothing) {
    state.settings.deviceId.Clear();
    sys.devices = {{"PCI\\VEN_168C&DEV_0013\\1", "PCI\\VEN_168C&DEV_0013", true, true}};
    sys.dosDevices = {"C:", "PCI#VEN_168C&DEV_0013#1"};
    AddAdapter("0001", "PCI\\VEN_168C&DEV_0013", kGuid, "oem3.inf");
    ops.RemoveDevicesByHardwareId();
    ops.RemoveNetworkDevices();
    ops.PurgeNetClassEntries();
    EXPECT_EQ(Texts{}, sys.removedDevices);
    EXPECT_EQ(Texts{}, sys.removedFiles);
    EXPECT_EQ(0, ops.IsDevicePresent());
}

TEST_F(OperationsTest, NetworkDeviceRemovalComparesInstanceIdsWithoutCase) {
    state.osCode = drivora::kOsWin2000;
    sys.devices = {
        {"pci\\ven_168c&dev_0013\\4&1", "", true, true},
        {"PCI\\VEN_168C&DEV_0013\\4&2", "", false, true},  // not present
        {"ROOT\\NET\\0000", "PCI\\VEN_168C&DEV_0013", true, true},
    };
    sys.SetDword(kInterfaces, "ControlFlags", 1);
    ops.RemoveNetworkDevices();
    EXPECT_EQ((Texts{"pci\\ven_168c&dev_0013\\4&1"}), sys.removedDevices);
    EXPECT_TRUE(sys.HasValue(kInterfaces, "ControlFlags"));  // only on XP
}

TEST_F(OperationsTest, NetworkDeviceRemovalOnXPDeletesZeroConfigEntries) {
    state.osCode = drivora::kOsWinXP;
    const std::string iface = kInterfaces + "\\" + kGuid;
    sys.SetDword(iface, "ControlFlags", 0x8000);
    sys.SetDword(kInterfaces, "ControlFlags", 1);
    sys.SetDword(kInterfaces, "LayoutVersion", 7);
    sys.SetString(kInterfaces, "ActiveSettings", "x");
    state.settings.zeroConfigKey.Assign(iface);
    ops.RemoveNetworkDevices();
    EXPECT_FALSE(sys.HasKey(iface));
    EXPECT_TRUE(sys.HasKey(kInterfaces));
    for (const char* v : {"ActiveSettings", "ControlFlags", "LayoutVersion"}) EXPECT_FALSE(sys.HasValue(kInterfaces, v)) << v;
}

TEST_F(OperationsTest, EnumKeyPurgeDeletesEveryMatchingKeyEvenSideBySide) {
    sys.AddKey("Enum\\PCI\\VEN_168C&DEV_0013&SUBSYS_1\\BUS_00");
    sys.AddKey("Enum\\PCI\\VEN_168C&DEV_0013&SUBSYS_2");
    sys.AddKey("Enum\\PCI\\VEN_168D&DEV_0013");
    sys.AddKey("Enum\\PCI\\ven_168c&dev_0014");  // compared with case
    ops.PurgeEnumKeys();
    EXPECT_FALSE(sys.HasKey("Enum\\PCI\\VEN_168C&DEV_0013&SUBSYS_1"));
    EXPECT_FALSE(sys.HasKey("Enum\\PCI\\VEN_168C&DEV_0013&SUBSYS_2"));
    EXPECT_TRUE(sys.HasKey("Enum\\PCI\\VEN_168D&DEV_0013"));
    EXPECT_TRUE(sys.HasKey("Enum\\PCI\\ven_168c&dev_0014"));
}

TEST_F(OperationsTest, EnumKeyPurgeNeedsAShortEnumerator) {
    state.settings.deviceId.Assign("VERYLONGENUM\\VEN_168C");
    sys.AddKey("Enum\\VERYLONGENUM\\VEN_168C");
    ops.PurgeEnumKeys();
    EXPECT_TRUE(sys.HasKey("Enum\\VERYLONGENUM\\VEN_168C"));
}

TEST_F(OperationsTest, RootDevicesAreReenumerated) {
    sys.devices = {{"ROOT\\NET\\0000", "X", true, true, true}, {"PCI\\A\\1", "Y", true, true, false}};
    ops.ReenumerateRootDevices();
    EXPECT_EQ((Texts{"reenumerate ROOT\\NET\\0000"}), sys.log);
}

TEST_F(OperationsTest, TreeWalkRemovesMatchingNodesAnywhereAndRescans) {
    // root(1) -> pci(2) -> [adapter(3), other(4) -> nested adapter(5)]; usb(6) sibling of pci.
    sys.rootNode = 1;
    sys.nodes[1] = {"HTREE\\ROOT\\0", 2, 0};
    sys.nodes[2] = {"ROOT\\PCI_HAL\\0000", 3, 6};
    sys.nodes[3] = {"PCI\\VEN_168C&DEV_0013\\1", 7, 4};
    sys.nodes[4] = {"PCI\\VEN_8086&DEV_1234\\2", 5, 0};
    sys.nodes[5] = {"PCMCIA\\X-PCI\\VEN_168C\\3", 0, 0};
    sys.nodes[6] = {"USB\\ROOT_HUB\\4", 0, 0};
    sys.nodes[7] = {"NDIS\\CHILD\\5", 0, 0};
    sys.removalResults["PCMCIA\\X-PCI\\VEN_168C\\3"] = 0x17;  // refused: logged with its own code, and failed
    ASSERT_TRUE(ops.OpenLog("C:\\d.log"));
    ops.RemoveDevnodesAndRescan();
    EXPECT_NE(std::string::npos, sys.files["C:\\d.log"].find("VEN_168C\\3 | not removed (CONFIGRET 0x00000017)\r"));
    EXPECT_TRUE(state.failed);
    std::vector<std::string> removed(sys.log.begin(), sys.log.end() - 1);
    std::sort(removed.begin(), removed.end());
    EXPECT_EQ((Texts{"remove PCI\\VEN_168C&DEV_0013\\1", "remove PCMCIA\\X-PCI\\VEN_168C\\3"}), removed);
    EXPECT_EQ("reenumerate HTREE\\ROOT\\0", sys.log.back());
}

TEST_F(OperationsTest, TreeWalkEndsOnATreeThatLoops) {
    sys.rootNode = 1;
    sys.childZeroIsSuccess = true;  // child 0 reported as success
    sys.nodes[1] = {"HTREE\\ROOT\\0", 2, 0};
    sys.nodes[2] = {"A\\B", 1, 2};  // its own sibling, the root as its child
    ops.RemoveDevnodesAndRescan();
    EXPECT_EQ((Texts{"reenumerate HTREE\\ROOT\\0"}), sys.log);
}

TEST_F(OperationsTest, TreeWalkWithoutRootSaysSo) {
    ops.RemoveDevnodesAndRescan();
    EXPECT_EQ((Texts{"CM_Locate_DevNode error !"}), sys.messages);
    EXPECT_EQ(Texts{}, sys.log);
}

TEST_F(OperationsTest, DevicePresenceMatchesDosNamesWithCase) {
    sys.dosDevices = {"C:", "pci#ven_168c&dev_0013#1"};
    EXPECT_EQ(0, ops.IsDevicePresent());
    sys.dosDevices.push_back("PCI#VEN_168C&DEV_0013#4&1#{guid}");
    EXPECT_EQ(1, ops.IsDevicePresent());
    state.settings.deviceId.Assign("PCI\\VEN_168C&DEV_0014");
    EXPECT_EQ(0, ops.IsDevicePresent());
}

// ---- INF install and class entries

TEST_F(OperationsTest, InfSectionRunsThroughRundll32WithMode128) {
    ops.RunInfSection();
    EXPECT_EQ((Texts{"C:\\WINDOWS\\system32\\rundll32.exe C:\\WINDOWS\\system32\\SETUPAPI.DLL,InstallHinfSection "
                     "ATHER_DEV_1041.ndi.NT 128 C:\\WINDOWS\\inf\\net5211.inf"}),
              sys.started);
}

TEST_F(OperationsTest, InfSectionNeedsPathAndSection) {
    state.settings.infSection.Clear();
    ops.RunInfSection();
    EXPECT_EQ(Texts{}, sys.started);
    EXPECT_EQ((Texts{"RunINF needs an INF path and an INF section"}), sys.messages);
}

TEST_F(OperationsTest, ClassPurgeDeletesInfPnfAndConnectionKeys) {
    state.osCode = drivora::kOsWinXP;
    AddAdapter("0007", "pci\\ven_168c&dev_0013", kGuid, "oem3.inf");
    AddAdapter("0008", "PCI\\VEN_10EC&DEV_8139", "{OTHER}", "oem4.inf");
    sys.AddKey(kNetwork + "\\" + kGuid + "\\Connection");
    sys.AddKey(kNetwork + "\\{OTHER}\\Connection");
    ops.PurgeNetClassEntries();
    EXPECT_EQ((Texts{"C:\\WINDOWS\\INF\\oem3.inf", "C:\\WINDOWS\\INF\\oem3.PNF"}), sys.removedFiles);
    EXPECT_FALSE(sys.HasKey(kNetwork + "\\" + kGuid));
    EXPECT_TRUE(sys.HasKey(kNetwork + "\\{OTHER}\\Connection"));
    EXPECT_EQ(kInterfaces + "\\" + kGuid, state.settings.zeroConfigKey.str());
    EXPECT_TRUE(sys.HasKey(kClass + "\\0007"));  // the class entry itself goes with the device
}

TEST_F(OperationsTest, ClassPurgeOnWindows2000LeavesZeroConfigKeyUnset) {
    state.osCode = drivora::kOsWin2000;
    AddAdapter("0001", "PCI\\VEN_168C&DEV_0013", kGuid, "oem3.inf");
    ops.PurgeNetClassEntries();
    EXPECT_TRUE(state.settings.zeroConfigKey.empty());
    EXPECT_EQ(2u, sys.removedFiles.size());
}

TEST_F(OperationsTest, ClassPurgeDistrustsRegistryValues) {
    state.osCode = drivora::kOsWinXP;
    AddAdapter("0001", "PCI\\VEN_168C&DEV_0013", "", "..\\system32\\hal.dll");
    AddAdapter("0002", "PCI\\VEN_168C&DEV_0014", "", "x.sys");
    sys.AddKey(kNetwork + "\\Other");
    ops.PurgeNetClassEntries();
    EXPECT_EQ((Texts{"C:\\WINDOWS\\INF\\x.sys"}), sys.removedFiles);  // no PNF for a non-INF name
    EXPECT_TRUE(sys.HasKey(kNetwork));
    EXPECT_TRUE(state.settings.zeroConfigKey.empty());
}

TEST_F(OperationsTest, RemoveOnWindows2000DeletesTheConnectionKeys) {
    state.osCode = drivora::kOsWin2000;
    AddAdapter("0001", "PCI\\VEN_168C&DEV_0013", kGuid, "oem3.inf");
    sys.SetString(kNetwork + "\\" + kGuid + "\\Connection", "Name", "Wireless Network Connection");
    sys.SetDword(kInterfaces, "ControlFlags", 1);
    sys.devices = {{"PCI\\VEN_168C&DEV_0013\\4&1", "PCI\\VEN_168C&DEV_0013", true, true}};
    drivora::Dispatcher(state, ops).Run({"Drivora.exe", "/Remove"});
    EXPECT_EQ((Texts{"delete " + kNetwork + "\\" + kGuid + "\\Connection", "delete " + kNetwork + "\\" + kGuid}),
              sys.log);
    EXPECT_FALSE(sys.HasKey(kNetwork + "\\" + kGuid));
    EXPECT_EQ((Texts{"PCI\\VEN_168C&DEV_0013\\4&1"}), sys.removedDevices);
    EXPECT_TRUE(state.settings.zeroConfigKey.empty());
    EXPECT_TRUE(sys.HasValue(kInterfaces, "ControlFlags"));  // Zero-Config belongs to XP
    EXPECT_EQ(Texts{}, sys.messages);
}

TEST_F(OperationsTest, LegacyPurgeDeletesEveryMatchingDriver) {
    const std::string net = "System\\CurrentControlSet\\Services\\Class\\Net";
    sys.SetString(net + "\\0000", "MatchingDeviceId", "PCI\\VEN_168C&DEV_0013");
    sys.SetString(net + "\\0000", "InfPath", "NET5211.INF");
    sys.SetString(net + "\\0001", "MatchingDeviceId", "PCI\\VEN_10EC&DEV_8139");
    sys.SetString(net + "\\0002", "MatchingDeviceId", "pci\\ven_168c&dev_0013");
    sys.SetString(net + "\\0003", "MatchingDeviceId", "PCI\\VEN_168C&DEV_0012");
    sys.SetString(net + "\\0003", "InfPath", "OEM9.INF");
    sys.AddKey(net + "\\0003\\NDI");
    ops.PurgeLegacyNetClassEntries();
    EXPECT_FALSE(sys.HasKey(net + "\\0000"));
    EXPECT_TRUE(sys.HasKey(net + "\\0001"));
    EXPECT_TRUE(sys.HasKey(net + "\\0002"));
    EXPECT_FALSE(sys.HasKey(net + "\\0003"));
    EXPECT_EQ((Texts{"C:\\WINDOWS\\inf\\NET5211.INF", "C:\\WINDOWS\\inf\\Other\\NET5211.INF",
                     "C:\\WINDOWS\\inf\\OEM9.INF", "C:\\WINDOWS\\inf\\Other\\OEM9.INF"}),
              sys.removedFiles);
}

TEST_F(OperationsTest, LegacyPurgeEndsWhenAKeyCannotBeDeleted) {
    const std::string net = "System\\CurrentControlSet\\Services\\Class\\Net";
    sys.SetString(net + "\\0000", "MatchingDeviceId", "PCI\\VEN_168C&DEV_0013");
    sys.SetString(net + "\\0001", "MatchingDeviceId", "PCI\\VEN_168C&DEV_0013");
    sys.undeletable.insert(drivora::ToUpper(net + "\\0000"));
    ops.PurgeLegacyNetClassEntries();
    EXPECT_TRUE(sys.HasKey(net + "\\0000"));
    EXPECT_FALSE(sys.HasKey(net + "\\0001"));
}

// ---- Zero-Config and processes

class ZeroConfigTest : public OperationsTest {
protected:
    void SetUp() override {
        OperationsTest::SetUp();
        state.osCode = drivora::kOsWinXP;
        state.servicePackLevel = 2;
        state.adapterPending = 1;
        sys.serviceStates["WZCSVC"] = 4;
        AddAdapter("0001", "PCI\\VEN_168C&DEV_0013", kGuid, "oem3.inf");
    }
    const std::string iface = kInterfaces + "\\" + kGuid;
};

TEST_F(ZeroConfigTest, DisableClearsTheControlBitsOfAnExistingKeyWhileTheServiceIsStopped) {
    sys.SetDword(iface, "ControlFlags", 0x0001F0A5);
    ops.DisableZeroConfigForAdapter();
    EXPECT_EQ(0x000100A5u, sys.Dword(iface, "ControlFlags"));
    EXPECT_FALSE(sys.HasDword(iface, "LayoutVersion"));
    EXPECT_EQ((Texts{"stop WZCSVC", "sleep 5000", "write ControlFlags=0x100A5", "start WZCSVC"}), sys.log);
    EXPECT_EQ(4u, sys.serviceStates["WZCSVC"]);
    EXPECT_EQ(0, state.adapterPending);
}

TEST_F(ZeroConfigTest, DisableCreatesAMissingKeyThenStopsWritesAndStarts) {
    ops.DisableZeroConfigForAdapter();
    EXPECT_EQ((Texts{"create " + iface, "stop WZCSVC", "sleep 5000", "write ControlFlags=0x810002",
                     "write LayoutVersion=0x7", "start WZCSVC"}),
              sys.log);
    EXPECT_EQ(0, state.adapterPending);
}

TEST_F(ZeroConfigTest, NewKeyLayoutFollowsTheServicePack) {
    // Level 0, 1 and 2 as detected; -1 for a service-pack text not recognised.
    const std::pair<int, std::uint32_t> cases[] = {{0, 3}, {1, 4}, {2, 7}, {drivora::kServicePackUnknown, 7}};
    for (const auto& c : cases) {
        sys.DeleteKeyTree(iface);
        state.servicePackLevel = c.first;
        ops.DisableZeroConfigForAdapter();
        EXPECT_EQ(c.second, sys.Dword(iface, "LayoutVersion")) << "level " << c.first;
        EXPECT_EQ(0x810002u, sys.Dword(iface, "ControlFlags"));
    }
}

TEST_F(ZeroConfigTest, FlagsAreLeftAloneWhileTheServiceWillNotStop) {
    sys.servicesObey = false;  // stays running
    sys.SetDword(iface, "ControlFlags", 0x0001F0A5);
    ops.DisableZeroConfigForAdapter();
    ops.EnableZeroConfigForAdapter();
    EXPECT_EQ(0x0001F0A5u, sys.Dword(iface, "ControlFlags"));
    sys.SetDword(iface, "ControlFlags", 0x0002);
    ops.EnableZeroConfigForAdapter();
    EXPECT_EQ(0x0002u, sys.Dword(iface, "ControlFlags"));
    // A key made for the adapter is taken back, so a later run starts from a missing key.
    sys.DeleteKeyTree(iface);
    ops.DisableZeroConfigForAdapter();
    EXPECT_FALSE(sys.HasKey(iface));
    for (const std::string& step : sys.log) EXPECT_EQ(std::string::npos, step.find("write")) << step;
}

TEST_F(ZeroConfigTest, DisableWithoutAdapterLeavesTheFlagPending) {
    state.settings.deviceId.Assign("PCI\\VEN_1234");
    ops.DisableZeroConfigForAdapter();
    EXPECT_EQ(1, state.adapterPending);
    EXPECT_EQ(Texts{}, sys.log);
}

TEST_F(ZeroConfigTest, EnableSetsTheManagedBitOnly) {
    sys.SetDword(iface, "ControlFlags", 0x0001);
    ops.EnableZeroConfigForAdapter();
    EXPECT_EQ(0x8001u, sys.Dword(iface, "ControlFlags"));
    ops.EnableZeroConfigForAdapter();
    EXPECT_EQ(0x8001u, sys.Dword(iface, "ControlFlags"));
}

TEST_F(ZeroConfigTest, EnableStopsWaitsWritesAndStartsButNeverCreatesTheKey) {
    sys.SetDword(iface, "ControlFlags", 0x0001);
    ops.EnableZeroConfigForAdapter();
    EXPECT_EQ((Texts{"stop WZCSVC", "sleep 2000", "write ControlFlags=0x8001", "start WZCSVC"}), sys.log);
    sys.DeleteKeyTree(iface);
    ops.EnableZeroConfigForAdapter();
    EXPECT_FALSE(sys.HasKey(iface));
}

TEST_F(ZeroConfigTest, StoppingAStoppedServiceQueriesOnce) {
    sys.serviceStates["WZCSVC"] = 1;
    sys.servicesObey = false;
    ops.StopZeroConfigService();
    EXPECT_EQ(1, sys.serviceQueries);
    EXPECT_EQ(0u, sys.sleptMs);
}

TEST_F(ZeroConfigTest, ServiceWaitsAreBounded) {
    sys.servicesObey = false;  // stays running
    ops.StopZeroConfigService();
    EXPECT_EQ((Texts{"Wireless Zero Configuration service did not stop within 30 seconds"}), sys.messages);
    EXPECT_EQ(drivora::kServicePolls * drivora::kServicePollMs, sys.sleptMs);
}

TEST_F(ZeroConfigTest, MissingServiceIsNotWaitedFor) {
    sys.serviceStates.clear();
    ops.StartZeroConfigService();
    EXPECT_EQ(Texts{}, sys.messages);
    EXPECT_EQ(0u, sys.sleptMs);
}

TEST_F(OperationsTest, TerminationEndsEveryProcessMatchingByPrefixWithoutCase) {
    sys.processes = {{4, "System"}, {10, "notepad.exe"}, {11, "app.exe"}, {12, "app.exe"}, {13, "app.exe"}};
    sys.goneProcesses = {13};  // it ended by itself meanwhile: no failure
    ops.TerminateProcessByName("APP.EXE");
    EXPECT_EQ((Texts{"terminate 11", "terminate 12"}), sys.log);
    EXPECT_FALSE(state.failed);
    sys.log.clear();
    ops.TerminateProcessByName("notepad.exe.bak");
    ops.TerminateProcessByName("");
    EXPECT_EQ(Texts{}, sys.log);
}

TEST_F(OperationsTest, TerminationOnWindows98UsesTheFileNamePart) {
    state.win9xFamily = true;
    sys.processes = {{1, "C:\\WINDOWS\\SYSTEM\\KERNEL32.DLL"}, {2, "C:\\PROGRA~1\\APP\\APP.EXE"}};
    ops.TerminateProcessByName("app");
    EXPECT_EQ((Texts{"terminate 2"}), sys.log);
}

// ---- a whole run: the step log and the exit status the setup reads

namespace {

struct RunCase {
    const char* name;
    std::vector<std::string> args;
    std::uint32_t fileError;  // 0: the INF file is deleted
    bool restart;
    int exitStatus;
    std::vector<std::string> logged;
};

}  // namespace

TEST_F(OperationsTest, QuietRunsReportTheirOutcomeInTheExitStatusAndTheLog) {
    const std::vector<RunCase> cases = {
        {"clean removal", {"$C:\\d.log", "/Remove", "/Quiet"}, 0, false, 0,
         {"start | Drivora 1.0.0.1 | started", "start | Windows 5.1.2600 Service Pack 2 | administrator",
          "start | command line Drivora.exe $C:\\d.log /Remove /Quiet | read", "Quiet | message boxes | off",
          "Remove | file C:\\WINDOWS\\INF\\oem3.inf | deleted", "end | 3 arguments | run ended, exit status 0"}},
        {"file already gone", {"/Quiet", "$C:\\d.log", "/Remove"}, 2, false, 0,
         {"Remove | file C:\\WINDOWS\\INF\\oem3.inf | not deleted (error 2: text of 2)"}},
        {"access denied", {"/Quiet", "$C:\\d.log", "/Remove"}, 5, false, 1,
         {"Remove | file C:\\WINDOWS\\INF\\oem3.inf | not deleted (error 5: text of 5)",
          "end | 3 arguments | run ended, exit status 1"}},
        {"driver not in place", {"/Quiet", "$C:\\d.log", "/RunINF", "%"}, 0, false, 5,
         {"RunINF | message \"RunINF Command No Support\" | not shown (quiet)"}},
        {"restart needed", {"/Quiet", "$C:\\d.log", "/Remove"}, 0, true, 2,
         {"Remove | device removal | Windows must restart to finish it"}},
        {"failure and restart", {"/Quiet", "$C:\\d.log", "/Remove"}, 5, true, 3, {}},
        {"not quiet", {"$C:\\d.log", "/Remove"}, 5, true, 0, {}},
    };
    for (const RunCase& c : cases) {
        SCOPED_TRACE(c.name);
        RunState run;
        drivora::SetDefaultSettings(run.settings, "C:\\WINDOWS");
        FakeSystem system;
        system.SetString(kClass + "\\0001", "ComponentId", "PCI\\VEN_168C&DEV_0013");
        system.SetString(kClass + "\\0001", "InfPath", "oem3.inf");
        system.devices = {{"PCI\\VEN_168C&DEV_0013\\1", "PCI\\VEN_168C&DEV_0013"}};
        if (c.fileError) system.fileErrors["C:\\WINDOWS\\INF\\oem3.inf"] = c.fileError;
        system.removalNeedsRestart = c.restart;
        SystemOperations operations{run, system};
        std::vector<std::string> args = c.args;
        args.insert(args.begin(), "Drivora.exe");
        // Windows 98 has no INF install: RunINF raises a message there.
        run.osCode = c.args.back() == "%" ? drivora::kOsWin98 : drivora::kOsWinXP;
        drivora::Dispatcher(run, operations).Run(args);
        EXPECT_EQ(c.exitStatus, drivora::ExitCode(run));
        const std::string& log = system.files["C:\\d.log"];
        for (const std::string& line : c.logged) EXPECT_NE(std::string::npos, log.find(line)) << line << "\n" << log;
        EXPECT_EQ(Texts{}, system.messages);  // never a box in these runs
    }
}
