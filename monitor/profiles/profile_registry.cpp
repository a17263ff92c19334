#include "monitor/profiles/profile_registry.h"

#include <vector>

namespace profile_registry {

bool Key::Open(HKEY root, const std::string& path, REGSAM access) {
    Close();
    return RegOpenKeyExA(root, path.c_str(), 0, access, &key_) == ERROR_SUCCESS;
}

bool Key::Create(HKEY root, const std::string& path) {
    Close();
    return RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, nullptr, &key_, nullptr) == ERROR_SUCCESS;
}

void Key::Close() {
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
}

void Key::WriteDword(const char* name, uint32_t value) {
    DWORD data = value;
    RegSetValueExA(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

void Key::WriteText(const char* name, const std::string& text) {
    RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   DWORD(text.size() + 1));
}

void Key::WriteEmptyText(const char* name) { RegSetValueExA(key_, name, 0, REG_SZ, nullptr, 0); }

std::optional<uint32_t> Key::ReadDword(const char* name) const {
    DWORD type = 0, data = 0, size = sizeof data;
    if (RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof data)
        return std::nullopt;
    return data;
}

std::optional<std::string> Key::ReadText(const char* name, size_t bufferSize) const {
    std::vector<char> buffer(bufferSize, 0);
    DWORD type = 0, size = DWORD(bufferSize - 1);  // leave room for a terminator
    if (RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    return std::string(buffer.data());
}

}  // namespace profile_registry
