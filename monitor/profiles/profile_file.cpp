#include "monitor/profiles/profile_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "monitor/profiles/crypto/blowfish.h"
#include "monitor/profiles/crypto/hex_text.h"
#include "monitor/profiles/crypto/md5.h"
#include "monitor/profiles/keys/profile_keys.h"

namespace profile_file {

using blowfish::ReadWord;
using blowfish::WriteWord;

namespace {

constexpr char kHeader[] = "Skyvane";
constexpr char kProfileSection[] = "Profile ";
constexpr char kCheckText[] = "Skyvane profiles";  // enciphered as the password check
constexpr char kMacLine[] = "Mac=";
constexpr char kUnprotectedNote[] =
    "; Not protected: written without a password, it holds no keys, and a change to it goes unnoticed.\r\n";
constexpr int kKeyRounds = 4096;

const Field* FindField(const std::string& key) {
    for (const Field& f : kFields)
        if (key == f.key) return &f;
    return nullptr;
}

// Two 16-byte keys from the password and the file's salt: the cipher's after 4096 rounds of
// MD5, the MAC's from one round more.
struct Keys {
    std::array<uint8_t, 16> cipher, mac;
};
Keys DeriveKeys(const std::string& password, const std::array<uint8_t, 8>& salt) {
    std::vector<uint8_t> input(16);
    input.insert(input.end(), salt.begin(), salt.end());
    input.insert(input.end(), password.begin(), password.end());
    md5::Digest digest = md5::Compute(input.data() + 16, input.size() - 16);
    Keys keys;
    for (int i = 0; i <= kKeyRounds; ++i) {
        if (i == kKeyRounds) keys.cipher = digest;
        std::copy(digest.begin(), digest.end(), input.begin());
        digest = md5::Compute(input.data(), input.size());
    }
    keys.mac = digest;
    return keys;
}

// Blowfish-CBC over [length byte, text, zero padding]. The IV comes from the salt and the
// value's place in the file, so equal secrets differ in the file; it stands in front of the
// cipher text, and a reader takes it only when it is the one it computes.
class FileCipher {
public:
    FileCipher(const std::string& password, const std::array<uint8_t, 8>& salt)
        : keys_(DeriveKeys(password, salt)), cipher_(keys_.cipher.data(), keys_.cipher.size()), salt_(salt) {}

    std::string Encipher(const std::string& plain, const std::string& where) const {
        std::vector<uint8_t> data(1, uint8_t(plain.size()));
        data.insert(data.end(), plain.begin(), plain.end());
        data.resize((data.size() + 7) / 8 * 8, 0);
        std::vector<uint8_t> out = Iv(where);
        for (size_t at = 0; at < data.size(); at += 8) {
            uint32_t l = ReadWord(&data[at]) ^ ReadWord(&out[at]);
            uint32_t r = ReadWord(&data[at + 4]) ^ ReadWord(&out[at + 4]);
            cipher_.Encipher(l, r);
            out.resize(at + 16);
            WriteWord(&out[at + 8], l);
            WriteWord(&out[at + 12], r);
        }
        return hex::Encode(out.data(), out.size());
    }

    // False when the text is not a cipher this key made for this place.
    bool Decipher(const std::string& text, const std::string& where, std::string& plain) const {
        std::vector<uint8_t> in;
        if (!hex::Decode(text, in) || in.size() < 16 || in.size() % 8) return false;
        if (!std::equal(in.begin(), in.begin() + 8, Iv(where).begin())) return false;
        std::vector<uint8_t> data(in.size() - 8);
        for (size_t at = 8; at < in.size(); at += 8) {
            uint32_t l = ReadWord(&in[at]), r = ReadWord(&in[at + 4]);
            cipher_.Decipher(l, r);
            WriteWord(&data[at - 8], l ^ ReadWord(&in[at - 8]));
            WriteWord(&data[at - 4], r ^ ReadWord(&in[at - 4]));
        }
        size_t length = data[0];
        if (length + 1 > data.size() || data.size() - (length + 1) >= 8) return false;
        for (size_t i = length + 1; i < data.size(); ++i)
            if (data[i]) return false;
        plain.assign(reinterpret_cast<const char*>(&data[1]), length);
        return true;
    }

    // The MAC of a file's text, the MAC's own value left out.
    std::string Mac(const std::string& text) const {
        md5::Digest d = md5::Hmac(keys_.mac.data(), keys_.mac.size(),
                                  reinterpret_cast<const uint8_t*>(text.data()), text.size());
        return hex::Encode(d.data(), d.size());
    }

private:
    std::vector<uint8_t> Iv(const std::string& where) const {
        std::string seed(salt_.begin(), salt_.end());
        seed += where;
        md5::Digest d = md5::Compute(reinterpret_cast<const uint8_t*>(seed.data()), seed.size());
        return std::vector<uint8_t>(d.begin(), d.begin() + 8);
    }

    Keys keys_;
    blowfish::Cipher cipher_;
    std::array<uint8_t, 8> salt_;
};

bool IsNumber(const std::string& text) {
    if (text.empty() || text.size() > 11) return false;
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0' && v >= -2147483647LL - 1 && v <= 2147483647LL &&
           (std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '-');
}

bool Writable(const std::string& value) {
    return value.size() <= kMaxValueChars && value.find_first_of("\r\n") == std::string::npos &&
           value.find('\0') == std::string::npos;
}

}  // namespace

const std::string& Profile::Get(const std::string& key) const {
    static const std::string empty;
    for (const auto& v : values)
        if (v.first == key) return v.second;
    return empty;
}

void Profile::Set(const std::string& key, const std::string& value) {
    for (auto& v : values)
        if (v.first == key) {
            v.second = value;
            return;
        }
    values.emplace_back(key, value);
}

std::string Write(const Contents& contents, const std::string& password,
                  const std::array<uint8_t, 8>& salt, std::string& error) {
    error.clear();
    // The key derivation is slow on purpose: only a file with secrets runs it.
    std::unique_ptr<FileCipher> cipher;
    if (!password.empty()) cipher = std::make_unique<FileCipher>(password, salt);
    std::string text = "; Skyvane profiles\r\n";
    if (password.empty()) text += kUnprotectedNote;
    text += "[Skyvane]\r\nVersion=2\r\n";
    text += "Profiles=" + std::to_string(contents.profiles.size()) + "\r\n";
    text += "Current=" + contents.current + "\r\n";
    size_t macAt = std::string::npos;  // where the MAC's value goes
    if (!password.empty()) {
        text += "Salt=" + hex::Encode(salt.data(), salt.size()) + "\r\n";
        text += "Check=" + cipher->Encipher(kCheckText, "Check") + "\r\n";
        text += kMacLine;
        macAt = text.size();
        text += "\r\n";
    }
    for (size_t i = 0; i < contents.profiles.size(); ++i) {
        const Profile& p = contents.profiles[i];
        std::string section = kProfileSection + std::to_string(i + 1);
        text += "\r\n[" + section + "]\r\n";
        bool leftOut = false;
        for (const Field& f : kFields) {
            const std::string& value = p.Get(f.key);
            if (!Writable(value) || (f.kind == Kind::Number && !IsNumber(value))) {
                error = p.Get("Name") + ": " + f.key;
                return std::string();
            }
            if (f.kind != Kind::Secret) {
                text += std::string(f.key) + "=" + value + "\r\n";
            } else if (!password.empty()) {
                text += std::string(f.key) + "=" + cipher->Encipher(value, section + f.key) + "\r\n";
            } else if (!value.empty()) {
                leftOut = true;
            }
        }
        if (leftOut || p.secretsLeftOut) text += "SecretsLeftOut=1\r\n";
    }
    if (!Writable(contents.current)) {
        error = "Current";
        return std::string();
    }
    if (macAt != std::string::npos) text.insert(macAt, cipher->Mac(text));
    return text;
}

ReadResult Read(const std::string& text, const std::string& password) {
    ReadResult result;
    size_t lineNumber = 0, declared = 0;
    bool header = false, haveCount = false, haveSalt = false, haveCheck = false;
    std::array<uint8_t, 8> salt = {};
    std::string check, section, mac;
    int version = 1;
    size_t macAt = std::string::npos;  // where the MAC's value stands in the text
    std::unique_ptr<FileCipher> cipher;  // once the header is read, when the file holds secrets
    std::vector<std::vector<bool>> seen;  // per profile: which fields it gave
    auto fail = [&](const std::string& why) {
        result.ok = false;
        result.line = lineNumber;
        result.error = why;
        result.contents = Contents();
        return result;
    };
    // The header has ended: a file with secrets opens only with its password.
    auto headerComplete = [&]() -> const char* {
        // Since version 2 a file with secrets carries a MAC.
        bool macExpected = version >= 2 && haveSalt;
        if (!haveCount || haveSalt != haveCheck || macExpected != (macAt != std::string::npos))
            return "the [Skyvane] section is incomplete";
        if (!haveSalt || cipher) return nullptr;
        cipher = std::make_unique<FileCipher>(password, salt);
        std::string plain;
        if (password.empty() || !cipher->Decipher(check, "Check", plain) || plain != kCheckText) {
            result.wrongPassword = true;
            return "the password does not open this file";
        }
        return nullptr;
    };
    // The last profile's section has ended: every value is there (a secret only when the
    // file holds secrets) and the name is one the store can keep.
    auto lastProfileComplete = [&]() -> const char* {
        if (result.contents.profiles.empty()) return nullptr;
        Profile& profile = result.contents.profiles.back();
        for (size_t i = 0; i < kFieldCount; ++i) {
            if (seen.back()[i]) continue;
            if (kFields[i].kind != Kind::Secret || haveSalt) return "a profile lacks a value";
            profile.values.emplace_back(kFields[i].key, std::string());
        }
        const std::string& name = profile.Get("Name");
        if (name.empty() || !profile_keys::NameFits(name)) return "bad profile name";
        for (size_t q = 0; q + 1 < result.contents.profiles.size(); ++q)
            if (result.contents.profiles[q].Get("Name") == name) return "a profile name given twice";
        return nullptr;
    };

    size_t at = 0;
    while (at < text.size()) {
        size_t lineAt = at;
        size_t end = text.find('\n', at);
        std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? text.size() : end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            if (line.back() != ']') return fail("section name without ]");
            section = line.substr(1, line.size() - 2);
            if (!header) {
                if (section != kHeader) return fail("the file does not begin with [Skyvane]");
                header = true;
                continue;
            }
            if (section.compare(0, sizeof kProfileSection - 1, kProfileSection) != 0)
                return fail("unknown section");
            if (const char* why = headerComplete()) return fail(why);
            if (const char* why = lastProfileComplete()) return fail(why);
            if (result.contents.profiles.size() >= declared) return fail("more profiles than the file declares");
            result.contents.profiles.emplace_back();
            seen.emplace_back(kFieldCount, false);
            continue;
        }
        size_t eq = line.find('=');
        if (!header || eq == std::string::npos) return fail("not a key=value line");
        std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (value.size() > 2 * kMaxValueChars + 32) return fail("value too long");

        if (result.contents.profiles.empty()) {  // the [Skyvane] section
            if (key == "Version") {
                if (value != "1" && value != "2") return fail("unknown version");
                version = value[0] - '0';
            } else if (key == "Profiles") {
                if (!IsNumber(value) || value[0] == '-' || std::atoll(value.c_str()) > long(kMaxProfiles))
                    return fail("bad profile count");
                declared = size_t(std::atoll(value.c_str()));
                haveCount = true;
            } else if (key == "Current") {
                if (!Writable(value)) return fail("value too long or with a control character");
                result.contents.current = value;
            } else if (key == "Salt") {
                std::vector<uint8_t> bytes;
                if (!hex::Decode(value, bytes) || bytes.size() != salt.size()) return fail("bad salt");
                std::copy(bytes.begin(), bytes.end(), salt.begin());
                haveSalt = true;
            } else if (key == "Check") {
                check = value;
                haveCheck = true;
            } else if (key + "=" == kMacLine && macAt == std::string::npos) {
                mac = value;
                macAt = lineAt + eq + 1;
            } else {
                return fail("unknown key");
            }
            continue;
        }

        Profile& profile = result.contents.profiles.back();
        if (key == "SecretsLeftOut") {
            if (value != "1" || profile.secretsLeftOut) return fail("bad SecretsLeftOut");
            profile.secretsLeftOut = true;
            continue;
        }
        const Field* field = FindField(key);
        if (!field) return fail("unknown key");
        size_t index = size_t(field - kFields);
        if (seen.back()[index]) return fail("key given twice");
        seen.back()[index] = true;
        if (field->kind == Kind::Secret) {
            if (!cipher) return fail("a secret in a file without a password");
            std::string plain;
            if (!cipher->Decipher(value, section + key, plain)) return fail("bad enciphered value");
            value = plain;
        }
        if (!Writable(value)) return fail("value too long or with a control character");
        if (field->kind == Kind::Number && !IsNumber(value)) return fail("not a number");
        profile.values.emplace_back(key, value);
    }
    ++lineNumber;  // what is missing is missing at the end
    if (!header) return fail("the file does not begin with [Skyvane]");
    if (const char* why = headerComplete()) return fail(why);
    if (const char* why = lastProfileComplete()) return fail(why);
    if (result.contents.profiles.size() != declared) return fail("the file ends early");
    if (macAt != std::string::npos &&
        mac != cipher->Mac(text.substr(0, macAt) + text.substr(macAt + mac.size()))) {
        result.changed = true;
        return fail("the file was changed after it was written");
    }
    result.ok = true;
    return result;
}

}  // namespace profile_file
