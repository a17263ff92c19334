// The installer operations against Wine's real registry, Setup API, service
// control manager, DOS device names and processes.
#include <windows.h>
#include <setupapi.h>
#include <winternl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "installer/dispatcher.h"
#include "installer/system/system_operations.h"
#include "installer/system/win_system_api.h"

using drivora::RunState;
using drivora::SystemOperations;
using drivora::WinSystemApi;
using Texts = std::vector<std::string>;

namespace {

const GUID kNetClass = {0x4D36E972, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
const std::string kClass = drivora::kNetClassKey;
const std::string kNetwork =
    "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}";
const std::string kInterfaces = drivora::kWzcInterfacesKey;

// Records messages instead of showing boxes nobody would close.
class QuietApi : public WinSystemApi {
public:
    QuietApi() : WinSystemApi(nullptr, nullptr) {}
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    Texts messages;
};

bool KeyExists(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void SetString(const std::string& path, const char* name, const std::string& value) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

void SetDword(const std::string& path, const char* name, DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

// Reads a DWORD back; -1 when missing.
long long Dword(const std::string& path, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
    DWORD value = 0, size = sizeof value, type = 0;
    LONG r = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS ? static_cast<long long>(value) : -1;
}

void DeleteTree(const std::string& path) { WinSystemApi(nullptr, nullptr).DeleteKeyTree(path); }

std::string WindowsDir() { return WinSystemApi(nullptr, nullptr).WindowsDirectory(); }

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void WriteFile(const std::string& path) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, f) << path;
    CloseHandle(f);
}

// A root-enumerated device of the network class with the given hardware ID.
std::string AddRootDevice(const std::string& hardwareId) {
    HDEVINFO set = SetupDiCreateDeviceInfoList(&kNetClass, nullptr);
    SP_DEVINFO_DATA data = {};
    data.cbSize = sizeof data;
    std::string ids = hardwareId + std::string("\0\0", 2);
    std::string instance;
    if (SetupDiCreateDeviceInfoA(set, "NET", &kNetClass, nullptr, nullptr, DICD_GENERATE_ID, &data) &&
        SetupDiSetDeviceRegistryPropertyA(set, &data, SPDRP_HARDWAREID, reinterpret_cast<const BYTE*>(ids.data()),
                                          static_cast<DWORD>(ids.size())) &&
        SetupDiRegisterDeviceInfo(set, &data, 0, nullptr, nullptr, nullptr)) {
        char id[260] = {};
        SetupDiGetDeviceInstanceIdA(set, &data, id, sizeof id, nullptr);
        instance = id;
    }
    SetupDiDestroyDeviceInfoList(set);
    return instance;
}

// Instance IDs of every device whose first hardware ID begins with `prefix`.
Texts DevicesWithHardwareId(const std::string& prefix) {
    Texts out;
    HDEVINFO set = SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES);
    SP_DEVINFO_DATA data = {};
    data.cbSize = sizeof data;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &data); ++i) {
        char hw[512] = {}, id[260] = {};
        if (!SetupDiGetDeviceRegistryPropertyA(set, &data, SPDRP_HARDWAREID, nullptr, reinterpret_cast<BYTE*>(hw),
                                               sizeof hw - 2, nullptr))
            continue;
        if (std::string(hw).compare(0, prefix.size(), prefix) != 0) continue;
        SetupDiGetDeviceInstanceIdA(set, &data, id, sizeof id, nullptr);
        out.push_back(id);
    }
    SetupDiDestroyDeviceInfoList(set);
    std::sort(out.begin(), out.end());
    return out;
}

void RemoveDevicesWithHardwareId(const std::string& prefix) {
    RunState state;
    state.settings.deviceId.Assign(prefix);
    QuietApi api;
    SystemOperations(state, api).RemoveDevicesByHardwareId();
}

class InstallerWinTest : public ::testing::Test {
protected:
    void SetUp() override { drivora::SetDefaultSettings(state.settings, WindowsDir()); }
    RunState state;
    QuietApi api;
    SystemOperations ops{state, api};
};

}  // namespace

TEST_F(InstallerWinTest, ClassPurgeDeletesInstalledInfAndConnectionKeys) {
    state.osCode = drivora::kOsWinXP;
    const std::string guid = "{7E577E57-0000-4000-8000-000000000001}";
    const std::string other = "{7E577E57-0000-4000-8000-000000000002}";
    SetString(kClass + "\\9901", "ComponentId", "pci\\ven_168c&dev_0013");
    SetString(kClass + "\\9901", "InfPath", "oem3.inf");
    SetString(kClass + "\\9901", "NetCfgInstanceId", guid);
    SetString(kClass + "\\9902", "ComponentId", "PCI\\VEN_168D&DEV_0013");
    SetString(kClass + "\\9902", "InfPath", "oem4.inf");
    SetString(kClass + "\\9902", "NetCfgInstanceId", other);
    SetString(kNetwork + "\\" + guid + "\\Connection", "Name", "Wireless");
    SetString(kNetwork + "\\" + other + "\\Connection", "Name", "Other");
    const std::string inf = WindowsDir() + "\\INF\\";
    WriteFile(inf + "oem3.inf");
    WriteFile(inf + "oem3.PNF");
    WriteFile(inf + "oem4.inf");

    ops.PurgeNetClassEntries();

    EXPECT_FALSE(FileExists(inf + "oem3.inf"));
    EXPECT_FALSE(FileExists(inf + "oem3.PNF"));
    EXPECT_TRUE(FileExists(inf + "oem4.inf"));
    EXPECT_FALSE(KeyExists(kNetwork + "\\" + guid));
    EXPECT_TRUE(KeyExists(kNetwork + "\\" + other + "\\Connection"));
    EXPECT_EQ(kInterfaces + "\\" + guid, state.settings.zeroConfigKey.str());

    DeleteFileA((inf + "oem4.inf").c_str());
    DeleteTree(kNetwork + "\\" + other);
    DeleteTree(kClass + "\\9901");
    DeleteTree(kClass + "\\9902");
}

TEST_F(InstallerWinTest, LegacyPurgeDeletesBothMatchingDrivers) {
    const std::string net = "System\\CurrentControlSet\\Services\\Class\\Net";
    SetString(net + "\\0000", "MatchingDeviceId", "PCI\\VEN_10EC&DEV_8139");
    SetString(net + "\\0001", "MatchingDeviceId", "PCI\\VEN_168C&DEV_0013");
    SetString(net + "\\0001", "InfPath", "OEM7.INF");
    SetString(net + "\\0001\\Ndi", "Service", "x");
    SetString(net + "\\0002", "MatchingDeviceId", "pci\\ven_168c&dev_0013");
    SetString(net + "\\0003", "MatchingDeviceId", "PCI\\VEN_168C&DEV_001A");
    const bool madeOther = CreateDirectoryA((WindowsDir() + "\\inf\\Other").c_str(), nullptr);
    WriteFile(WindowsDir() + "\\inf\\Other\\OEM7.INF");

    ops.PurgeLegacyNetClassEntries();

    EXPECT_TRUE(KeyExists(net + "\\0000"));
    EXPECT_FALSE(KeyExists(net + "\\0001"));
    EXPECT_TRUE(KeyExists(net + "\\0002"));
    EXPECT_FALSE(KeyExists(net + "\\0003"));
    EXPECT_FALSE(FileExists(WindowsDir() + "\\inf\\Other\\OEM7.INF"));
    DeleteTree("System\\CurrentControlSet\\Services\\Class");
    if (madeOther) RemoveDirectoryA((WindowsDir() + "\\inf\\Other").c_str());
}

TEST_F(InstallerWinTest, EnumKeyPurgeDeletesMatchingTrees) {
    SetString("Enum\\PCI\\VEN_168C&DEV_0013&SUBSYS_1\\BUS_00", "Class", "Net");
    SetString("Enum\\PCI\\VEN_168C&DEV_0013&SUBSYS_2\\BUS_01", "Class", "Net");
    SetString("Enum\\PCI\\VEN_8086&DEV_1229\\BUS_02", "Class", "Net");
    ops.PurgeEnumKeys();
    EXPECT_FALSE(KeyExists("Enum\\PCI\\VEN_168C&DEV_0013&SUBSYS_1"));
    EXPECT_FALSE(KeyExists("Enum\\PCI\\VEN_168C&DEV_0013&SUBSYS_2"));
    EXPECT_TRUE(KeyExists("Enum\\PCI\\VEN_8086&DEV_1229\\BUS_02"));
    DeleteTree("Enum");
}

TEST_F(InstallerWinTest, HardwareIdRemovalKeepsOtherVendors) {
    const std::string ours = AddRootDevice("PCI\\VEN_168C&DEV_0013&SUBSYS_7E57");
    const std::string second = AddRootDevice("PCI\\VEN_168C&DEV_001A");
    const std::string theirs = AddRootDevice("PCI\\VEN_168D&DEV_0013");
    ASSERT_FALSE(ours.empty());
    ASSERT_EQ(2u, DevicesWithHardwareId("PCI\\VEN_168C").size());

    ops.RemoveDevicesByHardwareId();

    EXPECT_EQ(Texts{}, DevicesWithHardwareId("PCI\\VEN_168C"));
    EXPECT_EQ(Texts{theirs}, DevicesWithHardwareId("PCI\\VEN_168D"));
    EXPECT_EQ(Texts{}, api.messages);
    RemoveDevicesWithHardwareId("PCI\\VEN_168D");
    EXPECT_EQ(Texts{}, DevicesWithHardwareId("PCI\\VEN_168D"));
}

TEST_F(InstallerWinTest, NetworkDeviceRemovalMatchesInstanceIds) {
    state.osCode = drivora::kOsWinXP;
    const std::string instance = AddRootDevice("PCI\\VEN_168C&DEV_0013");
    ASSERT_FALSE(instance.empty());
    SetDword(kInterfaces, "ControlFlags", 5);
    SetDword(kInterfaces, "LayoutVersion", 7);
    SetDword(kInterfaces + "\\{7E577E57-0000-4000-8000-000000000003}", "ControlFlags", 1);
    state.settings.zeroConfigKey.Assign(kInterfaces + "\\{7E577E57-0000-4000-8000-000000000003}");

    // Root-enumerated instance IDs ("ROOT\NET\...") name no PCI device.
    ops.RemoveNetworkDevices();
    EXPECT_EQ(Texts{instance}, DevicesWithHardwareId("PCI\\VEN_168C&DEV_0013"));
    EXPECT_FALSE(KeyExists(kInterfaces + "\\{7E577E57-0000-4000-8000-000000000003}"));
    EXPECT_EQ(-1, Dword(kInterfaces, "ControlFlags"));
    EXPECT_EQ(-1, Dword(kInterfaces, "LayoutVersion"));

    state.settings.deviceId.Assign(instance.substr(0, instance.find('\\', 5)));  // "ROOT\NET"
    ops.RemoveNetworkDevices();
    EXPECT_EQ(Texts{}, DevicesWithHardwareId("PCI\\VEN_168C&DEV_0013"));
}

TEST_F(InstallerWinTest, DeviceTreeWalkEndsOnWine) {
    // Wine cannot locate the root node (and reports child 0 for any node): the
    // walk says so and ends instead of looping.
    const std::string instance = AddRootDevice("PCI\\VEN_168C&DEV_0013");
    ops.RemoveDevnodesAndRescan();
    EXPECT_EQ(Texts{"CM_Locate_DevNode error !"}, api.messages);
    EXPECT_EQ(Texts{instance}, DevicesWithHardwareId("PCI\\VEN_168C&DEV_0013"));
    ops.ReenumerateRootDevices();
    EXPECT_EQ(Texts{instance}, DevicesWithHardwareId("PCI\\VEN_168C&DEV_0013"));
    RemoveDevicesWithHardwareId("PCI\\VEN_168C");
}

TEST_F(InstallerWinTest, DevicePresenceFollowsTheDosDeviceNames) {
    state.settings.deviceId.Assign("PCI\\VEN_168C&DEV_0013");
    EXPECT_EQ(0, ops.IsDevicePresent());
    typedef NTSTATUS(NTAPI * CreateLinkFn)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PUNICODE_STRING);
    typedef VOID(NTAPI * InitStringFn)(PUNICODE_STRING, PCWSTR);
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    auto create = reinterpret_cast<CreateLinkFn>(GetProcAddress(ntdll, "NtCreateSymbolicLinkObject"));
    auto init = reinterpret_cast<InitStringFn>(GetProcAddress(ntdll, "RtlInitUnicodeString"));
    UNICODE_STRING name, target;
    init(&name, L"\\??\\PCI#VEN_168C&DEV_0013#7E57#{ad498944-762f-11d0-8dcb-00c04fc3358c}");
    init(&target, L"\\Device\\Null");
    OBJECT_ATTRIBUTES attrs;
    InitializeObjectAttributes(&attrs, &name, OBJ_CASE_INSENSITIVE, nullptr, nullptr);
    HANDLE link = nullptr;
    ASSERT_EQ(0, create(&link, 0xF0001, &attrs, &target));
    EXPECT_EQ(1, ops.IsDevicePresent());
    state.settings.deviceId.Assign("PCI\\VEN_168C&DEV_0014");
    EXPECT_EQ(0, ops.IsDevicePresent());
    CloseHandle(link);
    state.settings.deviceId.Assign("PCI\\VEN_168C&DEV_0013");
    EXPECT_EQ(0, ops.IsDevicePresent());
}

// A log becomes the old log in one rename, also while a run logs to it, or else stays as it was.
TEST(LogFileWinTest, RotationKeepsTheOlderLogWhenTheRenameFails) {
    const std::string log = WindowsDir() + "\\drivora_rotate.log", old = WindowsDir() + "\\drivora_rotate.old";
    WinSystemApi api(nullptr, nullptr);
    std::ofstream(log) << "newer";
    std::ofstream(old) << "older";
    HANDLE held = CreateFileA(log.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_FALSE(api.ReplaceFile(log, old));
    CloseHandle(held);
    EXPECT_EQ('o', std::ifstream(old).get());
    auto run = api.OpenAppendFile(log);
    EXPECT_TRUE(api.ReplaceFile(log, old));
    EXPECT_EQ('n', std::ifstream(old).get());
    DeleteFileA(old.c_str());
}

TEST_F(InstallerWinTest, InfSectionCommandLineNamesTheSystemRundll32) {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, sizeof system);
    EXPECT_EQ(std::string(system) + "\\rundll32.exe " + system + "\\SETUPAPI.DLL,InstallHinfSection " +
                  "ATHER_DEV_1041.ndi.NT 128 " + WindowsDir() + "\\inf\\net5211.inf",
              ops.InfCommandLine());
}

namespace {

int g_windowsCreated = 0;

// Counts every window this thread creates and destroys it at once, so a box
// shown by mistake fails the test instead of waiting for a click.
LRESULT CALLBACK CountWindows(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND) {
        ++g_windowsCreated;
        return 1;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

TEST(QuietRunWinTest, DeviceThatNeverAppearsIsLoggedWithoutAnyWindow) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string log = std::string(temp) + "drivora_quiet_test.log";
    DeleteFileA(log.c_str());
    RunState state;
    state.osCode = drivora::kOsWinXP;
    drivora::SetDefaultSettings(state.settings, WindowsDir());
    WinSystemApi api(nullptr, [] { MessageBoxA(nullptr, "help", "Help", MB_OK); });
    SystemOperations ops(state, api);
    drivora::Dispatcher dispatcher(state, ops);
    dispatcher.queryDevicePolls = 5;  // one second

    g_windowsCreated = 0;
    HHOOK hook = SetWindowsHookExA(WH_CBT, CountWindows, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    dispatcher.Run({"Drivora.exe", "/Quiet", "$" + log, "!PCI\\VEN_168C@DEV_7E57", "/QueryDevice", "/ShowUsage"});
    UnhookWindowsHookEx(hook);

    EXPECT_EQ(0, g_windowsCreated);
    std::ifstream file(log, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    EXPECT_NE(std::string::npos, text.find("| QueryDevice | message \"QueryDevice: device not present after 1 seconds\" "
                                           "| not shown (quiet)\r\n"))
        << text;
    EXPECT_NE(std::string::npos, text.find("| end | 5 arguments | run ended, exit status 5\r\n")) << text;
    EXPECT_EQ(drivora::kExitFailed | drivora::kExitDriverFailed, drivora::ExitCode(state));
    // The header names the system and the whole command line.
    EXPECT_NE(std::string::npos, text.find("| start | Windows ")) << text;
    EXPECT_NE(std::string::npos, text.find("| start | command line Drivora.exe /Quiet $" + log)) << text;
    file.close();
    DeleteFileA(log.c_str());
}
