// Test helpers around the simulated adapter and the registry the product uses.
#pragma once
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>

#include "athcfg/sim/athsim.h"
#include "tests/support/system_state.h"

namespace testsim {

// Installs `text` as the simulated adapter's scenario; fails the test on a parse error.
inline void Install(const std::string& text) {
    char error[200] = {};
    ASSERT_NE(0, AthSimInstallScenario(text.c_str(), error, sizeof error)) << error;
}

// One adapter line with a known GUID and sub key; `extra` adds attributes.
inline std::string Adapter(int n = 0, const std::string& extra = "") {
    char line[200];
    wsprintfA(line, "adapter guid={4A1B2C3D-0000-4000-8000-00000000000%d} subkey=%04d desc=\"Sim WLAN %d\" %s\n",
              n, 7 + n, n, extra.c_str());
    return line;
}

inline std::string GuidOf(int n) {
    char g[64];
    wsprintfA(g, "{4A1B2C3D-0000-4000-8000-00000000000%d}", n);
    return g;
}

// Removes the product keys (both model roots) so every test starts from nothing.
inline void ClearProductKeys() { system_state::DeleteKey("SOFTWARE\\Halvex"); }

inline void SetModel54(bool present) {
    if (present) {
        HKEY k;
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Halvex\\TelvaraWevo54", 0, nullptr, 0,
                        KEY_ALL_ACCESS | ProductView(), nullptr, &k, nullptr);
        RegCloseKey(k);
    } else {
        system_state::DeleteKey("SOFTWARE\\Halvex\\TelvaraWevo54");
    }
}

// A DWORD value, or `fallback` when missing.
inline DWORD ReadDword(const std::string& path, const char* name, DWORD fallback = 0xDEADBEEF) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return fallback;
    DWORD v = 0, size = sizeof v, type = 0;
    LONG r = RegQueryValueExA(k, name, nullptr, &type, reinterpret_cast<BYTE*>(&v), &size);
    RegCloseKey(k);
    return r == ERROR_SUCCESS && type == REG_DWORD ? v : fallback;
}

// A string value, or "<missing>".
inline std::string ReadString(const std::string& path, const char* name) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
        return "<missing>";
    char buf[600] = {};
    DWORD size = sizeof buf - 1, type = 0;
    LONG r = RegQueryValueExA(k, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(k);
    return r == ERROR_SUCCESS && type == REG_SZ ? std::string(buf) : "<missing>";
}

}  // namespace testsim
