#include "monitor/ui/site_survey_page.h"

#include <commctrl.h>

#include <cstring>

#include "athcfg/athcfg.h"
#include "framework/text.h"
#include "monitor/adapter/oids.h"
#include "monitor/app/monitor_app.h"
#include "monitor/res/resource.h"
#include "monitor/ui/monitor_dlg.h"
#include "monitor/ui/survey_rows.h"

CSiteSurveyPage theSiteSurveyPage;

namespace {
constexpr UINT_PTR kScanTimer = 199;
constexpr UINT kScanTickMs = 40;
constexpr int kScanSteps = 100;
constexpr int kColumnClicked = LVN_COLUMNCLICK;  // -108
constexpr int kDoubleClicked = NM_DBLCLK;        // -3
// Joining a network may switch pages, which destroys this page and its list: the
// double-click is answered once the list has finished with it.
constexpr UINT kConnectMessage = WM_APP + 1;

std::string TextOf(int id) { return id ? fw::LoadText(id) : std::string(); }

int CALLBACK CompareRows(LPARAM first, LPARAM second, LPARAM ascending) {
    return survey::CompareKeys(int32_t(first), int32_t(second), ascending != 0);
}

// Reads one of the driver's network lists into a zeroed buffer; what the driver answers
// is not looked at, the buffer's contents decide.
void ReadList(uint32_t oidCode, uint8_t (&buffer)[kScanBufferSize]) {
    std::memset(buffer, 0, sizeof buffer);
    DWORD written = 0, length = sizeof buffer;
    AcsGetOid(theApp.session.deviceName.c_str(), oidCode, &written, buffer, &length);
}
}  // namespace

CSiteSurveyPage::CSiteSurveyPage() : fw::Dialog(IDD_SITESURVEY_PAGE) {}

HWND CSiteSurveyPage::List() const { return Item(IDC_SURVEY_LIST); }

INT_PTR CSiteSurveyPage::DialogProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_DESTROY: OnDestroy(); return TRUE;
    case WM_TIMER: return OnTimer(wp);
    case WM_COMMAND: return OnCommand(LOWORD(wp), HIWORD(wp));
    case WM_NOTIFY: return OnNotify(*reinterpret_cast<const NMHDR*>(lp));
    case WM_DRAWITEM: return COwnerDrawButton::DrawFromParent(lp);
    case kConnectMessage: OnConnect(); return TRUE;
    }
    return FALSE;
}

BOOL CSiteSurveyPage::OnInitDialog() {
    scanButton_.Attach(Item(IDC_SCAN_BUTTON));
    scanButton_.SetCaptions(fw::LoadText(IDS_SCAN), fw::LoadText(IDS_SCANNING));
    scanButton_.SetBitmaps(IDB_RENEW, IDB_RENEW);

    HWND bar = Item(IDC_SCAN_PROGRESS);
    progress_.Attach(bar);
    SendMessageA(bar, PBM_SETSTEP, 1, 0);
    SendMessageA(bar, PBM_SETRANGE32, 0, kScanSteps);
    SendMessageA(bar, PBM_SETPOS, 0, 0);
    progress_.startColour = RGB(255, 50, 1);
    progress_.endColour = RGB(255, 200, 185);

    xrLayout = survey::UsesXrLayout(theApp.Status().SupportedModes()) ? 1 : 0;
    InsertColumns();
    SendMessageA(List(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    SizeColumns();

    if (theApp.adapterPresent <= 0) {
        EnableWindow(Item(IDC_SCAN_BUTTON), FALSE);
        EnableWindow(List(), FALSE);
        return TRUE;
    }
    // The driver still holds the last scan's results: they show at once.
    FillList();
    scanButton_.SetCheck(0);
    EnableWindow(List(), TRUE);
    return TRUE;
}

// Closing the page ends a scan that is under way.
void CSiteSurveyPage::OnDestroy() { KillTimer(Handle(), kScanTimer); }

BOOL CSiteSurveyPage::OnCommand(int id, int code) {
    switch (id) {
    case IDOK:
    case IDCANCEL: return TRUE;  // Enter and Escape do nothing here
    case IDC_SCAN_BUTTON:
        if (code == BN_CLICKED) OnScanClicked();
        return TRUE;
    }
    return FALSE;
}

BOOL CSiteSurveyPage::OnNotify(const NMHDR& header) {
    if (header.idFrom != IDC_SURVEY_LIST) return FALSE;
    switch (int(header.code)) {
    case kColumnClicked:
        OnColumnClicked(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
        return TRUE;
    case kDoubleClicked:
        PostMessageA(Handle(), kConnectMessage, 0, 0);
        return TRUE;
    }
    return FALSE;
}

void CSiteSurveyPage::OnScanClicked() {
    scanButton_.SetCheck(1);  // "Scanning ..." however the click came
    EnableWindow(Item(IDC_SCAN_BUTTON), FALSE);
    ShowWindow(Item(IDC_SCAN_PROGRESS), SW_SHOW);
    scanStep = 0;
    SendMessageA(Item(IDC_SCAN_PROGRESS), PBM_SETPOS, 0, 0);
    SetTimer(Handle(), kScanTimer, kScanTickMs, nullptr);
    // Should the request fail, the page still waits and lists what the driver then has.
    DWORD start = 0, read = 0;
    AcsSetOid(theApp.session.deviceName.c_str(), oid::kStartScan, &read, &start, sizeof start);
}

BOOL CSiteSurveyPage::OnTimer(UINT_PTR id) {
    if (id != kScanTimer) return FALSE;
    SendMessageA(Item(IDC_SCAN_PROGRESS), PBM_SETPOS, scanStep, 0);
    if (++scanStep < kScanSteps) return TRUE;
    KillTimer(Handle(), kScanTimer);
    scanButton_.SetCheck(0);
    EnableWindow(Item(IDC_SCAN_BUTTON), TRUE);
    ShowWindow(Item(IDC_SCAN_PROGRESS), SW_HIDE);
    FillList();
    return TRUE;
}

void CSiteSurveyPage::InsertColumns() {
    std::vector<int> titles = survey::ColumnTitles(xrLayout != 0);
    for (size_t i = 0; i < titles.size(); ++i) {
        std::string title = fw::LoadText(titles[i]);
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.pszText = &title[0];
        column.iSubItem = int(i);
        SendMessageA(List(), LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
}

// Each column as wide as the wider of its heading and its texts. Some list views size by
// the heading's bare text; the heading's own margins are added so it is never cut.
void CSiteSurveyPage::SizeColumns() {
    std::vector<int> titles = survey::ColumnTitles(xrLayout != 0);
    const int margins = 4 * GetSystemMetrics(SM_CXEDGE) + 4;
    for (size_t i = 0; i < titles.size(); ++i) {
        SendMessageA(List(), LVM_SETCOLUMNWIDTH, i, LVSCW_AUTOSIZE_USEHEADER);
        std::string title = fw::LoadText(titles[i]);
        int heading = int(SendMessageA(List(), LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(title.c_str())));
        if (SendMessageA(List(), LVM_GETCOLUMNWIDTH, i, 0) < heading + margins)
            SendMessageA(List(), LVM_SETCOLUMNWIDTH, i, heading + margins);
    }
}

void CSiteSurveyPage::FillList() {
    HWND list = List();
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    AdapterSession& session = theApp.session;
    ReadList(oid::kNetworkList, session.scanList);
    ReadList(oid::kVendorNetworkList, session.vendorScanList);
    std::vector<survey::Row> rows = survey::ReadRows(session.scanList, sizeof session.scanList,
                                                     session.vendorScanList, sizeof session.vendorScanList,
                                                     xrLayout != 0);
    // One repaint for the whole list, not one per cell.
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_SETITEMCOUNT, rows.size(), 0);
    for (const survey::Row& row : rows) {
        std::vector<std::string> cells = survey::Cells(row, xrLayout != 0, TextOf);
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        item.pszText = &cells[0][0];
        int index = int(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        if (index < 0) continue;
        for (size_t column = 1; column < cells.size(); ++column) {
            LVITEMA sub = {};
            sub.iSubItem = int(column);
            sub.pszText = const_cast<char*>(cells[column].c_str());
            SendMessageA(list, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&sub));
        }
    }
    SizeColumns();
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

std::string CSiteSurveyPage::CellText(int row, int column) const {
    char text[256] = {};
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(List(), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

std::vector<std::string> CSiteSurveyPage::RowCells(int row) const {
    std::vector<std::string> cells;
    int count = int(survey::ColumnTitles(xrLayout != 0).size());
    for (int column = 0; column < count; ++column) cells.push_back(CellText(row, column));
    return cells;
}

void CSiteSurveyPage::OnColumnClicked(int column) {
    if (theApp.adapterPresent <= 0) return;
    if (column < 0 || size_t(column) >= survey::ColumnTitles(xrLayout != 0).size()) return;
    // A sort during a scan leaves Scan disabled until the scan ends.
    HWND scan = Item(IDC_SCAN_BUTTON);
    BOOL scanEnabled = IsWindowEnabled(scan);
    EnableWindow(scan, FALSE);
    sortAscending = column == sortedColumn ? !sortAscending : 1;
    sortedColumn = column;

    HWND list = List();
    int rows = int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    std::vector<std::string> texts;
    for (int row = 0; row < rows; ++row) texts.push_back(CellText(row, column));
    std::vector<int32_t> keys = survey::SortKeys(texts, survey::IsNumericColumn(column));
    for (int row = 0; row < rows; ++row) {
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        item.lParam = keys[size_t(row)];
        SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(list, LVM_SORTITEMS, WPARAM(sortAscending), reinterpret_cast<LPARAM>(CompareRows));
    EnableWindow(scan, scanEnabled);
}

void CSiteSurveyPage::OnConnect() {
    if (theApp.adapterPresent <= 0 || !theApp.editProfile) return;
    HWND list = List();
    int row = int(SendMessageA(list, LVM_GETSELECTIONMARK, 0, 0));
    if (row < 0 || !(SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED)) return;

    survey::JoinSettings join =
        survey::JoinSettingsFor(RowCells(row), xrLayout != 0, fw::LoadText(IDS_INFRASTRUCTURE));
    // The join changes the current profile: a fresh copy of it, whatever the editor held.
    const std::string current = theApp.session.CurrentProfileName();
    theApp.store.ReloadProfile(current);
    if (!theApp.editProfile) return;
    ACProfile& edit = *theApp.editProfile;
    edit.ssid = join.ssid.c_str();
    edit.infrastructure = join.infrastructure;
    edit.channelMHz = join.channelMHz;
    edit.wirelessMode = join.wirelessMode;
    edit.privacy = join.privacy;
    edit.eapMethod = join.eapMethod;
    edit.wpa = join.wpa;

    if (join.privacy) {
        // The user gives the key on the Configuration page's Security sub-tab.
        theApp.rememberedSubTab = 1;
        theApp.keepEdit = true;
        theMonitorDlg.SwitchPage(0);
        theApp.keepEdit = false;
        return;
    }
    theApp.store.ApplyProfile(current);
}
