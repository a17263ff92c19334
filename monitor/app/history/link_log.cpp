#include "monitor/app/history/link_log.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "athcfg/athcfg.h"
#include "framework/reg_key.h"
#include "framework/text/text.h"
#include "monitor/app/auto_connect/auto_connect.h"
#include "monitor/res/resource.h"
#include "monitor/ui/status_format.h"

namespace link_log {

namespace {
constexpr char kSettingsKey[] = "Software\\Halvex\\Skyvane";
constexpr char kHistoryValue[] = "LinkHistory";
constexpr char kNoticesValue[] = "Notices";
}  // namespace

link_history::History Load() {
    link_history::History history;
    fw::RegKey key;
    if (!key.Open(HKEY_CURRENT_USER, kSettingsKey)) return history;
    std::optional<std::vector<uint8_t>> bytes = key.ReadBinary(kHistoryValue, link_history::kMaxStoredBytes);
    if (bytes) history.Load(std::string(bytes->begin(), bytes->end()));
    return history;
}

void Save(const link_history::History& history) {
    fw::RegKey key;
    std::string text = history.Save();
    if (key.Create(HKEY_CURRENT_USER, kSettingsKey)) key.WriteBinary(kHistoryValue, text.data(), text.size());
}

std::string Now() {
    SYSTEMTIME t = {};
    GetLocalTime(&t);
    return fw::Format("%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
}

std::string Describe(const link_history::Event& e) {
    using link_history::Cause;
    using link_history::Kind;
    switch (e.kind) {
    case Kind::LinkUp:
        return fw::Format(fw::LoadText(IDS_EVENT_LINK_UP).c_str(), e.ssid.c_str(), e.channel, e.rateMbps);
    case Kind::AddressChanged:
        return fw::Format(fw::LoadText(IDS_EVENT_ADDRESS).c_str(), e.address.c_str());
    case Kind::AutoConnect: return AutoConnectEventText(e);
    case Kind::LinkDown: break;
    }
    UINT id = e.cause == Cause::RadioOff         ? IDS_EVENT_DOWN_RADIO
              : e.cause == Cause::AdapterRemoved ? IDS_EVENT_DOWN_REMOVED
              : e.cause == Cause::Applied        ? IDS_EVENT_DOWN_APPLIED
                                                 : IDS_EVENT_DOWN_SIGNAL;
    return fw::Format(fw::LoadText(id).c_str(), e.ssid.c_str(), e.signal);
}

int ChannelOf(const StatusRecord& status) {
    uint32_t mhz = status.FrequencyMHz();
    return ChannelNumber(mhz, mhz > 5000 ? 0 : ACWlanConvert2GHztoCh(int(mhz)));
}

bool NoticesOn() {
    fw::RegKey key;
    if (!key.Open(HKEY_CURRENT_USER, kSettingsKey)) return true;
    std::optional<uint32_t> value = key.ReadDword(kNoticesValue);
    return !value || *value != 0;
}

void RememberNotices(bool on) {
    fw::RegKey key;
    if (key.Create(HKEY_CURRENT_USER, kSettingsKey)) key.WriteDword(kNoticesValue, on ? 1 : 0);
}

}  // namespace link_log
