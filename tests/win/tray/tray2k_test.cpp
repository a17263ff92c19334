// The tray on Windows 2000: the Zero-Config service is never consulted.
#include "tests/support/wine_version.h"
#include "tests/win/tray/zero_config_fixture.h"

using namespace zctest;

TEST_F(ZeroConfigTray, Windows2000LeavesTheServiceAloneAndAlwaysShowsTheMenu) {
    service.Start();
    SetFlags(0x0000F123);  // the service manages the interface
    Start(Connected("signal=30"));
    EXPECT_EQ(0x0000F123u, Flags());
    EXPECT_EQ(static_cast<DWORD>(SERVICE_RUNNING), service.State());

    ModalWatch watch;
    Mouse(WM_RBUTTONUP);
    EXPECT_TRUE(watch.menuOpened);

    Command(ID_TRAY_EXIT);
    EXPECT_EQ(0x0000F123u, Flags());
    EXPECT_EQ(nullptr, frame->Handle());
}

int main(int argc, char** argv) {
    int rerun = RerunAsWindowsVersion("win2k");
    if (rerun >= 0) return rerun;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
