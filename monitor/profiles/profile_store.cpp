// Creating, saving, deleting and loading profiles: the library's profile list plus the
// store's own registry values, with the editing state of the application object.
#include <windows.h>

#include "athcfg/athcfg.h"
#include "framework/text.h"
#include "monitor/app/monitor_app.h"
#include "monitor/profiles/profile_keys.h"
#include "monitor/profiles/profile_rules.h"
#include "monitor/profiles/store_pages.h"
#include "monitor/ui/monitor_dlg.h"
#include "monitor/res/resource.h"

using profile_rules::CopyKind;

namespace {

void RefreshProfileNames(CMonitorDlg& dlg) {
    ACStringArray names;
    dlg.mainConfig->GetProfileArray(names);
    dlg.profileNames.clear();
    for (int i = 0; i < names.GetSize(); ++i) dlg.profileNames.push_back(names.GetAt(i));
}

}  // namespace

int CMonitorDlg::CreateProfile(const std::string& name) {
    if (!mainConfig || !theApp.editProfile) return 0;
    // A longer name would not fit its registry key path; a longer passphrase not its cipher.
    if (!profile_keys::NameFits(name)) {
        PagesOf(*this).ShowCheckMessage(IDS_PROFILE_NAME_TOO_LONG);
        return 0;
    }
    if (theApp.editPassphrase.size() > profile_rules::kMaxPassphraseChars) {
        PagesOf(*this).ShowCheckMessage(IDS_PASSPHRASE_TOO_LONG);
        return 0;
    }

    auto* profile = new ACProfile();
    profile->name = name.c_str();
    profile->channelBand = 4;
    profile_rules::NormalisingCopy(*theApp.editProfile, *profile, CopyKind::Create,
                                   theApp.editPassphrase);
    profile->savedFlag1 = 1;
    profile->savedFlag2 = 1;
    mainConfig->profiles.Add(profile);
    mainConfig->selectedIndex = mainConfig->GetProfileIndex(name.c_str());
    mainConfig->WriteConfig(0);

    StorePassphraseCreating(name, theApp.editPassphrase);
    StoreTxRate(name, theApp.editTxRate);
    RefreshProfileNames(*this);
    theApp.ClearMaskFlags();
    return 1;
}

void CMonitorDlg::SaveProfile(const std::string& name) {
    ACProfile* target = mainConfig ? mainConfig->GetProfile(name.c_str()) : nullptr;
    if (target && theApp.editProfile) {
        profile_rules::NormalisingCopy(*theApp.editProfile, *target, CopyKind::SaveOrApply,
                                       theApp.editPassphrase);
        if (int message = profile_rules::KeyCheck(*theApp.editProfile, theApp.editPassphrase)) {
            PagesOf(*this).ShowCheckMessage(message);
            PagesOf(*this).ShowSecuritySubTab();
        } else {
            target->savedFlag1 = 1;
            target->savedFlag2 = 1;
            mainConfig->WriteConfig(0);
            StorePassphrase(name, theApp.editPassphrase);
            StoreTxRate(name, theApp.editTxRate);
        }
    }
    theApp.ClearMaskFlags();
}

void CMonitorDlg::DeleteProfile(const std::string& name) {
    if (!mainConfig) return;
    if (ACProfile* profile = mainConfig->GetProfile(name.c_str())) {
        // The removed record is freed; the editor must not keep pointing at it.
        if (theApp.editProfile == profile) theApp.editProfile = nullptr;
        mainConfig->profiles.RemoveAt(mainConfig->GetProfileIndex(name.c_str()));
        mainConfig->selectedIndex = mainConfig->GetProfileIndex(mainConfig->selectedName.c_str());
        mainConfig->WriteConfig(0);
        DeleteProfileKey(name);
    }
    RefreshProfileNames(*this);
    AcsClearCache(deviceName.c_str(), name.c_str());
}

int CMonitorDlg::LoadProfileForEdit(const std::string& name) {
    theApp.editProfile = mainConfig ? mainConfig->GetProfile(name.c_str()) : nullptr;
    theApp.editPassphrase = ReadPassphrase(name);
    theApp.editTxRate = ReadTxRate(name);
    return 0;
}

int CMonitorDlg::ReloadProfile(const std::string& name) {
    theApp.ClearMaskFlags();
    if (reloadConfig) reloadConfig->ReadConfig(deviceName.c_str(), subKey.c_str());
    theApp.editProfile = reloadConfig ? reloadConfig->GetProfile(name.c_str()) : nullptr;
    theApp.editPassphrase = ReadPassphrase(name);
    theApp.editTxRate = ReadTxRate(name);
    return 0;
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
