#include "monitor/profiles/profile_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <tuple>

#include "known_file.h"
#include "monitor/profiles/crypto/hex_text.h"
#include "monitor/profiles/crypto/md5.h"

using namespace profile_file;

namespace {

const std::array<uint8_t, 8> kSalt = {1, 2, 3, 4, 5, 6, 7, 8};

// A profile with every value set: numbers from their index, texts and secrets distinct.
Profile Full(const std::string& name) {
    Profile p;
    for (size_t i = 0; i < kFieldCount; ++i) {
        std::string value = kFields[i].kind == Kind::Number ? std::to_string(i * 7 - 20)
                                                            : name + "-" + kFields[i].key + " =;[x]";
        p.Set(kFields[i].key, i == 0 ? name : value);
    }
    return p;
}

Contents Two() {
    Contents c;
    c.current = "Office";
    c.profiles = {Full("Home"), Full("Office")};
    c.profiles[1].Set("WepKey2", "");  // an empty secret stays empty
    return c;
}

std::string Written(const Contents& c, const std::string& password,
                    const std::array<uint8_t, 8>& salt = kSalt) {
    std::string error;
    std::string text = Write(c, password, salt, error);
    EXPECT_EQ("", error);
    return text;
}

}  // namespace

TEST(ProfileFile, RoundTripWithAPasswordKeepsEveryValueAndShowsNoSecret) {
    Contents c = Two();
    std::string text = Written(c, "open sesame");
    for (const Profile& p : c.profiles) {
        for (size_t i = 0; i < kFieldCount; ++i) {
            if (kFields[i].kind == Kind::Secret && !p.Get(kFields[i].key).empty()) {
                EXPECT_EQ(std::string::npos, text.find(p.Get(kFields[i].key))) << kFields[i].key;
            }
        }
    }

    ReadResult r = Read(text, "open sesame");
    ASSERT_TRUE(r.ok) << r.line << " " << r.error;
    EXPECT_EQ("Office", r.contents.current);
    ASSERT_EQ(2u, r.contents.profiles.size());
    for (size_t p = 0; p < 2; ++p) {
        EXPECT_FALSE(r.contents.profiles[p].secretsLeftOut);
        for (size_t i = 0; i < kFieldCount; ++i)
            EXPECT_EQ(c.profiles[p].Get(kFields[i].key), r.contents.profiles[p].Get(kFields[i].key))
                << p << " " << kFields[i].key;
    }

    // Another password, or none, opens nothing.
    for (const char* password : {"open sesamE", ""}) {
        ReadResult wrong = Read(text, password);
        EXPECT_FALSE(wrong.ok);
        EXPECT_TRUE(wrong.wrongPassword);
        EXPECT_TRUE(wrong.contents.profiles.empty());
    }
}

TEST(ProfileFile, ATruncatedFileReadsAsNothing) {
    std::string text = Written(Two(), "pw");
    // Cut after every line but the last: the reader must notice each time.
    for (size_t at = text.find('\n'); at + 1 < text.size(); at = text.find('\n', at + 1)) {
        ReadResult r = Read(text.substr(0, at + 1), "pw");
        EXPECT_FALSE(r.ok) << "cut at " << at;
        EXPECT_TRUE(r.contents.profiles.empty());
    }
    EXPECT_TRUE(Read(text, "pw").ok);
}

TEST(ProfileFile, AMalformedLineIsNamedByItsNumber) {
    const std::string good = Written(Two(), "");
    enum Where { AtChange, NextLine, Later, AtEnd };
    struct Case {
        const char* find;
        const char* replace;
        Where where;
    } cases[] = {
        {"Infrastructure=", "Infrastructure=x", AtChange},
        {"Infrastructure=", "Infrastructure=99999999999", AtChange},
        {"Infrastructure=", "Bogus=", AtChange},
        {"Infrastructure=", "no equals sign here", AtChange},
        {"[Profile 2]", "[Profile 2", AtChange},
        {"[Profile 2]", "[Elsewhere]", AtChange},
        {"Version=2", "Version=3", AtChange},
        {"SSID=Home-SSID", "SSID=Home-SSID\r\nSSID=again", NextLine},
        {"Profiles=2", "Profiles=1", Later},  // at the undeclared second profile
        {"Name=Office", "Name=Home", Later},   // where the second profile's section ends
        {"Profiles=2", "Profiles=3", AtEnd},
    };
    for (const Case& c : cases) {
        std::string text = good;
        size_t at = text.find(c.find);
        ASSERT_NE(std::string::npos, at) << c.find;
        text.replace(at, std::strlen(c.find), c.replace);
        size_t changed = std::count(text.begin(), text.begin() + at, '\n') + 1;
        size_t lines = std::count(text.begin(), text.end(), '\n');
        ReadResult r = Read(text, "");
        EXPECT_FALSE(r.ok) << c.replace;
        EXPECT_TRUE(r.contents.profiles.empty());
        switch (c.where) {
        case AtChange: EXPECT_EQ(changed, r.line) << c.replace << ": " << r.error; break;
        case NextLine: EXPECT_EQ(changed + 1, r.line) << c.replace << ": " << r.error; break;
        case Later: EXPECT_LT(changed, r.line) << c.replace << ": " << r.error; break;
        case AtEnd: EXPECT_EQ(lines + 1, r.line) << c.replace << ": " << r.error; break;
        }
    }
}

TEST(ProfileFile, ValuesThatCannotBeWrittenAreRefusedByName) {
    for (const char* bad : {"line\nbreak", "carriage\rreturn"}) {
        Contents c = Two();
        c.profiles[1].Set("SSID", bad);
        std::string error;
        EXPECT_EQ("", Write(c, "", kSalt, error));
        EXPECT_EQ("Office: SSID", error);
    }
    Contents c = Two();
    c.profiles[0].Set("PskPassphrase", std::string(kMaxValueChars + 1, 'k'));
    std::string error;
    EXPECT_EQ("", Write(c, "pw", kSalt, error));
    EXPECT_EQ("Home: PskPassphrase", error);
}

// Files written with a fixed salt and the password "pw" stay readable: one of the first
// version opens, and this version writes as it always has (the MD5 of its file), so that a
// change to the key derivation, the IVs or the MAC cannot orphan files unseen.
TEST(ProfileFile, KnownAnswerFiles) {
    ReadResult v1 = Read(std::string(kKnownV1, sizeof kKnownV1), "pw");
    EXPECT_TRUE(v1.ok) << v1.line << " " << v1.error;
    EXPECT_EQ("Home", v1.contents.current);
    const std::string v2 = Written(Two(), "pw", {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88});
    md5::Digest d = md5::Compute(reinterpret_cast<const uint8_t*>(v2.data()), v2.size());
    EXPECT_EQ("76668E5823C86E316F6801C6058CB649", hex::Encode(d.data(), d.size()));
}

// A changed file is refused: a plain value through the MAC (said as such), a secret moved to
// another place through its IV, a MAC taken away or a version put back as a malformed header.
TEST(ProfileFile, AChangedFileIsRefused) {
    const std::string good = Written(Two(), "pw");
    const size_t mac = good.find("Mac=");
    const size_t key1 = good.find("WepKey1=") + 8, key2 = good.find("WepKey2=") + 8;  // Home's
    const std::string value1 = good.substr(key1, good.find('\r', key1) - key1);
    // What is found, what replaces it, whether the file is refused as changed (else as malformed).
    const std::tuple<std::string, std::string, bool> cases[] = {
        {"SSID=Home-SSID", "SSID=Home-SSIDs", true},
        {"Mac=", "Mac=0", true},
        {good.substr(key2, value1.size()), value1, false},
        {good.substr(mac, good.find('\n', mac) + 1 - mac), "", false},
        {"Version=2", "Version=1", false},
    };
    for (const auto& [find, replace, changed] : cases) {
        std::string text = good;
        ASSERT_NE(std::string::npos, text.find(find)) << find;
        ReadResult r = Read(text.replace(text.find(find), find.size(), replace), "pw");
        EXPECT_FALSE(r.ok) << replace;
        EXPECT_EQ(changed, r.changed) << replace << ": " << r.error;
    }
    EXPECT_NE(std::string::npos, Written(Two(), "").find("\r\n; Not protected:"));
}
