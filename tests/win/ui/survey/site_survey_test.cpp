// The Site Survey page in the real monitor window, over the simulated adapter: listing,
// scanning, sorting and joining networks.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "athcfg/athcfg.h"
#include "monitor/adapter/oids.h"
#include "monitor/app/monitor_app.h"
#include "monitor/res/resource.h"
#include "monitor/ui/editor/common_page.h"
#include "monitor/ui/editor/config_page.h"
#include "monitor/ui/editor/security/security_page.h"
#include "monitor/ui/monitor_dlg.h"
#include "monitor/ui/survey/site_survey_page.h"
#include "tests/support/sim_scenario.h"
#include "tests/win/ui/modal_script.h"

namespace {

const char kNetworks[] =
    "profile name=Home ssid=Skyline-Home infrastructure=1 privacy=1 wpa=1 eapMethod=7 "
    "pskPassphrase=sunny-terrace-42 pskBits=128 wirelessMode=28 channelMHz=2437\n"
    "select name=Home\n"
    "network ssid=Skyline-Home bssid=00:03:7F:1A:2B:01 channel=6 rssi=-52 security=wpa2-psk "
    "key=sunny-terrace-42 type=turbo xr=yes\n"
    "network ssid=CafeCorner bssid=00:0F:66:21:08:9C channel=1 rssi=-71 security=open type=g\n"
    "network ssid=Library bssid=00:40:96:A3:11:02 channel=11 rssi=-78 security=wep type=b\n"
    "network ssid=LanParty bssid=02:1C:BF:55:31:0D channel=3 rssi=-75 mode=adhoc security=open type=b\n"
    "network ssid=Backroom bssid=00:03:7F:0E:44:B0 channel=9 rssi=-69 security=wpa-psk hidden=yes\n";

class SiteSurvey : public ::testing::Test {
protected:
    void TearDown() override {
        theApp.session.CloseSession();
        theApp.adapterPresent = 0;
        theApp.editProfile = nullptr;
        theApp.rememberedSubTab = 0;
        AthSimClear();
        testsim::ClearProductKeys();
    }
    // One adapter with the networks above, the session open on it, the status record read as
    // the poll reads it, and the current profile loaded for editing.
    void Open(const std::string& adapterExtra, const std::string& scenario = kNetworks) {
        testsim::ClearProductKeys();
        testsim::Install("scan ms=1000\n" + testsim::Adapter(0, adapterExtra) + scenario);
        ASSERT_EQ(1, theApp.session.Discover());
        theApp.adapterPresent = 1;
        ASSERT_TRUE(theApp.session.ReadStatusRecord(theApp.statusRecord));
        theApp.store.LoadProfileForEdit("Home");
        ASSERT_NE(nullptr, theApp.editProfile);
        AthSimClearRecorded(0);
    }
    // The profile as the library stored it, read through a configuration of its own.
    ACProfile* Stored(const char* name) {
        stored_.ReadConfig(theApp.session.deviceName.c_str(), theApp.session.subKey.c_str());
        return stored_.GetProfile(name);
    }

private:
    ACAdapterConfig stored_;
};

HWND Page() { return theSiteSurveyPage.Handle(); }
HWND List() { return GetDlgItem(Page(), IDC_SURVEY_LIST); }

std::vector<std::string> Headings() {
    std::vector<std::string> headings;
    HWND header = reinterpret_cast<HWND>(SendMessageA(List(), LVM_GETHEADER, 0, 0));
    int count = int(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[64] = {};
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT;
        column.pszText = text;
        column.cchTextMax = sizeof text;
        SendMessageA(List(), LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
        headings.push_back(text);
    }
    return headings;
}

std::string Cell(int row, int column) {
    char text[256] = {};
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(List(), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

int RowCount() { return int(SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0)); }

std::vector<std::string> ColumnTexts(int column) {
    std::vector<std::string> texts;
    for (int row = 0; row < RowCount(); ++row) texts.push_back(Cell(row, column));
    return texts;
}

int RowOf(const std::string& ssid) {
    for (int row = 0; row < RowCount(); ++row)
        if (Cell(row, 0) == ssid) return row;
    return -1;
}

// A real click on a column heading: button down and up at its middle.
void ClickHeading(int column) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(List(), LVM_GETHEADER, 0, 0));
    RECT r;
    SendMessageA(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&r));
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(header, WM_LBUTTONUP, 0, at);
}

// Selects the row of `ssid` and double-clicks it.
void DoubleClick(const std::string& ssid) {
    int row = RowOf(ssid);
    ASSERT_GE(row, 0) << ssid;
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(List(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    SendMessageA(List(), LVM_SETSELECTIONMARK, 0, row);
    RECT r = {};
    r.left = LVIR_LABEL;
    SendMessageA(List(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
    SendMessageA(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(r.left + 2, (r.top + r.bottom) / 2));
}

// Profile activations the driver received, by name.
std::vector<std::string> Activations() {
    std::vector<std::string> names;
    for (int i = 0; i < AthSimRecordedCount(0); ++i) {
        DWORD oid = 0, length = 0;
        char data[17] = {};
        if (AthSimRecordedSet(0, i, &oid, data, 16, &length) && oid == kAthSimActivation)
            names.push_back(std::string(data, length < 16 ? length : 16));
    }
    return names;
}

// A control's rectangle in pixels, placed as the dialog manager places it: position and
// size are converted separately.
RECT PageUnits(int x, int y, int w, int h) {
    RECT r = {x, y, w, h};
    MapDialogRect(Page(), &r);
    return RECT{r.left, r.top, r.left + r.right, r.top + r.bottom};
}

RECT InPage(int id) {
    RECT r;
    GetWindowRect(GetDlgItem(Page(), id), &r);
    MapWindowPoints(nullptr, Page(), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

TEST_F(SiteSurvey, ListsScansSortsAndJoinsThroughThePage) {
    Open("");  // supported modes 28: the XR layout
    std::vector<std::string> headings, cafe;
    std::vector<std::string> channelsUp, channelsDown, names;
    bool scanFocusedAfterSort = false;
    int rowsAtOpen = -1, rowsMidScan = -1, rowsAfterScan = -1, rowsReopened = -1;
    BOOL scanEnabledAtOpen = FALSE, scanEnabledMidScan = TRUE, barMidScan = FALSE, barAfter = TRUE;
    bool barTabbed = false;
    int scanSent = 0;
    DWORD scanMs = 0, started = 0;
    int pageAfterSecured = -1, subTabAfterSecured = -1, pageAfterOpen = -1;
    std::vector<std::string> activationsAfterSecured;

    RunMonitor(3, {[&] {
                       ASSERT_NE(nullptr, Page());
                       EXPECT_TRUE(SameRect(PageUnits(5, 0, 67, 15), InPage(IDC_SCAN_BUTTON)));
                       EXPECT_TRUE(SameRect(PageUnits(78, 0, 219, 14), InPage(IDC_SCAN_PROGRESS)));
                       EXPECT_TRUE(SameRect(PageUnits(4, 23, 293, 183), InPage(IDC_SURVEY_LIST)));
                       EXPECT_TRUE(SendMessageA(List(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT);
                       EXPECT_FALSE(IsWindowVisible(GetDlgItem(Page(), IDC_SCAN_PROGRESS)));
                       headings = Headings();
                       rowsAtOpen = RowCount();
                       int row = RowOf("CafeCorner");
                       for (int c = 0; row >= 0 && c < 8; ++c) cafe.push_back(Cell(row, c));
                       scanEnabledAtOpen = IsWindowEnabled(GetDlgItem(Page(), IDC_SCAN_BUTTON));
                   },
                   [&] {
                       // Freeze the simulated clock as the scan starts: the driver's list stays
                       // empty, so a refill shows as an empty list.
                       AthSimSetTime(AthSimGetTime());
                       started = GetTickCount();
                       SendMessageA(GetDlgItem(Page(), IDC_SCAN_BUTTON), BM_CLICK, 0, 0);
                       DWORD content = 0;
                       scanSent = AthSimLastRecordedValue(0, oid::kStartScan, &content);
                   },
                   [&] {
                       if (GetTickCount() - started < 2000) return RunAgain();
                       rowsMidScan = RowCount();
                       scanEnabledMidScan = IsWindowEnabled(GetDlgItem(Page(), IDC_SCAN_BUTTON));
                       barMidScan = IsWindowVisible(GetDlgItem(Page(), IDC_SCAN_PROGRESS));
                       for (BOOL back : {FALSE, TRUE})  // Tab from the list, either way
                           barTabbed |= GetNextDlgTabItem(Page(), List(), back) == GetDlgItem(Page(), IDC_SCAN_PROGRESS);
                   },
                   [&] {
                       if (!IsWindowEnabled(GetDlgItem(Page(), IDC_SCAN_BUTTON)) && GetTickCount() - started < 15000)
                           return RunAgain();
                       scanMs = GetTickCount() - started;
                       rowsAfterScan = RowCount();
                       barAfter = IsWindowVisible(GetDlgItem(Page(), IDC_SCAN_PROGRESS));
                       // The clock runs on and the driver's scan completes.
                       AthSimSetTime(-1);
                   },
                   [&] {
                       if (GetTickCount() - started < scanMs + 1500) return RunAgain();
                       // The page, opened again, shows what the driver now lists.
                       theMonitorDlg.SwitchPage(1);
                       theMonitorDlg.SwitchPage(3);
                       rowsReopened = RowCount();
                   },
                   [&] {
                       // Scan, disabled for the moment of a sort, keeps the focus it had.
                       HWND scan = GetDlgItem(Page(), IDC_SCAN_BUTTON);
                       SetFocus(scan);
                       ClickHeading(2);
                       scanFocusedAfterSort = GetFocus() == scan && IsWindowEnabled(scan);
                       channelsUp = ColumnTexts(2);
                       ClickHeading(2);
                       channelsDown = ColumnTexts(2);
                       ClickHeading(0);
                       names = ColumnTexts(0);
                       DoubleClick("Library");
                   },
                   [&] {
                       pageAfterSecured = theMonitorDlg.currentPage;
                       subTabAfterSecured = theApp.rememberedSubTab;
                       activationsAfterSecured = Activations();
                       theMonitorDlg.SwitchPage(3);
                   },
                   [&] { DoubleClick("CafeCorner"); },
                   [&] { pageAfterOpen = theMonitorDlg.currentPage; }});

    EXPECT_EQ((std::vector<std::string>{"SSID", "BSSID (MAC Address)", "Channel", "Security", "Signal (%)",
                                        "Network Mode", "XR", "Network Type"}),
              headings);
    EXPECT_EQ(4, rowsAtOpen);  // the hidden network is not listed
    ASSERT_EQ(8u, cafe.size());
    EXPECT_EQ("00:0F:66:21:08:9C", cafe[1]);
    EXPECT_EQ("1", cafe[2]);
    EXPECT_EQ("None", cafe[3]);
    EXPECT_EQ("Infrastructure", cafe[5]);
    EXPECT_EQ("", cafe[6]);
    EXPECT_EQ("802.11g", cafe[7]);
    EXPECT_TRUE(scanEnabledAtOpen);

    EXPECT_NE(0, scanSent);  // the scan request reached the driver
    EXPECT_EQ(4, rowsMidScan);  // the list waits for the scan's end
    EXPECT_FALSE(scanEnabledMidScan);
    EXPECT_TRUE(barMidScan);
    EXPECT_FALSE(barTabbed);
    EXPECT_GE(scanMs, 3900u);  // 100 ticks of 40 ms
    EXPECT_LT(scanMs, 15000u);
    EXPECT_EQ(0, rowsAfterScan);  // refilled from the driver's list, empty while its scan runs
    EXPECT_FALSE(barAfter);
    EXPECT_EQ(4, rowsReopened);

    EXPECT_EQ((std::vector<std::string>{"1", "3", "6", "11"}), channelsUp);
    EXPECT_TRUE(scanFocusedAfterSort);
    EXPECT_EQ((std::vector<std::string>{"11", "6", "3", "1"}), channelsDown);
    EXPECT_EQ((std::vector<std::string>{"CafeCorner", "LanParty", "Library", "Skyline-Home"}), names);
    EXPECT_EQ(0, theSiteSurveyPage.sortedColumn);

    // A WEP network: the Configuration page on its Security sub-tab, nothing applied.
    EXPECT_EQ(0, pageAfterSecured);
    EXPECT_EQ(1, subTabAfterSecured);
    EXPECT_TRUE(activationsAfterSecured.empty());

    // An open network: applied at once under the current profile's name.
    EXPECT_EQ(1, pageAfterOpen);
    EXPECT_EQ((std::vector<std::string>{"Home", "Home"}), Activations());
    ACProfile* home = Stored("Home");
    ASSERT_NE(nullptr, home);
    EXPECT_STREQ("CafeCorner", home->ssid.c_str());
    EXPECT_EQ(2412, home->channelMHz);
    EXPECT_EQ(12, home->wirelessMode);
    EXPECT_EQ(1, home->infrastructure);
    EXPECT_EQ(0, home->privacy);
    EXPECT_EQ(0, home->wpa);
}

TEST_F(SiteSurvey, AdHocOpenNetworkJoinsInMode4AndTheNormalLayoutHasNoXrColumn) {
    Open("modes=12");
    std::vector<std::string> headings, lan;
    RunMonitor(3, {[&] {
                       headings = Headings();
                       int row = RowOf("LanParty");
                       for (int c = 0; row >= 0 && c < 7; ++c) lan.push_back(Cell(row, c));
                       DoubleClick("LanParty");
                   },
                   [] {}});
    EXPECT_EQ((std::vector<std::string>{"SSID", "BSSID (MAC Address)", "Channel", "Security", "Signal (%)",
                                        "Network Mode", "Network Type"}),
              headings);
    ASSERT_EQ(7u, lan.size());
    EXPECT_EQ("3", lan[2]);
    EXPECT_EQ("None", lan[3]);
    EXPECT_EQ("Ad Hoc", lan[5]);
    EXPECT_EQ("802.11b", lan[6]);
    EXPECT_EQ(1, theMonitorDlg.currentPage);
    EXPECT_EQ((std::vector<std::string>{"Home", "Home"}), Activations());
    ACProfile* home = Stored("Home");
    ASSERT_NE(nullptr, home);
    EXPECT_STREQ("LanParty", home->ssid.c_str());
    EXPECT_EQ(4, home->wirelessMode);
    EXPECT_EQ(0, home->infrastructure);
    EXPECT_EQ(2422, home->channelMHz);
}

namespace {
std::string SelectedText(HWND dialog, int box) {
    char text[128] = {};
    LRESULT index = SendDlgItemMessageA(dialog, box, CB_GETCURSEL, 0, 0);
    if (index >= 0 && SendDlgItemMessageA(dialog, box, CB_GETLBTEXTLEN, index, 0) < LRESULT(sizeof text))
        SendDlgItemMessageA(dialog, box, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}
}  // namespace

TEST_F(SiteSurvey, AJoinStartsFromTheCurrentProfileAndTheEditorShowsWhatItWrote) {
    // The current profile is open and keeps credentials of earlier use.
    const std::string networks = std::string(kNetworks).substr(std::string(kNetworks).find("network "));
    Open("", "profile name=Home ssid=Harbor infrastructure=1 privacy=0 eapMethod=0 wpa=0 "
             "pskPassphrase=sunny-terrace-42 keyIsHex=1 wepKey1=0123456789 wepKeyBits1=40 eapUser=bob "
             "wirelessMode=28 channelMHz=2437\nselect name=Home\n" + networks);
    ACProfile startProfile;  // what the editor holds before the Configuration page was ever shown
    std::string kind, ssidField, common;
    RunMonitor(3, {[&] {
                       theApp.editProfile = &startProfile;
                       DoubleClick("Skyline-Home");
                   },
                   [&] {
                       kind = SelectedText(theSecurityPage.Handle(), IDC_SEC_KIND);
                       theConfigPage.ShowSubPage(0);
                       common = ItemText(theCommonPage.Handle(), IDC_COMMON_SSID);
                       theMonitorDlg.SwitchPage(3);
                   },
                   [&] {
                       theApp.editProfile = &startProfile;
                       DoubleClick("CafeCorner");
                   },
                   [] {}});
    EXPECT_EQ("WPA2-PSK / WPA-PSK", kind);
    EXPECT_EQ("Skyline-Home", common);
    // The open network was applied over the current profile's own settings.
    EXPECT_EQ((std::vector<std::string>{"Home", "Home"}), Activations());
    ACProfile* home = Stored("Home");
    ASSERT_NE(nullptr, home);
    EXPECT_STREQ("CafeCorner", home->ssid.c_str());
    EXPECT_STREQ("sunny-terrace-42", home->pskPassphrase.c_str());
    EXPECT_STREQ("0123456789", home->wepKey1.c_str());
    EXPECT_STREQ("bob", home->eapUser.c_str());
}

TEST_F(SiteSurvey, WithoutAnAdapterScanAndTheListAreDisabled) {
    theApp.adapterPresent = 0;
    BOOL scan = TRUE, list = TRUE;
    int rows = -1;
    RunMonitor(3, {[&] {
        scan = IsWindowEnabled(GetDlgItem(Page(), IDC_SCAN_BUTTON));
        list = IsWindowEnabled(List());
        rows = RowCount();
        ClickHeading(2);  // nothing to sort, nothing happens
    }});
    EXPECT_FALSE(scan);
    EXPECT_FALSE(list);
    EXPECT_EQ(0, rows);
}
