// The product link's fallback command and its failure message.
#include <gtest/gtest.h>

#include "monitor/controls/link_command.h"

TEST(FallbackCommand, PutsTheAddressWhereTheRegisteredPlaceholderWas) {
    const std::string address = "http://www.example.test/a b";
    // A quoted placeholder goes with its quotes: the program gets the address unquoted.
    EXPECT_EQ("\"C:\\Program Files\\Browser\\browse.exe\"  http://www.example.test/a b",
              FallbackCommand("\"C:\\Program Files\\Browser\\browse.exe\" \"%1\" -new", address));
    EXPECT_EQ("browse.exe -nohome  http://www.example.test/a b",
              FallbackCommand("browse.exe -nohome %1 -x", address));
    // The quoted placeholder wins over an earlier bare one.
    EXPECT_EQ("browse.exe %1  http://www.example.test/a b", FallbackCommand("browse.exe %1 \"%1\"", address));
    // Without a placeholder the address is appended.
    EXPECT_EQ("browse.exe -new http://www.example.test/a b", FallbackCommand("browse.exe -new", address));
    EXPECT_EQ(" http://www.example.test/a b", FallbackCommand("", address));
}

TEST(LinkErrorMessage, NamesTheReasonOrTheUnknownCode) {
    LinkErrorTexts texts;
    texts.heading = "Can't open link:\n\n";
    texts.reasons[2] = "The specified file was not found.";
    texts.unknown = "Unknown Error (%d) occurred.";
    EXPECT_EQ("Can't open link:\n\nThe specified file was not found.", LinkErrorMessage(texts, 2));
    EXPECT_EQ("Can't open link:\n\nUnknown Error (7) occurred.", LinkErrorMessage(texts, 7));
    EXPECT_EQ("Can't open link:\n\nUnknown Error (-1) occurred.", LinkErrorMessage(texts, -1));
    // Only the code is filled in; other conversions in the text stay as they are.
    texts.unknown = "%s failed: %d";
    EXPECT_EQ("Can't open link:\n\n%s failed: 33", LinkErrorMessage(texts, 33));
}
