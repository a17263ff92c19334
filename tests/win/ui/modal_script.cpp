#include "tests/win/ui/modal_script.h"

#include <commctrl.h>

#include <cstring>

#include "athcfg/sim/athsim.h"
#include "monitor/app/monitor_app.h"
#include "monitor/res/resource.h"
#include "monitor/ui/about_page.h"
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

void OpenAndCloseTheAboutPage() {
    theMonitorDlg.SwitchPage(4);
    HWND page = theAboutPage.Handle();
    UpdateWindow(page);
    HWND link = GetDlgItem(page, IDC_ABOUT_LINK_108);
    SendMessageA(link, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    SendMessageA(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    SendMessageA(link, WM_MOUSEMOVE, 0, MAKELPARAM(-5, -5));
    theMonitorDlg.SwitchPage(0);
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

namespace {
HBITMAP LoadBitmapResource(UINT id) {
    return static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}
}  // namespace

SIZE BitmapSize(UINT id) {
    HBITMAP bitmap = LoadBitmapResource(id);
    BITMAP bm = {};
    if (bitmap) GetObjectA(bitmap, sizeof bm, &bm);
    if (bitmap) DeleteObject(bitmap);
    return SIZE{bm.bmWidth, bm.bmHeight};
}

int BitmapMismatches(HWND window, UINT id, int x, int y) {
    HBITMAP bitmap = LoadBitmapResource(id);
    if (!bitmap) return -1;
    BITMAP bm = {};
    GetObjectA(bitmap, sizeof bm, &bm);
    HDC screen = GetDC(window);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bitmap);
    RECT client;
    GetClientRect(window, &client);
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    int mismatches = 0;
    for (int by = 0; by < bm.bmHeight && y + by < client.bottom; ++by) {
        for (int bx = 0; bx < bm.bmWidth && x + bx < client.right; ++bx) {
            COLORREF expected = GetPixel(mem, bx, by) & face;
            if (GetPixel(screen, x + bx, y + by) != expected) ++mismatches;
        }
    }
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(bitmap);
    ReleaseDC(window, screen);
    return mismatches;
}

void ForgetAdapter() {
    theApp.session.CloseSession();
    theApp.adapterPresent = 0;
    std::memset(theApp.statusRecord, 0, sizeof theApp.statusRecord);
    AthSimClear();
}
