// Exporting every profile of the adapter to a file and importing them back: the library's
// records and the store's own values mapped to and from the file's values.
#include <windows.h>

#include <cstdlib>
#include <vector>

#include "athcfg/athcfg.h"
#include "monitor/adapter/adapter_session.h"
#include "monitor/profiles/md5.h"
#include "monitor/profiles/profile_file.h"
#include "monitor/profiles/profile_rules.h"
#include "monitor/profiles/profile_store.h"

using Transfer = ProfileStore::Transfer;

namespace {

// The record's members by their key in the file; "Passphrase" and "TxRate" are the store's.
struct TextMember {
    const char* key;
    ACString ACProfile::*member;
};
struct NumberMember {
    const char* key;
    int ACProfile::*member;
};
const TextMember kTexts[] = {
    {"Name", &ACProfile::name}, {"SSID", &ACProfile::ssid},
    {"DefaultUserName", &ACProfile::defaultUserName}, {"WepKey1", &ACProfile::wepKey1},
    {"WepKey2", &ACProfile::wepKey2}, {"WepKey3", &ACProfile::wepKey3},
    {"WepKey4", &ACProfile::wepKey4}, {"PskPassphrase", &ACProfile::pskPassphrase},
    {"LeapUser", &ACProfile::leapUser}, {"LeapPassword", &ACProfile::leapPassword},
    {"LeapDomain", &ACProfile::leapDomain}, {"ClientCertificate", &ACProfile::clientCertificate},
    {"RootCertificate", &ACProfile::rootCertificate}, {"ServerDomainName", &ACProfile::serverDomainName},
    {"LoginName", &ACProfile::loginName}, {"EapUser", &ACProfile::eapUser},
    {"EapPassword", &ACProfile::eapPassword},
};
const NumberMember kNumbers[] = {
    {"Infrastructure", &ACProfile::infrastructure}, {"PowerSave", &ACProfile::powerSave},
    {"Privacy", &ACProfile::privacy}, {"IEEE8021X", &ACProfile::ieee8021x},
    {"KeyIsHex", &ACProfile::keyIsHex}, {"DefaultKey", &ACProfile::defaultKey},
    {"WepKeyBits1", &ACProfile::wepKeyBits1}, {"WepKeyBits2", &ACProfile::wepKeyBits2},
    {"WepKeyBits3", &ACProfile::wepKeyBits3}, {"WepKeyBits4", &ACProfile::wepKeyBits4},
    {"PskBits", &ACProfile::pskBits}, {"EapMethod", &ACProfile::eapMethod},
    {"LeapPasswordBits", &ACProfile::leapPasswordBits}, {"ReservedA", &ACProfile::reservedA},
    {"ReservedB", &ACProfile::reservedB}, {"Wpa", &ACProfile::wpa},
    {"EapPasswordBits", &ACProfile::eapPasswordBits}, {"SavedFlag1", &ACProfile::savedFlag1},
    {"SavedFlag2", &ACProfile::savedFlag2}, {"WirelessMode", &ACProfile::wirelessMode},
    {"ChannelBand", &ACProfile::channelBand}, {"ChannelMHz", &ACProfile::channelMHz},
    {"AuthMode", &ACProfile::authMode},
};
constexpr char kPassphrase[] = "Passphrase";
constexpr char kTxRate[] = "TxRate";
static_assert(sizeof kTexts / sizeof kTexts[0] + sizeof kNumbers / sizeof kNumbers[0] + 2 ==
                  profile_file::kFieldCount,
              "every value of the file has its member");

constexpr DWORD kMaxFileBytes = 1 << 20;

// A salt need only differ between files; it is not secret.
std::array<uint8_t, 8> FreshSalt() {
    struct {
        LARGE_INTEGER counter;
        FILETIME time;
        DWORD ticks, process;
    } seed = {};
    QueryPerformanceCounter(&seed.counter);
    GetSystemTimeAsFileTime(&seed.time);
    seed.ticks = GetTickCount();
    seed.process = GetCurrentProcessId();
    md5::Digest d = md5::Compute(reinterpret_cast<const uint8_t*>(&seed), sizeof seed);
    std::array<uint8_t, 8> salt;
    std::copy(d.begin(), d.begin() + 8, salt.begin());
    return salt;
}

bool WriteWholeFile(const std::string& path, const std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr) && written == text.size();
    ok = CloseHandle(file) && ok;
    if (!ok) DeleteFileA(path.c_str());  // never leave half a file
    return ok;
}

profile_file::Profile ToFile(const ACProfile& record) {
    profile_file::Profile p;
    for (const TextMember& t : kTexts) p.Set(t.key, (record.*t.member).c_str());
    for (const NumberMember& n : kNumbers) p.Set(n.key, std::to_string(record.*n.member));
    return p;
}

void FromFile(const profile_file::Profile& p, ACProfile& record) {
    for (const TextMember& t : kTexts) record.*t.member = p.Get(t.key).c_str();
    for (const NumberMember& n : kNumbers) record.*n.member = std::atoi(p.Get(n.key).c_str());
}

}  // namespace

bool ProfileStore::ReadProfileFile(const std::string& path, std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD size = GetFileSize(file, nullptr), read = 0;
    bool ok = size != INVALID_FILE_SIZE && size <= kMaxFileBytes;
    if (ok) {
        text.resize(size);
        ok = size == 0 || (ReadFile(file, &text[0], size, &read, nullptr) && read == size);
    }
    CloseHandle(file);
    return ok;
}

Transfer ProfileStore::ExportProfiles(const std::string& path, const std::string& password) {
    ACAdapterConfig* config = session_.mainConfig;
    if (!config) return Transfer::NoAdapter;
    profile_file::Contents contents;
    contents.current = session_.CurrentProfileName();
    for (int i = 0; i < config->profiles.GetSize(); ++i) {
        const ACProfile* record = config->profiles.GetAt(i);
        if (!record) continue;
        profile_file::Profile p = ToFile(*record);
        std::string name = record->name.c_str();
        p.Set(kPassphrase, ReadPassphrase(name));
        p.Set(kTxRate, std::to_string(ReadTxRate(name)));
        contents.profiles.push_back(p);
    }
    std::string error;
    std::string text = profile_file::Write(contents, password, FreshSalt(), error);
    if (text.empty() || !WriteWholeFile(path, text)) return Transfer::BadFile;
    return Transfer::Done;
}

Transfer ProfileStore::ImportProfiles(const std::string& path, const std::string& password, bool replace) {
    ACAdapterConfig* config = session_.mainConfig;
    if (!config) return Transfer::NoAdapter;
    std::string text;
    if (!ReadProfileFile(path, text)) return Transfer::BadFile;
    profile_file::ReadResult read = profile_file::Read(text, password);
    if (read.wrongPassword) return Transfer::WrongPassword;
    if (!read.ok) return Transfer::BadFile;
    bool keysNeeded = false;
    for (const profile_file::Profile& p : read.contents.profiles) {
        if (!replace && config->GetProfile(p.Get("Name").c_str())) return Transfer::Exists;
        if (p.Get(kPassphrase).size() > profile_rules::kMaxPassphraseChars) return Transfer::BadFile;
        keysNeeded = keysNeeded || p.secretsLeftOut;
    }

    // What the records held before, to put back if the library cannot store the result.
    std::vector<std::pair<ACProfile*, profile_file::Profile>> replaced;
    int before = config->profiles.GetSize();
    for (const profile_file::Profile& p : read.contents.profiles) {
        ACProfile* record = config->GetProfile(p.Get("Name").c_str());
        if (record) {
            replaced.emplace_back(record, ToFile(*record));
        } else {
            record = new ACProfile();
            config->profiles.Add(record);
        }
        FromFile(p, *record);
    }
    // Appended records leave the selected index where it was.
    if (!config->WriteConfig(0)) {
        for (auto& r : replaced) FromFile(r.second, *r.first);
        while (config->profiles.GetSize() > before) config->profiles.RemoveAt(config->profiles.GetSize() - 1);
        return Transfer::NotStored;
    }
    for (const profile_file::Profile& p : read.contents.profiles) {
        const std::string& name = p.Get("Name");
        StorePassphraseCreating(name, p.Get(kPassphrase));
        StoreTxRate(name, std::atoi(p.Get(kTxRate).c_str()));
    }
    session_.RefreshProfileNames();
    return keysNeeded ? Transfer::KeysNeeded : Transfer::Done;
}
