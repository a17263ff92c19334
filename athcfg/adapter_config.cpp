// One adapter's configuration: the profile list, the selection, and handing the
// active profile to the driver.
#include <cstring>

#include "athcfg/athcfg.h"
#include "athcfg/profile_store.h"
#include "athcfg/registry.h"
#include "athcfg/transport.h"

ACAdapterConfig::ACAdapterConfig() : selectedIndex(-1) { std::memset(libraryOnly_, 0, sizeof libraryOnly_); }
ACAdapterConfig::~ACAdapterConfig() = default;

int ACAdapterConfig::ReadConfig(const char* deviceName, const char* subKey) {
    deviceName_ = deviceName;
    subKey_ = subKey;
    selectedIndex = -1;
    selectedName = "";
    if (subKey_.empty()) {
        profiles.RemoveAll();
        return 0;
    }
    try {
        std::string selected;
        if (!athcfg::ReadProfiles(athcfg::DriverKeyPath(subKey_.c_str()), profiles, selected)) return 0;
        selectedIndex = GetProfileIndex(selected.c_str());
        // A stored selection that names no profile falls back to the first one.
        if (selectedIndex < 0 && profiles.GetSize() > 0) selectedIndex = 0;
        if (selectedIndex >= 0) selectedName = profiles.GetAt(selectedIndex)->name;
        return 1;
    } catch (...) {
        return 0;
    }
}

int ACAdapterConfig::WriteConfig(int flag) {
    if (subKey_.empty()) return 0;
    ACProfile* current = profiles.GetAt(selectedIndex);
    selectedName = current ? current->name.c_str() : "";
    try {
        return athcfg::WriteProfiles(athcfg::DriverKeyPath(subKey_.c_str()), profiles, selectedName.c_str()) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

ACString ACAdapterConfig::GetRegistryPath(const char* subKey) const {
    return ACString(athcfg::DriverKeyPath(subKey ? subKey : "").c_str());
}

int ACAdapterConfig::NbrProfiles() const { return profiles.GetSize(); }

void ACAdapterConfig::GetProfileArray(ACStringArray& names) const {
    names.RemoveAll();
    for (int i = 0; i < profiles.GetSize(); ++i) names.Add(profiles.GetAt(i)->name.c_str());
}

ACProfile* ACAdapterConfig::GetCurrentProfile() const { return profiles.GetAt(selectedIndex); }

ACProfile* ACAdapterConfig::GetProfile(const char* name) const { return profiles.GetAt(GetProfileIndex(name)); }

int ACAdapterConfig::GetProfileIndex(const char* name) const {
    if (!name) return -1;
    for (int i = 0; i < profiles.GetSize(); ++i)
        if (std::strcmp(profiles.GetAt(i)->name.c_str(), name) == 0) return i;
    return -1;
}

int ACAdapterConfig::SetProfile(const char* name) {
    const int index = GetProfileIndex(name);
    if (index < 0) return 0;
    selectedIndex = index;
    selectedName = name;
    try {
        // Only the selection is stored; unsaved edits of other records stay in memory.
        fw::RegKey k;
        if (k.Open(HKEY_LOCAL_MACHINE, athcfg::DriverKeyPath(subKey_.c_str()) + "\\Profiles", KEY_ALL_ACCESS))
            k.WriteString("Selected", selectedName.c_str());
        return athcfg::Transport().Activate(deviceName_.c_str(), athcfg::SettingsOf(*profiles.GetAt(index))) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int ACAdapterConfig::ActivateProfile(ACProfile* profile) {
    if (!profile) return 0;
    try {
        return athcfg::Transport().Activate(deviceName_.c_str(), athcfg::SettingsOf(*profile)) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}
