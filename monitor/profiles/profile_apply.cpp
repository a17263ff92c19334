// Applying a profile: store the edited settings like a save, check them, make the profile
// the adapter's own, send its transmit rate and bring the user to the Status page; or, from
// outside the editor, apply a profile as it is stored.
#include <windows.h>

#include "athcfg/athcfg.h"
#include "monitor/adapter/adapter_session.h"
#include "monitor/adapter/oids.h"
#include "monitor/profiles/profile_rules.h"
#include "monitor/profiles/profile_store.h"

namespace {
// The key check, then the apply check; false (after telling `pages`) when one fails.
bool PassesApplyChecks(const ACProfile& profile, const std::string& passphrase, StorePages& pages) {
    if (int message = profile_rules::KeyCheck(profile, passphrase)) {
        pages.ShowCheckMessage(message);
        return false;
    }
    profile_rules::ApplyVerdict verdict = profile_rules::ApplyCheck(profile);
    if (!verdict.pass && verdict.messageId) pages.ShowCheckMessage(verdict.messageId);
    return verdict.pass;
}
}  // namespace

bool ProfileStore::ApplyProfile(const std::string& name) {
    ACAdapterConfig* config = session_.mainConfig;
    ACProfile* target = config ? config->GetProfile(name.c_str()) : nullptr;
    ACProfile* edit = edit_.editProfile;
    if (!target || !edit) return false;
    const std::string& passphrase = edit_.editPassphrase;

    profile_rules::NormalisingCopy(*edit, *target, profile_rules::CopyKind::SaveOrApply,
                                   passphrase);
    profile_rules::ApplyAdditions(*target, passphrase);

    if (!PassesApplyChecks(*edit, passphrase, pages_)) {
        pages_.ShowSecuritySubTab();
        return false;
    }

    config->WriteConfig(0);
    StorePassphrase(name, passphrase);
    StoreTxRate(name, edit_.editTxRate);
    config->SetProfile(target->name.c_str());
    DWORD rate = DWORD(edit_.editTxRate), read = 0;
    AcsSetOid(session_.deviceName.c_str(), oid::kTxRate, &read, &rate, sizeof rate);
    config->ActivateProfile(target);
    ++session_.activations;
    edit_.rememberedSubTab = 0;
    edit_.ClearMaskFlags();
    pages_.ShowStatusPage();
    return true;
}

bool ProfileStore::ApplyStoredProfile(const std::string& name, StorePages& pages) {
    ACAdapterConfig* config = session_.mainConfig;
    if (!config || config->GetProfileIndex(name.c_str()) < 0) return false;
    // The main configuration's records are the editor's: one may hold edits not saved.
    ACAdapterConfig stored;
    if (!stored.ReadConfig(session_.deviceName.c_str(), session_.subKey.c_str())) return false;
    ACProfile* target = stored.GetProfile(name.c_str());
    if (!target) return false;
    const std::string passphrase = ReadPassphrase(name);
    profile_rules::NormalisingCopy(*target, *target, profile_rules::CopyKind::SaveOrApply, passphrase);
    profile_rules::ApplyAdditions(*target, passphrase);

    if (!PassesApplyChecks(*target, passphrase, pages)) return false;

    // Nothing is stored but the selection: the driver takes the record as it is stored.
    stored.SetProfile(target->name.c_str());
    DWORD rate = DWORD(ReadTxRate(name)), read = 0;
    AcsSetOid(session_.deviceName.c_str(), oid::kTxRate, &read, &rate, sizeof rate);
    stored.ActivateProfile(target);
    ++session_.activations;
    config->selectedIndex = config->GetProfileIndex(name.c_str());
    config->selectedName = name.c_str();
    pages.ShowCurrentProfile();
    return true;
}
