// MD5 message digest (RFC 1321).
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace md5 {

using Digest = std::array<uint8_t, 16>;

Digest Compute(const uint8_t* data, size_t length);

}  // namespace md5
