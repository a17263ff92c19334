#include "monitor/ui/survey/site_survey_page.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>

#include "athcfg/athcfg.h"
#include "framework/text/text.h"
#include "monitor/app/monitor_app.h"
#include "monitor/res/resource.h"
#include "monitor/ui/monitor_dlg.h"
#include "monitor/ui/survey/survey_menu.h"
#include "monitor/ui/survey/survey_rows.h"

CSiteSurveyPage theSiteSurveyPage;

namespace {
constexpr UINT_PTR kScanTimer = 199;
constexpr UINT_PTR kRescanTimer = 200;
constexpr UINT kRescanMs = 30000;
constexpr UINT kScanTickMs = 40;
constexpr int kScanSteps = 100;
constexpr int kColumnClicked = LVN_COLUMNCLICK;  // -108
constexpr int kDoubleClicked = NM_DBLCLK;        // -3
constexpr int kListFocused = NM_SETFOCUS;        // -7
constexpr int kCustomDraw = NM_CUSTOMDRAW;
constexpr int kInfoTip = LVN_GETINFOTIPA;
constexpr int kGetDisplayInfo = LVN_GETDISPINFOA;
// Joining a network may switch pages, which destroys this page and its list: the
// double-click is answered once the list has finished with it.
constexpr UINT kConnectMessage = WM_APP + 1;

std::string TextOf(int id) { return id ? fw::LoadText(id) : std::string(); }

// An item's lParam is its row's index in the page's list of what it shows.
struct SortOrder {
    const std::vector<int32_t>* keys;
    bool ascending;
};

int CALLBACK CompareRows(LPARAM first, LPARAM second, LPARAM order) {
    const SortOrder& o = *reinterpret_cast<const SortOrder*>(order);
    auto key = [&](LPARAM i) { return size_t(i) < o.keys->size() ? (*o.keys)[size_t(i)] : 0; };
    return survey::CompareKeys(key(first), key(second), o.ascending);
}

// A listed network, told apart by its BSSID and SSID.
std::string NetworkKey(const std::vector<std::string>& cells) {
    return cells[survey::kBssidColumn] + '\n' + cells[survey::kSsidColumn];
}

std::string LocalTimeText() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour,
                  t.wMinute, t.wSecond);
    return text;
}
}  // namespace

CSiteSurveyPage::CSiteSurveyPage() : fw::Dialog(IDD_SITESURVEY_PAGE) {}

HWND CSiteSurveyPage::List() const { return list_; }

INT_PTR CSiteSurveyPage::DialogProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_DESTROY: OnDestroy(); return TRUE;
    case WM_TIMER: return OnTimer(wp);
    case WM_COMMAND: return OnCommand(LOWORD(wp), HIWORD(wp));
    case WM_NOTIFY: return OnNotify(*reinterpret_cast<const NMHDR*>(lp));
    case WM_DRAWITEM: return COwnerDrawButton::DrawFromParent(lp);
    case WM_CONTEXTMENU: return OnContextMenu(reinterpret_cast<HWND>(wp), lp);
    case kConnectMessage: OnConnect(); return TRUE;
    case kPendingFillMessage: OnPendingFill(); return TRUE;
    }
    return FALSE;
}

BOOL CSiteSurveyPage::OnInitDialog() {
    list_ = Item(IDC_SURVEY_LIST);
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
    // Info tips carry the "last seen" time of a network a scan missed.
    SendMessageA(List(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP,
                 LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    MeasurePaddings();
    SizeColumns();
    headingWidths_.clear();
    for (size_t i = 0; i < survey::ColumnTitles(xrLayout != 0).size(); ++i)
        headingWidths_.push_back(int(SendMessageA(List(), LVM_GETCOLUMNWIDTH, i, 0)));

    rescanEvery30s = survey_menu::RescanSetting();
    if (theApp.adapterPresent <= 0) {
        EnableWindow(Item(IDC_SCAN_BUTTON), FALSE);
        EnableWindow(List(), FALSE);
        return TRUE;
    }
    // The driver still holds the last scan's results: they show at once.
    FillList(false, false);
    scanButton_.SetCheck(0);
    EnableWindow(List(), TRUE);
    StartRescanTimer();
    return TRUE;
}

// Closing the page ends a scan that is under way, and the watch.
void CSiteSurveyPage::OnDestroy() {
    KillTimer(Handle(), kScanTimer);
    KillTimer(Handle(), kRescanTimer);
    list_ = nullptr;
    menuOpen_ = fillPending_ = false;
}

void CSiteSurveyPage::StartRescanTimer() {
    if (rescanEvery30s) SetTimer(Handle(), kRescanTimer, kRescanMs, nullptr);
    else KillTimer(Handle(), kRescanTimer);
}

BOOL CSiteSurveyPage::OnCommand(int id, int code) {
    switch (id) {
    case IDOK:
    case IDCANCEL: return TRUE;  // Enter and Escape do nothing here
    case IDC_SCAN_BUTTON:
        if (code == BN_CLICKED) OnScanClicked();
        return TRUE;
    case ID_SURVEY_JOIN: PostMessageA(Handle(), kConnectMessage, 0, 0); return TRUE;  // as a double-click
    case ID_SURVEY_COPY:
    case ID_SURVEY_CHANNEL_VIEW:
    case ID_SURVEY_EXPORT:
    case ID_SURVEY_RESCAN: OnMenuCommand(id); return TRUE;
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
    case kListFocused: OnListFocused(); return TRUE;
    case kCustomDraw:
        SetWindowLongPtrA(Handle(), DWLP_MSGRESULT,
                          OnCustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header))));
        return TRUE;
    case kGetDisplayInfo:
        OnGetDisplayInfo(*reinterpret_cast<NMLVDISPINFOA*>(const_cast<NMHDR*>(&header)));
        return TRUE;
    case kInfoTip:
        OnInfoTip(*reinterpret_cast<NMLVGETINFOTIPA*>(const_cast<NMHDR*>(&header)));
        return TRUE;
    }
    return FALSE;
}

// A list reached with Tab shows where the focus is, on the selected row, and a row that looks
// current is the selected one, which Join and Copy act on: without a selection the focused
// row, else the first, is selected.
void CSiteSurveyPage::OnListFocused() {
    HWND list = List();
    if (ListView_GetItemCount(list) == 0) return;
    int row = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    if (row < 0) {
        row = std::max(0, ListView_GetNextItem(list, -1, LVNI_FOCUSED));
        ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
        ListView_SetSelectionMark(list, row);
    }
    if (ListView_GetNextItem(list, -1, LVNI_FOCUSED) < 0) ListView_SetItemState(list, row, LVIS_FOCUSED, LVIS_FOCUSED);
}

void CSiteSurveyPage::OnScanClicked() {
    scanButton_.SetCheck(1);  // "Scanning ..." however the click came
    // The button is disabled while the scan runs: a keyboard user goes on in the list.
    if (GetFocus() == Item(IDC_SCAN_BUTTON))
        SendMessageA(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(List()), TRUE);
    EnableWindow(Item(IDC_SCAN_BUTTON), FALSE);
    ShowWindow(Item(IDC_SCAN_PROGRESS), SW_SHOW);
    scanStep = 0;
    SendMessageA(Item(IDC_SCAN_PROGRESS), PBM_SETPOS, 0, 0);
    SetTimer(Handle(), kScanTimer, kScanTickMs, nullptr);
    // Should the request fail, the page still waits and lists what the driver then has.
    theApp.session.StartScan();
}

BOOL CSiteSurveyPage::OnTimer(UINT_PTR id) {
    if (id == kRescanTimer) {
        OnRescanTimer();
        return TRUE;
    }
    if (id != kScanTimer) return FALSE;
    SendMessageA(Item(IDC_SCAN_PROGRESS), PBM_SETPOS, scanStep, 0);
    if (++scanStep < kScanSteps) return TRUE;
    KillTimer(Handle(), kScanTimer);
    scanButton_.SetCheck(0);
    EnableWindow(Item(IDC_SCAN_BUTTON), TRUE);
    ShowWindow(Item(IDC_SCAN_PROGRESS), SW_HIDE);
    // Refilled under the open menu, the list would leave its Join or Copy without their row.
    if (menuOpen_) fillPending_ = true;
    else FillList(true, rescanEvery30s);
    return TRUE;
}

void CSiteSurveyPage::OnPendingFill() {
    if (!fillPending_ || menuOpen_) return;
    fillPending_ = false;
    FillList(true, rescanEvery30s);
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

// What the list adds to a text's width, column by column: one row of known texts, sized
// by the list itself. Widths after a fill then come from the texts' widths alone.
void CSiteSurveyPage::MeasurePaddings() {
    HWND list = List();
    HDC dc = GetDC(list);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0)));
    if (!GetCharWidth32A(dc, 0, 255, charWidths_)) std::memset(charWidths_, 0, sizeof charWidths_);
    SelectObject(dc, previous);
    ReleaseDC(list, dc);

    const size_t columns = survey::ColumnTitles(xrLayout != 0).size();
    char sample[] = "W";
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.pszText = sample;
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    paddings_.clear();
    for (size_t column = 0; column < columns; ++column) {
        LVITEMA sub = {};
        sub.iSubItem = int(column);
        sub.pszText = sample;
        SendMessageA(list, LVM_SETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&sub));
        SendMessageA(list, LVM_SETCOLUMNWIDTH, column, LVSCW_AUTOSIZE);
        paddings_.push_back(int(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0)) - TextWidth(sample));
    }
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
}

int CSiteSurveyPage::TextWidth(const std::string& text) const {
    int width = 0;
    for (unsigned char c : text) width += charWidths_[c];
    return width;
}

// As the list's own sizing to the larger of heading and contents would size them, without
// its measuring every cell of every row.
void CSiteSurveyPage::FitColumns() {
    for (size_t column = 0; column < headingWidths_.size() && column < paddings_.size(); ++column) {
        int widest = 0;
        for (const Shown& row : shown_) widest = std::max(widest, TextWidth(row.cells[column]));
        int width = shown_.empty() ? headingWidths_[column]
                                   : std::max(headingWidths_[column], widest + paddings_[column]);
        SendMessageA(List(), LVM_SETCOLUMNWIDTH, column, width);
    }
}

void CSiteSurveyPage::FillList(bool afterScan, bool keepPlace) {
    HWND list = List();
    const Place place = keepPlace ? SavePlace() : Place{};
    // One repaint for the whole list, not one per cell.
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    AdapterSession& session = theApp.session;
    session.ReadNetworkLists();
    std::vector<survey::Row> rows = survey::ReadRows(session.scanList, sizeof session.scanList,
                                                     session.vendorScanList, sizeof session.vendorScanList,
                                                     xrLayout != 0);
    // What the driver lists when the page opens is an earlier scan's: it ages nothing.
    if (afterScan) history_.Update(rows, GetTickCount(), LocalTimeText());

    // Each string-table text is loaded once per fill, not once per cell.
    std::map<int, std::string> texts;
    auto text = [&texts](int id) -> const std::string& {
        auto at = texts.find(id);
        return at != texts.end() ? at->second : texts.emplace(id, TextOf(id)).first->second;
    };
    shown_.clear();
    // Only a watched list keeps what the driver no longer lists.
    const std::vector<survey::Sighting>& seen = history_.Networks();
    for (const survey::ListEntry& entry : history_.Match(rows, rescanEvery30s)) {
        const bool missed = entry.row == survey::ListEntry::kNone;
        const survey::Row& row = missed ? seen[entry.sighting].row : rows[entry.row];
        shown_.push_back(Shown{entry.sighting, missed, survey::Cells(row, xrLayout != 0, text)});
    }
    greyRows_ = shown_.size() > rows.size();

    // The list asks for the texts it paints (LVN_GETDISPINFO): the page holds them already,
    // and a list of a few hundred rows paints only the few on screen.
    SendMessageA(list, LVM_SETITEMCOUNT, shown_.size(), 0);
    for (size_t i = 0; i < shown_.size(); ++i) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = int(i);
        item.lParam = LPARAM(i);
        item.pszText = LPSTR_TEXTCALLBACKA;
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    // The keys of every column now, so that a click on a heading only sorts.
    sortKeys_.clear();
    for (size_t column = 0; column < headingWidths_.size(); ++column) {
        std::vector<std::string> columnTexts;
        for (const Shown& row : shown_) columnTexts.push_back(row.cells[column]);
        sortKeys_.push_back(survey::SortKeys(columnTexts, survey::IsNumericColumn(int(column))));
    }
    FitColumns();
    sortShown_ = sortShown_ && keepPlace;
    if (sortShown_) SortRows();
    if (keepPlace) RestorePlace(place);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    // Hidden networks are not listed, but they take their channel's air.
    channelView.Show(survey::ReadChannelUse(session.scanList, sizeof session.scanList));
}

// A row's network: its BSSID and SSID; empty for no row.
std::string CSiteSurveyPage::KeyOfRow(int row) const {
    const Shown* shown = row >= 0 ? ShownOfRow(row) : nullptr;
    return shown ? NetworkKey(shown->cells) : std::string();
}

CSiteSurveyPage::Place CSiteSurveyPage::SavePlace() const {
    HWND list = List();
    Place place;
    place.selected = KeyOfRow(ListView_GetNextItem(list, -1, LVNI_SELECTED));
    place.focused = KeyOfRow(ListView_GetNextItem(list, -1, LVNI_FOCUSED));
    place.top = ListView_GetTopIndex(list);
    return place;
}

void CSiteSurveyPage::RestorePlace(const Place& place) {
    HWND list = List();
    auto rowOf = [&](const std::string& key) {
        for (size_t i = 0; !key.empty() && i < shown_.size(); ++i) {
            if (NetworkKey(shown_[i].cells) != key) continue;
            LVFINDINFOA find = {};
            find.flags = LVFI_PARAM;
            find.lParam = LPARAM(i);
            return int(SendMessageA(list, LVM_FINDITEMA, WPARAM(-1), reinterpret_cast<LPARAM>(&find)));
        }
        return -1;
    };
    const int selected = rowOf(place.selected), focused = rowOf(place.focused);
    if (selected >= 0) {
        ListView_SetItemState(list, selected, LVIS_SELECTED, LVIS_SELECTED);
        ListView_SetSelectionMark(list, selected);
    }
    if (focused >= 0) ListView_SetItemState(list, focused, LVIS_FOCUSED, LVIS_FOCUSED);
    // Report view scrolls by whole rows, told in pixels.
    RECT first = {LVIR_BOUNDS, 0, 0, 0};
    const int rows = place.top - ListView_GetTopIndex(list);
    if (rows != 0 && ListView_GetItemRect(list, 0, &first, LVIR_BOUNDS))
        ListView_Scroll(list, 0, rows * (first.bottom - first.top));
}

// A cell's text, found by the row's lParam: its index in what the page shows.
void CSiteSurveyPage::OnGetDisplayInfo(NMLVDISPINFOA& info) const {
    LVITEMA& item = info.item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
    const size_t row = size_t(item.lParam), column = size_t(item.iSubItem);
    const bool known = row < shown_.size() && column < shown_[row].cells.size();
    lstrcpynA(item.pszText, known ? shown_[row].cells[column].c_str() : "", item.cchTextMax);
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
    // Scan is disabled while the rows are sorted (a sort during a scan leaves it disabled
    // until the scan ends). The sort takes no input: only the button's style changes, so
    // it is not painted for that moment and keeps the focus if it has it.
    HWND scan = scanButton_.Handle();
    const LONG_PTR scanStyle = GetWindowLongPtrA(scan, GWL_STYLE);
    SetWindowLongPtrA(scan, GWL_STYLE, scanStyle | WS_DISABLED);
    sortAscending = column == sortedColumn ? !sortAscending : 1;
    sortedColumn = column;
    SortRows();
    sortShown_ = true;
    SetWindowLongPtrA(scan, GWL_STYLE, scanStyle);
}

// By the remembered column and direction.
void CSiteSurveyPage::SortRows() {
    if (size_t(sortedColumn) >= sortKeys_.size()) return;
    SortOrder order = {&sortKeys_[size_t(sortedColumn)], sortAscending != 0};
    SendMessageA(List(), LVM_SORTITEMS, reinterpret_cast<WPARAM>(&order), reinterpret_cast<LPARAM>(CompareRows));
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
    if (theApp.store.ApplyProfile(current)) theApp.autoConnect.UserApplied();
}
