// Text rules of the installer: case conversion, ID matching, name lists.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace drivora {

std::string ToUpper(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);

// True when the first pattern.size() characters of `text` equal `pattern` (with case).
// An empty pattern matches nothing: an empty device ID must never select every device.
bool StartsWith(std::string_view text, std::string_view pattern);
bool StartsWithNoCase(std::string_view text, std::string_view pattern);
// Upper-cases the first pattern.size() characters of `text` and compares them with `pattern`.
bool UpperPrefixEquals(std::string_view text, std::string_view pattern);
// Substring test with case; an empty pattern matches nothing.
bool Contains(std::string_view text, std::string_view pattern);

// The `!` parameter's value: upper case, every "@" replaced by "&".
std::string DeviceIdFromParameter(std::string_view value);

// Splits a list of zero-terminated names ending with an empty one. Stops at the
// end of `data` even when the final terminator is missing.
std::vector<std::string> SplitNameList(const char* data, std::size_t size);

// The file-name part after the last backslash (the whole text when there is none).
std::string_view FileNamePart(std::string_view path);

}  // namespace drivora
