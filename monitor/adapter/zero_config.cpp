#include "monitor/adapter/zero_config.h"

#include <windows.h>

#include "athcfg/athcfg.h"
#include "framework/handles.h"
#include "framework/reg_key.h"
#include "monitor/adapter/zero_config_flags.h"

namespace zc {

namespace {

const char kServiceName[] = "WZCSVC";
const char kFlagsValue[] = "ControlFlags";

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

void WriteFlags(const std::string& guid, int request) {
    if (request != kTakeOver && request != kHandBack) return;
    fw::RegKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, InterfaceKeyPath(guid), KEY_ALL_ACCESS)) return;
    key.WriteDword(kFlagsValue, FlagsAfter(request, key.ReadDword(kFlagsValue).value_or(0)));
}

bool RequestStop(SC_HANDLE manager) {
    fw::ScHandle stopper(OpenServiceA(manager, kServiceName, SERVICE_STOP));
    SERVICE_STATUS status;
    return stopper && ControlService(stopper.get(), SERVICE_CONTROL_STOP, &status);
}

bool StartService(SC_HANDLE manager) {
    fw::ScHandle service(OpenServiceA(manager, kServiceName, SERVICE_START));
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
        fw::ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
        if (manager) {
            fw::ScHandle service(OpenServiceA(manager.get(), kServiceName, SERVICE_QUERY_STATUS));
            running = service && ServiceState(service.get()) == SERVICE_RUNNING;
        }
    }
    if (!running) return 1;
    fw::RegKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, InterfaceKeyPath(interfaceGuid), KEY_READ)) return 0;
    return (key.ReadDword(kFlagsValue).value_or(0) & kManagedBit) ? 0 : 1;
}

void HandOver(const std::string& interfaceGuid, int request) {
    fw::ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return;
    fw::ScHandle query(OpenServiceA(manager.get(), kServiceName, SERVICE_QUERY_STATUS));
    if (!query) return;
    DWORD state = ServiceState(query.get());
    if (state == SERVICE_RUNNING) {
        if (!RequestStop(manager.get())) {
            // A service that refused the request will not stop: waiting would only hold
            // the user interface up.
            DbgPrintf("Skyvane: WZCSVC refused to stop; flags left alone\n");
            return;
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
