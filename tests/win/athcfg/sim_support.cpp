#include "sim_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace simtest {

void Install(const std::string& text) {
    char error[512] = "";
    ASSERT_EQ(1, AthSimInstallScenario(text.c_str(), error, sizeof error)) << error;
}

std::string DefaultDevice(int index) {
    char name[64];
    std::snprintf(name, sizeof name, "\\DEVICE\\{A7C3E1D0-5B2F-4C8E-9D61-0000000000%02X}", index + 1);
    return name;
}

std::vector<uint8_t> Query(const std::string& device, DWORD oid, DWORD size) {
    std::vector<uint8_t> buffer(size, 0);
    DWORD written = 0, length = size;
    if (!AcsGetOid(device.c_str(), oid, &written, buffer.data(), &length) || written != length) return {};
    buffer.resize(written);
    return buffer;
}

DWORD QueryWord(const std::string& device, DWORD oid) {
    const std::vector<uint8_t> b = Query(device, oid, 4);
    return b.size() == 4 ? U32(b, 0) : 0xDEADBEEF;
}

bool SetWord(const std::string& device, DWORD oid, DWORD value) {
    DWORD read = 0;
    return AcsSetOid(device.c_str(), oid, &read, &value, 4) && read == 4;
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    if (at + 4 > b.size()) return 0xDEADBEEF;
    uint32_t v;
    std::memcpy(&v, &b[at], 4);
    return v;
}

uint64_t U64(const std::vector<uint8_t>& b, size_t at) {
    if (at + 8 > b.size()) return 0xDEADBEEFDEADBEEFULL;
    uint64_t v;
    std::memcpy(&v, &b[at], 8);
    return v;
}

std::string Text(const std::vector<uint8_t>& b, size_t at, size_t max) {
    std::string s;
    for (size_t i = at; i < b.size() && i < at + max && b[i]; ++i) s += static_cast<char>(b[i]);
    return s;
}

std::string RegString(const std::string& path, const char* name) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return "<no key>";
    char buf[512] = {};
    DWORD size = sizeof buf - 1, type = 0;
    const LONG r = RegQueryValueExA(k, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(k);
    return r == ERROR_SUCCESS ? std::string(buf) : "<no value>";
}

}  // namespace simtest
