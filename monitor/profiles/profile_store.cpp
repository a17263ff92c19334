// The profile store's registry values: the enciphered WEP passphrase, its length and the
// fixed transmit rate of each profile, beside the library's own profile storage.
#include <windows.h>

#include "athcfg/athcfg.h"
#include "monitor/app/monitor_app.h"
#include "monitor/profiles/hex_text.h"
#include "monitor/profiles/profile_keys.h"
#include "monitor/profiles/profile_registry.h"
#include "monitor/profiles/secret_cipher.h"
#include "monitor/ui/monitor_dlg.h"
#include "monitor/ui/resource.h"
#include "framework/text.h"

using profile_registry::Key;

namespace {

constexpr size_t kPassphraseCodeBuffer = 500;

// Opens the profile's key; false when the name has no valid key path or the key is missing.
bool OpenProfileKey(Key& key, const std::string& name, REGSAM access) {
    auto path = profile_keys::ProfileKeyPath(CMonitorDlg::ModelNumber(), name);
    return path && key.Open(HKEY_LOCAL_MACHINE, *path, access);
}

void WritePassphrase(Key& key, const std::string& passphrase, const std::string& guid) {
    auto code = secret::EncipherText(passphrase, int(passphrase.size() * 8), guid);
    if (!code) return;  // longer than the cipher takes: keep what is stored
    key.WriteDword(profile_keys::kPassphraseCodeLength, uint32_t(passphrase.size()));
    if (passphrase.empty())
        key.WriteEmptyText(profile_keys::kPassphraseCode);
    else
        key.WriteText(profile_keys::kPassphraseCode, *code);
}

}  // namespace

void CMonitorDlg::StorePassphraseCreating(const std::string& name, const std::string& passphrase) {
    int model = ModelNumber();
    auto path = profile_keys::ProfileKeyPath(model, name);
    if (!path) return;
    Key key;
    if (!key.Open(HKEY_LOCAL_MACHINE, profile_keys::ModelRoot(model), KEY_ALL_ACCESS))
        key.Create(HKEY_LOCAL_MACHINE, profile_keys::ModelRoot(model));
    key.Close();
    key.Create(HKEY_LOCAL_MACHINE, *path);
    key.Close();
    if (!key.Open(HKEY_LOCAL_MACHINE, *path, KEY_ALL_ACCESS)) return;
    WritePassphrase(key, passphrase, interfaceGuid);
}

void CMonitorDlg::StorePassphrase(const std::string& name, const std::string& passphrase) {
    Key key;
    if (OpenProfileKey(key, name, KEY_ALL_ACCESS)) WritePassphrase(key, passphrase, interfaceGuid);
}

std::string CMonitorDlg::ReadPassphrase(const std::string& name) {
    Key key;
    if (!OpenProfileKey(key, name, KEY_READ)) return std::string();
    auto code = key.ReadText(profile_keys::kPassphraseCode, kPassphraseCodeBuffer);
    uint32_t length = key.ReadDword(profile_keys::kPassphraseCodeLength).value_or(0);
    key.Close();
    if (length == 0 || !code || length > secret::kMaxPlainChars) return std::string();

    auto plainHex = secret::DecipherText(*code, int(length * 8), interfaceGuid);
    std::vector<uint8_t> bytes;
    if (!plainHex || !hex::Decode(*plainHex, bytes)) return std::string();
    // A cipher text shorter than its recorded length deciphers to zero bytes at the end.
    std::string passphrase(bytes.begin(), bytes.end());
    return passphrase.substr(0, passphrase.find('\0'));
}

void CMonitorDlg::StoreTxRate(const std::string& name, int32_t rate) {
    Key key;
    if (OpenProfileKey(key, name, KEY_ALL_ACCESS))
        key.WriteDword(profile_keys::kTxRate, uint32_t(rate));
}

int32_t CMonitorDlg::ReadTxRate(const std::string& name) {
    Key key;
    if (!OpenProfileKey(key, name, KEY_READ)) return 0;
    return int32_t(key.ReadDword(profile_keys::kTxRate).value_or(0));
}

void CMonitorDlg::DeleteProfileKey(const std::string& name) {
    auto path = profile_keys::ProfileKeyPath(ModelNumber(), name);
    if (path) RegDeleteKeyA(HKEY_LOCAL_MACHINE, path->c_str());
}

void CMonitorDlg::CreateDefaultProfile() {
    if (!mainConfig) return;
    auto* profile = new ACProfile();
    profile->name = "Default";
    profile->ssid = fw::LoadText(IDS_DEFAULT_SSID).c_str();
    profile->powerSave = 0;
    profile->infrastructure = 1;
    profile->wirelessMode = theApp.Status().SupportedModes() == 12 ? 12 : 28;
    profile->channelBand = 4;
    profile->privacy = 0;
    profile->eapMethod = 0;
    profile->wpa = 0;
    profile->authMode = 1;
    profile->keyIsHex = 1;
    profile->defaultKey = 1;
    profile->wepKey1 = profile->wepKey2 = profile->wepKey3 = profile->wepKey4 = "0000000000";
    profile->wepKeyBits1 = profile->wepKeyBits2 = profile->wepKeyBits3 = profile->wepKeyBits4 = 40;
    profile->reservedA = 0;
    profile->loginName = profile->defaultUserName;
    profile->ieee8021x = 0;
    profile->reservedB = 0;

    mainConfig->profiles.Add(profile);
    mainConfig->selectedIndex = mainConfig->GetProfileIndex("Default");
    profile->savedFlag1 = 1;
    profile->savedFlag2 = 1;
    mainConfig->WriteConfig(0);

    StorePassphraseCreating("Default", std::string());
    StoreTxRate("Default", 0);
}
