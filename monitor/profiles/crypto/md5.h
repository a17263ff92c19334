// MD5 message digest (RFC 1321).
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace md5 {

using Digest = std::array<uint8_t, 16>;

Digest Compute(const uint8_t* data, size_t length);
// HMAC-MD5 (RFC 2104) of `data` under `key`.
Digest Hmac(const uint8_t* key, size_t keyLength, const uint8_t* data, size_t length);

}  // namespace md5
