// The registry key wrapper against Wine's registry, under a scratch key of HKCU.
#include "framework/reg_key.h"

#include <gtest/gtest.h>

namespace {

const char kScratch[] = "Software\\SkyvaneTests\\RegKey";

// The scratch key and its direct subkeys, the only depth these tests create.
void DeleteScratch() {
    HKEY k = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kScratch, 0, KEY_ALL_ACCESS, &k) != ERROR_SUCCESS) return;
    char name[256];
    DWORD size = sizeof name;
    while (RegEnumKeyExA(k, 0, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
           RegDeleteKeyA(k, name) == ERROR_SUCCESS)
        size = sizeof name;
    RegCloseKey(k);
    RegDeleteKeyA(HKEY_CURRENT_USER, kScratch);
}

class RegKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteScratch();
        ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, kScratch));
    }
    void TearDown() override {
        key.Close();
        DeleteScratch();
    }
    void SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key.get(), name, 0, type, static_cast<const BYTE*>(data), size));
    }
    fw::RegKey key;
};

TEST_F(RegKeyTest, StringsRoundTripWithTheirTerminator) {
    ASSERT_TRUE(key.WriteString("Text", "abc"));
    DWORD type = 0, size = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(key.get(), "Text", nullptr, &type, nullptr, &size));
    EXPECT_EQ(DWORD(REG_SZ), type);
    EXPECT_EQ(4u, size);
    EXPECT_EQ("abc", key.ReadString("Text").value_or("<none>"));

    // An empty REG_SZ written with no data at all reads as empty text.
    ASSERT_TRUE(key.WriteValue("Empty", REG_SZ, nullptr, 0));
    EXPECT_EQ("", key.ReadString("Empty").value_or("<none>"));
    // Stored without a terminator, or with text after an inner one.
    SetRaw("Bare", REG_SZ, "xyz", 3);
    EXPECT_EQ("xyz", key.ReadString("Bare").value_or("<none>"));
    SetRaw("Inner", REG_EXPAND_SZ, "ab\0cd", 6);
    EXPECT_EQ("ab", key.ReadString("Inner").value_or("<none>"));
}

TEST_F(RegKeyTest, ReadsRefuseOtherTypesAndOversizedValues) {
    SetRaw("Long", REG_SZ, "0123456789", 11);
    EXPECT_EQ("0123456789", key.ReadString("Long", 11).value_or("<none>"));
    EXPECT_FALSE(key.ReadString("Long", 10).has_value());
    EXPECT_FALSE(key.ReadString("Missing").has_value());

    const DWORD number = 0x12345678;
    SetRaw("Number", REG_DWORD, &number, sizeof number);
    EXPECT_EQ(0x12345678u, key.ReadDword("Number").value_or(0));
    EXPECT_FALSE(key.ReadString("Number").has_value());
    EXPECT_FALSE(key.ReadBinary("Number").has_value());

    SetRaw("FourBytes", REG_BINARY, &number, sizeof number);
    EXPECT_FALSE(key.ReadDword("FourBytes").has_value());
    SetRaw("Short", REG_DWORD, &number, 2);
    EXPECT_FALSE(key.ReadDword("Short").has_value());
    const uint8_t eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    SetRaw("Wide", REG_DWORD, eight, sizeof eight);
    EXPECT_FALSE(key.ReadDword("Wide").has_value());
    SetRaw("Multi", REG_MULTI_SZ, "a\0b\0", 5);
    EXPECT_FALSE(key.ReadString("Multi").has_value());
}

TEST_F(RegKeyTest, BinaryValuesWithinTheirBound) {
    const uint8_t bytes[5] = {9, 0, 7, 0, 5};
    ASSERT_TRUE(key.WriteBinary("Blob", bytes, sizeof bytes));
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 5), key.ReadBinary("Blob", 5).value_or(std::vector<uint8_t>()));
    EXPECT_FALSE(key.ReadBinary("Blob", 4).has_value());
    ASSERT_TRUE(key.WriteBinary("None", nullptr, 0));
    EXPECT_EQ(0u, key.ReadBinary("None").value_or(std::vector<uint8_t>(1)).size());
}

TEST_F(RegKeyTest, SubkeysAndClosedKeys) {
    fw::RegKey child;
    ASSERT_TRUE(child.Create(key.get(), "First"));
    ASSERT_TRUE(child.Create(key.get(), "Second"));
    EXPECT_EQ((std::vector<std::string>{"First", "Second"}), key.SubKeys());
    EXPECT_FALSE(key.SubKey(2).has_value());
    EXPECT_TRUE(child.Open(HKEY_CURRENT_USER, std::string(kScratch) + "\\First"));
    EXPECT_FALSE(child.Open(HKEY_CURRENT_USER, std::string(kScratch) + "\\Third"));

    // A key that failed to open holds nothing and refuses every call.
    EXPECT_FALSE(static_cast<bool>(child));
    EXPECT_FALSE(child.WriteDword("X", 1));
    EXPECT_FALSE(child.ReadDword("X").has_value());
    EXPECT_TRUE(child.SubKeys().empty());
}

}  // namespace
