// The tray frame's poll, icons, tooltips and tray events against the simulated adapter.
#include "tests/win/tray/tray_fixture.h"

#include "tests/win/tray/shell_spy.h"

#include "athcfg/sim/athsim.h"
#include "monitor/adapter/oids.h"

TEST_F(TrayTest, NoAdapterShowsNetworkDisabledAndIgnoresDoubleClick) {
    Start("");
    ASSERT_EQ(1u, tray.calls.size());
    EXPECT_EQ(TrayIcon::kAdd, tray.Last().mode);
    EXPECT_EQ(183u, tray.Last().icon);
    EXPECT_EQ("Network disabled", tray.Last().tip);

    Tick();  // tries discovery again, the icon stays
    EXPECT_EQ(1u, tray.calls.size());

    ModalWatch watch;
    Mouse(WM_LBUTTONDBLCLK);
    EXPECT_FALSE(watch.monitorOpened);
}

TEST_F(TrayTest, PageCommandsOpenTheMonitorWindowEvenWithoutAdapter) {
    Start("");
    ModalWatch watch;
    Command(ID_TRAY_SITESURVEY);
    EXPECT_TRUE(watch.monitorOpened);
    EXPECT_EQ(3, watch.monitorPage);
}

TEST_F(TrayTest, RightClickShowsTheMenuOutsideWindowsXp) {
    Start(Connected("signal=30"));
    ModalWatch watch;
    Mouse(WM_RBUTTONUP);
    EXPECT_TRUE(watch.menuOpened);
}

TEST_F(TrayTest, TheMenuFollowsTheShellsEventsForMouseAndKeyboard) {
    struct Case {
        bool keyboardShell;
        LPARAM event;
        bool menu;
        int focusBack = 0;  // the menu from the keyboard gives the focus back to the shell
    } cases[] = {
        // A shell that sends keyboard events follows the right-button release with
        // WM_CONTEXTMENU: one menu, not two.
        {true, WM_RBUTTONUP, false},
        {true, WM_CONTEXTMENU, true},
        {true, NIN_KEYSELECT, true, 1},
        {true, NIN_SELECT, false},
        // The shell of Windows 98 sends the mouse messages only.
        {false, WM_RBUTTONUP, true},
        {false, WM_CONTEXTMENU, false},
        {false, NIN_KEYSELECT, false},
    };
    for (const Case& c : cases) {
        tray.keyboardEvents = c.keyboardShell;
        tray.focusReturned = 0;
        Start(Connected("signal=30"));
        ModalWatch watch;
        Mouse(c.event);
        EXPECT_EQ(c.menu, watch.menuOpened) << c.keyboardShell << " " << c.event;
        EXPECT_EQ(c.focusBack, tray.focusReturned) << c.keyboardShell << " " << c.event;
        if (c.event == NIN_KEYSELECT && c.menu) {
            // Enter sends a second selection as the menu closes: it is not a new request.
            ModalWatch again;
            Mouse(NIN_KEYSELECT);
            EXPECT_FALSE(again.menuOpened);
        }
        TearDown();
    }
}

// A key press leaves the pointer anywhere: the menu opens at the icon. A click leaves it
// on the icon, and the menu opens there.
TEST_F(TrayTest, TheMenuOpensAtTheIconWhenThePointerIsElsewhere) {
    struct Case {
        bool iconKnown;
        POINT pointer, menu;
    } cases[] = {
        {true, {500, 400}, {308, 208}},   // the icon's centre
        {true, {305, 210}, {305, 210}},   // the pointer on the icon
        {false, {500, 400}, {500, 400}},  // a shell that does not say where the icon is
    };
    tray.keyboardEvents = true;
    tray.iconRect = {300, 200, 316, 216};
    for (const Case& c : cases) {
        tray.iconKnown = c.iconKnown;
        Start(Connected("signal=30"));
        SetCursorPos(c.pointer.x, c.pointer.y);
        ModalWatch watch;
        Mouse(NIN_KEYSELECT);
        ASSERT_TRUE(watch.menuOpened);
        EXPECT_EQ(c.menu.x, watch.menuRect.left) << c.iconKnown << " " << c.pointer.x;
        EXPECT_EQ(c.menu.y, watch.menuRect.top) << c.iconKnown << " " << c.pointer.x;
        TearDown();
    }
}

TEST_F(TrayTest, DoubleClickOpensTheConfigurationPage) {
    Start(Connected("signal=30"));
    ModalWatch watch;
    Mouse(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(watch.monitorOpened);
    EXPECT_EQ(0, watch.monitorPage);
}

TEST_F(TrayTest, CreationWithAdapterStartsDisconnectedAndActivatesTheProfile) {
    Start(Connected("signal=30"));
    ASSERT_GE(tray.calls.size(), 1u);
    EXPECT_EQ(TrayIcon::kAdd, tray.calls[0].mode);
    EXPECT_EQ(182u, tray.calls[0].icon);
    EXPECT_EQ("Disconnected", tray.calls[0].tip);
    DWORD rate = 1;
    EXPECT_NE(0, AthSimLastRecordedValue(0, oid::kTxRate, &rate));
    EXPECT_EQ(0u, rate);  // the profile's stored rate: none stored, automatic
}

TEST_F(TrayTest, ConnectedTooltipAndIconFromSignalLevel) {
    Start(Connected("signal=9"));
    Tick();
    EXPECT_EQ(TrayIcon::kModify, tray.Last().mode);
    EXPECT_EQ(180u, tray.Last().icon);
    EXPECT_EQ("Connection : Harbor \nSpeed : 54 Mbps\nLink Quality : 80 %", tray.Last().tip);
    EXPECT_EQ(80, theApp.linkQuality);

    testsim::Install(Connected("signal=2"));
    Tick();
    EXPECT_EQ(166u, tray.Last().icon);

    testsim::Install(Connected("signal=30"));
    Tick();
    EXPECT_EQ(181u, tray.Last().icon);
}

class ShellTrayTest : public TrayTest {
protected:
    TrayIcon shell;  // the real notification area, outliving the frame
};

TEST_F(ShellTrayTest, TheShellGetsTheWholeTipOfTheLongestConnection) {
    ASSERT_TRUE(shellspy::Install());
    const std::string ssid(32, 'W');
    testsim::Install(testsim::Adapter(0, "quality=100") + "profile name=Home ssid=Harbor\nselect name=Home\n" +
                     "status disconnected=0 signal=30 rate=0x80000000 ssid=" + ssid + "\n");
    frame = new CMainFrame(&shell);
    ASSERT_TRUE(frame->CreateFrame());
    shellspy::calls.clear();
    Tick();

    ASSERT_EQ(1u, shellspy::calls.size());
    const shellspy::Call& call = shellspy::calls.back();
    EXPECT_TRUE(call.result);
    const std::string expected = fw::Format(fw::LoadText(IDS_CONNECTION_TIP).c_str(), ssid.c_str(),
                                            static_cast<int32_t>(0x80000000), 100);
    ASSERT_GT(expected.size(), 63u);  // longer than the first layout's tip
    EXPECT_EQ(expected, shellspy::TipTheShellReads(call.data));
}

TEST_F(TrayTest, DisconnectedIconFollowsTheRadio) {
    Start(testsim::Adapter(0) + "status disconnected=1\n");
    Tick();
    EXPECT_EQ(182u, tray.Last().icon);
    EXPECT_EQ("Disconnected", tray.Last().tip);

    testsim::Install(testsim::Adapter(0, "radio=off") + "status disconnected=1\n");
    Tick();
    EXPECT_EQ(161u, tray.Last().icon);
    EXPECT_EQ("Radio OFF", tray.Last().tip);
    EXPECT_EQ(0, GreenNewest());
}

TEST_F(TrayTest, FirstConnectedTickPushesZeroThenTrafficIsCapped) {
    Start(Connected("signal=30 txbytes=1000000 rxbytes=5000000"));
    // The counters moved since creation read them; the first connected tick still plots 0.
    testsim::Install(Connected("signal=30 txbytes=2000000 rxbytes=6000000"));
    Tick();
    EXPECT_EQ(0, GreenNewest());
    EXPECT_EQ(0, RedNewest());

    testsim::Install(Connected("signal=30 txbytes=2012500 rxbytes=6020000"));
    Tick();
    EXPECT_EQ(200, RedNewest());    // 12 500 bytes: 100 kbit, stored doubled
    EXPECT_EQ(200, GreenNewest());  // 20 000 bytes: 160 kbit, capped to 100

    testsim::Install(Connected("signal=30 txbytes=2013750 rxbytes=6020000"));
    Tick();
    EXPECT_EQ(20, RedNewest());  // 1 250 bytes: 10 kbit
    EXPECT_EQ(0, GreenNewest());
}

TEST_F(TrayTest, AdapterLostThenFoundAgain) {
    Start(Connected("signal=30"));
    Tick();
    AthSimSetPresent(0, 0);
    Tick();
    EXPECT_EQ(0, theApp.adapterPresent);
    EXPECT_EQ(183u, tray.Last().icon);
    EXPECT_EQ("Network disabled", tray.Last().tip);
    EXPECT_EQ(nullptr, theApp.session.mainConfig);

    size_t calls = tray.calls.size();
    AthSimSetPresent(0, 1);
    Tick();  // rediscovers; the icon changes on the next tick
    EXPECT_EQ(1, theApp.adapterPresent);
    EXPECT_EQ(calls, tray.calls.size());
    Tick();
    EXPECT_EQ(181u, tray.Last().icon);
}

namespace {
DWORD g_unpluggedAt = 0;
void Unplug() {
    AthSimSetPresent(0, 0);
    g_unpluggedAt = GetTickCount();
}
}  // namespace

TEST_F(TrayTest, UnpluggingClosesTheOpenMonitorWindowWithinOneTick) {
    Start(Connected("signal=30"));
    ModalWatch watch;
    watch.whileOpen = Unplug;
    watch.closeAfterTicks = 60;  // the watch closes it only if the frame did not
    Command(ID_TRAY_STATUS);     // returns when the window has closed
    EXPECT_TRUE(watch.monitorOpened);
    EXPECT_EQ(1, watch.monitorPage);
    EXPECT_FALSE(watch.closedByWatch);
    EXPECT_EQ(183u, tray.Last().icon);
    EXPECT_LT(tray.Last().at - g_unpluggedAt, 1500u);  // one poll period and a little
    EXPECT_EQ(0, theApp.adapterPresent);
}

TEST_F(TrayTest, ShellRestartAddsTheIconAgain) {
    Start(Connected("signal=9"));
    Tick();
    SendMessageA(frame->Handle(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_EQ(TrayIcon::kAdd, tray.Last().mode);
    EXPECT_EQ(180u, tray.Last().icon);
}

TEST_F(TrayTest, CloseRemovesTheIconAndTheSession) {
    Start(Connected("signal=9"));
    SendMessageA(frame->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(TrayIcon::kDelete, tray.Last().mode);
    EXPECT_EQ(nullptr, theApp.session.mainConfig);
    EXPECT_EQ(nullptr, frame->Handle());
}

// The real notification area, as the shell offers it under Xvfb.
TEST(RealTray, AddModifyDeleteSucceed) {
    HWND owner = CreateWindowExA(0, "STATIC", "tray owner", 0, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, owner);
    TrayIcon real;
    EXPECT_TRUE(real.Notify(owner, IconPressedMessage(), TrayIcon::kAdd, 182, "Disconnected"));
    EXPECT_TRUE(real.Notify(owner, IconPressedMessage(), TrayIcon::kModify, 181, std::string(300, 'x')));
    EXPECT_TRUE(real.Notify(owner, IconPressedMessage(), TrayIcon::kDelete, 181, ""));
    DestroyWindow(owner);
}
