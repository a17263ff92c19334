// What a 32-bit PE file asks of the Windows that loads it: the versions in its headers and
// the functions it imports. Reads the file's bytes; no Windows header, so it builds natively.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace pe {

struct Import {
    std::string dll;
    std::string function;  // "#N" for an import by ordinal
};

struct Image {
    uint16_t machine = 0;
    uint16_t osMajor = 0, osMinor = 0;
    uint16_t subsystemMajor = 0, subsystemMinor = 0;
    std::vector<Import> imports;
    std::vector<std::string> exports;  // the names a DLL exports
    bool delayImports = false;         // imports bound at their first call, unseen at load time
};

// False, with `error` set, when `bytes` is not a PE32 image or a header, import or export entry
// points outside the file.
bool ReadImage(const std::vector<uint8_t>& bytes, Image& out, std::string& error);

}  // namespace pe
