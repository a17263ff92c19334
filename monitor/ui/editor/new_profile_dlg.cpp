#include "monitor/ui/editor/new_profile_dlg.h"

#include <vector>

#include "framework/text/text.h"
#include "monitor/app/monitor_app.h"
#include "monitor/res/resource.h"

CNewProfileDlg::CNewProfileDlg() : fw::Dialog(IDD_NEW_PROFILE) {}

INT_PTR CNewProfileDlg::DialogProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: return TRUE;  // focus on the name
    // The close box ends the dialog like OK, but without creating a profile.
    case WM_CLOSE: End(IDOK); return TRUE;
    case WM_COMMAND: return OnCommand(LOWORD(wp));
    }
    return FALSE;
}

BOOL CNewProfileDlg::OnCommand(int id) {
    switch (id) {
    case IDOK: OnOk(); return TRUE;
    case IDCANCEL: End(IDCANCEL); return TRUE;  // Escape creates nothing
    }
    return FALSE;
}

std::string CNewProfileDlg::TypedName() const {
    HWND edit = Item(IDC_NEW_PROFILE_NAME);
    std::vector<char> text(GetWindowTextLengthA(edit) + 1);
    int n = GetWindowTextA(edit, text.data(), static_cast<int>(text.size()));
    return std::string(text.data(), n > 0 ? n : 0);
}

void CNewProfileDlg::OnOk() {
    std::string name = TypedName();
    if (name.empty()) return Refuse(IDS_ENTER_PROFILE_NAME);
    for (const std::string& existing : theApp.session.profileNames)
        if (ProfileStore::SameName(existing, name)) return Refuse(IDS_PROFILE_EXISTS);
    if (theApp.store.CreateProfile(name)) {
        End(IDOK);
        return;
    }
    // The store refused the name (and said why): it stays as typed, to be shortened.
    HWND edit = Item(IDC_NEW_PROFILE_NAME);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SetFocus(edit);
}

void CNewProfileDlg::Refuse(UINT textId) {
    fw::MessageBoxText(Handle(), textId, IDS_MONITOR_TITLE, MB_OK | MB_ICONSTOP);
    SetDlgItemTextA(Handle(), IDC_NEW_PROFILE_NAME, "");
    SetFocus(Item(IDC_NEW_PROFILE_NAME));
}
