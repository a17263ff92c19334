#include "monitor/app/commands/app_command.h"

#include <gtest/gtest.h>

using app_command::Kind;

TEST(AppCommand, ParsesEachCommandAndRefusesTheRest) {
    struct Case {
        const char* args;
        Kind kind;
        const char* profile;
        bool on;  // Radio, Auto
        int page;
    } cases[] = {
        {"", Kind::None, "", false, -1},
        {"   \t ", Kind::None, "", false, -1},
        {"/apply Home", Kind::Apply, "Home", false, -1},
        {"-APPLY \"My Home\"", Kind::Apply, "My Home", false, -1},
        {"/apply My\" \"Home", Kind::Apply, "My Home", false, -1},
        {"/apply \"\"", Kind::Invalid, "", false, -1},
        {"/apply", Kind::Invalid, "", false, -1},
        {"/apply Home Office", Kind::Invalid, "", false, -1},
        {"/radio on", Kind::Radio, "", true, -1},
        {"/Radio OFF", Kind::Radio, "", false, -1},
        {"/radio maybe", Kind::Invalid, "", false, -1},
        {"/auto ON", Kind::Auto, "", true, -1},
        {"-auto off", Kind::Auto, "", false, -1},
        {"/auto", Kind::Invalid, "", false, -1},
        {"/show configuration", Kind::Show, "", false, 0},
        {"/show Status", Kind::Show, "", false, 1},
        {"/show ip", Kind::Show, "", false, 2},
        {"/show survey", Kind::Show, "", false, 3},
        {"/show about", Kind::Show, "", false, 4},
        {"/show statusbar", Kind::Invalid, "", false, -1},
        {"/show", Kind::Invalid, "", false, -1},
        {"/exit", Kind::Exit, "", false, -1},
        {" /EXIT ", Kind::Exit, "", false, -1},
        {"/exit now", Kind::Invalid, "", false, -1},
        {"exit", Kind::Invalid, "", false, -1},
        {"/", Kind::Invalid, "", false, -1},
    };
    for (const Case& c : cases) {
        app_command::Command command = app_command::Parse(c.args);
        EXPECT_EQ(c.kind, command.kind) << c.args;
        if (command.kind != c.kind) continue;
        EXPECT_EQ(c.profile, command.profile) << c.args;
        EXPECT_EQ(c.on, command.kind == Kind::Auto ? command.autoOn : command.radioOn) << c.args;
        EXPECT_EQ(c.page, command.page) << c.args;
    }
}

TEST(AppCommand, ExportAndImportTakeAFileAndTheirOptions) {
    struct Case {
        const char* args;
        Kind kind;
        const char* file;
        const char* password;
        bool replace;
    } cases[] = {
        {"/export profiles.ini", Kind::Export, "profiles.ini", "", false},
        {"/export \"C:\\My Files\\p.ini\" /password \"two words\"", Kind::Export, "C:\\My Files\\p.ini", "two words", false},
        {"/import p.ini", Kind::Import, "p.ini", "", false},
        {"/import p.ini /REPLACE /password pw", Kind::Import, "p.ini", "pw", true},
        {"-import p.ini -password pw -replace", Kind::Import, "p.ini", "pw", true},
        {"/export p.ini /replace", Kind::Invalid, "", "", false},
        {"/import p.ini /replace /replace", Kind::Invalid, "", "", false},
        {"/import p.ini /password", Kind::Invalid, "", "", false},
        {"/import p.ini /password a /password b", Kind::Invalid, "", "", false},
        {"/import p.ini extra", Kind::Invalid, "", "", false},
        {"/import", Kind::Invalid, "", "", false},
        {"/export \"\"", Kind::Invalid, "", "", false},
        {"/export /password", Kind::Invalid, "", "", false},  // a switch is no file name
        {"/import -REPLACE", Kind::Invalid, "", "", false},
    };
    for (const Case& c : cases) {
        app_command::Command command = app_command::Parse(c.args);
        EXPECT_EQ(c.kind, command.kind) << c.args;
        if (command.kind != c.kind) continue;
        EXPECT_EQ(c.file, command.file) << c.args;
        EXPECT_EQ(c.password, command.password) << c.args;
        EXPECT_EQ(c.replace, command.replace) << c.args;
    }
}

TEST(AppCommand, OnlyRepliesInTheResultRangeCarryAResult) {
    using namespace app_command;
    for (Result r : {kDone, kBadCommand, kNoAdapter, kNoSuchProfile, kRefused, kNotRunning, kNoAnswer,
                     kExists, kBadFile, kWrongPassword, kKeysNeeded, kChanged})
        EXPECT_EQ(r, ResultOfReply(ReplyFor(r)));
    // What DefWindowProc or a stranger answers is no result, least of all success.
    EXPECT_EQ(kNoAnswer, ResultOfReply(0));
    EXPECT_EQ(kNoAnswer, ResultOfReply(1));
    EXPECT_EQ(kNoAnswer, ResultOfReply(kReplyBase + kLastResult + 1));
}
