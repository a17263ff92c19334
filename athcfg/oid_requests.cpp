// OID requests, thread start-up, channel conversion, debug output and the
// registry value writer.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "athcfg/athcfg.h"
#include "athcfg/model/channels.h"
#include "athcfg/registry.h"
#include "athcfg/transport.h"

extern "C" {

int ThreadInit(int start) { return start == 0 || start == 1 ? 1 : 0; }

int AcsGetOid(const char* deviceName, DWORD oid, DWORD* written, void* buffer, DWORD* length) {
    if (written) *written = 0;
    if (!deviceName || !length || (!buffer && *length != 0)) return 0;
    const DWORD room = *length;
    *length = 0;
    try {
        std::vector<uint8_t> answer;
        if (!athcfg::Transport().Query(deviceName, oid, answer)) return 0;
        if (answer.size() > room) {
            *length = static_cast<DWORD>(answer.size());  // what the answer would need
            DbgPrintf("athcfg: OID %08lX needs %lu bytes, buffer has %lu\n", oid, *length, room);
            return 0;
        }
        if (!answer.empty()) std::memcpy(buffer, answer.data(), answer.size());
        *length = static_cast<DWORD>(answer.size());
        if (written) *written = *length;
        return 1;
    } catch (...) {
        return 0;
    }
}

int AcsSetOid(const char* deviceName, DWORD oid, DWORD* read, const void* buffer, DWORD length) {
    if (read) *read = 0;
    if (!deviceName || (!buffer && length != 0)) return 0;
    try {
        const int taken = athcfg::Transport().Set(deviceName, oid, static_cast<const uint8_t*>(buffer), length);
        if (taken < 0) return 0;
        if (read) *read = static_cast<DWORD>(taken);
        return 1;
    } catch (...) {
        return 0;
    }
}

void AcsClearCache(const char* deviceName, const char* profileName) {
    if (!deviceName || !profileName) return;
    try {
        athcfg::Transport().ClearCache(deviceName, profileName);
    } catch (...) {
    }
}

int ACWlanConvert2GHztoCh(int mhz) { return athsim::ChannelFrom2GHz(mhz); }

void DbgPrintf(const char* format, ...) {
    if (!format) return;
    char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    text[sizeof text - 1] = 0;
    OutputDebugStringA(text);
}

}  // extern "C"

ACRegKey::ACRegKey() : key_(nullptr) {}

ACRegKey::~ACRegKey() {
    if (key_) RegCloseKey(key_);
}

int ACRegKey::OpenKey(HKEY root, const char* path) {
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
    if (!path) return 0;
    HKEY k;
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) != ERROR_SUCCESS) return 0;
    key_ = k;
    return 1;
}

int ACRegKey::SetValue(const char* valueName, const char* text) {
    if (!key_ || !text) return 0;
    return RegSetValueExA(key_, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(std::strlen(text) + 1)) == ERROR_SUCCESS;
}
