// Small registry helpers for the library: an owning key handle and typed reads
// and writes. Win32 glue.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace athcfg {

// The network adapter class key; each adapter's driver key is a subkey of it.
extern const char kNetClassKey[];
std::string DriverKeyPath(const std::string& subKey);

class RegKey {
public:
    RegKey() = default;
    ~RegKey() { Close(); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    bool Open(HKEY root, const std::string& path, REGSAM access = KEY_READ);
    bool Create(HKEY root, const std::string& path);
    void Close();
    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }

    bool ReadString(const char* name, std::string& out) const;
    bool ReadDword(const char* name, DWORD& out) const;
    bool ReadBinary(const char* name, std::vector<uint8_t>& out) const;
    bool WriteString(const char* name, const std::string& text);
    bool WriteDword(const char* name, DWORD value);
    bool WriteBinary(const char* name, const void* data, size_t size);
    // Names of the direct subkeys, in the order the registry gives them.
    std::vector<std::string> SubKeys() const;

private:
    HKEY key_ = nullptr;
};

bool KeyExists(HKEY root, const std::string& path);
// Deletes a key with everything below it; true when it is gone afterwards.
bool DeleteTree(HKEY root, const std::string& path);
// Copies the values and subkeys of `from` into `to` (created when missing).
bool CopyTree(HKEY root, const std::string& from, const std::string& to);

}  // namespace athcfg
