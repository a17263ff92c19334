// The tray on Windows XP beside a Wireless Zero Configuration service (a test service
// registered as "WZCSVC").
#include "tests/support/wine_version.h"
#include "tests/win/tray/tray_fixture.h"

#include "athcfg/athsim.h"
#include "monitor/adapter/oids.h"

namespace {

const std::string kFlagsKey =
    "SOFTWARE\\Microsoft\\WZCSVC\\Parameters\\Interfaces\\" + testsim::GuidOf(0);

std::string FakeServicePath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p = path;
    return p.substr(0, p.rfind('\\') + 1) + "fake_service.exe";
}

class Service {
public:
    Service() {
        manager_ = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
        service_ = OpenServiceA(manager_, "WZCSVC", SERVICE_ALL_ACCESS);
        if (!service_)
            service_ = CreateServiceA(manager_, "WZCSVC", "Wireless Zero Configuration",
                                      SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                                      SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                      FakeServicePath().c_str(), nullptr, nullptr, nullptr,
                                      nullptr, nullptr);
    }
    ~Service() {
        Stop();
        DeleteService(service_);
        CloseServiceHandle(service_);
        CloseServiceHandle(manager_);
    }
    bool Valid() const { return service_ != nullptr; }
    DWORD State() const {
        SERVICE_STATUS s = {};
        return QueryServiceStatus(service_, &s) ? s.dwCurrentState : 0;
    }
    bool WaitFor(DWORD state) const {
        for (int i = 0; i < 100 && State() != state; ++i) Sleep(100);
        return State() == state;
    }
    void Start() {
        if (State() != SERVICE_RUNNING) StartServiceA(service_, 0, nullptr);
        WaitFor(SERVICE_RUNNING);
    }
    void Stop() {
        SERVICE_STATUS s;
        if (State() == SERVICE_RUNNING) ControlService(service_, SERVICE_CONTROL_STOP, &s);
        WaitFor(SERVICE_STOPPED);
    }

private:
    SC_HANDLE manager_ = nullptr;
    SC_HANDLE service_ = nullptr;
};

void SetFlags(DWORD flags) {
    HKEY k;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kFlagsKey.c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &k, nullptr));
    RegSetValueExA(k, "ControlFlags", 0, REG_DWORD, reinterpret_cast<BYTE*>(&flags), sizeof flags);
    RegCloseKey(k);
}

DWORD Flags() { return testsim::ReadDword(kFlagsKey, "ControlFlags"); }

class ZeroConfigTray : public TrayTest {
protected:
    void SetUp() override {
        TrayTest::SetUp();
        ASSERT_TRUE(service.Valid());
    }
    void TearDown() override {
        TrayTest::TearDown();
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kFlagsKey.c_str());
    }
    Service service;
};

}  // namespace

TEST_F(ZeroConfigTray, DiscoveryTakesTheAdapterFromTheRunningService) {
    service.Start();
    SetFlags(0x0000F123);
    Start(Connected("signal=30"));
    EXPECT_EQ(0x00000123u, Flags());
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), service.State());

    ModalWatch watch;
    Mouse(WM_RBUTTONUP);
    EXPECT_TRUE(watch.menuOpened);
}

TEST_F(ZeroConfigTray, StoppedServiceIsLeftAloneAndExitHandsTheAdapterBack) {
    service.Stop();
    SetFlags(0x00000123);
    Start(Connected("signal=30"));
    EXPECT_EQ(0x00000123u, Flags());
    EXPECT_EQ(static_cast<DWORD>(SERVICE_STOPPED), service.State());

    Command(ID_TRAY_EXIT);
    EXPECT_EQ(0x00008123u, Flags());
    EXPECT_TRUE(service.WaitFor(SERVICE_RUNNING));
    EXPECT_EQ(nullptr, frame->Handle());
}

TEST_F(ZeroConfigTray, WhileTheServiceManagesTheAdapterNoMenuAndReapplyOnRelease) {
    service.Start();
    SetFlags(0x00000000);
    Start(Connected("signal=30"));

    SetFlags(0x00008000);  // the service took the adapter back
    ModalWatch watch;
    Mouse(WM_RBUTTONUP);
    EXPECT_FALSE(watch.menuOpened);
    Tick();

    SetFlags(0x00000000);
    AthSimClearRecorded(0);
    Tick();  // control came back: the current profile is applied again
    DWORD rate = 1;
    EXPECT_NE(0, AthSimLastRecordedValue(0, oid::kTxRate, &rate));
    EXPECT_EQ(0u, rate);

    AthSimClearRecorded(0);
    Tick();  // no change, no new apply
    EXPECT_EQ(0, AthSimLastRecordedValue(0, oid::kTxRate, &rate));
}

TEST_F(ZeroConfigTray, ClosingOtherwiseThanByExitKeepsTheAdapter) {
    service.Start();
    SetFlags(0x00000100);
    Start(Connected("signal=30"));
    SendMessageA(frame->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(0x00000100u, Flags());
}

int main(int argc, char** argv) {
    int rerun = RerunAsWindowsVersion("winxp");
    if (rerun >= 0) return rerun;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
