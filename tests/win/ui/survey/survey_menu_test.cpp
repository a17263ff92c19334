// The Site Survey list's context menu over the simulated adapter, in the real monitor
// window: where the menu opens, copy, export, the Channel View, join, and the watch that
// rescans and greys what a scan missed, with no GDI, USER or kernel objects piling up.
#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "athcfg/sim/athsim.h"
#include "framework/reg_key.h"
#include "monitor/adapter/oids.h"
#include "monitor/app/monitor_app.h"
#include "monitor/res/resource.h"
#include "monitor/ui/monitor_dlg.h"
#include "monitor/ui/survey/site_survey_page.h"
#include "monitor/ui/survey/survey_menu.h"
#include "tests/support/object_counts.h"
#include "tests/support/sim_scenario.h"
#include "tests/win/ui/modal_script.h"

namespace {

const char kSettings[] = "Software\\Halvex\\Skyvane";

const char kNetworks[] =
    "profile name=Home ssid=Skyline-Home infrastructure=1 privacy=1 wpa=1 eapMethod=7 "
    "pskPassphrase=sunny-terrace-42 pskBits=128 wirelessMode=28 channelMHz=2437\n"
    "select name=Home\n"
    "network ssid=Skyline-Home bssid=00:03:7F:1A:2B:01 channel=6 rssi=-52 security=wpa2-psk key=sunny-terrace-42\n"
    "network ssid=CafeCorner bssid=00:0F:66:21:08:9C channel=1 rssi=-71 security=open type=g\n"
    "network ssid=Library bssid=00:40:96:A3:11:02 channel=11 rssi=-78 security=wep type=b\n"
    "network ssid=LanParty bssid=02:1C:BF:55:31:0D channel=3 rssi=-75 mode=adhoc security=open type=b\n";

class SurveyMenu : public ::testing::Test {
protected:
    void SetUp() override {
        SHDeleteKeyA(HKEY_CURRENT_USER, kSettings);
        testsim::ClearProductKeys();
        testsim::Install("scan ms=1000\n" + testsim::Adapter(0, "modes=12") + kNetworks);
        ASSERT_EQ(1, theApp.session.Discover());
        theApp.adapterPresent = 1;
        ASSERT_TRUE(theApp.session.ReadStatusRecord(theApp.statusRecord));
        theApp.store.LoadProfileForEdit("Home");
    }
    void TearDown() override {
        theApp.session.CloseSession();
        theApp.adapterPresent = 0;
        theApp.editProfile = nullptr;
        theApp.rememberedSubTab = 0;
        AthSimClear();
        testsim::ClearProductKeys();
        SHDeleteKeyA(HKEY_CURRENT_USER, kSettings);
        // The page object lives for the whole run: the other tests expect it unsorted.
        theSiteSurveyPage.sortedColumn = 0;
        theSiteSurveyPage.sortAscending = 0;
    }
};

HWND Page() { return theSiteSurveyPage.Handle(); }
HWND List() { return GetDlgItem(Page(), IDC_SURVEY_LIST); }
int RowCount() { return int(SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0)); }

std::string Cell(int row, int column) {
    char text[256] = {};
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(List(), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

int RowOf(const std::string& ssid) {
    for (int row = 0; row < RowCount(); ++row)
        if (Cell(row, 0) == ssid) return row;
    return -1;
}

void Select(int row) {
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(List(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    SendMessageA(List(), LVM_SETSELECTIONMARK, 0, row);
}

void Command(int id) { SendMessageA(Page(), WM_COMMAND, id, 0); }

void SortBy(int column) {  // a click on a column heading, as the list tells the page
    NMLISTVIEW click = {{List(), IDC_SURVEY_LIST, UINT(LVN_COLUMNCLICK)}, -1, column, 0, 0, 0, {}, 0};
    SendMessageA(Page(), WM_NOTIFY, IDC_SURVEY_LIST, reinterpret_cast<LPARAM>(&click));
}

std::string Clipboard() {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(GlobalLock(data))) text = p;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

// What the list would hear while painting row `row` and hovering over it.
COLORREF TextColourOf(int row) {
    NMLVCUSTOMDRAW draw = {};
    draw.nmcd.hdr.hwndFrom = List();
    draw.nmcd.hdr.idFrom = IDC_SURVEY_LIST;
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    draw.nmcd.dwItemSpec = DWORD_PTR(row);
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    SendMessageA(List(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    draw.nmcd.lItemlParam = item.lParam;
    draw.clrText = RGB(1, 2, 3);
    SendMessageA(Page(), WM_NOTIFY, IDC_SURVEY_LIST, reinterpret_cast<LPARAM>(&draw));
    return draw.clrText;
}

std::string InfoTipOf(int row) {
    char text[128] = "";
    NMLVGETINFOTIPA tip = {};
    tip.hdr.hwndFrom = List();
    tip.hdr.idFrom = IDC_SURVEY_LIST;
    tip.hdr.code = LVN_GETINFOTIPA;
    tip.pszText = text;
    tip.cchTextMax = sizeof text;
    tip.iItem = row;
    SendMessageA(Page(), WM_NOTIFY, IDC_SURVEY_LIST, reinterpret_cast<LPARAM>(&tip));
    return text;
}

// The watch's rescan, the simulated clock (held still) moved on by `ms` while it runs, then
// the scan's 100 progress ticks at once. The driver's list stays empty while its scan runs.
void WatchedScan(long long ms) {
    long long now = AthSimGetTime();
    SendMessageA(Page(), WM_TIMER, 200, 0);
    AthSimSetTime(now + ms);
    for (int i = 0; i < 100; ++i) SendMessageA(Page(), WM_TIMER, 199, 0);
}

int SuggestedPixels(int channel) {  // in the suggestion's colour, in 2.4 GHz `channel`'s slot
    HWND w = theSiteSurveyPage.channelView.Handle();
    RECT client;
    GetClientRect(w, &client);
    HDC dc = GetDC(w);
    UpdateWindow(w);
    int slot = (client.right - 16) / 14, pixels = 0;
    for (int x = 8 + (channel - 1) * slot; x < 8 + channel * slot; ++x)
        for (int y = 0; y < client.bottom; y += 2) pixels += GetPixel(dc, x, y) == RGB(40, 160, 70);
    ReleaseDC(w, dc);
    return pixels;
}

struct MenuSeen {
    RECT rect = {};
    std::vector<std::string> texts;
    UINT joinState = 0, rescanState = 0;
    int defaultItem = -2;
};

}  // namespace

TEST_F(SurveyMenu, OpensAtTheSelectedRowAndCopiesExportsJoinsAndShowsTheChannels) {
    POINT expected = {};
    MenuSeen menu;
    std::string copied, row, view;
    std::vector<std::string> lines;
    DWORD viewStyle = 0;
    HWND viewOwner = nullptr;
    int suggestedPixels = 0, page = -1, subTab = -1;
    char csv[MAX_PATH];
    GetTempPathA(MAX_PATH, csv);
    lstrcatA(csv, "survey_menu_test.csv");

    RunMonitor(3, {[&] {
                       int row = RowOf("Library");
                       ASSERT_GE(row, 0);
                       Select(row);
                       RECT r = {LVIR_LABEL, 0, 0, 0};
                       SendMessageA(List(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
                       expected = POINT{r.left + (r.bottom - r.top) / 2, r.bottom};
                       ClientToScreen(List(), &expected);
                       // The keyboard's menu key: the list hands the message on to the page.
                       PostMessageA(List(), WM_CONTEXTMENU, WPARAM(List()), LPARAM(-1));
                   },
                   [&] {
                       HWND shown = FindWindowA("#32768", nullptr);
                       if (!shown || !IsWindowVisible(shown)) return RunAgain();
                       GetWindowRect(shown, &menu.rect);
                       HMENU m = reinterpret_cast<HMENU>(SendMessageA(shown, MN_GETHMENU, 0, 0));
                       for (int i = 0; i < GetMenuItemCount(m); ++i) {
                           char text[64] = {};
                           GetMenuStringA(m, i, text, sizeof text, MF_BYPOSITION);
                           menu.texts.push_back(text);
                       }
                       menu.joinState = GetMenuState(m, ID_SURVEY_JOIN, MF_BYCOMMAND);
                       menu.rescanState = GetMenuState(m, ID_SURVEY_RESCAN, MF_BYCOMMAND);
                       menu.defaultItem = int(GetMenuDefaultItem(m, FALSE, 0));
                       // A scan ends while the menu is open; then Copy is chosen.
                       WatchedScan(2000);
                       for (int c = 0, at = RowOf("Library"); c < 7; ++c) row += Cell(at, c) + (c < 6 ? "\t" : "\r\n");
                       for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN})
                           PostMessageA(FindWindowA("#32768", nullptr), WM_KEYDOWN, key, 0);
                   },
                   [&] {
                       copied = Clipboard();
                       AthSimSetTime(-1);
                       SortBy(2);  // by channel
                       EXPECT_TRUE(theSiteSurveyPage.ExportCsv(csv));
                       Command(ID_SURVEY_CHANNEL_VIEW);
                       HWND w = theSiteSurveyPage.channelView.Handle();
                       ASSERT_NE(nullptr, w);
                       char title[64] = {};
                       GetWindowTextA(w, title, sizeof title);
                       view = title;
                       viewStyle = DWORD(GetWindowLongPtrA(w, GWL_STYLE));
                       viewOwner = GetWindow(w, GW_OWNER);
                       // The suggested channel (11) is drawn in its own colour, in its slot.
                       suggestedPixels = SuggestedPixels(11);
                       Select(RowOf("Library"));
                       Command(ID_SURVEY_JOIN);
                   },
                   [&] {
                       page = theMonitorDlg.currentPage;
                       subTab = theApp.rememberedSubTab;
                   }});

    EXPECT_EQ(expected.x, menu.rect.left);
    EXPECT_EQ(expected.y, menu.rect.top);
    EXPECT_EQ((std::vector<std::string>{"&Join", "&Copy", "", "C&hannel View...", "&Export CSV...", "",
                                        "&Rescan every 30 seconds"}),
              menu.texts);
    EXPECT_EQ(0u, menu.joinState & (MF_GRAYED | MF_DISABLED));
    EXPECT_EQ(0u, menu.rescanState & MF_CHECKED);
    EXPECT_EQ(ID_SURVEY_JOIN, menu.defaultItem);  // what a double-click does

    EXPECT_EQ(0u, copied.find("Library\t00:40:96:A3:11:02\t11\tWEP\t")) << copied;
    EXPECT_EQ(row, copied);

    std::ifstream in(csv, std::ios::binary);
    std::stringstream whole;
    whole << in.rdbuf();
    std::string text = whole.str();
    for (size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(text.substr(at, end - at));
    DeleteFileA(csv);
    ASSERT_EQ(5u, lines.size());
    EXPECT_EQ("SSID,BSSID (MAC Address),Channel,Security,Signal (%),Network Mode,Network Type,First seen,Last seen",
              lines[0]);
    // Sorted as shown, by channel; each row ends with when it was first and last seen.
    const char* order[] = {"CafeCorner,", "LanParty,", "Skyline-Home,", "Library,"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(0u, lines[size_t(i) + 1].find(order[i])) << lines[size_t(i) + 1];
        EXPECT_EQ(8, std::count(lines[size_t(i) + 1].begin(), lines[size_t(i) + 1].end(), ','));
        EXPECT_EQ(lines[size_t(i) + 1].size() - 40, lines[size_t(i) + 1].find(",20")) << "two times at the end";
    }

    EXPECT_EQ("Channel View", view);
    EXPECT_TRUE(viewStyle & WS_THICKFRAME);
    EXPECT_EQ(Monitor() ? Monitor() : viewOwner, viewOwner);
    EXPECT_GT(suggestedPixels, 20);

    EXPECT_EQ(0, page);  // a WEP network: the key is asked for on the Configuration page
    EXPECT_EQ(1, subTab);
}

TEST_F(SurveyMenu, TheWatchRescansKeepsMissedNetworksGreyForThreeScansAndLeaksNothing) {
    std::vector<int> rows;
    COLORREF grey = 0, normal = 0;
    std::string tip, freshTip;
    DWORD scanSent = 0, remembered = 0;
    int gdi[2] = {}, user[2] = {}, kernel[2] = {};

    RunMonitor(3, {[&] {
        Command(ID_SURVEY_RESCAN);
        fw::RegKey key;
        if (key.Open(HKEY_CURRENT_USER, kSettings)) remembered = key.ReadDword("RescanEvery30Seconds").value_or(9);
        ASSERT_EQ(4, RowCount());
        WatchedScan(2000);  // what the first scan finds
        freshTip = InfoTipOf(0);
        AthSimClearRecorded(0);
        WatchedScan(0);
        DWORD content = 0;
        scanSent = AthSimLastRecordedValue(0, oid::kStartScan, &content);
        rows.push_back(RowCount());
        grey = TextColourOf(0);
        tip = InfoTipOf(0);
        for (int page : {1, 3, 1, 3, 1, 3}) theMonitorDlg.SwitchPage(page);  // opening the page is no scan
        rows.push_back(RowCount());
        for (int i = 0; i < 3; ++i) {
            WatchedScan(0);
            rows.push_back(RowCount());
        }

        // A few hundred rescans, networks coming and going, with the Channel View open and
        // both windows painted.
        Command(ID_SURVEY_CHANNEL_VIEW);
        HWND view = theSiteSurveyPage.channelView.Handle();
        for (int i = 0; i < 20; ++i) WatchedScan(i % 3 ? 2000 : 0);
        gdi[0] = objects::Gdi();
        user[0] = objects::User();
        kernel[0] = objects::KernelHandles();
        for (int i = 0; i < 300; ++i) {
            WatchedScan(i % 3 ? 2000 : 0);
            InvalidateRect(view, nullptr, FALSE);
            UpdateWindow(view);
            UpdateWindow(List());
        }
        gdi[1] = objects::Gdi();
        user[1] = objects::User();
        kernel[1] = objects::KernelHandles();
        normal = RowCount() == 4 ? TextColourOf(3) : 0;
        WatchedScan(0);
        Command(ID_SURVEY_RESCAN);  // the watch off: what the driver lists, no more
        rows.push_back(RowCount());
        AthSimSetTime(-1);
    }});

    EXPECT_EQ(1u, remembered);
    EXPECT_FALSE(theSiteSurveyPage.rescanEvery30s);  // turned off again at the end
    EXPECT_EQ("", freshTip);
    EXPECT_NE(0u, scanSent);
    // Missed by one scan (and after three openings), two, three, then gone; unwatched, gone.
    EXPECT_EQ((std::vector<int>{4, 4, 4, 4, 0, 0}), rows);
    EXPECT_EQ(GetSysColor(COLOR_GRAYTEXT), grey);
    EXPECT_EQ("last seen 0 s ago", tip);
    EXPECT_NE(GetSysColor(COLOR_GRAYTEXT), normal);
    EXPECT_GT(gdi[0], 0);  // the counts see objects at all
    EXPECT_EQ(gdi[0], gdi[1]);
    EXPECT_EQ(user[0], user[1]);
    EXPECT_EQ(kernel[0], kernel[1]);
}

// Library on 11, three hidden networks on 1; twenty faint ones on 6 make the list scroll.
TEST_F(SurveyMenu, AWatchedRescanKeepsThePlaceAndHiddenNetworksWeighOnTheirChannel) {
    std::string networks = "network ssid=Library bssid=00:40:96:A3:11:02 channel=11 rssi=-78\n";
    for (int i = 10; i < 33; ++i)  // Back-10..12, then Street-22 down to Street-03
        networks += (i < 13 ? "network channel=1 hidden=yes ssid=Back-" + std::to_string(i)
                            : "network rssi=-100 ssid=Street-" + std::to_string(135 - i).substr(1)) +
                    " bssid=02:00:00:00:00:" + std::to_string(i) + "\n";
    testsim::Install("scan ms=1000\n" + testsim::Adapter(0, "modes=12") + networks);
    std::string kept;  // sorted, selected and focused rows
    int firstTab = -2, channel11 = -1;
    RECT listRect = {}, menuRect = {};  // the menu key reaches a row scrolled out of view
    RunMonitor(3, {[&] {
                       Command(ID_SURVEY_RESCAN);
                       for (int i = 0; i < 4; ++i) WatchedScan(2000);  // earlier tests' networks age out
                       SetFocus(List());  // as the first Tab into the list
                       firstTab = int(SendMessageA(List(), LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
                       SortBy(0);
                       Select(RowOf("Street-05"));
                       WatchedScan(2000);
                       kept = Cell(RowCount() - 1, 0);  // still sorted: the last name last
                       for (UINT which : {LVNI_SELECTED, LVNI_FOCUSED})
                           kept += ";" + Cell(int(SendMessageA(List(), LVM_GETNEXTITEM, WPARAM(-1), which)), 0);
                       Command(ID_SURVEY_CHANNEL_VIEW);
                       channel11 = SuggestedPixels(11);
                       AthSimSetTime(-1);
                       Select(RowCount() - 1);  // out of view once the list is back at its top
                       SendMessageA(List(), LVM_ENSUREVISIBLE, 0, FALSE);
                       GetWindowRect(List(), &listRect);
                       PostMessageA(List(), WM_CONTEXTMENU, WPARAM(List()), LPARAM(-1));  // the menu key
                   },
                   [&] {
                       HWND menu = FindWindowA("#32768", nullptr);
                       if (!menu || !IsWindowVisible(menu)) return RunAgain();
                       GetWindowRect(menu, &menuRect);
                       EndMenu();
                   }});
    EXPECT_EQ(0, firstTab);
    EXPECT_EQ("Street-22;Street-05;Street-05", kept);  // sorted, selected and focused
    EXPECT_GT(channel11, 20);  // not channel 1, where the hidden networks are
    EXPECT_TRUE(menuRect.top >= listRect.top && menuRect.top <= listRect.bottom);
}

TEST_F(SurveyMenu, TheRescanSettingIsOffUnlessADwordOfOne) {
    EXPECT_FALSE(survey_menu::RescanSetting());  // no key yet
    survey_menu::RememberRescanSetting(true);
    EXPECT_TRUE(survey_menu::RescanSetting());
    struct Case {
        DWORD type;
        std::vector<BYTE> data;
    } malformed[] = {{REG_SZ, {'1', 0}}, {REG_DWORD, {1, 0}}, {REG_BINARY, {1, 0, 0, 0}}, {REG_DWORD, {7, 0, 0, 0}}};
    for (const Case& c : malformed) {
        fw::RegKey key;
        ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, kSettings));
        key.WriteValue("RescanEvery30Seconds", c.type, c.data.data(), c.data.size());
        EXPECT_FALSE(survey_menu::RescanSetting()) << c.type << " " << c.data.size();
    }
}
