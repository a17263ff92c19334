#include "monitor/ui/preferred/preferred_window.h"

#include <utility>

#include "athcfg/athcfg.h"
#include "framework/text/text.h"
#include "monitor/app/monitor_app.h"
#include "monitor/res/resource.h"

namespace {
const UINT kColumnTitles[] = {IDS_PREFERRED_PROFILE, IDS_PREFERRED_SSID, IDS_PREFERRED_FOUND};
const int kColumnWidths[] = {95, 125};  // the last column takes the rest
}  // namespace

CPreferredWindow::CPreferredWindow() : fw::Dialog(IDD_PREFERRED) {}

void CPreferredWindow::Open() {
    if (!Handle() && !CreateModeless(nullptr)) return;
    ShowWindow(Handle(), SW_SHOWNORMAL);
    SetForegroundWindow(Handle());
}

INT_PTR CPreferredWindow::DialogProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_COMMAND: return OnCommand(LOWORD(wp));
    case WM_NOTIFY: return OnNotify(*reinterpret_cast<const NMHDR*>(lp));
    }
    return FALSE;
}

BOOL CPreferredWindow::OnInitDialog() {
    HWND list = Item(IDC_PREFERRED_LIST);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    for (int i = 0; i < 3; ++i) {
        std::string title = fw::LoadText(kColumnTitles[i]);
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = i < 2 ? kColumnWidths[i] : 0;
        column.pszText = &title[0];
        SendMessageA(list, LVM_INSERTCOLUMNA, WPARAM(i), reinterpret_cast<LPARAM>(&column));
    }
    SendMessageA(list, LVM_SETCOLUMNWIDTH, 2, LVSCW_AUTOSIZE_USEHEADER);
    order_ = theApp.autoConnect.Order();
    FillList(0);
    ShowSwitch();
    return TRUE;  // the list has the focus
}

BOOL CPreferredWindow::OnCommand(int id) {
    switch (id) {
    case IDC_PREFERRED_UP: OnMove(-1); return TRUE;
    case IDC_PREFERRED_DOWN: OnMove(1); return TRUE;
    case IDOK: OnOk(); return TRUE;
    case IDCANCEL: Destroy(); return TRUE;
    }
    return FALSE;
}

BOOL CPreferredWindow::OnNotify(const NMHDR& header) {
    if (header.idFrom != IDC_PREFERRED_LIST || header.code != LVN_ITEMCHANGED) return FALSE;
    EnableMoves();
    return TRUE;
}

void CPreferredWindow::OnMove(int step) {
    int from = Selected(), to = from + step;
    if (from < 0 || to < 0 || to >= int(order_.size())) return;
    std::swap(order_[size_t(from)], order_[size_t(to)]);
    FillList(to);
    // A button that can move no further is disabled: the keyboard goes on in the list.
    if (!IsWindowEnabled(GetFocus())) SendMessageA(Handle(), WM_NEXTDLGCTL, WPARAM(Item(IDC_PREFERRED_LIST)), TRUE);
}

void CPreferredWindow::OnOk() {
    theApp.autoConnect.SetOrder(order_);
    theApp.autoConnect.SetSwitch(IsDlgButtonChecked(Handle(), IDC_PREFERRED_AUTO) == BST_CHECKED);
    Destroy();
}

void CPreferredWindow::FillList(int selected) {
    HWND list = Item(IDC_PREFERRED_LIST);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    ACAdapterConfig* config = theApp.session.mainConfig;
    for (size_t row = 0; row < order_.size(); ++row) {
        const ACProfile* profile = config ? config->GetProfile(order_[row].c_str()) : nullptr;
        std::string ssid = profile ? profile->ssid.c_str() : "";
        std::string cells[] = {order_[row], ssid.empty() ? fw::LoadText(IDS_PREFERRED_ANY) : ssid,
                               theApp.autoConnect.LastFound(order_[row])};
        for (int col = 0; col < 3; ++col) {
            LVITEMA item = {};
            item.mask = LVIF_TEXT;
            item.iItem = int(row);
            item.iSubItem = col;
            item.pszText = &cells[col][0];
            SendMessageA(list, col == 0 ? LVM_INSERTITEMA : LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        }
    }
    if (selected >= 0 && selected < int(order_.size())) {
        LVITEMA state = {};
        state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(list, LVM_SETITEMSTATE, WPARAM(selected), reinterpret_cast<LPARAM>(&state));
        SendMessageA(list, LVM_ENSUREVISIBLE, WPARAM(selected), FALSE);
    }
    EnableMoves();
}

void CPreferredWindow::ShowFindings() {
    if (!Handle()) return;
    HWND list = Item(IDC_PREFERRED_LIST);
    for (size_t row = 0; row < order_.size(); ++row) {
        std::string found = theApp.autoConnect.LastFound(order_[row]);
        LVITEMA item = {};
        item.iSubItem = 2;
        item.pszText = &found[0];
        SendMessageA(list, LVM_SETITEMTEXTA, WPARAM(row), reinterpret_cast<LPARAM>(&item));
    }
}

void CPreferredWindow::ShowSwitch() {
    if (Handle()) CheckDlgButton(Handle(), IDC_PREFERRED_AUTO, theApp.autoConnect.SwitchOn() ? BST_CHECKED : BST_UNCHECKED);
}

void CPreferredWindow::EnableMoves() {
    int row = Selected();
    EnableWindow(Item(IDC_PREFERRED_UP), row > 0);
    EnableWindow(Item(IDC_PREFERRED_DOWN), row >= 0 && row + 1 < int(order_.size()));
}

int CPreferredWindow::Selected() const {
    return int(SendMessageA(Item(IDC_PREFERRED_LIST), LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
}
