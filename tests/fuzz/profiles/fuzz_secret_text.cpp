// Feeds arbitrary text and bit lengths to the hexadecimal decoder and to DecipherText.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "monitor/profiles/crypto/hex_text.h"
#include "monitor/profiles/crypto/secret_cipher.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    // The first two bytes choose the bit length, the rest is the stored text.
    int bits = int(int16_t(data[0] | data[1] << 8));
    std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
    const std::string guid = "{6B29FC40-CA47-1067-B31D-00DD010662DA}";

    std::vector<uint8_t> bytes;
    bool decoded = hex::Decode(text, bytes);
    if (decoded && hex::Encode(bytes.data(), bytes.size()) != text) abort();
    if (!decoded && !bytes.empty()) abort();

    auto plain = secret::DecipherText(text, bits, guid);
    if (plain) {
        if (!decoded && !text.empty()) abort();  // only valid text is deciphered
        if (plain->size() != size_t(bits / 8) * 2 && !text.empty()) abort();
        // What comes out is hexadecimal text again, ready to decode.
        std::vector<uint8_t> back;
        if (!hex::Decode(*plain, back)) abort();
    }
    return 0;
}
