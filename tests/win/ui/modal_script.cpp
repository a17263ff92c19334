#include "tests/win/ui/modal_script.h"

#include <commctrl.h>

#include "monitor/ui/monitor_dlg.h"

namespace {
std::vector<Step> g_steps;
size_t g_next = 0;
UINT_PTR g_timer = 0;
constexpr INT_PTR kClosedByScript = 99;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_next < g_steps.size()) {
        Step step = g_steps[g_next++];
        step();
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

HWND Monitor() { return theMonitorDlg.Handle(); }

std::string ItemText(HWND dialog, int id) {
    char text[256] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

std::vector<std::string> TabTexts(HWND tab) {
    std::vector<std::string> texts;
    for (int i = 0; i < TabCtrl_GetItemCount(tab); ++i) {
        char text[64] = {};
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(tab, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
        texts.push_back(text);
    }
    return texts;
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
