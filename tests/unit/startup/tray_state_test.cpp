#include "monitor/app/tray/tray_state.h"

#include <gtest/gtest.h>

#include "monitor/adapter/zero_config_flags.h"

TEST(TrayIcon, ConnectedIconFollowsSignalLevel) {
    EXPECT_EQ(181u, tray::ConnectedIcon(30));
    EXPECT_EQ(181u, tray::ConnectedIcon(1000));
    EXPECT_EQ(181u, tray::ConnectedIcon(15));  // 81 %
    EXPECT_EQ(180u, tray::ConnectedIcon(9));   // 67 %
    EXPECT_EQ(180u, tray::ConnectedIcon(10));  // 75 %
    EXPECT_EQ(167u, tray::ConnectedIcon(3));   // 22 %
    EXPECT_EQ(166u, tray::ConnectedIcon(2));   // 15 %
    EXPECT_EQ(166u, tray::ConnectedIcon(1));   // 7 %
}

// Levels the tray had no icon for: a connection never keeps the disconnected icon.
TEST(TrayIcon, ZeroAndMiddlePercentsGetSignalIcons) {
    EXPECT_EQ(166u, tray::ConnectedIcon(0));  // 0 %
    EXPECT_EQ(167u, tray::ConnectedIcon(6));  // 45 %
    EXPECT_EQ(167u, tray::ConnectedIcon(8));  // 60 %
}

TEST(TrayTraffic, KilobitsPerSecondCappedAtOneHundred) {
    EXPECT_EQ(100, tray::TrafficSample(1000, 1000 + 12500));
    EXPECT_EQ(100, tray::TrafficSample(0, 20000));
    EXPECT_EQ(10, tray::TrafficSample(5, 5 + 1250));
    EXPECT_EQ(0, tray::TrafficSample(7, 7 + 124));
    // A counter that went backwards wraps as unsigned and is capped, never negative.
    EXPECT_EQ(100, tray::TrafficSample(5000, 10));
}

TEST(TrayTip, LongTextIsCutToTheTipField) {
    EXPECT_EQ("short", tray::FitTip("short"));
    EXPECT_EQ(127u, tray::FitTip(std::string(127, 'a')).size());
    EXPECT_EQ(std::string(127, 'b'), tray::FitTip(std::string(400, 'b')));
}

TEST(ZeroConfig, OsCodeFromVersion) {
    EXPECT_EQ(5, zc::OsCode(5, 1));
    EXPECT_EQ(4, zc::OsCode(5, 0));
    EXPECT_EQ(2, zc::OsCode(4, 90));
    EXPECT_EQ(1, zc::OsCode(4, 10));
    EXPECT_EQ(0, zc::OsCode(4, 0));
    EXPECT_EQ(0, zc::OsCode(5, 2));
    EXPECT_EQ(0, zc::OsCode(6, 1));
}

TEST(ZeroConfig, TakeOverClearsBits12To15AndHandBackSetsBit15) {
    EXPECT_EQ(0x12340007u, zc::FlagsAfter(zc::kTakeOver, 0x1234F007u));
    EXPECT_EQ(0x00000007u, zc::FlagsAfter(zc::kTakeOver, 0x00000007u));
    EXPECT_EQ(0x00008123u, zc::FlagsAfter(zc::kHandBack, 0x00000123u));
    EXPECT_EQ(0x0000F000u, zc::FlagsAfter(zc::kHandBack, 0x0000F000u));
    EXPECT_EQ(0x0000F000u, zc::FlagsAfter(7, 0x0000F000u));
}
