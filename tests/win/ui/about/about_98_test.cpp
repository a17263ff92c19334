// The About page on Windows 98: the driver file lies under the Windows directory.
#include <windows.h>

#include "tests/support/wine_version.h"
#include "tests/win/ui/about/about_fixture.h"

using namespace about;

TEST_F(AboutPage, Model108ReadsTheDriverFileUnderTheWindowsDirectory) {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, sizeof windows);
    std::string win98File = std::string(windows) + "\\SYSTEM32\\DRIVERS\\" + kWin98Driver;
    PlaceDriverFile(kWin98Driver);         // 4.1.2.3 where 98 and Me keep the driver
    PlaceDriverFile(kNtDriver, false);     // 1.0.0.1 where 2000 and XP keep it: not read here
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(win98File.c_str()));

    std::string driver, program;
    bool link54 = true, link108 = false;
    RunMonitor(kAboutTab, {[&] {
        HWND page = theAboutPage.Handle();
        ASSERT_NE(nullptr, page);
        driver = ItemText(page, IDC_ABOUT_DRIVER_VERSION);
        program = ItemText(page, IDC_ABOUT_PROGRAM_VERSION);
        link54 = Visible(page, IDC_ABOUT_LINK_54);
        link108 = Visible(page, IDC_ABOUT_LINK_108);
    }});
    EXPECT_EQ("Telvara Wevo 108 Driver Version : 4.1.2.3", driver);
    EXPECT_EQ("Telvara WLAN Adapter Monitor Version : 2.03.000", program);
    EXPECT_FALSE(link54);
    EXPECT_TRUE(link108);
}

int main(int argc, char** argv) {
    int rerun = RerunAsWindowsVersion("win98");
    if (rerun >= 0) return rerun;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
