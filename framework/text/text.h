// User-visible text from the string table, and printf-style formatting.
#pragma once
#include <windows.h>

#include <string>

namespace fw {

// The string-table entry `id` of the program's module; empty when missing.
std::string LoadText(UINT id);
// printf-style formatting into a std::string of any length.
std::string Format(const char* fmt, ...);
// Message box whose text and caption are string-table entries.
int MessageBoxText(HWND owner, UINT textId, UINT captionId, UINT flags);

}  // namespace fw
