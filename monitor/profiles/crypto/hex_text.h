// Bytes as uppercase hexadecimal text, two digits per byte, high nibble first.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace hex {

std::string Encode(const uint8_t* bytes, size_t count);
// Decodes pairs of the digits 0-9 and A-F; false (and `bytes` emptied) for anything else,
// lowercase and an odd digit count included.
bool Decode(const std::string& text, std::vector<uint8_t>& bytes);

}  // namespace hex
