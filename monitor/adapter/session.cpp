// The adapter session: discovery through the configuration library and the small
// status queries. Members of the one global CMonitorDlg.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "athcfg/athcfg.h"
#include "monitor/adapter/channel_index.h"
#include "monitor/adapter/oids.h"
#include "monitor/adapter/zero_config.h"
#include "monitor/adapter/zero_config_flags.h"
#include "monitor/app/monitor_app.h"
#include "monitor/ui/monitor_dlg.h"

namespace {
DWORD QueryDword(const std::string& device, DWORD oidCode) {
    DWORD value = 0, written = 0, length = sizeof value;
    AcsGetOid(device.c_str(), oidCode, &written, &value, &length);
    return value;
}

std::string ReadInterfaceGuid(const ACAdapterConfig& config, const std::string& subKey) {
    ACString path = config.GetRegistryPath(subKey.c_str());
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::string();
    char guid[50] = {};
    DWORD size = sizeof guid - 1;  // keep the terminator even when the value has none
    RegQueryValueExA(key, "NetCfgInstanceId", nullptr, nullptr, reinterpret_cast<BYTE*>(guid),
                     &size);
    RegCloseKey(key);
    return guid;
}
}  // namespace

int CMonitorDlg::Discover() {
    adapterNames.assign(kAdapterSlots, std::string());
    adapterSubKeys.assign(kAdapterSlots, std::string());

    if (!ThreadInit(1)) {
        std::printf("COM Initialization failed\n.");
        CloseSession();
        theApp.adapterPresent = 0;
        return 0;
    }
    enumerator = new ACEnumNics();
    staticInfo = new ACStaticNicInfo();
    enumerator->GetAllAtherosAdapters();
    int count = enumerator->NbrNics();
    if (count < 1) {
        CloseSession();
        theApp.adapterPresent = 0;
        return 0;
    }
    mainConfig = new ACAdapterConfig();
    reloadConfig = new ACAdapterConfig();
    for (int i = 0; i < count && i < kAdapterSlots; ++i) {
        adapterNames[i] = enumerator->Nics.GetAt(i);
        adapterSubKeys[i] = enumerator->NicSubKeys.GetAt(i);
    }
    deviceName = enumerator->Nics.GetAt(0);
    subKey = enumerator->NicSubKeys.GetAt(0);
    theApp.adapterPresent = 1;

    mainConfig->ReadConfig(deviceName.c_str(), subKey.c_str());
    interfaceGuid = ReadInterfaceGuid(*mainConfig, subKey);

    if (zc::CurrentOsCode() == 5 && zc::Check(interfaceGuid) == 0)
        zc::HandOver(interfaceGuid, zc::kTakeOver);

    if (mainConfig->NbrProfiles() == 0) CreateDefaultProfile();
    ACStringArray names;
    mainConfig->GetProfileArray(names);
    profileNames.clear();
    for (int i = 0; i < names.GetSize(); ++i) profileNames.push_back(names.GetAt(i));
    return 1;
}

void CMonitorDlg::CloseSession() {
    // The edited record may belong to a configuration that goes away now.
    theApp.ResetEditProfile();
    delete staticInfo;
    delete enumerator;
    delete mainConfig;
    delete reloadConfig;
    staticInfo = nullptr;
    enumerator = nullptr;
    mainConfig = nullptr;
    reloadConfig = nullptr;
    ThreadInit(0);
}

std::string CMonitorDlg::CurrentProfileName() const {
    ACProfile* current = mainConfig ? mainConfig->GetCurrentProfile() : nullptr;
    return current ? current->name.c_str() : "";
}

std::string CMonitorDlg::CurrentProfileUserName() const {
    ACProfile* current = mainConfig ? mainConfig->GetCurrentProfile() : nullptr;
    return current ? current->defaultUserName.c_str() : "";
}

int32_t CMonitorDlg::LinkQuality() const {
    return static_cast<int32_t>(QueryDword(deviceName, oid::kLinkQuality));
}

int32_t CMonitorDlg::RadioState() const {
    return static_cast<int32_t>(QueryDword(deviceName, oid::kRadio));
}

int32_t CMonitorDlg::AuthenticationMode() const {
    return static_cast<int32_t>(QueryDword(deviceName, oid::kAuthenticationMode));
}

int CMonitorDlg::ApplyCurrentProfile(const std::string& name) {
    if (!mainConfig) return 0;
    int result = mainConfig->SetProfile(name.c_str());
    Sleep(1000);  // the driver needs the time to take the profile
    DWORD rate = static_cast<DWORD>(ReadTxRate(name));
    DWORD read = 0;
    AcsSetOid(deviceName.c_str(), oid::kTxRate, &read, &rate, sizeof rate);
    return result;
}

int CMonitorDlg::ChannelIndex() const {
    unsigned mhz = theApp.Status().FrequencyMHz();
    return ::ChannelIndex(mhz, mhz > 5000 ? 0 : ACWlanConvert2GHztoCh(static_cast<int>(mhz)));
}

bool CMonitorDlg::ReadStatusRecord() {
    uint8_t record[kStatusRecordSize] = {};
    DWORD written = 0, length = sizeof record;
    if (!AcsGetOid(deviceName.c_str(), oid::kStatusRecord, &written, record, &length) || written == 0)
        return false;
    std::memcpy(theApp.statusRecord, record, sizeof record);
    return true;
}

int CMonitorDlg::AdapterCount() const { return enumerator ? enumerator->NbrNics() : 0; }

int CMonitorDlg::AdapterPresent() const { return theApp.adapterPresent; }

bool CMonitorDlg::Disconnected() const { return theApp.Status().Disconnected(); }

int CMonitorDlg::ModelNumber() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Halvex\\TelvaraWevo54\\", 0, KEY_READ,
                      &key) != ERROR_SUCCESS)
        return 108;
    RegCloseKey(key);
    return 54;
}
