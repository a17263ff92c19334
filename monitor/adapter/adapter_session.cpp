#include "monitor/adapter/adapter_session.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "athcfg/athcfg.h"
#include "monitor/adapter/channel_index.h"
#include "monitor/adapter/oids.h"
#include "monitor/adapter/zero_config.h"
#include "monitor/adapter/zero_config_flags.h"

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


// Windows 98 and Me keep no interface GUID: there the MAC address finds the adapter in
// the IP helper's tables.
std::string ReadMacAddress(const std::string& device) {
    unsigned char mac[6] = {};
    DWORD written = 0, length = sizeof mac;
    if (!AcsGetOid(device.c_str(), oid::kCurrentAddress, &written, mac, &length) || written != sizeof mac)
        return std::string();
    return std::string(reinterpret_cast<char*>(mac), sizeof mac);
}
}  // namespace

AdapterSession::AdapterSession(SessionHost& host) : host_(host) {}

int AdapterSession::Discover() {
    adapterNames.assign(kAdapterSlots, std::string());
    adapterSubKeys.assign(kAdapterSlots, std::string());

    if (!ThreadInit(1)) {
        std::printf("COM Initialization failed\n.");
        CloseSession();
        host_.SetAdapterPresent(0);
        return 0;
    }
    enumerator = new ACEnumNics();
    staticInfo = new ACStaticNicInfo();
    enumerator->GetAllAtherosAdapters();
    int count = enumerator->NbrNics();
    if (count < 1) {
        CloseSession();
        host_.SetAdapterPresent(0);
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
    host_.SetAdapterPresent(1);

    mainConfig->ReadConfig(deviceName.c_str(), subKey.c_str());
    interfaceGuid = ReadInterfaceGuid(*mainConfig, subKey);
    macAddress = ReadMacAddress(deviceName);

    if (zc::CurrentOsCode() == 5 && zc::Check(interfaceGuid) == 0)
        zc::HandOver(interfaceGuid, zc::kTakeOver);

    if (mainConfig->NbrProfiles() == 0) host_.CreateDefaultProfile();
    RefreshProfileNames();
    return 1;
}

void AdapterSession::RefreshProfileNames() {
    ACStringArray names;
    mainConfig->GetProfileArray(names);
    profileNames.clear();
    for (int i = 0; i < names.GetSize(); ++i) profileNames.push_back(names.GetAt(i));
}

void AdapterSession::StartScan() {
    DWORD start = 0, read = 0;
    AcsSetOid(deviceName.c_str(), oid::kStartScan, &read, &start, sizeof start);
}

void AdapterSession::ReadNetworkLists() {
    for (uint8_t* buffer : {scanList, vendorScanList}) {
        std::memset(buffer, 0, kScanBufferSize);
        DWORD written = 0, length = kScanBufferSize;
        AcsGetOid(deviceName.c_str(), buffer == scanList ? oid::kNetworkList : oid::kVendorNetworkList, &written,
                  buffer, &length);
    }
}

void AdapterSession::CloseSession() {
    // The edited record may belong to a configuration that goes away now.
    host_.SessionClosing();
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

std::string AdapterSession::CurrentProfileName() const {
    ACProfile* current = mainConfig ? mainConfig->GetCurrentProfile() : nullptr;
    return current ? current->name.c_str() : "";
}

std::string AdapterSession::CurrentProfileUserName() const {
    ACProfile* current = mainConfig ? mainConfig->GetCurrentProfile() : nullptr;
    return current ? current->defaultUserName.c_str() : "";
}

int32_t AdapterSession::LinkQuality() const {
    return static_cast<int32_t>(QueryDword(deviceName, oid::kLinkQuality));
}

int32_t AdapterSession::RadioState() const {
    return static_cast<int32_t>(QueryDword(deviceName, oid::kRadio));
}

int32_t AdapterSession::AuthenticationMode() const {
    return static_cast<int32_t>(QueryDword(deviceName, oid::kAuthenticationMode));
}

int AdapterSession::ApplyCurrentProfile(const std::string& name, int32_t txRate) {
    if (!mainConfig) return 0;
    int result = mainConfig->SetProfile(name.c_str());
    ++activations;
    Sleep(1000);  // the driver needs the time to take the profile
    DWORD rate = static_cast<DWORD>(txRate);
    DWORD read = 0;
    AcsSetOid(deviceName.c_str(), oid::kTxRate, &read, &rate, sizeof rate);
    return result;
}

int AdapterSession::ChannelIndex(const StatusRecord& status) {
    unsigned mhz = status.FrequencyMHz();
    return ::ChannelIndex(mhz, mhz > 5000 ? 0 : ACWlanConvert2GHztoCh(static_cast<int>(mhz)));
}

bool AdapterSession::ReadStatusRecord(uint8_t (&record)[kStatusRecordSize]) const {
    uint8_t read[kStatusRecordSize] = {};
    DWORD written = 0, length = sizeof read;
    if (!AcsGetOid(deviceName.c_str(), oid::kStatusRecord, &written, read, &length) || written == 0)
        return false;
    std::memcpy(record, read, sizeof read);
    return true;
}

int AdapterSession::AdapterCount() const { return enumerator ? enumerator->NbrNics() : 0; }

int AdapterSession::ModelNumber() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Halvex\\TelvaraWevo54\\", 0, KEY_READ,
                      &key) != ERROR_SUCCESS)
        return 108;
    RegCloseKey(key);
    return 54;
}
