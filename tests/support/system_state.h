// What install and uninstall runs leave behind, read for before-and-after comparisons:
// registry subkeys and values, the adapter's device nodes and device interfaces, and the
// lines of Drivora's step log.
#pragma once
#include <windows.h>
#include <setupapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/program_dir.h"

namespace system_state {

using Texts = std::vector<std::string>;

// HKLM keys are read in the product's view (ProductView).

// The subkeys of an HKLM key, sorted; none when the key is missing.
inline Texts Subkeys(const char* path) {
    Texts out;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | ProductView(), &key) != ERROR_SUCCESS) return out;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD len = sizeof name;
        if (RegEnumKeyExA(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        out.push_back(name);
    }
    RegCloseKey(key);
    std::sort(out.begin(), out.end());
    return out;
}

// An HKLM string value, or "<no key>" / "<no value>".
inline std::string ReadString(const std::string& path, const char* value) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | ProductView(), &key) != ERROR_SUCCESS)
        return "<no key>";
    char buf[512] = {};
    DWORD size = sizeof buf - 1;
    LONG r = RegQueryValueExA(key, value, nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS ? buf : "<no value>";
}

// Device instance IDs of the adapter's vendor.
inline Texts AdapterDevices() {
    Texts out;
    HDEVINFO set = SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES);
    SP_DEVINFO_DATA data = {};
    data.cbSize = sizeof data;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &data); ++i) {
        char id[260] = {};
        SetupDiGetDeviceInstanceIdA(set, &data, id, sizeof id, nullptr);
        if (_strnicmp(id, "PCI\\VEN_168C", 12) == 0) out.push_back(id);
    }
    SetupDiDestroyDeviceInfoList(set);
    return out;
}

// The adapter's device interfaces among the DOS device names.
inline Texts AdapterDosDevices() {
    std::vector<char> buf(1 << 20);
    DWORD n = QueryDosDeviceA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    Texts out;
    for (DWORD i = 0; i < n && buf[i];) {
        std::string name(&buf[i]);
        if (name.compare(0, 12, "PCI#VEN_168C") == 0) out.push_back(name);
        i += static_cast<DWORD>(name.size()) + 1;
    }
    return out;
}

// Removes an HKLM key ("SOFTWARE\\Halvex") with its subkeys.
inline void DeleteKey(const std::string& path) {
    const size_t cut = path.rfind('\\');
    HKEY parent = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.substr(0, cut).c_str(), 0, KEY_ALL_ACCESS | ProductView(), &parent) !=
        ERROR_SUCCESS)
        return;
    SHDeleteKeyA(parent, path.substr(cut + 1).c_str());
    RegCloseKey(parent);
}

inline std::string Join(const Texts& t) {
    std::string s;
    for (const auto& x : t) s += x + ";";
    return s;
}

// The log's lines without their time stamps ("2026-12-07 18:30:01 | ").
inline Texts LogLines(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    Texts lines;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > 22) lines.push_back(line.substr(22));
    }
    return lines;
}

// The expected line beginnings that are not found in this order.
inline Texts MissingInOrder(const Texts& lines, const Texts& expected) {
    Texts missing;
    size_t at = 0;
    for (const std::string& e : expected) {
        size_t i = at;
        while (i < lines.size() && lines[i].compare(0, e.size(), e) != 0) ++i;
        if (i == lines.size()) missing.push_back(e);
        else at = i + 1;
    }
    return missing;
}

}  // namespace system_state
