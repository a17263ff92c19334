// Windows version code and the Zero-Config service's per-interface "ControlFlags".
#pragma once
#include <cstdint>
#include <string>

namespace zc {

// 5 = XP, 4 = 2000, 2 = Me, 1 = 98, 0 = anything else.
int OsCode(unsigned major, unsigned minor);

// Bit 15: the service manages the interface.
constexpr uint32_t kManagedBit = 0x8000;

enum Request { kTakeOver = 0, kHandBack = 1 };

// Flags after a take-over (bits 12-15 cleared) or hand-back (bit 15 set).
uint32_t FlagsAfter(int request, uint32_t flags);

// HKLM path of the service's key for the interface GUID.
std::string InterfaceKeyPath(const std::string& interfaceGuid);

}  // namespace zc
