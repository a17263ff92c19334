#include "framework/text/text_export.h"

#include <commdlg.h>

#include <cstdio>
#include <cstring>

#include "framework/library.h"

namespace fw {

bool CopyTextToClipboard(HWND owner, const std::string& text) {
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    bool copied = false;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (void* data = block ? GlobalLock(block) : nullptr) {
        std::memcpy(data, text.c_str(), text.size() + 1);
        GlobalUnlock(block);
        copied = SetClipboardData(CF_TEXT, block) != nullptr;
        if (!copied) GlobalFree(block);  // the clipboard owns it once set
    } else if (block) {
        GlobalFree(block);
    }
    CloseClipboard();
    return copied;
}

bool ChooseSaveFile(HWND owner, std::string filter, const char* extension, std::string& path) {
    for (char& c : filter)
        if (c == '|') c = '\0';
    char chosen[MAX_PATH] = {};
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;  // the size Windows 98 and NT 4 accept
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = chosen;
    ofn.nMaxFile = sizeof chosen;
    ofn.lpstrDefExt = extension;
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    // The common dialogs bring the printing libraries along: loaded when a file is chosen.
    static const auto getSaveFileName = LoadedFunction<decltype(&GetSaveFileNameA)>("comdlg32.dll", "GetSaveFileNameA");
    if (!getSaveFileName || !getSaveFileName(&ofn)) return false;
    path = chosen;
    return true;
}

bool WriteWholeFile(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace fw
