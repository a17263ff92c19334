#include "monitor/adapter/zero_config.h"

#include <windows.h>

#include "athcfg/athcfg.h"
#include "monitor/adapter/zero_config_flags.h"

namespace zc {

namespace {

const char kServiceName[] = "WZCSVC";

class ScHandle {
public:
    explicit ScHandle(SC_HANDLE h) : h_(h) {}
    ~ScHandle() {
        if (h_) CloseServiceHandle(h_);
    }
    ScHandle(const ScHandle&) = delete;
    ScHandle& operator=(const ScHandle&) = delete;
    SC_HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    SC_HANDLE h_;
};

class RegKey {
public:
    RegKey(const std::string& path, REGSAM access) {
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, &h_) != ERROR_SUCCESS)
            h_ = nullptr;
    }
    ~RegKey() {
        if (h_) RegCloseKey(h_);
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    HKEY get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    HKEY h_ = nullptr;
};

// The service's current state, or 0 when it cannot be queried.
DWORD ServiceState(SC_HANDLE service) {
    SERVICE_STATUS status = {};
    return QueryServiceStatus(service, &status) ? status.dwCurrentState : 0;
}

bool WaitForState(SC_HANDLE service, DWORD wanted) {
    for (unsigned waited = 0; waited < kServiceWaitMs; waited += 100) {
        if (ServiceState(service) == wanted) return true;
        Sleep(100);
    }
    return ServiceState(service) == wanted;
}

bool ReadFlags(HKEY key, DWORD* flags) {
    DWORD type = 0, size = sizeof *flags;
    return RegQueryValueExA(key, "ControlFlags", nullptr, &type, reinterpret_cast<BYTE*>(flags),
                            &size) == ERROR_SUCCESS;
}

void WriteFlags(const std::string& guid, int request) {
    if (request != kTakeOver && request != kHandBack) return;
    RegKey key(InterfaceKeyPath(guid), KEY_ALL_ACCESS);
    if (!key) return;
    DWORD flags = 0;
    ReadFlags(key.get(), &flags);
    flags = FlagsAfter(request, flags);
    RegSetValueExA(key.get(), "ControlFlags", 0, REG_DWORD, reinterpret_cast<BYTE*>(&flags),
                   sizeof flags);
}

bool StartService(SC_HANDLE manager) {
    ScHandle service(OpenServiceA(manager, kServiceName, SERVICE_START));
    return service && StartServiceA(service.get(), 0, nullptr);
}

}  // namespace

int CurrentOsCode() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info)) return 0;
    return OsCode(info.dwMajorVersion, info.dwMinorVersion);
}

int Check(const std::string& interfaceGuid) {
    bool running = false;
    {
        ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
        if (manager) {
            ScHandle service(OpenServiceA(manager.get(), kServiceName, SERVICE_QUERY_STATUS));
            running = service && ServiceState(service.get()) == SERVICE_RUNNING;
        }
    }
    if (!running) return 1;
    RegKey key(InterfaceKeyPath(interfaceGuid), KEY_READ);
    if (!key) return 0;
    DWORD flags = 0;
    ReadFlags(key.get(), &flags);
    return (flags & kManagedBit) ? 0 : 1;
}

void HandOver(const std::string& interfaceGuid, int request) {
    ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return;
    ScHandle query(OpenServiceA(manager.get(), kServiceName, SERVICE_QUERY_STATUS));
    if (!query) return;
    DWORD state = ServiceState(query.get());
    if (state == SERVICE_RUNNING) {
        {
            ScHandle stopper(OpenServiceA(manager.get(), kServiceName, SERVICE_STOP));
            SERVICE_STATUS status;
            if (stopper) ControlService(stopper.get(), SERVICE_CONTROL_STOP, &status);
        }
        if (!WaitForState(query.get(), SERVICE_STOPPED)) {
            // Flags written under a running service would be overwritten by it.
            DbgPrintf("Skyvane: WZCSVC did not stop within %u ms; flags left alone\n",
                      kServiceWaitMs);
            return;
        }
        WriteFlags(interfaceGuid, request);
        if (StartService(manager.get()) && !WaitForState(query.get(), SERVICE_RUNNING))
            DbgPrintf("Skyvane: WZCSVC did not run again within %u ms\n", kServiceWaitMs);
    } else if (state == SERVICE_STOPPED) {
        WriteFlags(interfaceGuid, request);
        StartService(manager.get());
    }
}

}  // namespace zc
