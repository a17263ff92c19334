#include "monitor/profiles/crypto/md5.h"

#include <cstring>
#include <vector>

namespace md5 {

namespace {

// Per-step shift amounts and the sine-derived constants of RFC 1321.
const uint32_t kShift[64] = {
    7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
    5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
    4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
    6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21,
};

const uint32_t kSine[64] = {
    0xD76AA478, 0xE8C7B756, 0x242070DB, 0xC1BDCEEE, 0xF57C0FAF, 0x4787C62A, 0xA8304613, 0xFD469501,
    0x698098D8, 0x8B44F7AF, 0xFFFF5BB1, 0x895CD7BE, 0x6B901122, 0xFD987193, 0xA679438E, 0x49B40821,
    0xF61E2562, 0xC040B340, 0x265E5A51, 0xE9B6C7AA, 0xD62F105D, 0x02441453, 0xD8A1E681, 0xE7D3FBC8,
    0x21E1CDE6, 0xC33707D6, 0xF4D50D87, 0x455A14ED, 0xA9E3E905, 0xFCEFA3F8, 0x676F02D9, 0x8D2A4C8A,
    0xFFFA3942, 0x8771F681, 0x6D9D6122, 0xFDE5380C, 0xA4BEEA44, 0x4BDECFA9, 0xF6BB4B60, 0xBEBFBC70,
    0x289B7EC6, 0xEAA127FA, 0xD4EF3085, 0x04881D05, 0xD9D4D039, 0xE6DB99E5, 0x1FA27CF8, 0xC4AC5665,
    0xF4292244, 0x432AFF97, 0xAB9423A7, 0xFC93A039, 0x655B59C3, 0x8F0CCC92, 0xFFEFF47D, 0x85845DD1,
    0x6FA87E4F, 0xFE2CE6E0, 0xA3014314, 0x4E0811A1, 0xF7537E82, 0xBD3AF235, 0x2AD7D2BB, 0xEB86D391,
};

uint32_t Rotate(uint32_t x, uint32_t n) { return (x << n) | (x >> (32 - n)); }

void Transform(uint32_t state[4], const uint8_t block[64]) {
    uint32_t m[16];
    for (int i = 0; i < 16; ++i)
        m[i] = uint32_t(block[4 * i]) | uint32_t(block[4 * i + 1]) << 8 |
               uint32_t(block[4 * i + 2]) << 16 | uint32_t(block[4 * i + 3]) << 24;
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int i = 0; i < 64; ++i) {
        uint32_t f;
        int g;
        if (i < 16) {
            f = (b & c) | (~b & d);
            g = i;
        } else if (i < 32) {
            f = (d & b) | (~d & c);
            g = (5 * i + 1) % 16;
        } else if (i < 48) {
            f = b ^ c ^ d;
            g = (3 * i + 5) % 16;
        } else {
            f = c ^ (b | ~d);
            g = (7 * i) % 16;
        }
        uint32_t next = b + Rotate(a + f + kSine[i] + m[g], kShift[i]);
        a = d;
        d = c;
        c = b;
        b = next;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

}  // namespace

Digest Compute(const uint8_t* data, size_t length) {
    uint32_t state[4] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476};
    size_t whole = length / 64 * 64;
    for (size_t i = 0; i < whole; i += 64) Transform(state, data + i);

    // Final blocks: the rest, 0x80, zeros, and the bit length least significant byte first.
    uint8_t tail[128] = {};
    size_t rest = length - whole;
    if (rest) std::memcpy(tail, data + whole, rest);
    tail[rest] = 0x80;
    size_t tailLength = rest < 56 ? 64 : 128;
    uint64_t bits = uint64_t(length) * 8;
    for (int i = 0; i < 8; ++i) tail[tailLength - 8 + i] = uint8_t(bits >> (8 * i));
    Transform(state, tail);
    if (tailLength == 128) Transform(state, tail + 64);

    Digest digest;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) digest[4 * i + j] = uint8_t(state[i] >> (8 * j));
    return digest;
}

Digest Hmac(const uint8_t* key, size_t keyLength, const uint8_t* data, size_t length) {
    uint8_t block[64] = {};
    if (keyLength > sizeof block) {
        Digest shortKey = Compute(key, keyLength);
        std::memcpy(block, shortKey.data(), shortKey.size());
    } else if (keyLength) {
        std::memcpy(block, key, keyLength);
    }
    std::vector<uint8_t> inner(sizeof block + length);
    for (size_t i = 0; i < sizeof block; ++i) inner[i] = block[i] ^ 0x36;
    if (length) std::memcpy(&inner[sizeof block], data, length);
    Digest innerDigest = Compute(inner.data(), inner.size());
    uint8_t outer[sizeof block + 16];
    for (size_t i = 0; i < sizeof block; ++i) outer[i] = block[i] ^ 0x5C;
    std::memcpy(outer + sizeof block, innerDigest.data(), innerDigest.size());
    return Compute(outer, sizeof outer);
}

}  // namespace md5
