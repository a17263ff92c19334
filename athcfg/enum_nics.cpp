// Adapter enumeration over the network class key.
#include <algorithm>
#include <cstring>

#include "athcfg/athcfg.h"
#include "athcfg/registry.h"
#include "athcfg/sim/sim_interface.h"

namespace {

bool IsOurVendor(std::string componentId) {
    std::transform(componentId.begin(), componentId.end(), componentId.begin(),
                   [](unsigned char c) { return static_cast<char>(tolower(c)); });
    return componentId.find("ven_168c") != std::string::npos;
}

}  // namespace

ACEnumNics::ACEnumNics() { std::memset(libraryOnly_, 0, sizeof libraryOnly_); }
ACEnumNics::~ACEnumNics() = default;

void ACEnumNics::GetAllAtherosAdapters() {
    Nics.RemoveAll();
    NicSubKeys.RemoveAll();
    try {
        fw::RegKey cls;
        if (!cls.Open(HKEY_LOCAL_MACHINE, athcfg::kNetClassKey)) return;
        std::vector<std::string> subs = cls.SubKeys();
        std::sort(subs.begin(), subs.end());
        for (const std::string& sub : subs) {
            fw::RegKey k;
            if (!k.Open(HKEY_LOCAL_MACHINE, athcfg::DriverKeyPath(sub))) continue;
            auto component = k.ReadString("ComponentId");
            auto guid = k.ReadString("NetCfgInstanceId");
            if (!component || !IsOurVendor(*component) || !guid || guid->empty()) continue;
            Nics.Add(athcfg::sim::DeviceNameOf(*guid).c_str());
            NicSubKeys.Add(sub.c_str());
        }
    } catch (...) {
        DbgPrintf("athcfg: adapter enumeration failed\n");
    }
}

int ACEnumNics::NbrNics() const { return Nics.GetSize(); }

ACStaticNicInfo::ACStaticNicInfo() { std::memset(libraryOnly_, 0, sizeof libraryOnly_); }
ACStaticNicInfo::~ACStaticNicInfo() = default;
