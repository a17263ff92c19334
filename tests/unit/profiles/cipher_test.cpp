// Blowfish, MD5, the stored-passphrase text and the WEP passphrase keys against published
// vectors and values worked out with an independent implementation.
#include <gtest/gtest.h>

#include <string>

#include "monitor/profiles/crypto/blowfish.h"
#include "monitor/profiles/crypto/hex_text.h"
#include "monitor/profiles/crypto/md5.h"
#include "monitor/profiles/crypto/secret_cipher.h"
#include "monitor/profiles/keys/wep_key.h"

namespace {

const std::string kGuid = "{6B29FC40-CA47-1067-B31D-00DD010662DA}";

std::vector<uint8_t> Bytes(const std::string& hexText) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(hex::Decode(hexText, bytes)) << hexText;
    return bytes;
}

uint32_t BigEndianWord(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

std::string Raw(const std::string& hexText) {
    std::vector<uint8_t> b = Bytes(hexText);
    return std::string(b.begin(), b.end());
}

}  // namespace

// Eric Young's vectors as published with the cipher: key, plaintext, cipher text, with
// blocks written most significant byte first.
TEST(Blowfish, PublishedVectorsEncipherAndDecipher) {
    struct Vector { const char* key; const char* plain; const char* cipher; };
    const Vector vectors[] = {
        {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
        {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
        {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
        {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
        {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
        {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
        {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
        {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
    };
    for (const Vector& v : vectors) {
        std::vector<uint8_t> key = Bytes(v.key), plain = Bytes(v.plain);
        blowfish::Cipher cipher(key.data(), key.size());
        uint32_t left = BigEndianWord(plain, 0), right = BigEndianWord(plain, 4);
        cipher.Encipher(left, right);
        char text[17];
        snprintf(text, sizeof text, "%08X%08X", left, right);
        EXPECT_EQ(std::string(v.cipher), text) << "key " << v.key;
        cipher.Decipher(left, right);
        EXPECT_EQ(BigEndianWord(plain, 0), left);
        EXPECT_EQ(BigEndianWord(plain, 4), right);
    }
}

// The published variable-key-length vectors: prefixes of one key, one plaintext; they
// exercise the key bytes cycling through the P-array.
TEST(Blowfish, PublishedKeyLengthVectors) {
    const std::string fullKey = "F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677";
    const char* expected[] = {"F9AD597C49DB005E", "E91D21C1D961A6D6", "E9C2B70A1BC65CF3",
                              "BE1E639408640F05", "B39E44481BDB1E6E", "9457AA83B1928C0D",
                              "8BB77032F960629D", "E87A244E2CC85E82"};
    std::vector<uint8_t> key = Bytes(fullKey);
    for (size_t length = 1; length <= 8; ++length) {
        blowfish::Cipher cipher(key.data(), length);
        uint32_t left = 0xFEDCBA98, right = 0x76543210;
        cipher.Encipher(left, right);
        char text[17];
        snprintf(text, sizeof text, "%08X%08X", left, right);
        EXPECT_EQ(std::string(expected[length - 1]), text) << "key bytes " << length;
    }
}

// The stored text reads and writes each block word least significant byte first, so a
// published block appears with the bytes of each word reversed.
TEST(SecretCipher, BlockWordsAreLittleEndianInTheText) {
    EXPECT_EQ("4597F94E78DD9861",
              secret::EncipherText(std::string(8, '\0'), 64, std::string(8, '\0')).value());
    // Key FE DC .. 10, words 01234567 and 89ABCDEF -> 0ACEAB0F C6A0A28D.
    EXPECT_EQ("0FABCE0A8DA2A0C6",
              secret::EncipherText(Raw("67452301EFCDAB89"), 64, Raw("FEDCBA9876543210")).value());
    // An empty key is a key of zero bytes.
    EXPECT_EQ(secret::EncipherText("passphrase", 80, std::string(4, '\0')),
              secret::EncipherText("passphrase", 80, ""));
}

TEST(SecretCipher, SizesPaddingAndDigits) {
    EXPECT_EQ(16u, secret::EncipherText("12345678", 64, kGuid)->size());
    EXPECT_EQ(32u, secret::EncipherText("123456789", 72, kGuid)->size());
    EXPECT_EQ(240u, secret::EncipherText(std::string(120, 'x'), 960, kGuid)->size());
    EXPECT_EQ("", secret::EncipherText("", 0, kGuid).value());
    EXPECT_EQ("", secret::DecipherText("", 64, kGuid).value());

    std::string text = secret::EncipherText("Mixed case and 123 !", 160, kGuid).value();
    EXPECT_EQ(std::string::npos, text.find_first_not_of("0123456789ABCDEF")) << text;
    // Zero padding: the padded block equals enciphering the explicitly zero-filled one.
    EXPECT_EQ(secret::EncipherText(std::string("abc\0\0\0\0\0", 8), 64, kGuid),
              secret::EncipherText("abc", 24, kGuid));
}

TEST(SecretCipher, RoundTripForEveryLength) {
    std::string all;
    for (int i = 0; i < 120; ++i) all += char(' ' + (i * 7) % 95);
    for (size_t length = 1; length <= 120; ++length) {
        std::string plain = all.substr(0, length);
        int bits = int(length * 8);
        std::string code = secret::EncipherText(plain, bits, kGuid).value();
        EXPECT_EQ((length + 7) / 8 * 16, code.size());
        std::string back = secret::DecipherText(code, bits, kGuid).value();
        EXPECT_EQ(hex::Encode(reinterpret_cast<const uint8_t*>(plain.data()), length), back);
    }
}

TEST(SecretCipher, AnotherAdapterGetsOtherText) {
    const std::string other = "{00000000-0000-0000-0000-000000000001}";
    std::string code = secret::EncipherText("my passphrase", 104, kGuid).value();
    EXPECT_NE(code, secret::EncipherText("my passphrase", 104, other).value());
    std::string wrong = secret::DecipherText(code, 104, other).value();
    EXPECT_NE(hex::Encode(reinterpret_cast<const uint8_t*>("my passphrase"), 13), wrong);
}

TEST(SecretCipher, RefusesWhatDoesNotFit) {
    EXPECT_FALSE(secret::EncipherText(std::string(121, 'x'), 968, kGuid));
    EXPECT_FALSE(secret::EncipherText("short", 968, kGuid));
    EXPECT_FALSE(secret::EncipherText("short", -8, kGuid));
    std::string code = secret::EncipherText("passphrase", 80, kGuid).value();
    EXPECT_FALSE(secret::DecipherText(code, 968, kGuid));
    EXPECT_FALSE(secret::DecipherText(std::string(242, '0'), 64, kGuid));
    EXPECT_TRUE(secret::DecipherText(std::string(240, '0'), 64, kGuid));
}

TEST(SecretCipher, DecipherRejectsTextThatIsNotUppercaseHex) {
    std::string code = secret::EncipherText("passphrase", 80, kGuid).value();
    std::string lower = code;
    for (char& c : lower) c = char(tolower(c));
    ASSERT_NE(code, lower);
    EXPECT_FALSE(secret::DecipherText(lower, 80, kGuid));
    EXPECT_FALSE(secret::DecipherText(code.substr(1), 80, kGuid));  // odd digit count
    EXPECT_FALSE(secret::DecipherText(code.substr(0, 30) + "G0", 80, kGuid));
    EXPECT_FALSE(secret::DecipherText(code.substr(0, 30) + " 0", 80, kGuid));
    EXPECT_FALSE(secret::DecipherText(std::string("00\0" "0", 4), 8, kGuid));
}

TEST(HexText, EncodeAndDecode) {
    const uint8_t bytes[] = {0x00, 0x0F, 0xA5, 0xFF};
    EXPECT_EQ("000FA5FF", hex::Encode(bytes, 4));
    std::vector<uint8_t> decoded;
    EXPECT_TRUE(hex::Decode("000FA5FF", decoded));
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 4), decoded);
    EXPECT_FALSE(hex::Decode("000fa5ff", decoded));
    EXPECT_TRUE(decoded.empty());
}

// The RFC 1321 test suite.
TEST(Md5, Rfc1321Suite) {
    struct Vector { std::string message; const char* digest; };
    const Vector vectors[] = {
        {"", "D41D8CD98F00B204E9800998ECF8427E"},
        {"a", "0CC175B9C0F1B6A831C399E269772661"},
        {"abc", "900150983CD24FB0D6963F7D28E17F72"},
        {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
        {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "D174AB98D277D9F5A5611C2C9F419D9F"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57EDF4A22BE3C955AC49DA2E2107B67A"},
    };
    for (const Vector& v : vectors) {
        md5::Digest d = md5::Compute(reinterpret_cast<const uint8_t*>(v.message.data()),
                                     v.message.size());
        EXPECT_EQ(v.digest, hex::Encode(d.data(), d.size())) << '"' << v.message << '"';
    }
}

// RFC 2202's HMAC-MD5 cases with a short key and with a key longer than the block.
TEST(Md5, HmacRfc2202Cases) {
    struct Vector { std::string key, message; const char* mac; };
    for (const Vector& v : {Vector{std::string(16, '\x0b'), "Hi There", "9294727A3638BB1C13F48EF8158BFC9D"},
                            Vector{std::string(80, '\xaa'), "Test Using Larger Than Block-Size Key - Hash Key First",
                                   "6B1AB7FE4BD7BF8F0B62E6CE61B9D0CD"}}) {
        md5::Digest d = md5::Hmac(reinterpret_cast<const uint8_t*>(v.key.data()), v.key.size(),
                                  reinterpret_cast<const uint8_t*>(v.message.data()), v.message.size());
        EXPECT_EQ(v.mac, hex::Encode(d.data(), d.size())) << v.message;
    }
}

// Expected keys come from an independent implementation of the same two derivations.
TEST(WepKey, KnownKeysForEachLengthCode) {
    const char* hello64[] = {"3472624673", "8FC0521C6A", "EBDC9CCE53", "23880ADD0A"};
    for (int k = 0; k < 4; ++k) EXPECT_EQ(hello64[k], wep::DeriveWepKey("Hello", 1, k));
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ("8808850624936C235594C5ED8F", wep::DeriveWepKey("Hello", 2, k));
        EXPECT_EQ("8808850624936C235594C5ED8F", wep::DeriveWepKey("Hello", 3, k));
    }
    EXPECT_EQ("1C064922046D6517DFEF3B7EF3", wep::DeriveWepKey("secret", 2, 0));
}

TEST(WepKey, SixtyFourBitSeedFoldsThePassphrase) {
    // Same seed: "abcd" three times folds to "abcd".
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(wep::DeriveWepKey("abcd", 1, k), wep::DeriveWepKey("abcdabcdabcd", 1, k));
    EXPECT_EQ("41192B542A", wep::DeriveWepKey("abcd", 1, 0));
    EXPECT_EQ("926DCB5190", wep::DeriveWepKey("dcba", 1, 0));
    // A generated zero byte is written as "00"; the key keeps its 10 digits.
    EXPECT_EQ("9C7A00FB8F", wep::DeriveWepKey("e", 1, 3));
}

TEST(WepKey, Md5BlockUsesAtMostSixtyFourBytes) {
    std::string exact(64, 'q');
    for (int i = 0; i < 64; ++i) exact[i] = char('!' + i);
    md5::Digest d = md5::Compute(reinterpret_cast<const uint8_t*>(exact.data()), 64);
    EXPECT_EQ(hex::Encode(d.data(), 13), wep::DeriveWepKey(exact, 2, 0));
    EXPECT_EQ(wep::DeriveWepKey(exact, 3, 0), wep::DeriveWepKey(exact + "tail", 3, 0));
}

TEST(WepKey, RefusesWhatItCannotDerive) {
    EXPECT_EQ("", wep::DeriveWepKey("", 1, 0));
    EXPECT_EQ("", wep::DeriveWepKey("abc", 4, 0));
    EXPECT_EQ("", wep::DeriveWepKey("abc", 1, 4));
    EXPECT_EQ(1, wep::LengthCodeForBits(40));
    EXPECT_EQ(2, wep::LengthCodeForBits(104));
    EXPECT_EQ(3, wep::LengthCodeForBits(128));
    EXPECT_EQ(0, wep::LengthCodeForBits(64));
}
