#include "monitor/app/auto_connect/auto_connect.h"

#include <windows.h>

#include <optional>

#include "athcfg/athcfg.h"
#include "framework/reg_key.h"
#include "framework/text/text.h"
#include "monitor/adapter/zero_config.h"
#include "monitor/adapter/zero_config_flags.h"
#include "monitor/app/monitor_app.h"
#include "monitor/res/resource.h"
#include "monitor/ui/monitor_dlg.h"

using auto_connect::Finding;
using auto_connect::Step;

namespace {

// One key per adapter under the user's own settings.
constexpr char kPreferredKey[] = "Software\\Halvex\\Skyvane\\Preferred\\";
constexpr char kSwitchValue[] = "AutoConnect";
constexpr char kOrderValue[] = "Order";

// The adapter's network interface names it; without one, its configuration sub key.
std::string AdapterKey() {
    const AdapterSession& s = theApp.session;
    if (theApp.adapterPresent <= 0) return std::string();
    return kPreferredKey + (s.interfaceGuid.empty() ? s.subKey : s.interfaceGuid);
}

std::vector<std::string> StoredOrder(const std::string& key) {
    fw::RegKey k;
    if (key.empty() || !k.Open(HKEY_CURRENT_USER, key)) return {};
    auto bytes = k.ReadBinary(kOrderValue, auto_connect::kMaxOrderBytes);
    return bytes ? auto_connect::OrderNames(std::string(bytes->begin(), bytes->end()))
                 : std::vector<std::string>();
}

// Refusals are the attempt's to tell, in the History; the monitor window stays as it is.
class QuietPages : public StorePages {
public:
    void ShowCheckMessage(UINT) override {}
    void ShowSecuritySubTab() override {}
    void ShowStatusPage() override {}
    void ShowCurrentProfile() override { MonitorWindowPages().ShowCurrentProfile(); }
};

// The store's own apply of what is stored: an open editor keeps its profile and edits.
bool ApplyQuietly(const std::string& name) {
    QuietPages pages;
    return theApp.store.ApplyStoredProfile(name, pages);
}

}  // namespace

void AutoConnect::Reset() {
    *this = AutoConnect();
    osCode_ = zc::CurrentOsCode();
}

void AutoConnect::Poll(AutoConnectHost& host, bool connected, int32_t radio) {
    const bool adapter = theApp.adapterPresent > 0;
    // Read once per adapter found, not on every tick.
    if (!adapter) {
        adapterKey_.clear();
    } else if (adapterKey_.empty()) {
        adapterKey_ = AdapterKey();
        timing_.SetOn(SwitchOn());
    }
    if (connected) told_.clear();  // the next loss is explained afresh
    const uint32_t now = GetTickCount();
    switch (timing_.Tick({adapter, radio == 0, connected}, now)) {
    case Step::None: return;
    case Step::Joined: {
        Record(host, joining_, Finding::Connected);
        return;
    }
    case Step::Scan:
        if (Held(now)) return;
        tried_.clear();
        lastFound_.clear();
        theApp.session.StartScan();
        return;
    case Step::Missed: Record(host, joining_, Finding::NoAssociation); break;
    case Step::Choose: break;
    }
    if (!Held(now)) ChooseAndApply(host, now);
}

// Nothing is applied under the user's hands, nor while the system's service has the adapter.
bool AutoConnect::Held(uint32_t now) {
    const bool configuring = theMonitorDlg.Handle() && theMonitorDlg.currentPage == 0;
    if (!configuring && !(osCode_ == 5 && zc::Check(theApp.session.interfaceGuid) == 0)) return false;
    timing_.Hold(now);
    return true;
}

void AutoConnect::ChooseAndApply(AutoConnectHost& host, uint32_t now) {
    AdapterSession& session = theApp.session;
    session.ReadNetworkLists();
    std::vector<survey::Row> rows = survey::ReadRows(session.scanList, sizeof session.scanList,
                                                     session.vendorScanList, sizeof session.vendorScanList, false);
    auto_connect::Choice choice = auto_connect::Choose(StoredProfiles(), auto_connect::NetworksOf(rows));
    if (!choice.settled && !timing_.ScanOver(now)) return;  // the list is still filling
    for (const auto_connect::Verdict& v : choice.verdicts) {
        if (v.finding != Finding::Candidate) {
            Record(host, v, v.finding);
        } else if (tried_.insert(v.profile).second && ApplyQuietly(v.profile)) {
            joining_ = v;
            lastFound_[v.profile] = {Finding::Candidate, 0, 0};
            timing_.Applied(now);
            return;
        }
    }
    timing_.Exhausted(now);
}

std::vector<auto_connect::Profile> AutoConnect::StoredProfiles() const {
    const AdapterSession& session = theApp.session;
    ACAdapterConfig stored;
    stored.ReadConfig(session.deviceName.c_str(), session.subKey.c_str());
    ACStringArray names;
    stored.GetProfileArray(names);
    std::vector<std::string> current;
    for (int i = 0; i < names.GetSize(); ++i) current.push_back(names.GetAt(i));
    std::vector<auto_connect::Profile> profiles;
    for (const std::string& name : auto_connect::MergedOrder(StoredOrder(AdapterKey()), current))
        if (const ACProfile* record = stored.GetProfile(name.c_str()))
            profiles.push_back(auto_connect::ProfileOf(*record, name, theApp.store.ReadPassphrase(name)));
    return profiles;
}

void AutoConnect::Record(AutoConnectHost& host, const auto_connect::Verdict& v, Finding finding) {
    Found found = {finding, v.seen, v.wanted};
    lastFound_[v.profile] = found;
    auto told = told_.find(v.profile);
    if (finding != Finding::Connected && told != told_.end() && told->second == found) return;
    told_[v.profile] = found;
    link_history::Event e;
    e.kind = link_history::Kind::AutoConnect;
    e.ssid = finding == Finding::Connected ? theApp.Status().Ssid() : v.ssid;
    e.profile = v.profile;
    e.finding = int(finding);
    e.seen = v.seen;
    e.wanted = v.wanted;
    host.RecordAutoEvent(e, finding == Finding::Connected);
}

bool AutoConnect::SwitchOn() const {
    fw::RegKey k;
    std::string key = AdapterKey();
    if (key.empty() || !k.Open(HKEY_CURRENT_USER, key)) return false;
    std::optional<uint32_t> on = k.ReadDword(kSwitchValue);
    return on && *on == 1;
}

bool AutoConnect::SetSwitch(bool on) {
    fw::RegKey k;
    std::string key = AdapterKey();
    if (key.empty() || !k.Create(HKEY_CURRENT_USER, key) || !k.WriteDword(kSwitchValue, on ? 1 : 0)) return false;
    adapterKey_ = key;
    timing_.SetOn(on);
    return true;
}

std::vector<std::string> AutoConnect::Order() const {
    return auto_connect::MergedOrder(StoredOrder(AdapterKey()), theApp.session.profileNames);
}

void AutoConnect::SetOrder(const std::vector<std::string>& names) {
    fw::RegKey k;
    std::string key = AdapterKey();
    std::string bytes = auto_connect::OrderBytes(names);
    if (!key.empty() && k.Create(HKEY_CURRENT_USER, key)) k.WriteBinary(kOrderValue, bytes.data(), bytes.size());
}

std::string AutoConnect::LastFound(const std::string& profile) const {
    auto found = lastFound_.find(profile);
    if (found == lastFound_.end()) return std::string();
    return FindingText(int(found->second.finding), found->second.seen, found->second.wanted);
}

std::string FindingText(int finding, int seen, int wanted) {
    using auto_connect::Security;
    auto mode = [](int infrastructure) { return fw::LoadText(infrastructure ? IDS_WORD_INFRASTRUCTURE : IDS_WORD_AD_HOC); };
    auto security = [](int kind) {
        return kind >= 0 && kind <= int(Security::Dot1x) ? fw::LoadText(IDS_WORD_OPEN + kind) : std::string();
    };
    if (finding < 0 || finding > auto_connect::kLastFinding) return std::string();
    std::string text = fw::LoadText(IDS_FOUND_IN_RANGE + finding);
    if (Finding(finding) == Finding::ModeDiffers)
        return fw::Format(text.c_str(), mode(seen).c_str(), mode(wanted).c_str());
    if (Finding(finding) == Finding::SecurityDiffers)
        return fw::Format(text.c_str(), security(seen).c_str(), security(wanted).c_str());
    return text;
}

std::string AutoConnectEventText(const link_history::Event& e) {
    Finding finding = Finding(e.finding);
    if (finding == Finding::Connected)
        return fw::Format(fw::LoadText(IDS_AUTO_CONNECTED).c_str(), e.ssid.c_str(), e.profile.c_str());
    UINT format = finding == Finding::NoAssociation ? IDS_AUTO_TRIED : IDS_AUTO_SKIPPED;
    return fw::Format(fw::LoadText(format).c_str(), e.profile.c_str(),
                      FindingText(e.finding, e.seen, e.wanted).c_str());
}
