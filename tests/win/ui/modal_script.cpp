#include "tests/win/ui/modal_script.h"

#include "monitor/ui/monitor_dlg.h"

namespace {
std::vector<Step> g_steps;
size_t g_next = 0;
bool g_again = false;
UINT_PTR g_timer = 0;
constexpr INT_PTR kClosedByScript = 99;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_next < g_steps.size()) {
        Step step = g_steps[g_next++];
        g_again = false;
        step();
        if (g_again) --g_next;
        return;
    }
    KillTimer(nullptr, g_timer);
    g_timer = 0;
    if (theMonitorDlg.Handle()) EndDialog(theMonitorDlg.Handle(), kClosedByScript);
}
}  // namespace

INT_PTR RunMonitor(int initialPage, std::vector<Step> steps) {
    g_steps = std::move(steps);
    g_next = 0;
    g_timer = SetTimer(nullptr, 0, 60, Tick);
    theMonitorDlg.initialPage = initialPage;
    INT_PTR result = theMonitorDlg.Show(nullptr);
    // The script may end early when a step closed the window.
    if (g_timer) KillTimer(nullptr, g_timer);
    g_timer = 0;
    return result;
}

void RunAgain() { g_again = true; }

HWND Monitor() { return theMonitorDlg.Handle(); }

std::string ItemText(HWND dialog, int id) {
    char text[256] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

void Pump(DWORD ms) {
    DWORD end = GetTickCount() + ms;
    MSG msg;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    }
}
