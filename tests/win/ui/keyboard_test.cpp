// The monitor window driven by real key presses: the X server's own input (xdotool under
// Xvfb), which Wine reads like a keyboard, so the keys pass through the dialog's own loop.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "monitor/app/monitor_app.h"
#include "monitor/res/resource.h"
#include "monitor/ui/monitor_dlg.h"
#include "tests/support/sim_scenario.h"
#include "tests/win/ui/modal_script.h"

namespace {

// Gives the monitor window the X input focus and types `keys` (xdotool key names).
bool Type(const std::string& keys) {
    std::string command =
        "Z:\\usr\\bin\\xdotool search --name \"^Telvara WLAN Adapter Monitor$\" windowfocus --sync "
        "key --delay 40 " + keys;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

struct Where {
    int page;
    HWND focus;
};

HWND PageItem(int page, int id) { return GetDlgItem(CMonitorDlg::Page(page)->Handle(), id); }

// A step that types `keys` and then waits, tick after tick, until the window shows `page`
// with the focus on what `expected` names; after 5 s it records what it found instead.
Step PressAndExpect(const std::string& keys, int page, std::function<HWND()> expected) {
    auto started = std::make_shared<DWORD>(0);
    return [=] {
        if (!*started) {
            *started = GetTickCount() | 1;
            ASSERT_TRUE(Type(keys)) << "cannot start xdotool";
            RunAgain();
            return;
        }
        bool there = theMonitorDlg.currentPage == page && CMonitorDlg::Page(page)->Handle() &&
                     GetFocus() == expected();
        if (there) return;
        if (GetTickCount() - *started < 5000) {
            RunAgain();
            return;
        }
        ADD_FAILURE() << "after " << keys << ": page " << theMonitorDlg.currentPage << " (expected " << page
                      << "), focus on control " << GetDlgCtrlID(GetFocus()) << " (expected "
                      << GetDlgCtrlID(expected()) << ")";
    };
}

class KeyboardOnly : public ::testing::Test {
protected:
    void SetUp() override {
        testsim::ClearProductKeys();
        testsim::Install(testsim::Adapter(0, "radio=0"));
        ASSERT_EQ(1, theApp.session.Discover());
        theApp.adapterPresent = 1;
    }
    void TearDown() override {
        theApp.session.CloseSession();
        theApp.adapterPresent = 0;
        AthSimClear();
        testsim::ClearProductKeys();
    }
};

}  // namespace

TEST_F(KeyboardOnly, TabWalksTheStatusPageInReadingOrderAndCtrlKeysStepThroughThePages) {
    std::vector<Step> steps;
    // Opening on the Status page puts the focus on its first field.
    steps.push_back([] {
        if (GetFocus() != PageItem(1, IDC_STATUS_SSID)) RunAgain();
    });
    const int statusOrder[] = {IDC_STATUS_NETWORK_MODE, IDC_STATUS_RATE,       IDC_STATUS_CHANNEL,
                               IDC_STATUS_TX_MODE,      IDC_STATUS_AUTHENTICATION, IDC_STATUS_ENCRYPTION,
                               IDC_STATUS_RX_PACKETS,   IDC_STATUS_TX_PACKETS, IDC_STATUS_LINK_BAR,
                               IDC_STATUS_SIGNAL_BAR};
    for (int id : statusOrder) steps.push_back(PressAndExpect("Tab", 1, [id] { return PageItem(1, id); }));
    for (int id : {IDC_RADIO_BUTTON, IDC_HELP_BUTTON, IDC_HIDE_BUTTON, IDC_TAB})
        steps.push_back(PressAndExpect("Tab", 1, [id] { return GetDlgItem(Monitor(), id); }));
    steps.push_back(PressAndExpect("Tab", 1, [] { return PageItem(1, IDC_STATUS_SSID); }));
    steps.push_back(PressAndExpect("shift+Tab", 1, [] { return GetDlgItem(Monitor(), IDC_TAB); }));
    steps.push_back(PressAndExpect("shift+Tab shift+Tab", 1, [] { return GetDlgItem(Monitor(), IDC_HELP_BUTTON); }));

    // Page keys from a button of the window and from fields of the pages; each new page
    // takes the focus on its first control, and the ends wrap.
    steps.push_back(PressAndExpect("ctrl+Tab", 2, [] { return PageItem(2, IDC_IP_ADDRESS); }));
    steps.push_back(PressAndExpect("ctrl+Next", 3, [] { return PageItem(3, IDC_SCAN_BUTTON); }));
    steps.push_back(PressAndExpect("ctrl+shift+Tab", 2, [] { return PageItem(2, IDC_IP_ADDRESS); }));
    steps.push_back(PressAndExpect("ctrl+Prior ctrl+Prior", 0, [] { return PageItem(0, IDC_PROFILE_LIST); }));
    steps.push_back(PressAndExpect("ctrl+Prior", 4, [] {
        return PageItem(4, theMonitorDlg.modelNumber == 54 ? IDC_ABOUT_LINK_54 : IDC_ABOUT_LINK_108);
    }));
    steps.push_back(PressAndExpect("ctrl+Tab", 0, [] { return PageItem(0, IDC_PROFILE_LIST); }));
    // On the tab strip the focus stays there, so that the arrows go on moving along it.
    steps.push_back(PressAndExpect("shift+Tab", 0, [] { return GetDlgItem(Monitor(), IDC_TAB); }));
    steps.push_back(PressAndExpect("ctrl+Next", 1, [] { return GetDlgItem(Monitor(), IDC_TAB); }));
    steps.push_back(PressAndExpect("Right", 2, [] { return GetDlgItem(Monitor(), IDC_TAB); }));
    // Enter and Escape still close nothing.
    steps.push_back(PressAndExpect("Tab Escape Return", 2, [] { return PageItem(2, IDC_IP_ADDRESS); }));

    INT_PTR result = RunMonitor(1, steps);
    EXPECT_EQ(99, result);  // still open when the script ended
}
