#include "monitor/profiles/crypto/secret_cipher.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "monitor/profiles/crypto/blowfish.h"
#include "monitor/profiles/crypto/hex_text.h"

namespace secret {

using blowfish::ReadWord;
using blowfish::WriteWord;

namespace {

constexpr size_t kWorkBuffer = 256;

blowfish::Cipher Schedule(const std::string& key) {
    size_t length = key.size() < kMaxKeyChars ? key.size() : kMaxKeyChars;
    return blowfish::Cipher(reinterpret_cast<const uint8_t*>(key.data()), length);
}

}  // namespace

std::optional<std::string> EncipherText(const std::string& plain, int bits,
                                        const std::string& key) {
    if (bits < 0 || plain.size() > kMaxPlainChars || size_t(bits / 8) > kMaxPlainChars)
        return std::nullopt;
    if (plain.empty()) return std::string();

    blowfish::Cipher cipher = Schedule(key);
    uint8_t work[kWorkBuffer] = {};
    std::memcpy(work, plain.data(), plain.size());
    size_t padded = (size_t(bits / 8) + 7) / 8 * 8;
    uint8_t out[kWorkBuffer] = {};
    for (size_t i = 0; i < padded; i += 8) {
        uint32_t left = ReadWord(work + i), right = ReadWord(work + i + 4);
        cipher.Encipher(left, right);
        WriteWord(out + i, left);
        WriteWord(out + i + 4, right);
    }
    return hex::Encode(out, padded);
}

std::optional<std::string> DecipherText(const std::string& cipherHex, int bits,
                                        const std::string& key) {
    if (bits < 0 || size_t(bits / 8) > kMaxPlainChars || cipherHex.size() > kMaxCipherDigits)
        return std::nullopt;
    if (cipherHex.empty()) return std::string();
    std::vector<uint8_t> decoded;
    if (!hex::Decode(cipherHex, decoded)) return std::nullopt;

    blowfish::Cipher cipher = Schedule(key);
    uint8_t work[kWorkBuffer] = {};
    std::memcpy(work, decoded.data(), decoded.size());
    for (size_t i = 0; i + 8 <= decoded.size(); i += 8) {
        uint32_t left = ReadWord(work + i), right = ReadWord(work + i + 4);
        cipher.Decipher(left, right);
        WriteWord(work + i, left);
        WriteWord(work + i + 4, right);
    }
    return hex::Encode(work, size_t(bits / 8));
}

}  // namespace secret
