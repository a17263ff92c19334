// The monitor window built from its real template: tabs, pages, buttons, banner, help.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "monitor/adapter/oids.h"
#include "monitor/app/monitor_app.h"
#include "monitor/res/resource.h"
#include "monitor/ui/monitor_dlg.h"
#include "monitor/ui/status_page.h"
#include "tests/support/program_dir.h"
#include "tests/support/sim_scenario.h"
#include "tests/win/ui/modal_script.h"

namespace {

const char kDriverKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\0007";

class MonitorWindow : public ::testing::Test {
protected:
    void SetUp() override {
        testsim::ClearProductKeys();
        theApp.adapterPresent = 0;
    }
    void TearDown() override {
        theApp.session.CloseSession();
        theApp.adapterPresent = 0;
        AthSimClear();
        testsim::ClearProductKeys();
    }
    // An adapter with the radio as given, and the session open on it.
    void OpenAdapter(const char* radio) {
        testsim::Install(testsim::Adapter(0, std::string("radio=") + radio));
        ASSERT_EQ(1, theApp.session.Discover());
    }
};

// The child dialogs (pages) of the monitor window.
std::vector<HWND> PageWindows() {
    std::vector<HWND> pages;
    for (HWND w = GetWindow(Monitor(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        char cls[16] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (!lstrcmpA(cls, "#32770")) pages.push_back(w);
    }
    return pages;
}

HWND Tab() { return GetDlgItem(Monitor(), IDC_TAB); }

// A real click on tab `index`: button down and up at its middle.
void ClickTab(int index) {
    RECT r;
    TabCtrl_GetItemRect(Tab(), index, &r);
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(Tab(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(Tab(), WM_LBUTTONUP, 0, at);
}

RECT DialogUnits(int x, int y, int w, int h) {
    RECT r = {x, y, x + w, y + h};
    MapDialogRect(Monitor(), &r);
    return r;
}

// A window's rectangle in the monitor window's client coordinates.
RECT InMonitor(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    MapWindowPoints(nullptr, Monitor(), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void ExpectRect(const RECT& expected, const RECT& actual, const char* what) {
    EXPECT_EQ(expected.left, actual.left) << what;
    EXPECT_EQ(expected.top, actual.top) << what;
    EXPECT_EQ(expected.right, actual.right) << what;
    EXPECT_EQ(expected.bottom, actual.bottom) << what;
}

}  // namespace

TEST_F(MonitorWindow, OpensOnTheInitialPageWithFiveTabsAndItsLayout) {
    std::vector<std::string> tabs;
    int selected = -1;
    size_t pageCount = 0;
    HWND statusPage = nullptr;
    RECT pageRect = {}, expectedPage = {};
    INT_PTR result = RunMonitor(1, {[&] {
        HWND tab = Tab();
        tabs = TabTexts(tab);
        selected = TabCtrl_GetCurSel(tab);
        pageCount = PageWindows().size();
        statusPage = theStatusPage.Handle();
        if (statusPage) pageRect = InMonitor(statusPage);
        expectedPage = DialogUnits(3, 42, 306, 213);

        char title[100] = {};
        GetWindowTextA(Monitor(), title, sizeof title);
        EXPECT_STREQ("Telvara WLAN Adapter Monitor", title);
        ExpectRect(DialogUnits(0, 21, 311, 235), InMonitor(tab), "tab strip");
        ExpectRect(DialogUnits(7, 260, 85, 15), InMonitor(GetDlgItem(Monitor(), IDC_RADIO_BUTTON)), "Radio");
        ExpectRect(DialogUnits(161, 260, 65, 15), InMonitor(GetDlgItem(Monitor(), IDC_HELP_BUTTON)), "Help");
        ExpectRect(DialogUnits(236, 260, 65, 15), InMonitor(GetDlgItem(Monitor(), IDC_HIDE_BUTTON)), "Hide");
        RECT client;
        GetClientRect(Monitor(), &client);
        ExpectRect(DialogUnits(0, 0, 311, 278), client, "client area");
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(Monitor(), IDC_BANNER)));
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(Monitor(), IDC_ADAPTER_COMBO)));
        EXPECT_TRUE(SendMessageA(Monitor(), WM_GETICON, ICON_BIG, 0) != 0);
        EXPECT_TRUE(SendMessageA(Monitor(), WM_GETICON, ICON_SMALL, 0) != 0);
        EXPECT_EQ("Help", ItemText(Monitor(), IDC_HELP_BUTTON));
        EXPECT_EQ("Hide", ItemText(Monitor(), IDC_HIDE_BUTTON));
    }});
    EXPECT_EQ(99, result);
    EXPECT_EQ((std::vector<std::string>{"Configuration", "Status", "IP Settings", "Site Survey", "About"}), tabs);
    EXPECT_EQ(1, selected);
    EXPECT_EQ(1u, pageCount);
    ASSERT_NE(nullptr, statusPage);
    ExpectRect(expectedPage, pageRect, "status page");
    EXPECT_EQ(nullptr, theStatusPage.Handle());  // gone with the window
}

TEST_F(MonitorWindow, EveryInitialPageShowsItsOwnPage) {
    for (int page = 0; page < CMonitorDlg::kPageCount; ++page) {
        HWND shown = nullptr;
        int selected = -1;
        RunMonitor(page, {[&] {
            shown = CMonitorDlg::Page(page)->Handle();
            selected = TabCtrl_GetCurSel(Tab());
            EXPECT_EQ(1u, PageWindows().size()) << page;
        }});
        EXPECT_NE(nullptr, shown) << page;
        EXPECT_EQ(page, selected);
        EXPECT_EQ(page, theMonitorDlg.currentPage);
    }
}

TEST_F(MonitorWindow, SwitchPageWhileOpenOnlySwitches) {
    HWND before = nullptr;
    RunMonitor(1, {[&] {
                       before = Monitor();
                       theMonitorDlg.SwitchPage(3);
                   },
                   [&] {
                       EXPECT_EQ(before, Monitor());
                       EXPECT_EQ(3, TabCtrl_GetCurSel(Tab()));
                       EXPECT_EQ(3, theMonitorDlg.currentPage);
                       EXPECT_EQ(nullptr, theStatusPage.Handle());
                       ASSERT_EQ(1u, PageWindows().size());
                       EXPECT_EQ(CMonitorDlg::Page(3)->Handle(), PageWindows()[0]);
                       theMonitorDlg.SwitchPage(7);  // no such page: nothing changes
                       EXPECT_EQ(3, theMonitorDlg.currentPage);
                       EXPECT_NE(nullptr, CMonitorDlg::Page(3)->Handle());
                   }});
}

TEST_F(MonitorWindow, ClickingTabsSwitchesButTheSelectedTabKeepsItsPage) {
    HWND first = nullptr, again = nullptr, other = nullptr;
    RunMonitor(1, {[&] {
                       first = theStatusPage.Handle();
                       ClickTab(1);
                   },
                   [&] {
                       again = theStatusPage.Handle();
                       ClickTab(4);
                   },
                   [&] {
                       other = CMonitorDlg::Page(4)->Handle();
                       EXPECT_EQ(4, theMonitorDlg.currentPage);
                       EXPECT_EQ(1u, PageWindows().size());
                   }});
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, again);
    EXPECT_NE(nullptr, other);
}

TEST_F(MonitorWindow, EscapeKeepsTheWindowAndHideClosesIt) {
    bool openAfterEscape = false;
    INT_PTR result = RunMonitor(1, {[&] {
                                        HWND edit = GetDlgItem(theStatusPage.Handle(), IDC_STATUS_SSID);
                                        SetFocus(edit);
                                        PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
                                        PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
                                        HWND hide = GetDlgItem(Monitor(), IDC_HIDE_BUTTON);
                                        PostMessageA(hide, WM_KEYDOWN, VK_ESCAPE, 0);
                                        PostMessageA(Monitor(), WM_COMMAND, IDCANCEL, 0);
                                    },
                                    [&] {
                                        openAfterEscape = IsWindow(Monitor()) != 0;
                                        SendMessageA(GetDlgItem(Monitor(), IDC_HIDE_BUTTON), BM_CLICK, 0, 0);
                                    },
                                    [&] { ADD_FAILURE() << "still open after Hide"; }});
    EXPECT_TRUE(openAfterEscape);
    EXPECT_EQ(IDCANCEL, result);
}

TEST_F(MonitorWindow, SystemCloseAndCloseMessageEndWithCancel) {
    EXPECT_EQ(IDCANCEL, RunMonitor(0, {[] { PostMessageA(Monitor(), WM_SYSCOMMAND, SC_CLOSE | 2, 0); },
                                       [] { ADD_FAILURE() << "still open"; }}));
    EXPECT_EQ(IDCANCEL, RunMonitor(0, {[] { PostMessageA(Monitor(), WM_CLOSE, 0, 0); },
                                       [] { ADD_FAILURE() << "still open"; }}));
}

TEST_F(MonitorWindow, RadioIsDisabledWithoutAnAdapter) {
    BOOL enabled = TRUE;
    RunMonitor(0, {[&] { enabled = IsWindowEnabled(GetDlgItem(Monitor(), IDC_RADIO_BUTTON)); }});
    EXPECT_FALSE(enabled);
}

TEST_F(MonitorWindow, RadioShowsTheStateReadAtOpeningAndAClickChangesIt) {
    OpenAdapter("on");
    theApp.adapterPresent = 1;
    AthSimClearRecorded(0);
    std::string atOpen, afterFirst, afterSecond;
    std::string enableAfterFirst, enableAfterSecond;
    DWORD sentFirst = 99, sentSecond = 99;
    int32_t stateAfterFirst = -1, stateAfterSecond = -1;
    RunMonitor(1, {[&] {
                       HWND radio = GetDlgItem(Monitor(), IDC_RADIO_BUTTON);
                       EXPECT_TRUE(IsWindowEnabled(radio));
                       atOpen = ItemText(Monitor(), IDC_RADIO_BUTTON);
                       SendMessageA(radio, BM_CLICK, 0, 0);
                       afterFirst = ItemText(Monitor(), IDC_RADIO_BUTTON);
                       AthSimLastRecordedValue(0, oid::kRadio, &sentFirst);
                       enableAfterFirst = testsim::ReadString(kDriverKey, "radioEnable");
                       stateAfterFirst = theApp.session.RadioState();
                       SendMessageA(radio, BM_CLICK, 0, 0);
                       afterSecond = ItemText(Monitor(), IDC_RADIO_BUTTON);
                       AthSimLastRecordedValue(0, oid::kRadio, &sentSecond);
                       enableAfterSecond = testsim::ReadString(kDriverKey, "radioEnable");
                       stateAfterSecond = theApp.session.RadioState();
                   }});
    EXPECT_EQ("Radio OFF", atOpen);  // on: a click switches it off
    EXPECT_EQ(1u, sentFirst);        // the first click switches the radio off
    EXPECT_EQ("Radio ON", afterFirst);
    EXPECT_EQ("1", enableAfterFirst);
    EXPECT_EQ(1, stateAfterFirst);
    EXPECT_EQ(0u, sentSecond);
    EXPECT_EQ("Radio OFF", afterSecond);
    EXPECT_EQ("0", enableAfterSecond);
    EXPECT_EQ(0, stateAfterSecond);
    EXPECT_EQ(2, AthSimRecordedCount(0));
}

TEST_F(MonitorWindow, RadioOffAtOpeningOffersToSwitchItOn) {
    OpenAdapter("off");
    theApp.adapterPresent = 1;
    std::string atOpen, afterClick;
    RunMonitor(0, {[&] {
        atOpen = ItemText(Monitor(), IDC_RADIO_BUTTON);
        SendMessageA(GetDlgItem(Monitor(), IDC_RADIO_BUTTON), BM_CLICK, 0, 0);
        afterClick = ItemText(Monitor(), IDC_RADIO_BUTTON);
    }});
    EXPECT_EQ("Radio ON", atOpen);
    EXPECT_EQ("Radio OFF", afterClick);
    EXPECT_EQ(0, theApp.session.RadioState());
}

TEST_F(MonitorWindow, BannerFollowsTheModel) {
    int own = -1, other = -1;
    testsim::SetModel54(false);
    RunMonitor(4, {[&] { UpdateWindow(Monitor()); },
                   [&] {
                       EXPECT_EQ(108, theMonitorDlg.modelNumber);
                       own = BitmapMismatches(Monitor(), IDB_BANNER_108, 0, 0);
                       other = BitmapMismatches(Monitor(), IDB_BANNER_54, 0, 0);
                   }});
    EXPECT_EQ(0, own);
    EXPECT_GT(other, 50);

    testsim::SetModel54(true);
    RunMonitor(4, {[&] { UpdateWindow(Monitor()); },
                   [&] {
                       EXPECT_EQ(54, theMonitorDlg.modelNumber);
                       own = BitmapMismatches(Monitor(), IDB_BANNER_54, 0, 0);
                   }});
    EXPECT_EQ(0, own);
}

namespace {
// Clicks Help with the current directory set to a folder whose Hh.exe records its command
// line; returns that command line.
std::string HelpCommandFor(bool model54) {
    char temp[MAX_PATH], oldDir[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string dir = std::string(temp) + "skyvane help test";
    CreateDirectoryA(dir.c_str(), nullptr);
    std::string recorder = ProgramDir() + "record_args.exe";
    std::string viewer = dir + "\\Hh.exe";
    std::string out = dir + "\\args.txt";
    if (!CopyFileA(recorder.c_str(), viewer.c_str(), FALSE)) return "<no recorder>";
    DeleteFileA(out.c_str());
    SetEnvironmentVariableA("RECORD_ARGS_TO", out.c_str());
    testsim::SetModel54(model54);
    GetCurrentDirectoryA(sizeof oldDir, oldDir);
    SetCurrentDirectoryA(dir.c_str());
    RunMonitor(0, {[] { SendMessageA(GetDlgItem(Monitor(), IDC_HELP_BUTTON), BM_CLICK, 0, 0); }});
    SetCurrentDirectoryA(oldDir);
    std::string line = "<not started>";
    for (int i = 0; i < 100 && line == "<not started>"; ++i) {
        std::ifstream f(out);
        std::stringstream text;
        if (f && (text << f.rdbuf()) && !text.str().empty()) line = text.str();
        else Sleep(100);
    }
    DeleteFileA(out.c_str());
    DeleteFileA(viewer.c_str());
    RemoveDirectoryA(dir.c_str());
    return line;
}
}  // namespace

TEST_F(MonitorWindow, HelpStartsTheViewerOnTheModelsFileInTheCurrentDirectory) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string dir = std::string(temp) + "skyvane help test";
    std::string line = HelpCommandFor(false);
    EXPECT_NE(std::string::npos, line.find(dir + "\\Wevo_108_Help.chm")) << line;
    line = HelpCommandFor(true);
    EXPECT_NE(std::string::npos, line.find(dir + "\\Wevo_54_Help.chm")) << line;
}

namespace {
// Pixels of button `id` that differ from its bitmap drawn at the left, centred vertically,
// moved by `shift` (a checked toggle's), ANDed with the face colour; -1 when the button is
// not owner-drawn.
int ButtonBitmapMismatches(int id, UINT bitmapId, int shift = 0) {
    HWND button = GetDlgItem(Monitor(), id);
    if ((GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) != BS_OWNERDRAW) return -1;
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmapId),
                                                     IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap) return -2;
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    RECT client;
    GetClientRect(button, &client);
    int left = 2 + shift, top = (client.bottom - info.bmHeight) / 2 + shift;
    HDC screen = GetDC(button);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bitmap);
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    int mismatches = 0;
    for (int y = 0; y < info.bmHeight; ++y)
        for (int x = 0; x < info.bmWidth; ++x)
            if (GetPixel(screen, left + x, top + y) != (GetPixel(mem, x, y) & face)) ++mismatches;
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(bitmap);
    ReleaseDC(button, screen);
    return mismatches;
}
}  // namespace

TEST_F(MonitorWindow, ButtonsKeepTheirBitmapsEachTimeTheWindowOpens) {
    OpenAdapter("on");
    theApp.adapterPresent = 1;
    for (int opening = 1; opening <= 3; ++opening) {
        int radio = -3, help = -3, hide = -3;
        RunMonitor(1, {[&] { UpdateWindow(Monitor()); },
                       [&] {
                           radio = ButtonBitmapMismatches(IDC_RADIO_BUTTON, IDB_RADIO_ON, 1);
                           help = ButtonBitmapMismatches(IDC_HELP_BUTTON, IDB_HELP);
                           hide = ButtonBitmapMismatches(IDC_HIDE_BUTTON, IDB_HIDE);
                       }});
        EXPECT_EQ(0, radio) << "opening " << opening;
        EXPECT_EQ(0, help) << "opening " << opening;
        EXPECT_EQ(0, hide) << "opening " << opening;
    }
}
