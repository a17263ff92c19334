#include "monitor/profiles/keys/wep_key.h"

#include <cstdint>

#include "monitor/profiles/crypto/hex_text.h"
#include "monitor/profiles/crypto/md5.h"

namespace wep {

int LengthCodeForBits(int keyBits) {
    switch (keyBits) {
    case 40: return 1;
    case 104: return 2;
    case 128: return 3;
    default: return 0;
    }
}

namespace {

// 64-bit keys: a linear congruential generator seeded with the passphrase folded into
// four bytes; 20 bytes, five per key.
std::string Derive64(const std::string& passphrase, int keyIndex) {
    uint8_t seed[4] = {};
    for (size_t i = 0; i < passphrase.size(); ++i) seed[i % 4] ^= uint8_t(passphrase[i]);
    uint32_t x = uint32_t(seed[0]) | uint32_t(seed[1]) << 8 | uint32_t(seed[2]) << 16 |
                 uint32_t(seed[3]) << 24;
    uint8_t bytes[20];
    for (uint8_t& b : bytes) {
        x = x * 214013u + 2531011u;
        b = uint8_t(x >> 16);
    }
    return hex::Encode(bytes + 5 * keyIndex, 5);
}

// 128- and 152-bit keys: the first 13 bytes of the MD5 digest of the passphrase repeated
// to 64 bytes.
std::string Derive128(const std::string& passphrase) {
    uint8_t block[64];
    for (size_t i = 0; i < sizeof block; ++i) block[i] = uint8_t(passphrase[i % passphrase.size()]);
    md5::Digest digest = md5::Compute(block, sizeof block);
    return hex::Encode(digest.data(), 13);
}

}  // namespace

std::string DeriveWepKey(const std::string& passphrase, int lengthCode, int keyIndex) {
    if (passphrase.empty() || keyIndex < 0 || keyIndex > 3) return std::string();
    switch (lengthCode) {
    case 1: return Derive64(passphrase, keyIndex);
    case 2:
    case 3: return Derive128(passphrase);
    default: return std::string();
    }
}

}  // namespace wep
