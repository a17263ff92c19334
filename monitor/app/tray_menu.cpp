// The tray icon's menu: when it opens, what it lists and what its items do.
#include "monitor/app/main_frame.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "framework/app.h"
#include "monitor/adapter/zero_config.h"
#include "monitor/adapter/zero_config_flags.h"
#include "monitor/app/monitor_app.h"
#include "monitor/app/tray/tray_state.h"
#include "monitor/res/resource.h"
#include "monitor/ui/monitor_dlg.h"
#include "monitor/ui/radio_toggle.h"

void CMainFrame::OnCommand(int id) {
    if (id >= ID_TRAY_PROFILE_FIRST && id <= ID_TRAY_PROFILE_LAST) {
        OnProfileChosen(static_cast<size_t>(id - ID_TRAY_PROFILE_FIRST));
        return;
    }
    switch (id) {
    case ID_APP_ABOUT: theApp.OnAppAbout(); break;
    case ID_TRAY_CONFIGURATION:
    case ID_TRAY_STATUS:
    case ID_TRAY_IPSETTINGS:
    case ID_TRAY_SITESURVEY:
    case ID_TRAY_ABOUT: OnOpenPage(id - ID_TRAY_CONFIGURATION); break;
    case ID_TRAY_RADIO: OnRadioChosen(); break;
    case ID_TRAY_HISTORY: historyWindow_.Open(); break;
    case ID_TRAY_PREFERRED: preferredWindow_.Open(); break;
    case ID_TRAY_NOTICES: OnNoticesChosen(); break;
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
        bool fromKeys = ShowTrayMenu() || mouseMessage == NIN_KEYSELECT;
        if (mouseMessage == NIN_KEYSELECT) keyMenuClosedAt_ = GetTickCount();
        // The keyboard user goes on in the notification area, where the menu came from.
        if (fromKeys && keyboardEvents_) tray_->ReturnFocus(Handle());
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

bool CMainFrame::ShowTrayMenu() {
    HMENU menu = LoadMenuA(fw::ResourceInstance(), MAKEINTRESOURCEA(IDR_TRAY_MENU));
    if (!menu) return false;
    // A click leaves the pointer on the icon; a key press leaves it anywhere, so the menu
    // then opens at the icon.
    POINT at;
    GetCursorPos(&at);
    RECT icon;
    const bool fromKeys = tray_->IconRect(Handle(), &icon) && !PtInRect(&icon, at);
    if (fromKeys) at = {icon.left + (icon.right - icon.left) / 2, icon.top + (icon.bottom - icon.top) / 2};
    SetForegroundWindow(Handle());
    HMENU popup = GetSubMenu(menu, 0);
    FillTrayMenu(popup);
    TrackPopupMenu(popup, 0, at.x, at.y, 0, Handle(), nullptr);
    DestroyMenu(menu);
    return fromKeys;
}

// The Profiles submenu lists the adapter's profiles, the current one checked; the Radio item
// is checked while the radio is on. Without an adapter both are grayed.
void CMainFrame::FillTrayMenu(HMENU popup) {
    CheckMenuItem(popup, ID_TRAY_NOTICES, MF_BYCOMMAND | (noticesOn_ ? MF_CHECKED : MF_UNCHECKED));
    int profilesAt = -1;
    for (int i = 0; i < GetMenuItemCount(popup); ++i)
        if (GetSubMenu(popup, i)) profilesAt = i;
    HMENU profiles = profilesAt >= 0 ? GetSubMenu(popup, profilesAt) : nullptr;
    menuProfiles_.clear();
    if (theApp.adapterPresent <= 0 || !profiles) {
        if (profilesAt >= 0) EnableMenuItem(popup, profilesAt, MF_BYPOSITION | MF_GRAYED);
        EnableMenuItem(popup, ID_TRAY_RADIO, MF_BYCOMMAND | MF_GRAYED);
        EnableMenuItem(popup, ID_TRAY_PREFERRED, MF_BYCOMMAND | MF_GRAYED);
        return;
    }
    const std::vector<std::string>& names = theApp.session.profileNames;
    size_t room = ID_TRAY_PROFILE_LAST - ID_TRAY_PROFILE_FIRST + 1;
    menuProfiles_.assign(names.begin(), names.begin() + std::min(names.size(), room));
    if (!menuProfiles_.empty()) DeleteMenu(profiles, ID_TRAY_NO_PROFILES, MF_BYCOMMAND);
    std::string current = theApp.session.CurrentProfileName();
    for (size_t i = 0; i < menuProfiles_.size(); ++i) {
        UINT flags = MF_STRING | (menuProfiles_[i] == current ? MF_CHECKED : MF_UNCHECKED);
        AppendMenuA(profiles, flags, ID_TRAY_PROFILE_FIRST + i, tray::MenuText(menuProfiles_[i]).c_str());
    }
    CheckMenuItem(popup, ID_TRAY_RADIO, MF_BYCOMMAND | (RadioIsOn() ? MF_CHECKED : MF_UNCHECKED));
}

void CMainFrame::OnProfileChosen(size_t index) {
    // The adapter may have gone while the menu was open.
    if (index >= menuProfiles_.size() || theApp.adapterPresent <= 0) return;
    ApplyNamedProfile(menuProfiles_[index], MonitorWindowPages());
}

void CMainFrame::OnRadioChosen() {
    if (theApp.adapterPresent > 0) SwitchRadio(!RadioIsOn());
}

// The user's own choice: automatic connection stays out of the way until the link next drops.
bool CMainFrame::ApplyNamedProfile(const std::string& name, StorePages& pages) {
    if (!theApp.store.ApplyStoredProfile(name, pages)) return false;
    theApp.autoConnect.UserApplied();
    return true;
}

bool CMainFrame::RadioIsOn() { return RadioToggleForState(theApp.session.RadioState()) == 1; }

void CMainFrame::SwitchRadio(bool on) {
    theApp.session.SwitchRadio(RadioValueForToggle(on ? 1 : 0));
    theMonitorDlg.ShowRadioState();
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
