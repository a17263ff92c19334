#include "installer/text_match.h"

namespace drivora {

namespace {
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
}  // namespace

std::string ToUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = Upper(c);
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i])) return false;
    return true;
}

bool StartsWith(std::string_view text, std::string_view pattern) {
    return !pattern.empty() && text.substr(0, pattern.size()) == pattern;
}

bool StartsWithNoCase(std::string_view text, std::string_view pattern) {
    return !pattern.empty() && text.size() >= pattern.size() &&
           EqualsNoCase(text.substr(0, pattern.size()), pattern);
}

bool UpperPrefixEquals(std::string_view text, std::string_view pattern) {
    return !pattern.empty() && ToUpper(text.substr(0, pattern.size())) == pattern;
}

bool Contains(std::string_view text, std::string_view pattern) {
    return !pattern.empty() && text.find(pattern) != std::string_view::npos;
}

std::string DeviceIdFromParameter(std::string_view value) {
    std::string id = ToUpper(value);
    for (char& c : id)
        if (c == '@') c = '&';
    return id;
}

std::vector<std::string> SplitNameList(const char* data, std::size_t size) {
    std::vector<std::string> names;
    std::size_t pos = 0;
    while (pos < size && data[pos] != '\0') {
        std::size_t end = pos;
        while (end < size && data[end] != '\0') ++end;
        names.emplace_back(data + pos, end - pos);
        pos = end + 1;
    }
    return names;
}

std::string_view FileNamePart(std::string_view path) {
    std::size_t slash = path.rfind('\\');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace drivora
