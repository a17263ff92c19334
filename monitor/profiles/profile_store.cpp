// Creating, saving, deleting and loading profiles: the library's profile list plus the
// store's own registry values, with the editing state.
#include "monitor/profiles/profile_store.h"

#include <windows.h>

#include "athcfg/athcfg.h"
#include "framework/text/text.h"
#include "monitor/adapter/adapter_session.h"
#include "monitor/profiles/keys/profile_keys.h"
#include "monitor/profiles/profile_rules.h"
#include "monitor/res/resource.h"

using profile_rules::CopyKind;

ProfileStore::ProfileStore(AdapterSession& session, ProfileEditState& edit, StorePages& pages)
    : session_(session), edit_(edit), pages_(pages) {}

int ProfileStore::CreateProfile(const std::string& name) {
    if (!session_.mainConfig || !edit_.editProfile) return 0;
    // A longer name would not fit its registry key path.
    if (!profile_keys::NameFits(name)) {
        pages_.ShowCheckMessage(IDS_PROFILE_NAME_TOO_LONG);
        return 0;
    }
    if (int message = profile_rules::PassphraseCheck(*edit_.editProfile, edit_.editPassphrase)) {
        pages_.ShowCheckMessage(message);
        return 0;
    }

    auto* profile = new ACProfile();
    profile->name = name.c_str();
    profile->channelBand = 4;
    profile_rules::NormalisingCopy(*edit_.editProfile, *profile, CopyKind::Create,
                                   edit_.editPassphrase);
    profile->savedFlag1 = 1;
    profile->savedFlag2 = 1;
    ACAdapterConfig* config = session_.mainConfig;
    config->profiles.Add(profile);
    config->selectedIndex = config->GetProfileIndex(name.c_str());
    config->WriteConfig(0);

    StorePassphraseCreating(name, edit_.editPassphrase);
    StoreTxRate(name, edit_.editTxRate);
    session_.RefreshProfileNames();
    edit_.ClearMaskFlags();
    return 1;
}

void ProfileStore::SaveProfile(const std::string& name) {
    ACAdapterConfig* config = session_.mainConfig;
    ACProfile* target = config ? config->GetProfile(name.c_str()) : nullptr;
    if (target && edit_.editProfile) {
        profile_rules::NormalisingCopy(*edit_.editProfile, *target, CopyKind::SaveOrApply,
                                       edit_.editPassphrase);
        if (int message = profile_rules::KeyCheck(*edit_.editProfile, edit_.editPassphrase)) {
            pages_.ShowCheckMessage(message);
            pages_.ShowSecuritySubTab();
        } else {
            target->savedFlag1 = 1;
            target->savedFlag2 = 1;
            config->WriteConfig(0);
            StorePassphrase(name, edit_.editPassphrase);
            StoreTxRate(name, edit_.editTxRate);
        }
    }
    edit_.ClearMaskFlags();
}

void ProfileStore::DeleteProfile(const std::string& name) {
    ACAdapterConfig* config = session_.mainConfig;
    if (!config) return;
    if (ACProfile* profile = config->GetProfile(name.c_str())) {
        // The removed record is freed; the editor must not keep pointing at it.
        if (edit_.editProfile == profile) edit_.editProfile = nullptr;
        config->profiles.RemoveAt(config->GetProfileIndex(name.c_str()));
        config->selectedIndex = config->GetProfileIndex(config->selectedName.c_str());
        config->WriteConfig(0);
        DeleteProfileKey(name);
    }
    session_.RefreshProfileNames();
    AcsClearCache(session_.deviceName.c_str(), name.c_str());
}

int ProfileStore::LoadProfileForEdit(const std::string& name) {
    edit_.editProfile = session_.mainConfig ? session_.mainConfig->GetProfile(name.c_str()) : nullptr;
    edit_.editPassphrase = ReadPassphrase(name);
    edit_.editTxRate = ReadTxRate(name);
    return 0;
}

int ProfileStore::ReloadProfile(const std::string& name) {
    edit_.ClearMaskFlags();
    ACAdapterConfig* reload = session_.reloadConfig;
    if (reload) reload->ReadConfig(session_.deviceName.c_str(), session_.subKey.c_str());
    edit_.editProfile = reload ? reload->GetProfile(name.c_str()) : nullptr;
    edit_.editPassphrase = ReadPassphrase(name);
    edit_.editTxRate = ReadTxRate(name);
    return 0;
}

void ProfileStore::CreateDefaultProfile(uint32_t supportedModes) {
    ACAdapterConfig* config = session_.mainConfig;
    if (!config) return;
    auto* profile = new ACProfile();
    profile->name = "Default";
    profile->ssid = fw::LoadText(IDS_DEFAULT_SSID).c_str();
    profile->powerSave = 0;
    profile->infrastructure = 1;
    profile->wirelessMode = supportedModes == 12 ? 12 : 28;
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

    config->profiles.Add(profile);
    config->selectedIndex = config->GetProfileIndex("Default");
    profile->savedFlag1 = 1;
    profile->savedFlag2 = 1;
    config->WriteConfig(0);

    StorePassphraseCreating("Default", std::string());
    StoreTxRate("Default", 0);
}
