// The Site Survey list's context menu and what its commands do: join, copy a row, the
// Channel View, the CSV export, and the watch that rescans every 30 s and greys the rows
// of networks the latest scan missed.
#include "monitor/ui/survey/survey_menu.h"

#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include <string>
#include <vector>

#include "framework/reg_key.h"
#include "framework/text/text.h"
#include "framework/text/text_export.h"
#include "monitor/app/monitor_app.h"
#include "monitor/res/resource.h"
#include "monitor/ui/survey/site_survey_page.h"
#include "monitor/ui/survey/survey_export.h"

namespace survey_menu {

namespace {
constexpr char kSettingsKey[] = "Software\\Halvex\\Skyvane";
constexpr char kRescanValue[] = "RescanEvery30Seconds";
}  // namespace

bool RescanSetting() {
    fw::RegKey key;
    if (!key.Open(HKEY_CURRENT_USER, kSettingsKey)) return false;
    std::optional<uint32_t> value = key.ReadDword(kRescanValue);
    return value && *value == 1;
}

void RememberRescanSetting(bool on) {
    fw::RegKey key;
    if (key.Create(HKEY_CURRENT_USER, kSettingsKey)) key.WriteDword(kRescanValue, on ? 1 : 0);
}

}  // namespace survey_menu

namespace {

void AppendItem(HMENU menu, UINT id, UINT textId, bool enabled, bool checked = false) {
    std::string text = fw::LoadText(textId);
    AppendMenuA(menu, MF_STRING | (enabled ? 0 : MF_GRAYED) | (checked ? MF_CHECKED : 0), id, text.c_str());
}

}  // namespace

int CSiteSurveyPage::SelectedRow() const {
    return int(SendMessageA(List(), LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
}

const CSiteSurveyPage::Shown* CSiteSurveyPage::ShownOfRow(int row) const {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageA(List(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
    return size_t(item.lParam) < shown_.size() ? &shown_[size_t(item.lParam)] : nullptr;
}

// Null for a network no scan has seen yet.
const survey::Sighting* CSiteSurveyPage::SightingOfRow(int row) const {
    const Shown* shown = ShownOfRow(row);
    if (!shown) return nullptr;
    return shown->sighting < history_.Networks().size() ? &history_.Networks()[shown->sighting] : nullptr;
}

// A right click opens the menu where it happened; the keyboard's menu key and Shift+F10
// (no position) open it at the selected row, scrolled into view, or at the list's top corner.
BOOL CSiteSurveyPage::OnContextMenu(HWND from, LPARAM at) {
    HWND list = List();
    if (from != list) return FALSE;
    POINT p = {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    if (p.x == -1 && p.y == -1) {
        RECT r = {};
        int row = SelectedRow();
        r.left = LVIR_LABEL;
        if (row >= 0) SendMessageA(list, LVM_ENSUREVISIBLE, row, FALSE);
        if (row >= 0 && SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r))) {
            p = POINT{r.left + (r.bottom - r.top) / 2, r.bottom};
        } else {
            RECT header = {};
            GetWindowRect(reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0)), &header);
            p = POINT{0, header.bottom - header.top};
        }
        ClientToScreen(list, &p);
    }

    const bool present = theApp.adapterPresent > 0;
    const bool selected = SelectedRow() >= 0;
    HMENU menu = CreatePopupMenu();
    if (!menu) return TRUE;
    AppendItem(menu, ID_SURVEY_JOIN, IDS_SURVEY_MENU_JOIN, present && selected);
    SetMenuDefaultItem(menu, ID_SURVEY_JOIN, FALSE);  // what a double-click does
    AppendItem(menu, ID_SURVEY_COPY, IDS_SURVEY_MENU_COPY, selected);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendItem(menu, ID_SURVEY_CHANNEL_VIEW, IDS_SURVEY_MENU_CHANNEL_VIEW, true);
    AppendItem(menu, ID_SURVEY_EXPORT, IDS_SURVEY_MENU_EXPORT, true);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendItem(menu, ID_SURVEY_RESCAN, IDS_SURVEY_MENU_RESCAN, present, rescanEvery30s);
    menuOpen_ = true;
    int id = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, p.x, p.y, 0,
                            Handle(), nullptr);
    menuOpen_ = false;
    DestroyMenu(menu);
    if (id) SendMessageA(Handle(), WM_COMMAND, WPARAM(id), 0);
    // After the command: a Join is posted, and goes first.
    if (fillPending_) PostMessageA(Handle(), kPendingFillMessage, 0, 0);
    return TRUE;
}

void CSiteSurveyPage::OnMenuCommand(int id) {
    switch (id) {
    case ID_SURVEY_COPY: CopySelectedRow(); break;
    case ID_SURVEY_CHANNEL_VIEW: channelView.Open(GetParent(Handle())); break;
    case ID_SURVEY_EXPORT: ChooseExportFile(); break;
    case ID_SURVEY_RESCAN: ToggleRescan(); break;
    }
}

void CSiteSurveyPage::CopySelectedRow() const {
    int row = SelectedRow();
    if (row >= 0) fw::CopyTextToClipboard(Handle(), survey::TabLine(RowCells(row)));
}

void CSiteSurveyPage::ChooseExportFile() {
    std::string path;
    if (!fw::ChooseSaveFile(Handle(), fw::LoadText(IDS_SURVEY_EXPORT_FILTER), "csv", path)) return;
    if (!ExportCsv(path)) fw::MessageBoxText(Handle(), IDS_SURVEY_EXPORT_FAILED, IDS_MONITOR_TITLE, MB_OK | MB_ICONSTOP);
}

bool CSiteSurveyPage::ExportCsv(const std::string& path) const {
    std::vector<std::string> heading;
    for (int title : survey::ColumnTitles(xrLayout != 0)) heading.push_back(fw::LoadText(title));
    heading.push_back(fw::LoadText(IDS_SURVEY_FIRST_SEEN_COLUMN));
    heading.push_back(fw::LoadText(IDS_SURVEY_LAST_SEEN_COLUMN));
    std::string text = survey::CsvLine(heading);
    const int rows = int(SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        std::vector<std::string> fields = RowCells(row);
        const survey::Sighting* seen = SightingOfRow(row);
        fields.push_back(seen ? seen->firstSeen : std::string());
        fields.push_back(seen ? seen->lastSeen : std::string());
        text += survey::CsvLine(fields);
    }
    return fw::WriteWholeFile(path, text);
}

void CSiteSurveyPage::ToggleRescan() {
    rescanEvery30s = !rescanEvery30s;
    survey_menu::RememberRescanSetting(rescanEvery30s);
    StartRescanTimer();
    // Unwatched, the list shows only what the driver lists; a scan under way refills it anyway.
    if (!rescanEvery30s && IsWindowEnabled(scanButton_.Handle())) FillList(false, true);
}

// The watch uses the page's own scan; one under way is left to finish.
void CSiteSurveyPage::OnRescanTimer() {
    if (IsWindowEnabled(Item(IDC_SCAN_BUTTON))) OnScanClicked();
}

LRESULT CSiteSurveyPage::OnCustomDraw(NMLVCUSTOMDRAW& draw) const {
    // Rows are painted one by one only while some are to be greyed.
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT)
        return rescanEvery30s && greyRows_ ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
    if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
    size_t i = size_t(draw.nmcd.lItemlParam);
    if (i < shown_.size() && shown_[i].missed) draw.clrText = GetSysColor(COLOR_GRAYTEXT);
    return CDRF_NEWFONT;
}

void CSiteSurveyPage::OnInfoTip(NMLVGETINFOTIPA& tip) const {
    const Shown* shown = ShownOfRow(tip.iItem);
    const survey::Sighting* seen = SightingOfRow(tip.iItem);
    if (!shown || !shown->missed || !seen || !tip.pszText || tip.cchTextMax <= 0) return;
    std::string text = survey::LastSeenText(fw::LoadText(IDS_SURVEY_LAST_SEEN), *seen, GetTickCount());
    lstrcpynA(tip.pszText, text.c_str(), tip.cchTextMax);
}
