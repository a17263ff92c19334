// Where the running test program lives, and the product programs it drives.
#pragma once
#include <windows.h>

#include <string>

// The folder of this program, ending in a backslash.
inline std::string ProgramDir() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p = path;
    return p.substr(0, p.rfind('\\') + 1);
}

// The folder of the programs under test, ending in a backslash: SKYVANE_PRODUCT_DIR (the
// 32-bit product build, driven by these 64-bit tests), else this program's own folder.
inline std::string ProductDir() {
    char dir[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableA("SKYVANE_PRODUCT_DIR", dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return ProgramDir();
    std::string d = dir;
    return d.back() == '\\' ? d : d + "\\";
}

// The registry view the product's programs write HKLM\Software in: a 32-bit program's is
// the 32-bit one (Wow6432Node) on 64-bit Windows. HKLM\SYSTEM is the same in both.
inline REGSAM ProductView() {
    DWORD type = 0;
    return GetBinaryTypeA((ProductDir() + "Drivora.exe").c_str(), &type) && type == SCS_32BIT_BINARY
               ? KEY_WOW64_32KEY
               : 0;
}
