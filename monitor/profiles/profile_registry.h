// Registry access of the profile store: a profile's own key under HKEY_LOCAL_MACHINE.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace profile_registry {

// An open registry key, closed when it goes out of scope.
class Key {
public:
    Key() = default;
    ~Key() { Close(); }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    bool Open(HKEY root, const std::string& path, REGSAM access);
    bool Create(HKEY root, const std::string& path);
    void Close();
    HKEY Get() const { return key_; }

    void WriteDword(const char* name, uint32_t value);
    void WriteText(const char* name, const std::string& text);  // REG_SZ with its terminator
    void WriteEmptyText(const char* name);                      // REG_SZ with no data
    // A REG_DWORD of exactly 4 bytes; nullopt otherwise.
    std::optional<uint32_t> ReadDword(const char* name) const;
    // A REG_SZ of fewer than `bufferSize` bytes; nullopt otherwise.
    std::optional<std::string> ReadText(const char* name, size_t bufferSize) const;

private:
    HKEY key_ = nullptr;
};

}  // namespace profile_registry
