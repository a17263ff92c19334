// A stand-in for the Wireless Zero Configuration service: fake_service.exe registered as
// "WZCSVC" for as long as the object lives. A refusing one rejects the stop control.
#pragma once
#include <windows.h>

#include "tests/support/program_dir.h"

class StandInService {
public:
    enum Kind { kStoppable, kRefusesStop };
    explicit StandInService(Kind kind = kStoppable) {
        manager_ = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
        // A registration left by another test may point elsewhere or be marked for
        // deletion: remove it, then register ours once the old one is gone.
        if (SC_HANDLE old = OpenServiceA(manager_, "WZCSVC", SERVICE_ALL_ACCESS)) {
            SERVICE_STATUS s;
            ControlService(old, SERVICE_CONTROL_STOP, &s);
            DeleteService(old);
            CloseServiceHandle(old);
        }
        const std::string binary = "\"" + ProgramDir() + "fake_service.exe\"" +
                                   (kind == kRefusesStop ? " refuse-stop" : "");
        for (int i = 0; i < 100 && !service_; ++i) {
            service_ = CreateServiceA(manager_, "WZCSVC", "Wireless Zero Configuration",
                                      SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                                      SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE, binary.c_str(),
                                      nullptr, nullptr, nullptr, nullptr, nullptr);
            if (!service_) Sleep(100);
        }
    }
    ~StandInService() {
        Stop();
        DeleteService(service_);
        CloseServiceHandle(service_);
        CloseServiceHandle(manager_);
    }
    StandInService(const StandInService&) = delete;
    StandInService& operator=(const StandInService&) = delete;

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
        if (State() == SERVICE_RUNNING && !ControlService(service_, SERVICE_CONTROL_STOP, &s))
            ControlService(service_, kEndControl, &s);
        WaitFor(SERVICE_STOPPED);
    }

private:
    static constexpr DWORD kEndControl = 200;  // fake_service.exe's own end request
    SC_HANDLE manager_ = nullptr;
    SC_HANDLE service_ = nullptr;
};
