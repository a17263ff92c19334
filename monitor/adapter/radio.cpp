// Switching the driver's radio, and keeping the choice in the adapter's driver key so that
// it outlasts a restart.
#include <windows.h>

#include <memory>

#include "athcfg/athcfg.h"
#include "monitor/adapter/adapter_session.h"
#include "monitor/adapter/oids.h"

void AdapterSession::SwitchRadio(int value) {
    DWORD data = static_cast<DWORD>(value);
    DWORD read = 0;
    int ok = AcsSetOid(deviceName.c_str(), oid::kRadio, &read, &data, sizeof data);
    // A refused set leaves the registry as it was.
    if (!ok || read == 0 || AdapterCount() == 0) return;

    auto config = std::make_unique<ACAdapterConfig>();
    config->ReadConfig(enumerator->Nics.GetAt(0), enumerator->NicSubKeys.GetAt(0));
    ACString path = config->GetRegistryPath(enumerator->NicSubKeys.GetAt(0));
    ACRegKey key;
    if (key.OpenKey(HKEY_LOCAL_MACHINE, path.c_str()))
        key.SetValue("radioEnable", value ? "1" : "0");
}
