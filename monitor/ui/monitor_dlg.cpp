#include "monitor/ui/monitor_dlg.h"

#include <commctrl.h>

#include <vector>

#include "framework/app.h"
#include "framework/text/text.h"
#include "monitor/app/monitor_app.h"
#include "monitor/res/resource.h"
#include "monitor/ui/about_page.h"
#include "monitor/ui/banner.h"
#include "monitor/ui/editor/config_page.h"
#include "monitor/ui/help_command.h"
#include "monitor/ui/ip/ip_settings_page.h"
#include "monitor/ui/radio_toggle.h"
#include "monitor/ui/status_page.h"
#include "monitor/ui/survey/site_survey_page.h"

CMonitorDlg theMonitorDlg;

namespace {
constexpr int kTabClicked = NM_CLICK;  // -2

// Ctrl+Tab and Ctrl+PgDn step to the next page, Ctrl+Shift+Tab and Ctrl+PgUp to the
// previous one, from any control of the window; 0 for every other key.
int PageStepForKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || GetKeyState(VK_CONTROL) >= 0) return 0;
    switch (msg.wParam) {
    case VK_TAB: return GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
    case VK_NEXT: return 1;
    case VK_PRIOR: return -1;
    }
    return 0;
}

bool StepPageByKey(const MSG& msg) {
    int step = PageStepForKey(msg);
    if (!step || !theMonitorDlg.Handle() || GetAncestor(msg.hwnd, GA_ROOT) != theMonitorDlg.Handle())
        return false;
    theMonitorDlg.StepPage(step);
    return true;
}

// The modal loop is the dialog manager's, not the application's: pages get their
// Enter/Escape swallowing, and the window its page keys, through the dialog-box message
// filter while the window is open.
LRESULT CALLBACK PageKeyFilter(int code, WPARAM wp, LPARAM lp) {
    if (code == MSGF_DIALOGBOX) {
        const MSG& msg = *reinterpret_cast<const MSG*>(lp);
        if (fw::SwallowPageKeys(msg) || StepPageByKey(msg)) return 1;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

class MessageFilterHook {
public:
    MessageFilterHook()
        : hook_(SetWindowsHookExA(WH_MSGFILTER, PageKeyFilter, nullptr, GetCurrentThreadId())) {}
    ~MessageFilterHook() {
        if (hook_) UnhookWindowsHookEx(hook_);
    }
    MessageFilterHook(const MessageFilterHook&) = delete;
    MessageFilterHook& operator=(const MessageFilterHook&) = delete;

private:
    HHOOK hook_;
};

// The window's own pages: a message box over whatever the window shows on top (the
// New-profile dialog, say), the Configuration page's Security sub-tab (shown now when the
// page is, remembered for its next build in any case), the Status page shown, the current
// profile marked.
class WindowPages : public StorePages {
public:
    void ShowCheckMessage(UINT textId) override {
        HWND window = theMonitorDlg.Handle();
        HWND owner = window ? GetLastActivePopup(window) : nullptr;
        fw::MessageBoxText(owner, textId, IDS_MONITOR_TITLE, MB_OK | MB_ICONSTOP);
    }
    void ShowSecuritySubTab() override { theConfigPage.ShowSubPage(1); }
    void ShowStatusPage() override { theMonitorDlg.SwitchPage(1); }
    void ShowCurrentProfile() override { theConfigPage.ShowCurrentProfile(); }
};

std::string CurrentDirectory() {
    DWORD size = GetCurrentDirectoryA(0, nullptr);
    std::vector<char> dir(size + 1);
    DWORD n = GetCurrentDirectoryA(static_cast<DWORD>(dir.size()), dir.data());
    return n && n < dir.size() ? std::string(dir.data(), n) : std::string();
}
}  // namespace

StorePages& MonitorWindowPages() {
    static WindowPages pages;
    return pages;
}

CMonitorDlg::CMonitorDlg() : fw::Dialog(IDD_MONITOR) {}

CMonitorDlg::~CMonitorDlg() = default;

fw::Dialog* CMonitorDlg::Page(int index) {
    switch (index) {
    case 0: return &theConfigPage;
    case 1: return &theStatusPage;
    case 2: return &theIpSettingsPage;
    case 3: return &theSiteSurveyPage;
    case 4: return &theAboutPage;
    }
    return nullptr;
}

INT_PTR CMonitorDlg::Show(HWND owner) {
    MessageFilterHook pageKeys;
    return DoModal(owner);
}

INT_PTR CMonitorDlg::DialogProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_CLOSE: OnCloseRequested(); return TRUE;
    case WM_SYSCOMMAND: return OnSysCommand(wp);
    case WM_COMMAND: return OnCommand(LOWORD(wp), HIWORD(wp));
    case WM_NOTIFY: return OnNotify(*reinterpret_cast<const NMHDR*>(lp));
    case WM_PAINT: OnPaint(); return TRUE;
    case WM_DRAWITEM: return COwnerDrawButton::DrawFromParent(lp);
    }
    return FALSE;
}

BOOL CMonitorDlg::OnInitDialog() {
    HICON icon = LoadIconA(fw::ResourceInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    modelNumber = AdapterSession::ModelNumber();

    radioButton_.Attach(Item(IDC_RADIO_BUTTON));
    helpButton_.Attach(Item(IDC_HELP_BUTTON));
    hideButton_.Attach(Item(IDC_HIDE_BUTTON));
    InitRadioButton();
    helpButton_.SetBitmap(IDB_HELP);
    hideButton_.SetBitmap(IDB_HIDE);
    radioButton_.SetBitmaps(IDB_RADIO_OFF, IDB_RADIO_ON);

    currentPage = initialPage >= 0 && initialPage < kPageCount ? initialPage : 0;
    BuildTabs();
    return TRUE;
}

void CMonitorDlg::InitRadioButton() {
    EnableWindow(Item(IDC_RADIO_BUTTON), FALSE);
    int32_t radioState = 0;
    if (theApp.adapterPresent != 0) {
        SendDlgItemMessageA(Handle(), IDC_ADAPTER_COMBO, CB_SETCURSEL, 0, 0);
        EnableWindow(Item(IDC_RADIO_BUTTON), TRUE);
        radioState = theApp.session.RadioState();
    }
    int toggle = RadioToggleForState(radioState);
    radioButton_.SetCheck(toggle);
    SetDlgItemTextA(Handle(), IDC_RADIO_BUTTON, fw::LoadText(RadioTextForToggle(toggle)).c_str());
}

void CMonitorDlg::ShowRadioState() {
    if (Handle()) InitRadioButton();
}

void CMonitorDlg::BuildTabs() {
    HWND tab = Item(IDC_TAB);
    TabCtrl_DeleteAllItems(tab);
    for (int i = 0; i < kPageCount; ++i) {
        std::string text = fw::LoadText(IDS_TAB_CONFIGURATION + i);
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = &text[0];
        SendMessageA(tab, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    TabCtrl_SetCurSel(tab, currentPage);
    ShowPage(currentPage);
}

void CMonitorDlg::SwitchPage(int index) {
    if (!Handle() || !Page(index)) return;
    Page(currentPage)->Destroy();
    TabCtrl_SetCurSel(Item(IDC_TAB), index);
    currentPage = index;
    ShowPage(index);
}

void CMonitorDlg::StepPage(int step) {
    SwitchPage((currentPage + step % kPageCount + kPageCount) % kPageCount);
}

void CMonitorDlg::ShowPage(int index) {
    fw::Dialog* page = Page(index);
    if (!page->CreateModeless(Handle())) return;
    // On top: above the tab strip, which the page overlaps, and first in the tab order,
    // which then runs on to the buttons and the tab strip (last in the template).
    SetWindowPos(page->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ShowWindow(page->Handle(), SW_SHOW);
    FocusPage(page->Handle());
}

// Whoever moves along the tab strip keeps the focus there; otherwise it goes to the page's
// first control, as when the window opens.
void CMonitorDlg::FocusPage(HWND page) {
    HWND tab = Item(IDC_TAB);
    if (GetFocus() == tab) return;
    HWND first = GetNextDlgTabItem(page, nullptr, FALSE);
    if (!first || !IsChild(page, first)) first = tab;
    SendMessageA(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
}

BOOL CMonitorDlg::OnNotify(const NMHDR& header) {
    if (header.idFrom != IDC_TAB) return FALSE;
    // A click, or a change of tab by keyboard: show the selected tab's page unless it is
    // already shown.
    if (header.code != static_cast<UINT>(kTabClicked) && header.code != TCN_SELCHANGE) return FALSE;
    int selected = TabCtrl_GetCurSel(Item(IDC_TAB));
    if (selected != currentPage) SwitchPage(selected);
    return TRUE;
}

BOOL CMonitorDlg::OnCommand(int id, int code) {
    switch (id) {
    case IDCANCEL: return TRUE;  // Escape keeps the window open
    case IDC_HIDE_BUTTON: OnCloseRequested(); return TRUE;
    case IDC_HELP_BUTTON: OnHelpClicked(); return TRUE;
    case IDC_RADIO_BUTTON:
        if (code == BN_CLICKED) OnRadioClicked();
        return TRUE;
    }
    return FALSE;
}

BOOL CMonitorDlg::OnSysCommand(WPARAM command) {
    if ((command & 0xFFF0) != SC_CLOSE) return FALSE;
    OnCloseRequested();
    return TRUE;
}

// The window closes; the program keeps running in the tray.
void CMonitorDlg::OnCloseRequested() { End(IDCANCEL); }

void CMonitorDlg::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    RECT area = {0, 0, 0, 0};
    PaintBanner(dc, modelNumber == 54 ? IDB_BANNER_54 : IDB_BANNER_108, area, false);
    EndPaint(Handle(), &ps);
}

void CMonitorDlg::OnHelpClicked() {
    // The viewer may be missing: nothing is reported.
    WinExec(HelpCommandLine(CurrentDirectory(), modelNumber).c_str(), SW_SHOWNORMAL);
}

void CMonitorDlg::OnRadioClicked() {
    int toggle = radioButton_.GetCheck();
    int value = RadioValueForToggle(toggle);
    SetDlgItemTextA(Handle(), IDC_RADIO_BUTTON, fw::LoadText(RadioTextForToggle(toggle)).c_str());
    theApp.session.SwitchRadio(value);
}
