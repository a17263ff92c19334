// The tray on Windows 98: the one-line tooltip.
#include "tests/support/wine_version.h"
#include "tests/win/tray/tray_fixture.h"

TEST_F(TrayTest, Windows98TooltipIsOneLine) {
    Start(Connected("signal=9"));
    Tick();
    EXPECT_EQ(180u, tray.Last().icon);
    EXPECT_EQ("Connection : Harbor  Speed : 54 Mbps  Link Quality : 80 %", tray.Last().tip);
}

int main(int argc, char** argv) {
    int rerun = RerunAsWindowsVersion("win98");
    if (rerun >= 0) return rerun;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
