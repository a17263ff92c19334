// A stand-in Wireless Zero Configuration service ("WZCSVC", fake_service.exe) and its
// per-interface flags, for the tray tests on Windows versions that have the service.
#pragma once
#include "tests/win/tray/tray_fixture.h"

namespace zctest {

inline const std::string kFlagsKey =
    "SOFTWARE\\Microsoft\\WZCSVC\\Parameters\\Interfaces\\" + testsim::GuidOf(0);

inline std::string FakeServicePath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p = path;
    return p.substr(0, p.rfind('\\') + 1) + "fake_service.exe";
}

class Service {
public:
    Service() {
        manager_ = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
        // A registration left by another test may point elsewhere or be marked for
        // deletion: remove it, then register ours once the old one is gone.
        if (SC_HANDLE old = OpenServiceA(manager_, "WZCSVC", SERVICE_ALL_ACCESS)) {
            SERVICE_STATUS s;
            ControlService(old, SERVICE_CONTROL_STOP, &s);
            DeleteService(old);
            CloseServiceHandle(old);
        }
        for (int i = 0; i < 100 && !service_; ++i) {
            service_ = CreateServiceA(manager_, "WZCSVC", "Wireless Zero Configuration",
                                      SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                                      SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                      FakeServicePath().c_str(), nullptr, nullptr, nullptr,
                                      nullptr, nullptr);
            if (!service_) Sleep(100);
        }
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

inline void SetFlags(DWORD flags) {
    HKEY k;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kFlagsKey.c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &k, nullptr));
    RegSetValueExA(k, "ControlFlags", 0, REG_DWORD, reinterpret_cast<BYTE*>(&flags), sizeof flags);
    RegCloseKey(k);
}

inline DWORD Flags() { return testsim::ReadDword(kFlagsKey, "ControlFlags"); }

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

}  // namespace zctest
