// Text that leaves the program: to the clipboard, or to a file the user chooses.
#pragma once
#include <windows.h>

#include <string>

namespace fw {

// Puts `text` on the clipboard as CF_TEXT; false when the clipboard could not take it.
bool CopyTextToClipboard(HWND owner, const std::string& text);

// Asks for a file to save to. `filter` separates its parts with '|', as a string table can
// hold it. False when the user cancelled.
bool ChooseSaveFile(HWND owner, std::string filter, const char* extension, std::string& path);

// Writes `text` as the whole file; false when any of it could not be written.
bool WriteWholeFile(const std::string& path, const std::string& text);

}  // namespace fw
