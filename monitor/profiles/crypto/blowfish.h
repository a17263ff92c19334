// Blowfish block cipher: 16 rounds, 64-bit blocks, keys of 0 to 56 bytes.
#pragma once
#include <cstddef>
#include <cstdint>

namespace blowfish {

extern const uint32_t kInitialP[18];
extern const uint32_t kInitialS[4][256];

class Cipher {
public:
    // Runs the key schedule. An empty key acts as a key of zero bytes.
    Cipher(const uint8_t* key, size_t length);

    void Encipher(uint32_t& left, uint32_t& right) const;
    void Decipher(uint32_t& left, uint32_t& right) const;

private:
    uint32_t F(uint32_t x) const;

    uint32_t p_[18];
    uint32_t s_[4][256];
};

// Block words as the ciphers built on this one store them: least significant byte first.
inline uint32_t ReadWord(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline void WriteWord(uint8_t* p, uint32_t w) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(w >> (8 * i));
}

}  // namespace blowfish
