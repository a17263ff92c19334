#include "registry.h"

#include <algorithm>

namespace athcfg {

const char kNetClassKey[] = "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}";

std::string DriverKeyPath(const std::string& subKey) { return std::string(kNetClassKey) + "\\" + subKey; }

bool RegKey::Open(HKEY root, const std::string& path, REGSAM access) {
    Close();
    HKEY k;
    if (RegOpenKeyExA(root, path.c_str(), 0, access, &k) != ERROR_SUCCESS) return false;
    key_ = k;
    return true;
}

bool RegKey::Create(HKEY root, const std::string& path) {
    Close();
    HKEY k;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) != ERROR_SUCCESS)
        return false;
    key_ = k;
    return true;
}

void RegKey::Close() {
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
}

bool RegKey::ReadString(const char* name, std::string& out) const {
    DWORD type = 0, size = 0;
    if (!key_ || RegQueryValueExA(key_, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) return false;
    std::vector<char> buf(size + 1, 0);
    if (RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &size) != ERROR_SUCCESS)
        return false;
    buf[std::min<size_t>(size, buf.size() - 1)] = 0;
    out = buf.data();
    return true;
}

bool RegKey::ReadDword(const char* name, DWORD& out) const {
    DWORD type = 0, value = 0, size = sizeof value;
    if (!key_ || RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return false;
    out = value;
    return true;
}

bool RegKey::ReadBinary(const char* name, std::vector<uint8_t>& out) const {
    DWORD type = 0, size = 0;
    if (!key_ || RegQueryValueExA(key_, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    out.assign(size, 0);
    if (size == 0) return true;
    if (RegQueryValueExA(key_, name, nullptr, &type, out.data(), &size) != ERROR_SUCCESS) return false;
    out.resize(size);
    return true;
}

bool RegKey::WriteString(const char* name, const std::string& text) {
    return key_ && RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                  static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

bool RegKey::WriteDword(const char* name, DWORD value) {
    return key_ && RegSetValueExA(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
                       ERROR_SUCCESS;
}

bool RegKey::WriteBinary(const char* name, const void* data, size_t size) {
    return key_ && RegSetValueExA(key_, name, 0, REG_BINARY, static_cast<const BYTE*>(data),
                                  static_cast<DWORD>(size)) == ERROR_SUCCESS;
}

std::vector<std::string> RegKey::SubKeys() const {
    std::vector<std::string> names;
    if (!key_) return names;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key_, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.push_back(name);
    }
    return names;
}

bool KeyExists(HKEY root, const std::string& path) {
    RegKey k;
    return k.Open(root, path);
}

bool DeleteTree(HKEY root, const std::string& path) {
    {
        RegKey k;
        if (!k.Open(root, path, KEY_READ)) return true;
        for (const std::string& child : k.SubKeys()) DeleteTree(root, path + "\\" + child);
    }
    RegDeleteKeyA(root, path.c_str());
    return !KeyExists(root, path);
}

bool CopyTree(HKEY root, const std::string& from, const std::string& to) {
    RegKey src, dst;
    if (!src.Open(root, from, KEY_READ) || !dst.Create(root, to)) return false;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD name_size = sizeof name, type = 0, data_size = 0;
        if (RegEnumValueA(src.get(), i, name, &name_size, nullptr, &type, nullptr, &data_size) != ERROR_SUCCESS) break;
        std::vector<BYTE> data(data_size + 1);
        name_size = sizeof name;
        if (RegEnumValueA(src.get(), i, name, &name_size, nullptr, &type, data.data(), &data_size) != ERROR_SUCCESS)
            return false;
        if (RegSetValueExA(dst.get(), name, 0, type, data.data(), data_size) != ERROR_SUCCESS) return false;
    }
    for (const std::string& child : src.SubKeys())
        if (!CopyTree(root, from + "\\" + child, to + "\\" + child)) return false;
    return true;
}

}  // namespace athcfg
