#include "framework/reg_key.h"

#include <cstring>

namespace fw {

bool RegKey::Open(HKEY root, const std::string& path, REGSAM access) {
    Close();
    HKEY key = nullptr;
    const LONG status = RegOpenKeyExA(root, path.c_str(), 0, access, &key);
    if (status != ERROR_SUCCESS) {
        SetLastError(static_cast<DWORD>(status));  // the registry reports it only in the result
        return false;
    }
    key_ = key;
    return true;
}

bool RegKey::Create(HKEY root, const std::string& path) {
    Close();
    HKEY key = nullptr;
    const LONG status = RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                        nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) {
        SetLastError(static_cast<DWORD>(status));
        return false;
    }
    key_ = key;
    return true;
}

void RegKey::Close() {
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
}

std::optional<std::vector<uint8_t>> RegKey::ReadRaw(const char* name, size_t maxBytes, DWORD& type) const {
    DWORD size = 0;
    if (!key_ || RegQueryValueExA(key_, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || size > maxBytes)
        return std::nullopt;
    std::vector<uint8_t> data(size);
    if (size == 0) return data;
    // A value that grew since its size was asked for fails here with ERROR_MORE_DATA.
    if (RegQueryValueExA(key_, name, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) return std::nullopt;
    data.resize(size);
    return data;
}

std::optional<std::string> RegKey::ReadString(const char* name, size_t maxBytes) const {
    DWORD type = 0;
    auto data = ReadRaw(name, maxBytes, type);
    if (!data || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
    std::string text(data->begin(), data->end());
    return text.substr(0, text.find('\0'));
}

std::optional<uint32_t> RegKey::ReadDword(const char* name) const {
    DWORD type = 0;
    auto data = ReadRaw(name, sizeof(DWORD), type);
    if (!data || type != REG_DWORD || data->size() != sizeof(DWORD)) return std::nullopt;
    DWORD value = 0;
    std::memcpy(&value, data->data(), sizeof value);
    return value;
}

std::optional<std::vector<uint8_t>> RegKey::ReadBinary(const char* name, size_t maxBytes) const {
    DWORD type = 0;
    auto data = ReadRaw(name, maxBytes, type);
    if (!data || type != REG_BINARY) return std::nullopt;
    return data;
}

bool RegKey::WriteValue(const char* name, DWORD type, const void* data, size_t size) {
    return key_ && size <= MAXDWORD &&
           RegSetValueExA(key_, name, 0, type, static_cast<const BYTE*>(data), DWORD(size)) == ERROR_SUCCESS;
}

bool RegKey::WriteString(const char* name, const std::string& text) {
    return WriteValue(name, REG_SZ, text.c_str(), text.size() + 1);
}

bool RegKey::WriteDword(const char* name, uint32_t value) {
    DWORD data = value;
    return WriteValue(name, REG_DWORD, &data, sizeof data);
}

bool RegKey::WriteBinary(const char* name, const void* data, size_t size) {
    return WriteValue(name, REG_BINARY, data, size);
}

std::optional<std::string> RegKey::SubKey(DWORD index) const {
    char name[256];
    DWORD size = sizeof name;
    if (!key_ || RegEnumKeyExA(key_, index, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    return std::string(name, size);
}

std::vector<std::string> RegKey::SubKeys() const {
    std::vector<std::string> names;
    for (DWORD i = 0;; ++i) {
        auto name = SubKey(i);
        if (!name) break;
        names.push_back(*name);
    }
    return names;
}

}  // namespace fw
