#include "installer/command_settings.h"

#include <gtest/gtest.h>

#include "installer/text_match.h"

using namespace drivora;

TEST(Settings, DefaultsFollowTheWindowsDirectory) {
    CommandSettings s;
    SetDefaultSettings(s, "C:\\WINNT");
    EXPECT_EQ("PCI\\VEN_168C", s.deviceId.str());
    EXPECT_EQ("C:\\WINNT\\inf\\net5211.inf", s.infPath.str());
    EXPECT_EQ("ATHER_DEV_1041.ndi.NT", s.infSection.str());
    EXPECT_TRUE(s.processName.empty());
    EXPECT_TRUE(s.zeroConfigKey.empty());
}

TEST(Settings, FixedTextRefusesValuesBeyondItsCapacity) {
    FixedText<5> t;
    EXPECT_TRUE(t.Assign("abcd"));
    EXPECT_EQ("abcd", t.str());
    EXPECT_FALSE(t.Assign("abcde"));
    EXPECT_EQ("", t.str());
    EXPECT_FALSE(t.Assign(std::string("a\0b", 3)));
}

TEST(Settings, OsCodes) {
    EXPECT_EQ(kOsWinXP, OsCodeFromVersion(5, 1));
    EXPECT_EQ(kOsWin2000, OsCodeFromVersion(5, 0));
    EXPECT_EQ(kOsWinMe, OsCodeFromVersion(4, 90));
    EXPECT_EQ(kOsWin98, OsCodeFromVersion(4, 10));
    EXPECT_EQ(kOsOther, OsCodeFromVersion(4, 0));
    EXPECT_EQ(kOsOther, OsCodeFromVersion(5, 2));
    EXPECT_EQ(kOsOther, OsCodeFromVersion(6, 1));
}

TEST(Settings, ServicePackLevelFromTheFirstFourteenCharacters) {
    EXPECT_EQ(0, ServicePackLevel(""));
    EXPECT_EQ(1, ServicePackLevel("Service Pack 1"));
    EXPECT_EQ(1, ServicePackLevel("Service Pack 1a"));
    EXPECT_EQ(2, ServicePackLevel("Service Pack 2"));
    EXPECT_EQ(kServicePackUnknown, ServicePackLevel("Service Pack 3"));
    EXPECT_EQ(kServicePackUnknown, ServicePackLevel("service pack 2"));
}

TEST(TextMatch, DeviceIdParameterIsUpperCasedWithAmpersands) {
    EXPECT_EQ("PCI\\VEN_168C&DEV_0013&SUBSYS_00", DeviceIdFromParameter("pci\\ven_168c@dev_0013@subsys_00"));
}

TEST(TextMatch, NameListStopsAtTheEndOfTheData) {
    const char full[] = "C:\0PCI#A\0\0";
    EXPECT_EQ((std::vector<std::string>{"C:", "PCI#A"}), SplitNameList(full, sizeof full));
    const char cut[] = {'A', 'B', '\0', 'C', 'D'};
    EXPECT_EQ((std::vector<std::string>{"AB", "CD"}), SplitNameList(cut, sizeof cut));
    EXPECT_EQ(std::vector<std::string>{}, SplitNameList(full, 0));
}
