// Applying a profile: store the edited settings like a save, check them, make the profile
// the adapter's own, send its transmit rate and bring the user to the Status page.
#include <windows.h>

#include "athcfg/athcfg.h"
#include "monitor/adapter/adapter_session.h"
#include "monitor/adapter/oids.h"
#include "monitor/profiles/profile_rules.h"
#include "monitor/profiles/profile_store.h"

bool ProfileStore::ApplyProfile(const std::string& name) { return ApplyProfile(name, pages_); }

bool ProfileStore::ApplyProfile(const std::string& name, StorePages& pages) {
    ACAdapterConfig* config = session_.mainConfig;
    ACProfile* target = config ? config->GetProfile(name.c_str()) : nullptr;
    ACProfile* edit = edit_.editProfile;
    if (!target || !edit) return false;
    const std::string& passphrase = edit_.editPassphrase;

    profile_rules::NormalisingCopy(*edit, *target, profile_rules::CopyKind::SaveOrApply,
                                   passphrase);
    profile_rules::ApplyAdditions(*target, passphrase);

    if (int message = profile_rules::KeyCheck(*edit, passphrase)) {
        pages.ShowCheckMessage(message);
        pages.ShowSecuritySubTab();
        return false;
    }
    profile_rules::ApplyVerdict verdict = profile_rules::ApplyCheck(*edit);
    if (!verdict.pass) {
        if (verdict.messageId) pages.ShowCheckMessage(verdict.messageId);
        pages.ShowSecuritySubTab();
        return false;
    }

    config->WriteConfig(0);
    StorePassphrase(name, passphrase);
    StoreTxRate(name, edit_.editTxRate);
    config->SetProfile(target->name.c_str());
    DWORD rate = DWORD(edit_.editTxRate), read = 0;
    AcsSetOid(session_.deviceName.c_str(), oid::kTxRate, &read, &rate, sizeof rate);
    config->ActivateProfile(target);
    edit_.rememberedSubTab = 0;
    edit_.ClearMaskFlags();
    pages.ShowStatusPage();
    return true;
}
