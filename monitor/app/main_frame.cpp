#include "monitor/app/main_frame.h"

#include <commctrl.h>

#include "framework/text.h"
#include "monitor/app/monitor_app.h"
#include "monitor/ui/monitor_dlg.h"
#include "monitor/ui/resource.h"

bool CMainFrame::CreateFrame() {
    return Create("SkyvaneFrame", fw::LoadText(IDR_MAINFRAME).c_str(), WS_OVERLAPPEDWINDOW,
                  nullptr, IDR_MAINFRAME, IDR_MAINFRAME);
}

LRESULT CMainFrame::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: return OnCreate();
    case WM_SETFOCUS: OnSetFocus(); return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_COMMAND: OnCommand(LOWORD(wp)); return 0;
    }
    return Default(msg, wp, lp);
}

LRESULT CMainFrame::OnCreate() {
    // A frame always has a client view and a status bar, though this one is never shown.
    statusBar_ = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                 Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    view_ = CreateWindowExA(WS_EX_CLIENTEDGE, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                            Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!statusBar_ || !view_) return -1;

    theApp.adapterPresent = theMonitorDlg.Discover();
    return 0;
}

void CMainFrame::OnSetFocus() {
    if (view_) SetFocus(view_);
}

void CMainFrame::OnClose() {
    theMonitorDlg.CloseSession();
    DestroyWindow(Handle());
}

void CMainFrame::OnCommand(int id) {
    if (id == ID_APP_ABOUT) theApp.OnAppAbout();
}
