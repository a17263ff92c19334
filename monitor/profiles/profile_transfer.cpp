// Exporting every profile of the adapter as a profile file's text and importing them back:
// the library's records and the store's own values mapped to and from the file's values.
#include <windows.h>

#include <cstdlib>
#include <vector>

#include "athcfg/athcfg.h"
#include "monitor/adapter/adapter_session.h"
#include "monitor/profiles/crypto/md5.h"
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


// Every profile of the adapter with the store's own values, as the file holds them.
std::vector<profile_file::Profile> StoredProfiles(ProfileStore& store, const ACAdapterConfig& config) {
    std::vector<profile_file::Profile> profiles;
    for (int i = 0; i < config.profiles.GetSize(); ++i) {
        const ACProfile* record = config.profiles.GetAt(i);
        profile_file::Profile p = ToFile(*record);
        std::string name = record->name.c_str();
        p.Set(kPassphrase, store.ReadPassphrase(name));
        p.Set(kTxRate, std::to_string(store.ReadTxRate(name)));
        profiles.push_back(p);
    }
    return profiles;
}

ProfileStore::TransferOutcome Outcome(Transfer result, const std::string& names = std::string()) {
    ProfileStore::TransferOutcome outcome;
    outcome.result = result;
    outcome.names = names;
    return outcome;
}

}  // namespace

ProfileStore::TransferOutcome ProfileStore::ExportProfiles(const std::string& password) {
    ACAdapterConfig* config = session_.mainConfig;
    if (!config) return Outcome(Transfer::NoAdapter);
    profile_file::Contents contents;
    contents.current = session_.CurrentProfileName();
    contents.profiles = StoredProfiles(*this, *config);
    TransferOutcome outcome;
    outcome.text = profile_file::Write(contents, password, FreshSalt(), outcome.names);
    if (outcome.text.empty()) outcome.result = Transfer::BadFile;
    return outcome;
}

ProfileStore::TransferOutcome ProfileStore::ImportProfiles(const std::string& text, const std::string& password,
                                                           bool replace) {
    ACAdapterConfig* config = session_.mainConfig;
    if (!config) return Outcome(Transfer::NoAdapter);
    profile_file::ReadResult read = profile_file::Read(text, password);
    if (read.wrongPassword) return Outcome(Transfer::WrongPassword);
    if (read.changed) return Outcome(Transfer::Changed);
    if (!read.ok) {
        TransferOutcome outcome = Outcome(Transfer::BadFile);
        outcome.line = read.line;
        return outcome;
    }
    std::vector<profile_file::Profile>& incoming = read.contents.profiles;
    std::vector<int> replaced;  // per incoming profile: the record it replaces, or -1
    for (size_t i = 0; i < incoming.size(); ++i) {
        const std::string& name = incoming[i].Get("Name");
        for (size_t j = 0; j < i; ++j)
            if (SameName(incoming[j].Get("Name"), name)) return Outcome(Transfer::NameTwice, name);
        if (incoming[i].Get(kPassphrase).size() > profile_rules::kMaxPassphraseChars)
            return Outcome(Transfer::ValueTooLong, name);
        int index = -1;
        for (int r = 0; r < config->profiles.GetSize() && index < 0; ++r)
            if (SameName(config->profiles.GetAt(r)->name.c_str(), name)) index = r;
        if (index >= 0 && !replace) return Outcome(Transfer::Exists, config->profiles.GetAt(index)->name.c_str());
        replaced.push_back(index);
    }

    // What the store holds now, to write back if the result cannot be stored.
    const std::vector<profile_file::Profile> before = StoredProfiles(*this, *config);
    std::string keysNeeded;
    for (size_t i = 0; i < incoming.size(); ++i) {
        profile_file::Profile& p = incoming[i];
        ACProfile* record = replaced[i] >= 0 ? config->profiles.GetAt(replaced[i]) : nullptr;
        if (record && p.secretsLeftOut) {
            for (const profile_file::Field& f : profile_file::kFields)
                if (f.kind == profile_file::Kind::Secret) p.Set(f.key, before[size_t(replaced[i])].Get(f.key));
        } else if (p.secretsLeftOut) {
            keysNeeded += (keysNeeded.empty() ? "" : ", ") + p.Get("Name");
        }
        if (!record) {
            record = new ACProfile();
            config->profiles.Add(record);
        }
        FromFile(p, *record);
    }
    // Appended records leave the selected index where it was.
    bool stored = config->WriteConfig(0) != 0;
    for (size_t i = 0; stored && i < incoming.size(); ++i) {
        const std::string& name = incoming[i].Get("Name");
        stored = StorePassphraseCreating(name, incoming[i].Get(kPassphrase)) &&
                 StoreTxRate(name, std::atoi(incoming[i].Get(kTxRate).c_str()));
    }
    if (!stored) {
        for (size_t i = 0; i < incoming.size(); ++i)
            if (replaced[i] < 0) DeleteProfileKey(incoming[i].Get("Name"));
        while (config->profiles.GetSize() > int(before.size())) config->profiles.RemoveAt(config->profiles.GetSize() - 1);
        for (size_t r = 0; r < before.size(); ++r) FromFile(before[r], *config->profiles.GetAt(int(r)));
        bool restored = config->WriteConfig(0) != 0;
        for (const profile_file::Profile& p : before) {
            const std::string& name = p.Get("Name");
            restored = StorePassphraseCreating(name, p.Get(kPassphrase)) &&
                       StoreTxRate(name, std::atoi(p.Get(kTxRate).c_str())) && restored;
        }
        session_.RefreshProfileNames();
        return Outcome(restored ? Transfer::NotStored : Transfer::NotRestored);
    }
    session_.RefreshProfileNames();
    return keysNeeded.empty() ? Outcome(Transfer::Done) : Outcome(Transfer::KeysNeeded, keysNeeded);
}
