// The profile store's registry values: the enciphered WEP passphrase, its length and the
// fixed transmit rate of each profile, beside the library's own profile storage.
#include <windows.h>

#include "framework/reg_key.h"
#include "monitor/adapter/adapter_session.h"
#include "monitor/profiles/crypto/hex_text.h"
#include "monitor/profiles/crypto/secret_cipher.h"
#include "monitor/profiles/keys/profile_keys.h"
#include "monitor/profiles/profile_store.h"

using fw::RegKey;

namespace {

// The stored code with its terminator fits the 500-byte buffer it was read into.
constexpr size_t kMaxPassphraseCodeBytes = 499;

// Opens the profile's key; false when the name has no valid key path or the key is missing.
bool OpenProfileKey(RegKey& key, const std::string& name, REGSAM access) {
    auto path = profile_keys::ProfileKeyPath(AdapterSession::ModelNumber(), name);
    return path && key.Open(HKEY_LOCAL_MACHINE, *path, access);
}

bool WritePassphrase(RegKey& key, const std::string& passphrase, const std::string& guid) {
    auto code = secret::EncipherText(passphrase, int(passphrase.size() * 8), guid);
    if (!code) return false;  // longer than the cipher takes: keep what is stored
    if (!key.WriteDword(profile_keys::kPassphraseCodeLength, uint32_t(passphrase.size()))) return false;
    if (passphrase.empty())
        return key.WriteValue(profile_keys::kPassphraseCode, REG_SZ, nullptr, 0);  // no terminator either
    return key.WriteString(profile_keys::kPassphraseCode, *code);
}

// Upper case by the system code page, multibyte characters included.
std::string UpperCase(std::string text) {
    if (!text.empty()) CharUpperBuffA(&text[0], DWORD(text.size()));
    return text;
}

}  // namespace

bool ProfileStore::SameName(const std::string& a, const std::string& b) {
    return UpperCase(a) == UpperCase(b);
}

bool ProfileStore::StorePassphraseCreating(const std::string& name, const std::string& passphrase) {
    int model = AdapterSession::ModelNumber();
    auto path = profile_keys::ProfileKeyPath(model, name);
    if (!path) return false;
    RegKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, profile_keys::ModelRoot(model), KEY_ALL_ACCESS))
        key.Create(HKEY_LOCAL_MACHINE, profile_keys::ModelRoot(model));
    key.Close();
    key.Create(HKEY_LOCAL_MACHINE, *path);
    key.Close();
    return key.Open(HKEY_LOCAL_MACHINE, *path, KEY_ALL_ACCESS) && WritePassphrase(key, passphrase, session_.interfaceGuid);
}

bool ProfileStore::StorePassphrase(const std::string& name, const std::string& passphrase) {
    RegKey key;
    return OpenProfileKey(key, name, KEY_ALL_ACCESS) && WritePassphrase(key, passphrase, session_.interfaceGuid);
}

std::string ProfileStore::ReadPassphrase(const std::string& name) {
    RegKey key;
    if (!OpenProfileKey(key, name, KEY_READ)) return std::string();
    auto code = key.ReadString(profile_keys::kPassphraseCode, kMaxPassphraseCodeBytes);
    uint32_t length = key.ReadDword(profile_keys::kPassphraseCodeLength).value_or(0);
    key.Close();
    if (length == 0 || !code || length > secret::kMaxPlainChars) return std::string();

    auto plainHex = secret::DecipherText(*code, int(length * 8), session_.interfaceGuid);
    std::vector<uint8_t> bytes;
    if (!plainHex || !hex::Decode(*plainHex, bytes)) return std::string();
    // A cipher text shorter than its recorded length deciphers to zero bytes at the end.
    std::string passphrase(bytes.begin(), bytes.end());
    return passphrase.substr(0, passphrase.find('\0'));
}

bool ProfileStore::StoreTxRate(const std::string& name, int32_t rate) {
    RegKey key;
    return OpenProfileKey(key, name, KEY_ALL_ACCESS) && key.WriteDword(profile_keys::kTxRate, uint32_t(rate));
}

int32_t ProfileStore::ReadTxRate(const std::string& name) {
    RegKey key;
    if (!OpenProfileKey(key, name, KEY_READ)) return 0;
    return int32_t(key.ReadDword(profile_keys::kTxRate).value_or(0));
}

void ProfileStore::DeleteProfileKey(const std::string& name) {
    auto path = profile_keys::ProfileKeyPath(AdapterSession::ModelNumber(), name);
    if (path) RegDeleteKeyA(HKEY_LOCAL_MACHINE, path->c_str());
}
