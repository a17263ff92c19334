#include "monitor/controls/link_command.h"

std::string FallbackCommand(const std::string& registered, const std::string& address) {
    size_t cut = registered.find("\"%1\"");
    if (cut == std::string::npos) cut = registered.find("%1");
    std::string command = registered.substr(0, cut);
    return command + " " + address;
}

std::string LinkErrorMessage(const LinkErrorTexts& texts, int code) {
    auto known = texts.reasons.find(code);
    if (known != texts.reasons.end()) return texts.heading + known->second;
    // The format comes from the owner's texts: only its first %d is filled, nothing is read
    // for any other conversion.
    std::string reason = texts.unknown;
    size_t at = reason.find("%d");
    if (at != std::string::npos) reason.replace(at, 2, std::to_string(code));
    return texts.heading + reason;
}
