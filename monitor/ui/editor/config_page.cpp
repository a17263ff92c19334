#include "monitor/ui/editor/config_page.h"

#include <commctrl.h>

#include <cstring>

#include "athcfg/athcfg.h"
#include "framework/text/text.h"
#include "monitor/adapter/oids.h"
#include "monitor/app/monitor_app.h"
#include "monitor/res/resource.h"
#include "monitor/ui/editor/common_page.h"
#include "monitor/ui/editor/config_lists.h"
#include "monitor/ui/editor/new_profile_dlg.h"
#include "monitor/ui/editor/security/security_page.h"

CConfigPage theConfigPage;

namespace {
constexpr int kSubTabClicked = NM_CLICK;  // -2
constexpr int kSubTabCount = 2;
}  // namespace

CConfigPage::CConfigPage() : fw::Dialog(IDD_CONFIG_PAGE) {}

fw::Dialog* CConfigPage::SubPage(int index) {
    switch (index) {
    case 0: return &theCommonPage;
    case 1: return &theSecurityPage;
    }
    return nullptr;
}

INT_PTR CConfigPage::DialogProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_COMMAND: return OnCommand(LOWORD(wp), HIWORD(wp));
    case WM_NOTIFY: return OnNotify(*reinterpret_cast<const NMHDR*>(lp));
    case WM_DRAWITEM: return COwnerDrawButton::DrawFromParent(lp);
    }
    return FALSE;
}

BOOL CConfigPage::OnInitDialog() {
    newButton_.Attach(Item(IDC_NEW_PROFILE));
    saveButton_.Attach(Item(IDC_SAVE_PROFILE));
    deleteButton_.Attach(Item(IDC_DELETE_PROFILE));
    applyButton_.Attach(Item(IDC_APPLY_PROFILE));
    newButton_.SetBitmap(IDB_NEW);
    saveButton_.SetBitmap(IDB_SAVE);
    deleteButton_.SetBitmap(IDB_DELETE);
    applyButton_.SetBitmap(IDB_APPLY);
    currentSubTab = 0;
    FillProfileList();
    return TRUE;
}

BOOL CConfigPage::OnCommand(int id, int code) {
    switch (id) {
    // Enter and Escape reach a page as IDOK and IDCANCEL: neither does anything here.
    case IDOK:
    case IDCANCEL: return TRUE;
    case IDC_NEW_PROFILE: OnNew(); return TRUE;
    case IDC_SAVE_PROFILE: OnSave(); return TRUE;
    case IDC_DELETE_PROFILE: OnDelete(); return TRUE;
    case IDC_APPLY_PROFILE: OnApply(); return TRUE;
    case IDC_PROFILE_LIST:
        if (code == CBN_SELCHANGE) OnProfileSelected();
        return TRUE;
    }
    return FALSE;
}

BOOL CConfigPage::OnNotify(const NMHDR& header) {
    if (header.idFrom != IDC_SUBTAB) return FALSE;
    // A click, or a change of sub-tab by keyboard.
    if (header.code != static_cast<UINT>(kSubTabClicked) && header.code != TCN_SELCHANGE) return FALSE;
    OnTabClick();
    SetWindowLongPtrA(Handle(), DWLP_MSGRESULT, 0);
    return TRUE;
}

std::string CConfigPage::SelectedName() const {
    LRESULT index = SendDlgItemMessageA(Handle(), IDC_PROFILE_LIST, CB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<size_t>(index) >= names_.size()) return std::string();
    return names_[static_cast<size_t>(index)];
}

void CConfigPage::FillProfileList() {
    HWND list = Item(IDC_PROFILE_LIST);
    HWND deleteButton = Item(IDC_DELETE_PROFILE);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    names_.clear();
    const int controls[] = {IDC_APPLY_PROFILE, IDC_NEW_PROFILE, IDC_SAVE_PROFILE,
                            IDC_DELETE_PROFILE, IDC_PROFILE_LIST};
    for (int id : controls) EnableWindow(Item(id), FALSE);

    if (theApp.adapterPresent != 0) {
        for (int id : controls) EnableWindow(Item(id), TRUE);
        std::string current = theApp.session.CurrentProfileName();
        names_ = theApp.session.profileNames;
        for (size_t i = 0; i < names_.size(); ++i) {
            bool isCurrent = names_[i] == current;
            std::string entry = config_lists::ProfileEntry(names_[i], isCurrent);
            SendMessageA(list, CB_INSERTSTRING, i, reinterpret_cast<LPARAM>(entry.c_str()));
            if (isCurrent) {
                SendMessageA(list, CB_SETCURSEL, i, 0);
                EnableWindow(deleteButton, FALSE);
            }
        }
        if (names_.size() <= 1) EnableWindow(deleteButton, FALSE);
        if (!theApp.keepEdit) theApp.store.LoadProfileForEdit(current);
    }
    int remembered = theApp.rememberedSubTab;
    RebuildSubTabs();
    if (remembered == 1) ShowSubPage(1);
}

void CConfigPage::ShowCurrentProfile() {
    if (!Handle()) return;
    HWND list = Item(IDC_PROFILE_LIST);
    LRESULT selected = SendMessageA(list, CB_GETCURSEL, 0, 0);
    std::string current = theApp.session.CurrentProfileName();
    for (size_t i = 0; i < names_.size(); ++i) {
        std::string entry = config_lists::ProfileEntry(names_[i], names_[i] == current);
        SendMessageA(list, CB_DELETESTRING, i, 0);
        SendMessageA(list, CB_INSERTSTRING, i, reinterpret_cast<LPARAM>(entry.c_str()));
    }
    SendMessageA(list, CB_SETCURSEL, WPARAM(selected), 0);
    EnableWindow(Item(IDC_DELETE_PROFILE), names_.size() > 1 && SelectedName() != current);
}

// The Common page is built first whichever sub-tab shows: its start-up rules fit the edit
// profile to the adapter.
void CConfigPage::RebuildSubTabs() {
    HWND tab = Item(IDC_SUBTAB);
    TabCtrl_DeleteAllItems(tab);
    for (int i = 0; i < kSubTabCount; ++i) SubPage(i)->Destroy();
    for (int i = 0; i < kSubTabCount; ++i) {
        std::string text = fw::LoadText(IDS_SUBTAB_COMMON + i);
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = &text[0];
        SendMessageA(tab, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    ShowSubPage(0);
}

void CConfigPage::ShowSubPage(int index) {
    fw::Dialog* page = SubPage(index);
    if (!page) return;
    theApp.rememberedSubTab = index;
    if (!Handle()) return;  // remembered for the page's next build
    for (int i = 0; i < kSubTabCount; ++i) SubPage(i)->Destroy();
    TabCtrl_SetCurSel(Item(IDC_SUBTAB), index);
    currentSubTab = index;
    if (!page->CreateModeless(Handle())) return;
    // Just above the tab control, which it lies on: the tab order reads the profile row,
    // then the sub-page, the sub-tabs and Apply.
    HWND above = GetWindow(Item(IDC_SUBTAB), GW_HWNDPREV);
    SetWindowPos(page->Handle(), above ? above : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ShowWindow(page->Handle(), SW_SHOW);
}

void CConfigPage::OnTabClick() {
    int selected = TabCtrl_GetCurSel(Item(IDC_SUBTAB));
    if (selected >= 0 && selected != currentSubTab) ShowSubPage(selected);
}

void CConfigPage::OnNew() {
    CNewProfileDlg dialog;
    dialog.DoModal(GetAncestor(Handle(), GA_ROOT));
    // Whatever the dialog did, the list shows the profiles as they are now.
    if (Handle()) FillProfileList();
}

void CConfigPage::OnSave() {
    std::string name = SelectedName();
    if (!name.empty()) theApp.store.SaveProfile(name);
}

void CConfigPage::OnDelete() {
    std::string name = SelectedName();
    if (name.empty()) return;
    theApp.store.DeleteProfile(name);
    FillProfileList();
}

void CConfigPage::OnApply() {
    // Success shows the Status page, which destroys this one: nothing of the page may follow.
    std::string name = SelectedName();
    if (!name.empty() && theApp.store.ApplyProfile(name)) theApp.autoConnect.UserApplied();
}

void CConfigPage::OnProfileSelected() {
    int shownTab = TabCtrl_GetCurSel(Item(IDC_SUBTAB));
    std::string name = SelectedName();
    EnableWindow(Item(IDC_DELETE_PROFILE),
                 names_.size() > 1 && name != theApp.session.CurrentProfileName());
    // A fresh copy of the stored profile: edits not saved are dropped.
    if (theApp.adapterPresent != 0) theApp.store.ReloadProfile(name);
    RebuildSubTabs();
    if (shownTab != 0) ShowSubPage(1);
}

std::vector<std::string> CConfigPage::GetScannedSsids() {
    uint8_t* list = theApp.session.scanList;
    std::memset(list, 0, kScanBufferSize);
    DWORD written = 0, length = kScanBufferSize;
    AcsGetOid(theApp.session.deviceName.c_str(), oid::kNetworkList, &written, list, &length);
    return config_lists::ScannedSsids(list, kScanBufferSize);
}
