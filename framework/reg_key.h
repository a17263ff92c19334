// An owning registry key handle with bounded, typed value reads and writes.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace fw {

class RegKey {
public:
    // Values larger than this are refused unless a read names its own bound.
    static constexpr size_t kMaxValueBytes = 1024 * 1024;

    RegKey() = default;
    ~RegKey() { Close(); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    // Open and Create leave the registry's error code for GetLastError when they fail.
    bool Open(HKEY root, const std::string& path, REGSAM access = KEY_READ);
    bool Create(HKEY root, const std::string& path);  // opens it with full access
    void Close();
    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }

    // A REG_SZ or REG_EXPAND_SZ of at most `maxBytes` stored bytes, up to its first terminator.
    std::optional<std::string> ReadString(const char* name, size_t maxBytes = kMaxValueBytes) const;
    // A REG_DWORD of exactly four bytes.
    std::optional<uint32_t> ReadDword(const char* name) const;
    // A REG_BINARY of at most `maxBytes` bytes.
    std::optional<std::vector<uint8_t>> ReadBinary(const char* name, size_t maxBytes = kMaxValueBytes) const;

    bool WriteValue(const char* name, DWORD type, const void* data, size_t size);
    bool WriteString(const char* name, const std::string& text);  // REG_SZ with its terminator
    bool WriteDword(const char* name, uint32_t value);
    bool WriteBinary(const char* name, const void* data, size_t size);

    // The name of the direct subkey at `index`, or nullopt past the last one.
    std::optional<std::string> SubKey(DWORD index) const;
    // Names of the direct subkeys, in the order the registry gives them.
    std::vector<std::string> SubKeys() const;

private:
    // The value's bytes and type when it holds at most `maxBytes`.
    std::optional<std::vector<uint8_t>> ReadRaw(const char* name, size_t maxBytes, DWORD& type) const;

    HKEY key_ = nullptr;
};

}  // namespace fw
