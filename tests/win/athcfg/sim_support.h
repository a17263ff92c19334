// Helpers for the library tests: install a scenario or fail the test, read
// driver answers, little-endian field access.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "athcfg/sim/athsim.h"

namespace simtest {

// Installs `text`; the scenario error becomes the test's failure message.
void Install(const std::string& text);
// The scenario's default device name of adapter `index` (from 0).
std::string DefaultDevice(int index);
// Answer of a query with a buffer of `size` bytes; empty on failure.
std::vector<uint8_t> Query(const std::string& device, DWORD oid, DWORD size = 30000);
DWORD QueryWord(const std::string& device, DWORD oid);
bool SetWord(const std::string& device, DWORD oid, DWORD value);
uint32_t U32(const std::vector<uint8_t>& bytes, size_t offset);
uint64_t U64(const std::vector<uint8_t>& bytes, size_t offset);
std::string Text(const std::vector<uint8_t>& bytes, size_t offset, size_t max);
std::string RegString(const std::string& path, const char* name);

}  // namespace simtest
