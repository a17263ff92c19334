#include "installer/dispatcher.h"

#include <gtest/gtest.h>

#include "installer/text_match.h"
#include "recording_operations.h"

using drivora::Dispatcher;
using drivora::RunState;
using drivora_test::RecordingOperations;
using Calls = std::vector<std::string>;

namespace {

class DispatcherTest : public ::testing::Test {
protected:
    void SetUp() override { drivora::SetDefaultSettings(state.settings, "C:\\WINDOWS"); }

    Calls Run(int osCode, std::vector<std::string> args) {
        state.osCode = osCode;
        args.insert(args.begin(), "Drivora.exe");
        Dispatcher(state, ops).Run(args);
        return ops.calls;
    }

    RunState state;
    RecordingOperations ops{state};
};

const char kDefaultId[] = "[PCI\\VEN_168C]";

}  // namespace

TEST_F(DispatcherTest, NoArgumentsIsACommandError) {
    EXPECT_EQ(Calls{"msg:Command Error"}, Run(drivora::kOsWinXP, {}));
}

TEST_F(DispatcherTest, FirstFourSwitchesNeedSlashOrDashAndIgnoreCase) {
    EXPECT_EQ((Calls{"PurgeNetClassEntries" + std::string(kDefaultId),
                     "RemoveNetworkDevices" + std::string(kDefaultId),
                     "PurgeNetClassEntries" + std::string(kDefaultId),
                     "RemoveNetworkDevices" + std::string(kDefaultId)}),
              Run(drivora::kOsWinXP, {"/remove", "-REMOVE", "+Remove", "Remove"}));
}

TEST_F(DispatcherTest, OtherSwitchesIgnoreTheFirstCharacter) {
    EXPECT_EQ((Calls{"RunInfSection(ATHER_DEV_1041.ndi.NT,C:\\WINDOWS\\inf\\net5211.inf)",
                     "RunInfSection(ATHER_DEV_1041.ndi.NT,C:\\WINDOWS\\inf\\net5211.inf)"}),
              Run(drivora::kOsWin2000, {"+RunINF", "xruninf"}));
}

TEST_F(DispatcherTest, DeviceIdParameterAffectsOnlyLaterSwitches) {
    EXPECT_EQ((Calls{"RemoveDevicesByHardwareId[PCI\\VEN_168C]",
                     "RemoveDevicesByHardwareId[PCI\\VEN_168C&DEV_0013]"}),
              Run(drivora::kOsWinXP, {"/KillUnknow", "!pci\\ven_168c@dev_0013", "/KillUnknow"}));
    EXPECT_EQ("PCI\\VEN_168C&DEV_0013", state.settings.deviceId.str());
}

TEST_F(DispatcherTest, InfPathKeepsItsCaseAndSectionIsTakenAsGiven) {
    EXPECT_EQ((Calls{"RunInfSection(My.Section,D:\\Pkg\\Net5211.inf)"}),
              Run(drivora::kOsWinXP, {"%My.Section", "#D:\\Pkg\\Net5211.inf", "/RunINF"}));
}

TEST_F(DispatcherTest, Win9xVariantsRunOnEveryOtherSystem) {
    for (int os : {drivora::kOsWin98, drivora::kOsWinMe, drivora::kOsOther}) {
        ops.calls.clear();
        EXPECT_EQ((Calls{"PurgeEnumKeys[PCI\\VEN_168C]", "PurgeLegacyNetClassEntries[PCI\\VEN_168C]",
                         "RemoveNetworkDevices[PCI\\VEN_168C]", "RemoveDevnodesAndRescan[PCI\\VEN_168C]"}),
                  Run(os, {"/KillUnknow", "/Remove", "/PnP"}))
            << "os " << os;
    }
    ops.calls.clear();
    EXPECT_EQ((Calls{"ReenumerateRootDevices[PCI\\VEN_168C]"}), Run(drivora::kOsWin2000, {"-pnp"}));
}

TEST_F(DispatcherTest, UnsupportedSwitchMessagesOnWindows2000) {
    EXPECT_EQ((Calls{"msg:Update", "msg:DisableWZCS Command No Support", "msg:EnableWZCS Command No Support",
                     "msg:DisableWZCS Command No Support", "msg:EnableWZCS Command No Support"}),
              Run(drivora::kOsWin2000, {"/Update", "/DisableWZCS", "/EnableWZCS", "/StopWZCS", "/StartWZCS"}));
}

TEST_F(DispatcherTest, UnsupportedSwitchMessagesOnWindows98) {
    EXPECT_EQ((Calls{"msg:Update Command No Support", "msg:RunINF Command No Support",
                     "msg:QueryDevice Command No Support", "msg:DisableWZCS Command No Support"}),
              Run(drivora::kOsWin98, {"-Update", "/RunINF", "/QueryDevice", "/StopWZCS"}));
}

TEST_F(DispatcherTest, ZeroConfigSwitchesRunOnXP) {
    EXPECT_EQ((Calls{"StopZeroConfigService[PCI\\VEN_168C]", "StartZeroConfigService[PCI\\VEN_168C]",
                     "EnableZeroConfigForAdapter[PCI\\VEN_168C]", "msg:Update"}),
              Run(drivora::kOsWinXP, {"/StopWZCS", "-startwzcs", "/EnableWZCS", "/Update"}));
}

TEST_F(DispatcherTest, QuestionMarkRules) {
    EXPECT_EQ((Calls{"msg:Command No Support"}), Run(drivora::kOsWinXP, {"/?"}));
    ops.calls.clear();
    EXPECT_EQ((Calls{"msg:Command No Support"}), Run(drivora::kOsWin98, {"?help"}));
    ops.calls.clear();
    EXPECT_EQ((Calls{"msg:Command No Support", "msg:Command No Support"}), Run(drivora::kOsWin98, {"??"}));
}

TEST_F(DispatcherTest, DeleteProcessTakesTheNextArgumentWhichIsAlsoExamined) {
    EXPECT_EQ((Calls{"Terminate(app.exe)"}), Run(drivora::kOsWin98, {"deleteprocess", "app.exe"}));
    ops.calls.clear();
    // The name "/Remove" is both the process name and a switch of its own.
    EXPECT_EQ((Calls{"Terminate(/Remove)", "PurgeNetClassEntries[PCI\\VEN_168C]",
                     "RemoveNetworkDevices[PCI\\VEN_168C]"}),
              Run(drivora::kOsWinXP, {"DeleteProcess", "/Remove"}));
    ops.calls.clear();
    EXPECT_EQ(Calls{}, Run(drivora::kOsWinXP, {"/DeleteProcess", "app.exe"}));
}

TEST_F(DispatcherTest, DeleteProcessWithoutANameIsReported) {
    EXPECT_EQ((Calls{"msg:DeleteProcess needs a process name"}), Run(drivora::kOsWinXP, {"DeleteProcess"}));
}

TEST_F(DispatcherTest, HelpWordIsCaseSensitiveAndEndsTheArgument) {
    const std::string word = Dispatcher::HelpWord();
    ASSERT_EQ(9u, word.size());
    EXPECT_EQ((Calls{"help"}), Run(drivora::kOsWinXP, {"/" + word, "/" + drivora::ToUpper(word)}));
}

TEST_F(DispatcherTest, OverLongParametersAreRefusedAndLeaveTheSettingEmpty) {
    const std::string id(100, 'A');
    const std::string path(200, 'p');
    const std::string section(50, 's');
    const std::string name(50, 'n');
    const std::string log(260, 'l');
    // The log is opened before every other argument, wherever it stands.
    EXPECT_EQ((Calls{"msg:Log path too long (at most 259 characters)",
                     "msg:Device ID too long (at most 99 characters)", "RemoveDevicesByHardwareId[]",
                     "msg:INF path too long (at most 199 characters)",
                     "msg:INF section too long (at most 49 characters)",
                     "msg:Process name too long (at most 49 characters)"}),
              Run(drivora::kOsWinXP,
                  {"!" + id, "/KillUnknow", "#" + path, "%" + section, "DeleteProcess", name, "$" + log}));
    EXPECT_TRUE(state.settings.infPath.empty());
    EXPECT_TRUE(state.settings.infSection.empty());
    EXPECT_EQ(Calls{}, ops.logs);  // an over-long log path is never opened
}

TEST_F(DispatcherTest, LongestAcceptedParametersAreKeptWhole) {
    const std::string id(99, 'A');
    const std::string path(199, 'p');
    const std::string log(259, 'l');
    Run(drivora::kOsWinXP, {"!" + id, "#" + path, "$" + log});
    EXPECT_EQ(id, state.settings.deviceId.str());
    EXPECT_EQ(path, state.settings.infPath.str());
    EXPECT_EQ(Calls{log}, ops.logs);
}

TEST_F(DispatcherTest, QueryDeviceWaitsUntilPresent) {
    ops.presentAfterPolls = 5;
    // Without a leading character the rest would be "ueryDevice", which is nothing.
    EXPECT_EQ(Calls{}, Run(drivora::kOsWinXP, {"QueryDevice", "/QueryDevice"}));
    EXPECT_EQ(5, ops.polls());
    EXPECT_EQ(5u * drivora::kQueryDevicePollMs, ops.sleptMs);
}

TEST_F(DispatcherTest, QueryDeviceGivesUpAfterItsBound) {
    ops.presentAfterPolls = 1000000;
    ops.cardAfterPolls = drivora::kCardWaitPolls;  // a card that shows late is waited for
    EXPECT_EQ((Calls{"msg:QueryDevice: device not present after 120 seconds"}),
              Run(drivora::kOsWin2000, {"/QueryDevice"}));
    EXPECT_EQ(drivora::kQueryDevicePolls, ops.polls());
}

TEST(QuietRequested, FindsTheSwitchAmongTheWordsOfTheRawCommandLine) {
    EXPECT_TRUE(drivora::QuietRequested("\"C:\\Program Files\\Drivora.exe\" \"-QUIET\" \"$C:\\W\\d.log\""));
    EXPECT_FALSE(drivora::QuietRequested("Drivora.exe /Quieter \"$C:\\a /Quiet\\d.log\""));
}

TEST_F(DispatcherTest, DisableZeroConfigRetriesUntilAnAdapterIsHandled) {
    ops.adaptersFoundOnAttempt = 3;
    Run(drivora::kOsWinXP, {"/DisableWZCS"});
    EXPECT_EQ(3, ops.attempts());
    EXPECT_EQ(3u * drivora::kDisableRetryMs, ops.sleptMs);
    EXPECT_EQ(0, state.adapterPending);
}

TEST_F(DispatcherTest, DisableZeroConfigGivesUpAfterItsBound) {
    ops.adaptersFoundOnAttempt = 1000000;
    const Calls calls = Run(drivora::kOsWinXP, {"/DisableWZCS"});
    EXPECT_EQ(drivora::kDisableAttempts, ops.attempts());
    EXPECT_EQ("msg:DisableWZCS: no adapter found within 60 seconds", calls.back());
    EXPECT_EQ(1, state.adapterPending);
}

TEST_F(DispatcherTest, SettingParameterNamedLikeASwitchDoesBoth) {
    EXPECT_EQ((Calls{"RunInfSection(ATHER_DEV_1041.ndi.NT,C:\\WINDOWS\\inf\\net5211.inf)"}),
              Run(drivora::kOsWinXP, {"!RunINF", "", "unknown"}));
    EXPECT_EQ("RUNINF", state.settings.deviceId.str());
}

TEST_F(DispatcherTest, AFailingCommandDoesNotEndTheRun) {
    ops.failing = {"PurgeNetClassEntries", "RemoveDevicesByHardwareId"};
    EXPECT_EQ((Calls{"PurgeNetClassEntries[PCI\\VEN_168C]", "msg:Command failed: /Remove",
                     "RemoveDevicesByHardwareId[PCI\\VEN_168C]", "msg:Command failed: -KillUnknow",
                     "ReenumerateRootDevices[PCI\\VEN_168C]"}),
              Run(drivora::kOsWinXP, {"/Remove", "-KillUnknow", "/PnP"}));
    EXPECT_FALSE(state.driverFailed);  // clean-up commands leave the new driver's outcome alone
}

TEST_F(DispatcherTest, QuietAndTheLogActBeforeEveryOtherArgument) {
    // Quiet after the log: an unopenable log still falls back to the temporary folder.
    ops.unopenableLogs = {"C:\\locked.log"};
    EXPECT_EQ((Calls{"RemoveDevicesByHardwareId[PCI\\VEN_168C]"}),
              Run(drivora::kOsWinXP, {"/KillUnknow", "$C:\\locked.log", "-quiet"}));
    EXPECT_TRUE(state.quiet);
    EXPECT_EQ((Calls{"C:\\locked.log", "C:\\TEMP\\Drivora.log"}), ops.logs);

    // Without /Quiet the same log is reported and not replaced.
    RunState loud;
    drivora::SetDefaultSettings(loud.settings, "C:\\WINDOWS");
    loud.osCode = drivora::kOsWinXP;
    RecordingOperations loudOps{loud};
    loudOps.unopenableLogs = {"C:\\locked.log"};
    Dispatcher(loud, loudOps).Run({"Drivora.exe", "$C:\\locked.log", "/KillUnknow"});
    EXPECT_EQ((Calls{"msg:Cannot open log file C:\\locked.log", "RemoveDevicesByHardwareId[PCI\\VEN_168C]"}),
              loudOps.calls);
    EXPECT_EQ((Calls{"C:\\locked.log"}), loudOps.logs);
}
