// Applying a profile: store the edited settings like a save, check them, make the profile
// the adapter's own, send its transmit rate and bring the user to the Status page.
#include <windows.h>

#include "athcfg/athcfg.h"
#include "monitor/adapter/oids.h"
#include "monitor/app/monitor_app.h"
#include "monitor/profiles/profile_rules.h"
#include "monitor/profiles/store_pages.h"
#include "monitor/ui/monitor_dlg.h"

void CMonitorDlg::ApplyProfile(const std::string& name) {
    ACProfile* target = mainConfig ? mainConfig->GetProfile(name.c_str()) : nullptr;
    ACProfile* edit = theApp.editProfile;
    if (!target || !edit) return;
    const std::string& passphrase = theApp.editPassphrase;

    profile_rules::NormalisingCopy(*edit, *target, profile_rules::CopyKind::SaveOrApply,
                                   passphrase);
    profile_rules::ApplyAdditions(*target, passphrase);

    StorePages& pages = PagesOf(*this);
    if (int message = profile_rules::KeyCheck(*edit, passphrase)) {
        pages.ShowCheckMessage(message);
        pages.ShowSecuritySubTab();
        return;
    }
    profile_rules::ApplyVerdict verdict = profile_rules::ApplyCheck(*edit);
    if (!verdict.pass) {
        if (verdict.messageId) pages.ShowCheckMessage(verdict.messageId);
        pages.ShowSecuritySubTab();
        return;
    }

    mainConfig->WriteConfig(0);
    StorePassphrase(name, passphrase);
    StoreTxRate(name, theApp.editTxRate);
    mainConfig->SetProfile(target->name.c_str());
    DWORD rate = DWORD(theApp.editTxRate), read = 0;
    AcsSetOid(deviceName.c_str(), oid::kTxRate, &read, &rate, sizeof rate);
    mainConfig->ActivateProfile(target);
    rememberedSubTab = 0;
    theApp.ClearMaskFlags();
    pages.ShowStatusPage();
}
