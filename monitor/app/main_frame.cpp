#include "monitor/app/main_frame.h"

#include <commctrl.h>
#include <shellapi.h>

#include "framework/app.h"
#include "framework/text.h"
#include "monitor/adapter/zero_config.h"
#include "monitor/adapter/zero_config_flags.h"
#include "monitor/app/monitor_app.h"
#include "monitor/app/tray_state.h"
#include "monitor/res/resource.h"
#include "monitor/ui/monitor_dlg.h"

namespace {
// Sent by the shell when it (re)starts: the tray icon must be added again.
const UINT g_taskbarCreated = fw::RegisteredMessage("TaskbarCreated");
}  // namespace

CMainFrame::CMainFrame(TrayIcon* tray) : tray_(tray ? tray : &ownTray_) {}

bool CMainFrame::CreateFrame() {
    return Create("SkyvaneFrame", fw::LoadText(IDR_MAINFRAME).c_str(), WS_OVERLAPPEDWINDOW,
                  nullptr, IDR_MAINFRAME, IDR_MAINFRAME);
}

LRESULT CMainFrame::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == IconPressedMessage()) {
        OnIconPressed(lp);
        return 0;
    }
    if (msg == g_taskbarCreated) {
        OnTaskbarCreated();
        return 0;
    }
    switch (msg) {
    case WM_CREATE: return OnCreate();
    case WM_SETFOCUS: OnSetFocus(); return 0;
    case WM_TIMER: OnTimer(); return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_COMMAND: OnCommand(LOWORD(wp)); return 0;
    }
    return Default(msg, wp, lp);
}

LRESULT CMainFrame::OnCreate() {
    // A frame always has a client view and a status bar, though this one is never shown.
    statusBar_ = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                 Handle(), nullptr, fw::ResourceInstance(), nullptr);
    view_ = CreateWindowExA(WS_EX_CLIENTEDGE, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                            Handle(), nullptr, fw::ResourceInstance(), nullptr);
    if (!statusBar_ || !view_) return -1;

    theApp.adapterPresent = theApp.session.Discover();
    if (theApp.adapterPresent > 0) {
        ShowTray(TrayIcon::kAdd, tray::kIconDisconnected, fw::LoadText(IDS_DISCONNECTED));
        ApplyCurrentProfile();
    } else {
        ShowTray(TrayIcon::kAdd, tray::kIconNoAdapter, fw::LoadText(IDS_NETWORK_DISABLED));
    }
    previousBytesSent_ = theApp.Status().BytesSent();
    previousBytesReceived_ = theApp.Status().BytesReceived();
    osCode_ = zc::CurrentOsCode();
    if (osCode_ == 5) zeroConfigState_ = zc::Check(theApp.session.interfaceGuid);
    SetTimer(Handle(), kPollTimer, 1000, nullptr);
    warmUpCount_ = 0;
    return 0;
}

void CMainFrame::OnSetFocus() {
    if (view_) SetFocus(view_);
}

void CMainFrame::OnTimer() {
    if (theApp.adapterPresent == 0) {
        theApp.adapterPresent = theApp.session.Discover();
        if (theApp.adapterPresent > 0) ApplyCurrentProfile();
        PushSamples(0, 0);
        return;
    }
    if (theApp.session.AdapterCount() < 1) {
        AdapterLost();
        return;
    }
    int32_t radio = theApp.session.RadioState();
    if (!theApp.session.ReadStatusRecord(theApp.statusRecord)) {
        AdapterLost();
        return;
    }
    if (theApp.Status().Disconnected()) PollDisconnected(radio);
    else PollConnected();
    PollZeroConfig();
}

void CMainFrame::PollDisconnected(int32_t radio) {
    if (radio == 0) ShowTray(TrayIcon::kModify, tray::kIconDisconnected, fw::LoadText(IDS_DISCONNECTED));
    else ShowTray(TrayIcon::kModify, tray::kIconRadioOff, fw::LoadText(IDS_RADIO_OFF));
    PushSamples(0, 0);
}

void CMainFrame::PollConnected() {
    StatusRecord status = theApp.Status();
    int32_t sent = tray::TrafficSample(previousBytesSent_, status.BytesSent());
    int32_t received = tray::TrafficSample(previousBytesReceived_, status.BytesReceived());
    previousBytesSent_ = status.BytesSent();
    previousBytesReceived_ = status.BytesReceived();
    // The first connected tick would plot the counters' totals since the adapter started.
    if (warmUpCount_ >= 1) {
        PushSamples(received, sent);
    } else {
        PushSamples(0, 0);
        ++warmUpCount_;
    }
    UINT icon = tray::ConnectedIcon(status.SignalLevel());
    networkName_ = status.Ssid();
    speed_ = static_cast<int32_t>(status.TxRateWord());
    linkQuality_ = theApp.session.LinkQuality();
    theApp.linkQuality = linkQuality_;
    std::string format = fw::LoadText(osCode_ == 1 ? IDS_CONNECTION_TIP_98 : IDS_CONNECTION_TIP);
    ShowTray(TrayIcon::kModify, icon,
             fw::Format(format.c_str(), networkName_.c_str(), speed_, linkQuality_));
}

void CMainFrame::PollZeroConfig() {
    if (osCode_ != 5) return;
    int check = zc::Check(theApp.session.interfaceGuid);
    if (check == 0) {
        zeroConfigState_ = 0;
    } else if (check != zeroConfigState_) {
        zeroConfigState_ = check;
        ApplyCurrentProfile();
    }
}

void CMainFrame::AdapterLost() {
    theApp.adapterPresent = 0;
    ShowTray(TrayIcon::kModify, tray::kIconNoAdapter, fw::LoadText(IDS_NETWORK_DISABLED));
    if (HWND monitor = MonitorWindow()) SendMessageA(monitor, WM_CLOSE, 0, 0);
    theApp.session.CloseSession();
}

void CMainFrame::OnClose() {
    tray_->Notify(Handle(), IconPressedMessage(), TrayIcon::kDelete, icon_, tooltip_);
    theApp.session.CloseSession();
    DestroyWindow(Handle());
}

void CMainFrame::OnCommand(int id) {
    switch (id) {
    case ID_APP_ABOUT: theApp.OnAppAbout(); break;
    case ID_TRAY_CONFIGURATION:
    case ID_TRAY_STATUS:
    case ID_TRAY_IPSETTINGS:
    case ID_TRAY_SITESURVEY:
    case ID_TRAY_ABOUT: OnOpenPage(id - ID_TRAY_CONFIGURATION); break;
    case ID_TRAY_EXIT: OnExit(); break;
    }
}

void CMainFrame::OnIconPressed(LPARAM mouseMessage) {
    HWND monitor = MonitorWindow();
    bool zeroConfigBlock = osCode_ == 5 && zc::Check(theApp.session.interfaceGuid) == 0;
    if (mouseMessage == WM_LBUTTONDBLCLK) {
        if (theApp.adapterPresent <= 0) return;
        if (monitor) {
            SetForegroundWindow(monitor);
            MessageBeep(MB_ICONEXCLAMATION);
        } else {
            theMonitorDlg.initialPage = 0;
            theMonitorDlg.Show(Handle());
        }
    } else if (IsMenuEvent(mouseMessage) && !zeroConfigBlock) {
        ShowTrayMenu();
        if (mouseMessage == NIN_KEYSELECT) keyMenuClosedAt_ = GetTickCount();
    }
}

// The shell that sends keyboard events follows a right-button release with WM_CONTEXTMENU,
// which is also what Shift+F10 and the menu key send; Enter and Space send NIN_KEYSELECT
// (Enter twice: the second, right after the menu closed, is not a new request). Other
// shells send the right-button release only.
bool CMainFrame::IsMenuEvent(LPARAM event) {
    if (!keyboardEvents_) return event == WM_RBUTTONUP;
    if (event == WM_CONTEXTMENU) return true;
    return event == NIN_KEYSELECT && GetTickCount() - keyMenuClosedAt_ > GetDoubleClickTime();
}

void CMainFrame::ShowTrayMenu() {
    HMENU menu = LoadMenuA(fw::ResourceInstance(), MAKEINTRESOURCEA(IDR_TRAY_MENU));
    if (!menu) return;
    POINT at;
    GetCursorPos(&at);
    SetForegroundWindow(Handle());
    TrackPopupMenu(GetSubMenu(menu, 0), 0, at.x, at.y, 0, Handle(), nullptr);
    DestroyMenu(menu);
}

void CMainFrame::OnTaskbarCreated() {
    if (!icon_) return;
    tray_->Notify(Handle(), IconPressedMessage(), TrayIcon::kAdd, icon_, tooltip_);
    keyboardEvents_ = tray_->RequestKeyboardEvents(Handle());
}

void CMainFrame::OnOpenPage(int page) {
    if (MonitorWindow()) {
        theMonitorDlg.SwitchPage(page);
        return;
    }
    theMonitorDlg.initialPage = page;
    theMonitorDlg.Show(Handle());
}

void CMainFrame::OnExit() {
    if (osCode_ == 5 && zc::Check(theApp.session.interfaceGuid) != 0)
        zc::HandOver(theApp.session.interfaceGuid, zc::kHandBack);
    OnClose();
}

void CMainFrame::ApplyCurrentProfile() {
    AdapterSession& session = theApp.session;
    std::string name = session.CurrentProfileName();
    session.ApplyCurrentProfile(name, theApp.store.ReadTxRate(name));
}

void CMainFrame::ShowTray(TrayIcon::Mode mode, UINT iconId, const std::string& tip) {
    icon_ = iconId;
    tooltip_ = tray::FitTip(tip);
    tray_->Notify(Handle(), IconPressedMessage(), mode, iconId, tooltip_);
    if (mode == TrayIcon::kAdd) keyboardEvents_ = tray_->RequestKeyboardEvents(Handle());
}

void CMainFrame::PushSamples(int32_t received, int32_t sent) {
    theApp.greenHistory.Push(received);
    theApp.redHistory.Push(sent);
}

HWND CMainFrame::MonitorWindow() {
    return FindWindowA(nullptr, fw::LoadText(IDS_MONITOR_TITLE).c_str());
}
