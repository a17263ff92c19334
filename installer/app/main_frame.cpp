#include "installer/app/main_frame.h"

#include <commctrl.h>

#include <cstdlib>

#include "framework/app.h"
#include "framework/text/text.h"
#include "installer/dispatcher.h"
#include "installer/app/info_dialog.h"
#include "installer/app/resource.h"
#include "installer/system/system_operations.h"
#include "installer/system/win_system_api.h"

namespace drivora {

bool CChildView::CreateView(HWND parent) {
    if (!Create("DrivoraView", "", WS_CHILD | WS_VISIBLE | WS_BORDER, parent)) return false;
    HWND h = Handle();
    SetClassLongPtrA(h, GCL_STYLE, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS);
    SetWindowLongPtrA(h, GWLP_ID, IDW_PANE_FIRST);
    // The plain border gives way to the sunken client edge.
    SetWindowLongPtrA(h, GWL_STYLE, GetWindowLongPtrA(h, GWL_STYLE) & ~WS_BORDER);
    SetWindowLongPtrA(h, GWL_EXSTYLE, GetWindowLongPtrA(h, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
    SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    return true;
}

LRESULT CChildView::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: OnPaint(); return 0;
    default: return Default(msg, wp, lp);
    }
}

void CChildView::OnPaint() { ValidateRect(Handle(), nullptr); }

bool CMainFrame::CreateFrame() {
    const std::string title = fw::LoadText(IDR_MAINFRAME);
    return Create("DrivoraFrame", title.c_str(), WS_OVERLAPPEDWINDOW, nullptr, IDR_MAINFRAME,
                  IDR_MAINFRAME);
}

LRESULT CMainFrame::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: return OnCreate();
    case WM_TIMER: OnTimer(wp); return 0;
    case WM_COMMAND: return OnCommand(LOWORD(wp)) ? 0 : Default(msg, wp, lp);
    case WM_SIZE: OnSize(); return 0;
    case WM_SETFOCUS: OnSetFocus(); return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    default: return Default(msg, wp, lp);
    }
}

LRESULT CMainFrame::OnCreate() {
    if (!view_.CreateView(Handle())) return -1;
    if (!CreateToolbar()) return -1;
    DetectWindowsVersion();
    SetDefaultSettings(state_.settings, WinSystemApi(Handle(), nullptr).WindowsDirectory());
    SetTimer(Handle(), kDispatchTimer, 100, nullptr);
    return 0;
}

bool CMainFrame::CreateToolbar() {
    TBBUTTON buttons[] = {
        {0, ID_FILE_NEW, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
        {1, ID_FILE_OPEN, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
        {2, ID_FILE_SAVE, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
        {0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, {}, 0, 0},
        {3, ID_EDIT_CUT, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
        {4, ID_EDIT_COPY, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
        {5, ID_EDIT_PASTE, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
        {0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, {}, 0, 0},
        {6, ID_FILE_PRINT, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
        {7, ID_APP_ABOUT, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
    };
    toolbar_ = CreateToolbarEx(Handle(), WS_CHILD | WS_VISIBLE | CCS_TOP | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS,
                               IDW_TOOLBAR, 8, fw::App::Current()->Instance(), IDR_MAINFRAME, buttons,
                               sizeof buttons / sizeof buttons[0], 16, 15, 16, 15, sizeof(TBBUTTON));
    return toolbar_ != nullptr;
}

void CMainFrame::DetectWindowsVersion() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;  // 148 bytes
    if (GetVersionExA(&info)) {
        state_.osCode = OsCodeFromVersion(info.dwMajorVersion, info.dwMinorVersion);
        if (state_.osCode == kOsWinXP) state_.servicePackLevel = ServicePackLevel(info.szCSDVersion);
    }
    state_.win9xFamily = (GetVersion() & 0x80000000u) != 0;
}

void CMainFrame::OnTimer(UINT_PTR id) {
    // Killed first: the message boxes' and the help dialog's loops must not run the walk again.
    KillTimer(Handle(), kDispatchTimer);
    walked_ = true;
    // A setup must never read a run that could not do its work as a success.
    if (!RunCommandLine()) {
        state_.quiet = state_.quiet || QuietRequested(GetCommandLineA());
        state_.failed = true;
        state_.driverFailed = true;
    }
    // The frame closes whatever happened, or the hidden process never ends.
    DestroyWindow(Handle());
}

bool CMainFrame::RunCommandLine() {
    if (__argc < 1 || !__argv) return false;
    try {
        WinSystemApi api(Handle(), [this] { InfoDialog(IDD_HELP).DoModal(Handle()); });
        SystemOperations ops(state_, api);
        std::vector<std::string> args;
        for (int i = 0; i < __argc; ++i) args.emplace_back(__argv[i] ? __argv[i] : "");
        Dispatcher(state_, ops).Run(args);
        return true;
    } catch (...) {
        return false;
    }
}

LRESULT CMainFrame::OnCommand(UINT id) {
    switch (id) {
    case ID_APP_ABOUT: InfoDialog(IDD_ABOUTBOX).DoModal(Handle()); return TRUE;
    case ID_APP_EXIT: DestroyWindow(Handle()); return TRUE;
    default: return FALSE;
    }
}

void CMainFrame::OnSize() {
    if (!toolbar_) return;
    SendMessageA(toolbar_, TB_AUTOSIZE, 0, 0);
    RECT client = {}, bar = {};
    GetClientRect(Handle(), &client);
    GetWindowRect(toolbar_, &bar);
    const int top = bar.bottom - bar.top;
    if (view_.Handle())
        MoveWindow(view_.Handle(), 0, top, client.right, client.bottom > top ? client.bottom - top : 0, TRUE);
}

void CMainFrame::OnSetFocus() {
    if (view_.Handle()) SetFocus(view_.Handle());
}

void CMainFrame::OnDestroy() { PostQuitMessage(0); }

}  // namespace drivora
