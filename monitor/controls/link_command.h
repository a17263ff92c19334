// What a link does when the shell cannot open its address: the command that starts the
// browser registered for web pages, and the message shown when opening fails.
#pragma once
#include <map>
#include <string>

// The registered command with the address in place of its placeholder: the command is cut at
// the first "%1" in double quotation marks (the marks included), else at the first bare %1,
// else kept whole; then a blank and the address follow, unquoted.
std::string FallbackCommand(const std::string& registered, const std::string& address);

// The texts of the message; the link's owner supplies them.
struct LinkErrorTexts {
    std::string caption;
    std::string heading;                 // comes before the reason
    std::map<int, std::string> reasons;  // by the shell's result code
    std::string unknown;                 // any other code; its %d becomes the code
};

// The heading followed by the reason for `code`.
std::string LinkErrorMessage(const LinkErrorTexts& texts, int code);
