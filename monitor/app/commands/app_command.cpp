#include "monitor/app/commands/app_command.h"

#include <cctype>
#include <vector>

namespace app_command {

namespace {

// Words separated by blanks; a double quote starts or ends a stretch where blanks belong
// to the word.
std::vector<std::string> Words(const std::string& args) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (char c : args) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (!quoted && (c == ' ' || c == '\t' || c == '\r' || c == '\n')) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

bool Same(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && !b[i];
}

// "/name" or "-name".
bool IsSwitch(const std::string& word, const char* name) {
    return word.size() > 1 && (word[0] == '/' || word[0] == '-') && Same(word.substr(1), name);
}

int PageNumber(const std::string& word) {
    const char* pages[] = {"configuration", "status", "ip", "survey", "about"};
    for (int i = 0; i < 5; ++i)
        if (Same(word, pages[i])) return i;
    return -1;
}

// The options after /export FILE or /import FILE: "/password TEXT" and, for an import,
// "/replace", each at most once.
bool ParseTransferOptions(const std::vector<std::string>& words, Command& command) {
    bool password = false;
    for (size_t i = 2; i < words.size(); ++i) {
        if (IsSwitch(words[i], "password") && !password && i + 1 < words.size()) {
            command.password = words[++i];
            password = true;
        } else if (IsSwitch(words[i], "replace") && !command.replace && command.kind == Kind::Import) {
            command.replace = true;
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

Command Parse(const std::string& args) {
    std::vector<std::string> words = Words(args);
    Command command;
    if (words.empty()) return command;
    command.kind = Kind::Invalid;
    const std::string& verb = words[0];
    if (IsSwitch(verb, "exit")) {
        if (words.size() == 1) command.kind = Kind::Exit;
        return command;
    }
    if (words.size() < 2) return command;
    const std::string& value = words[1];
    if (IsSwitch(verb, "export") || IsSwitch(verb, "import")) {
        Command transfer;
        transfer.kind = IsSwitch(verb, "export") ? Kind::Export : Kind::Import;
        transfer.file = value;
        // "/export /password" would write a file named "password".
        bool fileIsSwitch = IsSwitch(value, "password") || IsSwitch(value, "replace");
        if (!value.empty() && !fileIsSwitch && ParseTransferOptions(words, transfer)) command = transfer;
        return command;
    }
    if (words.size() != 2) return command;
    if (IsSwitch(verb, "apply") && !value.empty()) {
        command.kind = Kind::Apply;
        command.profile = value;
    } else if (IsSwitch(verb, "radio") && (Same(value, "on") || Same(value, "off"))) {
        command.kind = Kind::Radio;
        command.radioOn = Same(value, "on");
    } else if (IsSwitch(verb, "auto") && (Same(value, "on") || Same(value, "off"))) {
        command.kind = Kind::Auto;
        command.autoOn = Same(value, "on");
    } else if (IsSwitch(verb, "show") && PageNumber(value) >= 0) {
        command.kind = Kind::Show;
        command.page = PageNumber(value);
    }
    return command;
}

std::string Text(const Command& command) {
    const char* pages[] = {"configuration", "status", "ip", "survey", "about"};
    auto quoted = [](const std::string& word) { return "\"" + word + "\""; };
    switch (command.kind) {
    case Kind::Apply: return "/apply " + quoted(command.profile);
    case Kind::Radio: return command.radioOn ? "/radio on" : "/radio off";
    case Kind::Auto: return command.autoOn ? "/auto on" : "/auto off";
    case Kind::Show: return command.page >= 0 && command.page < 5 ? std::string("/show ") + pages[command.page] : "";
    case Kind::Exit: return "/exit";
    case Kind::Export:
    case Kind::Import: {
        std::string text = (command.kind == Kind::Export ? "/export " : "/import ") + quoted(command.file);
        if (!command.password.empty()) text += " /password " + quoted(command.password);
        if (command.replace) text += " /replace";
        return text;
    }
    case Kind::None:
    case Kind::Invalid: break;
    }
    return "";
}

std::string Payload(const Command& command, const std::string& fileText) {
    std::string data = Text(command);
    if (command.kind == Kind::Import) data += '\0' + fileText;
    return data;
}

bool OpenPayload(const std::string& data, Command& command, std::string& fileText) {
    size_t end = data.find('\0');
    std::string args = data.substr(0, end);
    fileText = end == std::string::npos ? std::string() : data.substr(end + 1);
    if (args.size() > kMaxCommandBytes || fileText.size() > kMaxFileBytes) return false;
    command = Parse(args);
    return command.kind != Kind::None && command.kind != Kind::Invalid;
}

}  // namespace app_command
