// Zero-Config control against a stand-in "WZCSVC" service registered with
// Wine's service control manager, and process termination of real processes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installer/system/system_operations.h"
#include "installer/system/win_system_api.h"
#include "tests/support/stand_in_service.h"

using drivora::RunState;
using drivora::SystemOperations;
using drivora::WinSystemApi;
using Texts = std::vector<std::string>;

namespace {

const std::string kClass = drivora::kNetClassKey;
const std::string kInterfaces = drivora::kWzcInterfacesKey;
const std::string kGuid = "{7E577E57-0000-4000-8000-0000000000AA}";

class QuietApi : public WinSystemApi {
public:
    QuietApi() : WinSystemApi(nullptr, nullptr) {}
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    Texts messages;
};

DWORD ServiceState() {
    std::uint32_t state = 0;
    return WinSystemApi(nullptr, nullptr).QueryServiceState("WZCSVC", &state) ? state : 0;
}

void SetDword(const std::string& path, const char* name, DWORD value) {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

long long Dword(const std::string& path, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
    DWORD value = 0, size = sizeof value;
    LONG r = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS ? static_cast<long long>(value) : -1;
}

void SetString(const std::string& path, const char* name, const std::string& value) {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

class ZeroConfigWinTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { service = new StandInService(); }
    static void TearDownTestSuite() {
        delete service;
        service = nullptr;
    }
    static inline StandInService* service = nullptr;
    void SetUp() override {
        drivora::SetDefaultSettings(state.settings, "C:\\windows");
        state.osCode = drivora::kOsWinXP;
        state.servicePackLevel = 2;
        SetString(kClass + "\\9950", "ComponentId", "PCI\\VEN_168C&DEV_0013");
        SetString(kClass + "\\9950", "NetCfgInstanceId", kGuid);
    }
    void TearDown() override {
        WinSystemApi api(nullptr, nullptr);
        api.DeleteKeyTree(kClass + "\\9950");
        api.DeleteKeyTree(kInterfaces + "\\" + kGuid);
    }

    RunState state;
    QuietApi api;
    SystemOperations ops{state, api};
    const std::string iface = kInterfaces + "\\" + kGuid;
};

}  // namespace

TEST_F(ZeroConfigWinTest, ServiceStopsAndStarts) {
    ops.StartZeroConfigService();
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), ServiceState());
    ops.StopZeroConfigService();
    EXPECT_EQ(static_cast<DWORD>(SERVICE_STOPPED), ServiceState());
    ops.StopZeroConfigService();  // already stopped: returns at once
    EXPECT_EQ(Texts{}, api.messages);
}

TEST_F(ZeroConfigWinTest, DisableClearsControlBitsAndRestartsTheService) {
    SetDword(iface, "ControlFlags", 0x0001F0A5);
    state.adapterPending = 1;
    ops.DisableZeroConfigForAdapter();
    EXPECT_EQ(0x000100A5, Dword(iface, "ControlFlags"));
    EXPECT_EQ(-1, Dword(iface, "LayoutVersion"));
    EXPECT_EQ(0, state.adapterPending);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), ServiceState());
}

TEST_F(ZeroConfigWinTest, DisableCreatesTheInterfaceKeyOnServicePack2) {
    state.adapterPending = 1;
    ops.DisableZeroConfigForAdapter();
    EXPECT_EQ(0x810002, Dword(iface, "ControlFlags"));
    EXPECT_EQ(7, Dword(iface, "LayoutVersion"));
    EXPECT_EQ(0, state.adapterPending);
}

TEST_F(ZeroConfigWinTest, EnableAddsTheManagedBit) {
    SetDword(iface, "ControlFlags", 0x0002);
    ops.EnableZeroConfigForAdapter();
    EXPECT_EQ(0x8002, Dword(iface, "ControlFlags"));
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), ServiceState());
}

namespace {

struct Child {
    PROCESS_INFORMATION pi = {};
    bool Start(const std::string& exe) {
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        std::string cmd = "\"" + exe + "\"";
        return CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    }
    bool Running() const { return WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT; }
    DWORD ExitCode() const {
        WaitForSingleObject(pi.hProcess, 5000);
        DWORD code = 99;
        GetExitCodeProcess(pi.hProcess, &code);
        return code;
    }
    ~Child() {
        if (pi.hProcess) {
            TerminateProcess(pi.hProcess, 1);
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
    }
};

}  // namespace

TEST(ProcessWinTest, EveryMatchingProcessIsTerminated) {
    Child one, two;
    ASSERT_TRUE(one.Start(ProgramDir() + "drv_sleeper.exe"));
    ASSERT_TRUE(two.Start(ProgramDir() + "drv_sleeper.exe"));
    Sleep(500);

    RunState state;
    QuietApi api;
    SystemOperations(state, api).TerminateProcessByName("DRV_SLEEPER.EXE");

    EXPECT_EQ(0u, one.ExitCode());
    EXPECT_EQ(0u, two.ExitCode());
    // Once ended, a process is gone, not failed: with its ID still held open, or unknown.
    EXPECT_EQ(drivora::Termination::AlreadyGone, api.TerminateProcess(one.pi.dwProcessId));
    EXPECT_EQ(drivora::Termination::AlreadyGone, api.TerminateProcess(0x7FFFFFF0));
}

TEST(ProcessWinTest, NameLongerThanTheExecutableMatchesNothing) {
    Child one;
    ASSERT_TRUE(one.Start(ProgramDir() + "drv_sleeper.exe"));
    Sleep(300);
    RunState state;
    QuietApi api;
    SystemOperations(state, api).TerminateProcessByName("drv_sleeper.exe.old");
    EXPECT_TRUE(one.Running());
}
