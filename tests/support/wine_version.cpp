#include "tests/support/wine_version.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace {
struct Known {
    const char* name;
    DWORD major, minor;
};
const Known kVersions[] = {{"winxp", 5, 1}, {"win2k", 5, 0}, {"win98", 4, 10},
                           {"winme", 4, 90}, {"win7", 6, 1}};

bool Running(const char* version) {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    GetVersionExA(&info);
    for (const Known& k : kVersions)
        if (!std::strcmp(k.name, version))
            return info.dwMajorVersion == k.major && info.dwMinorVersion == k.minor;
    return false;
}
}  // namespace

int RerunAsWindowsVersion(const char* version) {
    if (Running(version)) return -1;
    if (GetEnvironmentVariableA("SKY_VERSION_RERUN", nullptr, 0)) return 3;  // it did not take

    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const char* exe = std::strrchr(path, '\\');
    if (!SetWineVersion(exe ? exe + 1 : path, version)) return 2;

    SetEnvironmentVariableA("SKY_VERSION_RERUN", "1");
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string command = GetCommandLineA();
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi))
        return 2;
    DWORD code = 1;
    if (WaitForSingleObject(pi.hProcess, 540000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    else TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}

bool SetWineVersion(const char* exeName, const char* version) {
    std::string key = std::string("Software\\Wine\\AppDefaults\\") + exeName;
    HKEY k;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &k, nullptr) != ERROR_SUCCESS)
        return false;
    LONG r = RegSetValueExA(k, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                            static_cast<DWORD>(std::strlen(version) + 1));
    RegCloseKey(k);
    return r == ERROR_SUCCESS;
}
