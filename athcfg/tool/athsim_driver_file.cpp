#include "athcfg/tool/athsim_driver_file.h"

#include <windows.h>

#include <string>

namespace {
std::string Directory(UINT (WINAPI* query)(LPSTR, UINT)) {
    char dir[MAX_PATH] = {};
    UINT n = query(dir, sizeof dir);
    return n && n < sizeof dir ? std::string(dir, n) : std::string();
}

// Windows 2000 and later: system directory\DRIVERS\ar5211.sys.
std::string NtPath() {
    std::string dir = Directory(GetSystemDirectoryA);
    return dir.empty() ? dir : dir + "\\DRIVERS\\ar5211.sys";
}

// Windows 98 and Me: Windows directory\SYSTEM32\DRIVERS\ar52119x.sys.
std::string Win98Path() {
    std::string dir = Directory(GetWindowsDirectoryA);
    return dir.empty() ? dir : dir + "\\SYSTEM32\\DRIVERS\\ar52119x.sys";
}

std::string PackageFile() {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return std::string();
    std::string p(path, n);
    return p.substr(0, p.rfind('\\') + 1) + "package\\ar5211.sys";
}
}  // namespace

bool InstallSimDriverFile() {
    std::string source = PackageFile();
    bool ok = !source.empty();
    for (const std::string& target : {NtPath(), Win98Path()})
        ok = ok && !target.empty() && CopyFileA(source.c_str(), target.c_str(), FALSE);
    return ok;
}

void RemoveSimDriverFile() {
    for (const std::string& target : {NtPath(), Win98Path()})
        if (!target.empty()) DeleteFileA(target.c_str());
}
