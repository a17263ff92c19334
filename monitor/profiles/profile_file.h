// The plain-text file profiles move between machines in: INI sections, one per profile,
// every value the store keeps. Secrets (WEP keys and passphrase, pre-shared key, EAP and
// LEAP passwords) are never written in clear: under a password they are enciphered
// (Blowfish-CBC, key from 4096 rounds of salted MD5) and the whole file carries an
// HMAC-MD5 under a second key from the same derivation, so that a changed file is refused;
// without one they are left out, the profile is marked so, and the file says it is not
// protected. Files of version 1 (no MAC) are still read. UI-free.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace profile_file {

enum class Kind { Text, Number, Secret };
struct Field {
    const char* key;
    Kind kind;
};
// Every value of a profile, in file order; "Name" is the profile's name.
inline constexpr Field kFields[] = {
    {"Name", Kind::Text},           {"SSID", Kind::Text},
    {"DefaultUserName", Kind::Text}, {"Infrastructure", Kind::Number},
    {"PowerSave", Kind::Number},     {"Privacy", Kind::Number},
    {"IEEE8021X", Kind::Number},     {"KeyIsHex", Kind::Number},
    {"DefaultKey", Kind::Number},    {"WepKey1", Kind::Secret},
    {"WepKey2", Kind::Secret},       {"WepKey3", Kind::Secret},
    {"WepKey4", Kind::Secret},       {"WepKeyBits1", Kind::Number},
    {"WepKeyBits2", Kind::Number},   {"WepKeyBits3", Kind::Number},
    {"WepKeyBits4", Kind::Number},   {"PskPassphrase", Kind::Secret},
    {"PskBits", Kind::Number},       {"EapMethod", Kind::Number},
    {"LeapUser", Kind::Text},        {"LeapPassword", Kind::Secret},
    {"LeapPasswordBits", Kind::Number}, {"ReservedA", Kind::Number},
    {"LeapDomain", Kind::Text},      {"ReservedB", Kind::Number},
    {"ClientCertificate", Kind::Text}, {"RootCertificate", Kind::Text},
    {"ServerDomainName", Kind::Text}, {"LoginName", Kind::Text},
    {"Wpa", Kind::Number},           {"EapUser", Kind::Text},
    {"EapPassword", Kind::Secret},   {"EapPasswordBits", Kind::Number},
    {"SavedFlag1", Kind::Number},    {"SavedFlag2", Kind::Number},
    {"WirelessMode", Kind::Number},  {"ChannelBand", Kind::Number},
    {"ChannelMHz", Kind::Number},    {"AuthMode", Kind::Number},
    {"Passphrase", Kind::Secret},    {"TxRate", Kind::Number},
};
inline constexpr size_t kFieldCount = sizeof kFields / sizeof kFields[0];

constexpr size_t kMaxValueChars = 255;
constexpr size_t kMaxProfiles = 256;

struct Profile {
    // Values by key, in kFields order; a secret left out is empty.
    std::vector<std::pair<std::string, std::string>> values;
    bool secretsLeftOut = false;  // it had secrets the file does not hold

    const std::string& Get(const std::string& key) const;
    void Set(const std::string& key, const std::string& value);
};

struct Contents {
    std::string current;  // the adapter's current profile when written
    std::vector<Profile> profiles;
};

// The file's text. Secrets are enciphered under `password` with `salt` (random bytes from
// the caller); with an empty password they are left out. A value with a line break or
// longer than kMaxValueChars cannot be written: `error` names it and the text is empty.
std::string Write(const Contents& contents, const std::string& password,
                  const std::array<uint8_t, 8>& salt, std::string& error);

struct ReadResult {
    bool ok = false;
    bool wrongPassword = false;  // the file's secrets are enciphered under another password
    bool changed = false;        // its MAC does not match: it was changed after it was written
    size_t line = 0;             // the line that is wrong, from 1; past the end when cut short
    std::string error;
    Contents contents;
};
// Reads the whole file or nothing: any malformed or missing line fails it, and so does a
// MAC that does not match (checked once the rest has been read).
ReadResult Read(const std::string& text, const std::string& password);

}  // namespace profile_file
