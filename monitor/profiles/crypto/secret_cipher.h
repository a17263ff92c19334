// The cipher of stored passphrases: Blowfish in ECB mode keyed with the adapter's interface
// GUID text, zero padding to 8-byte blocks, cipher bytes as uppercase hexadecimal text.
#pragma once
#include <optional>
#include <string>

namespace secret {

constexpr size_t kMaxPlainChars = 120;    // longest plaintext; its cipher text is 240 digits
constexpr size_t kMaxCipherDigits = 240;
constexpr size_t kMaxKeyChars = 39;       // key texts are GUIDs (38); longer ones are cut here

// Enciphers the first bits / 8 bytes of `plain` (zero padded): 2 x (multiple of 8) digits.
// An empty plaintext gives empty text without a key schedule. nullopt when `plain` or
// bits / 8 exceeds kMaxPlainChars or bits is negative.
std::optional<std::string> EncipherText(const std::string& plain, int bits, const std::string& key);

// Deciphers the whole 8-byte blocks of `cipherHex` and returns the first bits / 8 plaintext
// bytes as hexadecimal text. Empty text gives empty text. nullopt when `cipherHex` is not an
// even number of uppercase digits, is longer than kMaxCipherDigits, or bits / 8 exceeds
// kMaxPlainChars or bits is negative.
std::optional<std::string> DecipherText(const std::string& cipherHex, int bits,
                                        const std::string& key);

}  // namespace secret
