// The About page on Windows XP, driven through the real monitor window: what it shows for
// each model and driver file, its banner, and the product link opened by click, by the
// space bar and through the browser registered for web pages.
#include <windows.h>
#include <commctrl.h>
#include <process.h>

#include <cstdio>

#include "monitor/controls/hyperlink.h"
#include "tests/support/wine_version.h"
#include "tests/win/ui/about/about_fixture.h"

using namespace about;

namespace {

const char kLink54[] = "http://www.halvex.example/telvara/wevo54/";
const char kLink108[] = "http://www.halvex.example/telvara/wevo108/";

struct Shown {
    std::string program, driver;
    bool link54 = false, link108 = false;
};

Shown ShowAboutPage() {
    Shown shown;
    RunMonitor(kAboutTab, {[&] {
        HWND page = theAboutPage.Handle();
        ASSERT_NE(nullptr, page);
        shown.program = ItemText(page, IDC_ABOUT_PROGRAM_VERSION);
        shown.driver = ItemText(page, IDC_ABOUT_DRIVER_VERSION);
        shown.link54 = Visible(page, IDC_ABOUT_LINK_54);
        shown.link108 = Visible(page, IDC_ABOUT_LINK_108);
    }});
    return shown;
}

// The text of the tooltip that shows for `control`; "<none>" without one.
std::string TooltipText(HWND control) {
    for (HWND tip = nullptr; (tip = FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr)) != nullptr;) {
        char text[256] = {};
        TTTOOLINFOA tool = {};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.lpszText = text;
        if (!SendMessageA(tip, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&tool)) || tool.hwnd != control)
            continue;
        SendMessageA(tip, TTM_GETTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
        return text;
    }
    return "<none>";
}

// A click on the control: button down and up inside it.
void Click(HWND control) {
    SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

HWND TabStrip() { return GetDlgItem(Monitor(), IDC_TAB); }

// The message box the thread shows over the monitor window, or null.
HWND MessageBoxWindow() {
    struct Found {
        HWND box = nullptr;
    } found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM lp) -> BOOL {
            char cls[16] = {};
            GetClassNameA(w, cls, sizeof cls);
            if (w == Monitor() || lstrcmpA(cls, "#32770") || !IsWindowVisible(w)) return TRUE;
            reinterpret_cast<Found*>(lp)->box = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.box;
}

}  // namespace

TEST_F(AboutPage, ModelAndDriverFileDecideTheVersionLineAndTheLink) {
    PlaceDriverFile(kNtDriver);             // 4.1.2.3 where 2000 and XP keep the driver
    PlaceDriverFile(kWin98Driver, false);   // 1.0.0.1 where 98 and Me keep it: not read here

    testsim::SetModel54(true);
    Shown shown = ShowAboutPage();
    EXPECT_EQ("Telvara Wevo 54 Driver Version : 4.1.2.3", shown.driver);
    EXPECT_EQ("Telvara WLAN Adapter Monitor Version : 2.03.000", shown.program);
    EXPECT_TRUE(shown.link54);
    EXPECT_FALSE(shown.link108);

    testsim::SetModel54(false);
    shown = ShowAboutPage();
    EXPECT_EQ("Telvara Wevo 108 Driver Version : 4.1.2.3", shown.driver);
    EXPECT_EQ("Telvara WLAN Adapter Monitor Version : 2.03.000", shown.program);
    EXPECT_FALSE(shown.link54);
    EXPECT_TRUE(shown.link108);

    // No driver file where XP keeps it: the label alone.
    DeleteFileA((DriversDir() + kNtDriver).c_str());
    shown = ShowAboutPage();
    EXPECT_EQ("Telvara Wevo 108 Driver Version : ", shown.driver);
}

TEST_F(AboutPage, TheSimulatedAdapterComesWithADriverFileTheVersionIsReadFrom) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    std::string scenario = std::string(temp) + "about-scenario.txt";
    FILE* f = std::fopen(scenario.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    std::fputs("adapter\n", f);
    std::fclose(f);
    std::string athsim = ProgramDir() + "athsim.exe";
    auto run = [&](const char* what, const std::string& file) {
        return _spawnl(_P_WAIT, athsim.c_str(), "athsim.exe", what,
                       file.empty() ? nullptr : ("\"" + file + "\"").c_str(), nullptr);
    };

    ASSERT_EQ(0, run("install", scenario));
    EXPECT_EQ("Telvara Wevo 108 Driver Version : 1.0.0.1", ShowAboutPage().driver);
    ASSERT_EQ(0, run("clear", ""));
    EXPECT_EQ("Telvara Wevo 108 Driver Version : ", ShowAboutPage().driver);
    DeleteFileA(scenario.c_str());
}

TEST_F(AboutPage, LinkIsAnUnderlinedFittedTextWithItsAddressAsTooltip) {
    testsim::SetModel54(true);
    RunMonitor(kAboutTab, {[&] {
        HWND page = theAboutPage.Handle();
        HWND link = GetDlgItem(page, IDC_ABOUT_LINK_54);
        EXPECT_EQ(kLink54, ItemText(page, IDC_ABOUT_LINK_54));
        EXPECT_EQ(kLink54, TooltipText(link));

        HFONT font = reinterpret_cast<HFONT>(SendMessageA(link, WM_GETFONT, 0, 0));
        LOGFONTA description = {};
        ASSERT_NE(0, GetObjectA(font, sizeof description, &description));
        EXPECT_TRUE(description.lfUnderline);

        // Fitted to its text, centred where the template put the control.
        HDC dc = GetDC(link);
        HGDIOBJ old = SelectObject(dc, font);
        SIZE text = {};
        GetTextExtentPoint32A(dc, kLink54, lstrlenA(kLink54), &text);
        SelectObject(dc, old);
        ReleaseDC(link, dc);
        RECT placed;
        GetWindowRect(link, &placed);
        MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&placed), 2);
        RECT templ = {6, 84, 6 + 299, 84 + 8};
        MapDialogRect(page, &templ);
        // Centring gives an odd difference in width to the right side.
        EXPECT_NEAR(text.cx, placed.right - placed.left, 1);
        EXPECT_EQ(text.cy, placed.bottom - placed.top);
        EXPECT_NEAR((templ.left + templ.right) / 2, (placed.left + placed.right) / 2, 1);
        EXPECT_EQ(templ.top, placed.top);

        // The hand over the link.
        EXPECT_EQ(TRUE, SendMessageA(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link),
                                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
        EXPECT_NE(nullptr, GetCursor());
        EXPECT_NE(LoadCursor(nullptr, IDC_ARROW), GetCursor());

        // Purple while focused (the page opens with the focus on it), blue once the focus leaves.
        SetFocus(link);
        EXPECT_EQ(CHyperLink::kActiveColour, LinkColour(page, IDC_ABOUT_LINK_54));
        SetFocus(nullptr);
        EXPECT_EQ(CHyperLink::kLinkColour, LinkColour(page, IDC_ABOUT_LINK_54));
        // Text that is no link gets the usual colours.
        EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), LinkColour(page, IDC_ABOUT_PROGRAM_VERSION));
    }});
}

TEST_F(AboutPage, BannerOfTheModelSitsCentredBelowTheTop) {
    for (bool model54 : {true, false}) {
        testsim::SetModel54(model54);
        UINT own = model54 ? IDB_ABOUT_BANNER_54 : IDB_ABOUT_BANNER_108;
        int mismatches = -1;
        RunMonitor(kAboutTab, {[] { UpdateWindow(Monitor()); },
                               [&] {
                                   HWND page = theAboutPage.Handle();
                                   RECT client;
                                   GetClientRect(page, &client);
                                   SIZE size = BitmapSize(own);
                                   mismatches = BitmapMismatches(page, own, (client.right - size.cx) / 2, 40);
                               }});
        EXPECT_EQ(0, mismatches) << model54;
    }
}

TEST_F(AboutPage, SpaceOpensTheFocusedLinkAndEnterAndEscapeDoNothing) {
    testsim::SetModel54(true);
    StandInBrowser browser;
    bool openAfterKeys = false;
    COLORREF afterKeys = 0, afterSpace = 0;
    std::string openedByKeys = "<not asked>";
    HWND link = nullptr;
    RunMonitor(kAboutTab, {[&] {
                               link = GetDlgItem(theAboutPage.Handle(), IDC_ABOUT_LINK_54);
                               SetFocus(link);
                               PostMessageA(link, WM_KEYDOWN, VK_RETURN, 0);
                               PostMessageA(link, WM_KEYDOWN, VK_ESCAPE, 0);
                           },
                           [&] {
                               openAfterKeys = IsWindow(Monitor()) && theAboutPage.Handle();
                               openedByKeys = browser.Opened(1000);
                               SetFocus(TabStrip());  // not active any more: blue unless visited
                               afterKeys = LinkColour(theAboutPage.Handle(), IDC_ABOUT_LINK_54);
                               SetFocus(link);
                               PostMessageA(link, WM_KEYDOWN, VK_SPACE, 0);
                           },
                           [&] {
                               SetFocus(TabStrip());
                               afterSpace = LinkColour(theAboutPage.Handle(), IDC_ABOUT_LINK_54);
                           }});
    EXPECT_TRUE(openAfterKeys);
    EXPECT_EQ("", openedByKeys);
    EXPECT_EQ(CHyperLink::kLinkColour, afterKeys);
    EXPECT_EQ(CHyperLink::kVisitedColour, afterSpace);
    EXPECT_NE(std::string::npos, browser.Opened().find(kLink54)) << browser.Opened();
}

TEST_F(AboutPage, ClickOpensTheLinkAndTheWebPageBrowserStandsInForTheShell) {
    testsim::SetModel54(false);
    const std::string missing = "\"C:\\no such browser\\browse.exe\" \"%1\"";
    ClassesValue htm(".htm", "SkyvaneTest.Page");
    {
        // Neither the shell nor the web page browser can open it: a beep and a message, and
        // the link is not visited.
        ClassesValue http("http\\shell\\open\\command", missing);
        ClassesValue page("SkyvaneTest.Page\\shell\\open\\command", missing);
        std::string message, caption;
        COLORREF afterFailure = 0;
        RunMonitor(kAboutTab, {[&] {
                                   Click(GetDlgItem(theAboutPage.Handle(), IDC_ABOUT_LINK_108));
                                   SetFocus(TabStrip());
                                   afterFailure = LinkColour(theAboutPage.Handle(), IDC_ABOUT_LINK_108);
                               },
                               // Runs while the message box of the click above is open.
                               [&] {
                                   HWND box = MessageBoxWindow();
                                   ASSERT_NE(nullptr, box);
                                   message = ItemText(box, 0xFFFF);
                                   char title[100] = {};
                                   GetWindowTextA(box, title, sizeof title);
                                   caption = title;
                                   PostMessageA(box, WM_COMMAND, IDOK, 0);
                               }});
        EXPECT_EQ("Can't open link:\n\nThe specified file was not found.", message);
        EXPECT_EQ("Telvara WLAN Adapter Monitor", caption);
        EXPECT_EQ(CHyperLink::kLinkColour, afterFailure);
    }
    {
        // The shell cannot open web addresses: the program registered for ".htm" pages gets
        // the address after the text before its quoted placeholder, unquoted.
        ClassesValue http("http\\shell\\open\\command", missing);
        StandInBrowser browser("SkyvaneTest.Page\\shell\\open\\command");
        COLORREF afterOpen = 0;
        RunMonitor(kAboutTab, {[&] {
            HWND page = theAboutPage.Handle();
            Click(GetDlgItem(page, IDC_ABOUT_LINK_108));
            SetFocus(TabStrip());
            afterOpen = LinkColour(page, IDC_ABOUT_LINK_108);
        }});
        EXPECT_EQ("\"" + StandInBrowser::Recorder() + "\"  " + kLink108, browser.Opened());
        EXPECT_EQ(CHyperLink::kVisitedColour, afterOpen);
    }
    SHDeleteKeyA(HKEY_CLASSES_ROOT, "SkyvaneTest.Page");
    {
        // The shell opens it.
        StandInBrowser browser;
        RunMonitor(kAboutTab, {[] { Click(GetDlgItem(theAboutPage.Handle(), IDC_ABOUT_LINK_108)); }});
        EXPECT_NE(std::string::npos, browser.Opened().find(kLink108)) << browser.Opened();
    }
}

namespace {
// Wine keeps no help viewer in the Windows directory, where the link looks for its hand
// cursor: a stand-in holding that cursor goes there while the tests run.
class HelpViewerStandIn {
public:
    HelpViewerStandIn() {
        char dir[MAX_PATH] = {};
        GetWindowsDirectoryA(dir, sizeof dir);
        path_ = std::string(dir) + "\\winhlp32.exe";
        placed_ = CopyFileA((ProgramDir() + "help_viewer_stand_in.exe").c_str(), path_.c_str(), TRUE) != 0;
    }
    ~HelpViewerStandIn() {
        if (placed_) DeleteFileA(path_.c_str());
    }

private:
    std::string path_;
    bool placed_ = false;
};
}  // namespace

int main(int argc, char** argv) {
    int rerun = RerunAsWindowsVersion("winxp");
    if (rerun >= 0) return rerun;
    HelpViewerStandIn helpViewer;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
