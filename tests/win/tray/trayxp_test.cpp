// The tray on Windows XP beside a Wireless Zero Configuration service (a test service
// registered as "WZCSVC").
#include "tests/support/wine_version.h"
#include "tests/win/tray/zero_config_fixture.h"

#include "athcfg/sim/athsim.h"
#include "monitor/adapter/oids.h"

using namespace zctest;

TEST_F(ZeroConfigTray, DiscoveryTakesTheAdapterFromTheRunningService) {
    service.Start();
    SetFlags(0x0000F123);
    Start(Connected("signal=30"));
    EXPECT_EQ(0x00000123u, Flags());
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), service.State());

    ModalWatch watch;
    Mouse(WM_RBUTTONUP);
    EXPECT_TRUE(watch.menuOpened);
}

TEST_F(ZeroConfigTray, StoppedServiceIsLeftAloneAndExitHandsTheAdapterBack) {
    service.Stop();
    SetFlags(0x00000123);
    Start(Connected("signal=30"));
    EXPECT_EQ(0x00000123u, Flags());
    EXPECT_EQ(static_cast<DWORD>(SERVICE_STOPPED), service.State());

    Command(ID_TRAY_EXIT);
    EXPECT_EQ(0x00008123u, Flags());
    EXPECT_TRUE(service.WaitFor(SERVICE_RUNNING));
    EXPECT_EQ(nullptr, frame->Handle());
}

TEST_F(ZeroConfigTray, WhileTheServiceManagesTheAdapterNoMenuAndReapplyOnRelease) {
    service.Start();
    SetFlags(0x00000000);
    Start(Connected("signal=30"));

    SetFlags(0x00008000);  // the service took the adapter back
    ModalWatch watch;
    Mouse(WM_RBUTTONUP);
    EXPECT_FALSE(watch.menuOpened);
    Tick();

    SetFlags(0x00000000);
    AthSimClearRecorded(0);
    Tick();  // control came back: the current profile is applied again
    DWORD rate = 1;
    EXPECT_NE(0, AthSimLastRecordedValue(0, oid::kTxRate, &rate));
    EXPECT_EQ(0u, rate);

    AthSimClearRecorded(0);
    Tick();  // no change, no new apply
    EXPECT_EQ(0, AthSimLastRecordedValue(0, oid::kTxRate, &rate));
}

TEST_F(ZeroConfigTray, ClosingOtherwiseThanByExitKeepsTheAdapter) {
    service.Start();
    SetFlags(0x00000100);
    Start(Connected("signal=30"));
    SendMessageA(frame->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(0x00000100u, Flags());
}

TEST_F(StubbornServiceTray, ARefusedStopGivesUpAtOnceAndLeavesTheFlags) {
    service.Start();
    SetFlags(0x0000F123);
    DWORD before = GetTickCount();
    Start(Connected("signal=30"));
    // Waiting for a service that refused to stop would hold the user interface for the
    // whole 30 s bound.
    EXPECT_LT(GetTickCount() - before, 10000u);
    EXPECT_EQ(0x0000F123u, Flags());
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), service.State());
}

int main(int argc, char** argv) {
    int rerun = RerunAsWindowsVersion("winxp");
    if (rerun >= 0) return rerun;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
