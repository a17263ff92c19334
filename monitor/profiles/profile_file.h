// The plain-text file profiles move between machines in: INI sections, one per profile,
// every value the store keeps. Secrets (WEP keys and passphrase, pre-shared key, EAP and
// LEAP passwords) are never written in clear: under a password they are enciphered
// (Blowfish-CBC, key from 4096 rounds of salted MD5), without one they are left out and
// the profile is marked so. UI-free.
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
extern const Field kFields[];
extern const size_t kFieldCount;

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
    size_t line = 0;             // the line that is wrong, from 1; past the end when cut short
    std::string error;
    Contents contents;
};
// Reads the whole file or nothing: any malformed or missing line fails it.
ReadResult Read(const std::string& text, const std::string& password);

}  // namespace profile_file
