// A session on the simulated adapter, with the store's messages and page switches recorded.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "athcfg/athcfg.h"
#include "monitor/app/monitor_app.h"
#include "monitor/profiles/profile_store.h"
#include "tests/support/sim_scenario.h"

namespace storetest {

const char kRoot108[] = "SOFTWARE\\Halvex\\TelvaraWevo108\\";
const char kRoot54[] = "SOFTWARE\\Halvex\\TelvaraWevo54\\";

class RecordingPages : public StorePages {
public:
    void ShowCheckMessage(UINT textId) override { events.push_back("message " + std::to_string(textId)); }
    void ShowSecuritySubTab() override { events.push_back("security"); }
    void ShowStatusPage() override { events.push_back("status"); }
    void ShowCurrentProfile() override { events.push_back("current"); }
    std::vector<std::string> events;
};

// Type and byte count of a value; type 0 when it is missing.
inline std::pair<DWORD, DWORD> ValueShape(const std::string& path, const char* name) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return {0, 0};
    DWORD type = 0, size = 0;
    LONG r = RegQueryValueExA(k, name, nullptr, &type, nullptr, &size);
    RegCloseKey(k);
    return r == ERROR_SUCCESS ? std::make_pair(type, size) : std::make_pair(DWORD(0), DWORD(0));
}

inline bool KeyExists(const std::string& path) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

class StoreTest : public ::testing::Test {
protected:
    // Opens a session on one adapter holding `profiles` (scenario profile lines) and loads
    // `edit` for editing. With `withKeys` each profile also gets its registry key, as the
    // ones the program created have.
    void Open(const std::string& profiles, const std::string& edit, bool withKeys = true) {
        testsim::ClearProductKeys();
        testsim::Install(testsim::Adapter(0) + profiles);
        ASSERT_EQ(1, theApp.session.Discover());
        theApp.rememberedSubTab = 0;
        AthSimClearRecorded(0);
        if (withKeys)
            for (const std::string& name : theApp.session.profileNames)
                store.StorePassphraseCreating(name, "");
        store.LoadProfileForEdit(edit);
        ASSERT_NE(nullptr, theApp.editProfile);
    }

    void TearDown() override {
        theApp.session.CloseSession();
        theApp.editProfile = nullptr;
        theApp.editPassphrase.clear();
        theApp.editTxRate = 0;
        theApp.adapterPresent = 0;
        AthSimClear();
        testsim::ClearProductKeys();
    }

    ACProfile& Edit() { return *theApp.editProfile; }

    // The record as the library stored it, read through a fresh configuration.
    ACProfile* Stored(const std::string& name) {
        fresh_.ReadConfig(theApp.session.deviceName.c_str(), theApp.session.subKey.c_str());
        return fresh_.GetProfile(name.c_str());
    }

    static std::string KeyPath(const std::string& name) { return std::string(kRoot108) + name; }

    RecordingPages pages;
    ProfileStore store{theApp.session, theApp, pages};

private:
    ACAdapterConfig fresh_;
};

}  // namespace storetest
