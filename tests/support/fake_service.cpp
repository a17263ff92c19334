// A do-nothing Windows service for tests that need a service named like a system one
// ("WZCSVC"). It runs until it is told to stop. Registered with the argument "refuse-stop"
// it refuses the stop control, as a hung or protected service does, and ends only on the
// private control kEndControl.
#include <windows.h>

namespace {
SERVICE_STATUS_HANDLE g_handle = nullptr;
SERVICE_STATUS g_status = {};
HANDLE g_stop = nullptr;
bool g_refuseStop = false;
constexpr DWORD kEndControl = 200;

void Report(DWORD state) {
    g_status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    g_status.dwCurrentState = state;
    g_status.dwControlsAccepted = state == SERVICE_RUNNING && !g_refuseStop ? SERVICE_ACCEPT_STOP : 0;
    SetServiceStatus(g_handle, &g_status);
}

DWORD WINAPI Control(DWORD control, DWORD, LPVOID, LPVOID) {
    if (control == SERVICE_CONTROL_STOP || control == kEndControl) {
        Report(SERVICE_STOP_PENDING);
        SetEvent(g_stop);
    }
    return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, LPSTR* argv) {
    g_handle = RegisterServiceCtrlHandlerExA(argv[0], Control, nullptr);
    if (!g_handle) return;
    g_stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    Report(SERVICE_RUNNING);
    WaitForSingleObject(g_stop, INFINITE);
    Report(SERVICE_STOPPED);
}
}  // namespace

int main(int argc, char** argv) {
    g_refuseStop = argc > 1 && lstrcmpA(argv[1], "refuse-stop") == 0;
    char name[] = "";
    SERVICE_TABLE_ENTRYA table[] = {{name, ServiceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherA(table) ? 0 : 1;
}
