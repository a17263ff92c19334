#include "monitor/profiles/crypto/blowfish.h"

#include <cstring>

namespace blowfish {

Cipher::Cipher(const uint8_t* key, size_t length) {
    std::memcpy(p_, kInitialP, sizeof p_);
    std::memcpy(s_, kInitialS, sizeof s_);

    // Key bytes cycle into each P word, first byte most significant.
    size_t k = 0;
    for (uint32_t& p : p_) {
        uint32_t word = 0;
        for (int i = 0; i < 4; ++i) {
            uint8_t byte = length ? key[k] : 0;
            word = (word << 8) | byte;
            if (length) k = (k + 1) % length;
        }
        p ^= word;
    }

    uint32_t left = 0, right = 0;
    for (int i = 0; i < 18; i += 2) {
        Encipher(left, right);
        p_[i] = left;
        p_[i + 1] = right;
    }
    for (auto& box : s_) {
        for (int i = 0; i < 256; i += 2) {
            Encipher(left, right);
            box[i] = left;
            box[i + 1] = right;
        }
    }
}

uint32_t Cipher::F(uint32_t x) const {
    uint32_t a = x >> 24, b = (x >> 16) & 0xFF, c = (x >> 8) & 0xFF, d = x & 0xFF;
    return ((s_[0][a] + s_[1][b]) ^ s_[2][c]) + s_[3][d];
}

void Cipher::Encipher(uint32_t& left, uint32_t& right) const {
    uint32_t l = left, r = right;
    for (int i = 0; i < 16; ++i) {
        l ^= p_[i];
        r ^= F(l);
        uint32_t t = l;
        l = r;
        r = t;
    }
    uint32_t t = l;
    l = r;
    r = t;
    r ^= p_[16];
    l ^= p_[17];
    left = l;
    right = r;
}

void Cipher::Decipher(uint32_t& left, uint32_t& right) const {
    uint32_t l = left, r = right;
    for (int i = 17; i > 1; --i) {
        l ^= p_[i];
        r ^= F(l);
        uint32_t t = l;
        l = r;
        r = t;
    }
    uint32_t t = l;
    l = r;
    r = t;
    r ^= p_[1];
    l ^= p_[0];
    left = l;
    right = r;
}

}  // namespace blowfish
