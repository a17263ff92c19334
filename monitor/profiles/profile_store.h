// The profile store: creating, saving, deleting, loading and applying profiles through the
// session's main configuration, with the store's own registry values (enciphered
// passphrase, transmit rate) beside them. It works on the editing state it is given.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "monitor/profiles/profile_edit_state.h"
#include "monitor/profiles/store_pages.h"

class AdapterSession;

class ProfileStore {
public:
    // `pages` hears of refusals and page switches; it must outlive the store.
    ProfileStore(AdapterSession& session, ProfileEditState& edit, StorePages& pages);

    // Returns 0 when it refused the name or the passphrase (after saying so), else 1.
    int CreateProfile(const std::string& name);
    void SaveProfile(const std::string& name);
    void DeleteProfile(const std::string& name);
    int LoadProfileForEdit(const std::string& name);
    int ReloadProfile(const std::string& name);
    // `supportedModes` is the status record's supported-modes word.
    void CreateDefaultProfile(uint32_t supportedModes);
    // Returns true when the profile was applied. The overload tells `pages` instead of the
    // store's own of refusals and of the switch to the Status page.
    bool ApplyProfile(const std::string& name);
    bool ApplyProfile(const std::string& name, StorePages& pages);

    // Moving every profile to or from a file (see profile_file.h). Nothing reaches the
    // store unless the whole file is sound and no name is taken (or `replace` is set).
    enum class Transfer { Done, NoAdapter, BadFile, Exists, WrongPassword, KeysNeeded, NotStored };
    Transfer ExportProfiles(const std::string& path, const std::string& password);
    Transfer ImportProfiles(const std::string& path, const std::string& password, bool replace);
    // The whole text of a profile file, at most 1 MiB; false when it cannot be read.
    static bool ReadProfileFile(const std::string& path, std::string& text);

    void StorePassphraseCreating(const std::string& name, const std::string& passphrase);
    void StorePassphrase(const std::string& name, const std::string& passphrase);
    std::string ReadPassphrase(const std::string& name);
    void StoreTxRate(const std::string& name, int32_t rate);
    int32_t ReadTxRate(const std::string& name);
    void DeleteProfileKey(const std::string& name);

private:
    AdapterSession& session_;
    ProfileEditState& edit_;
    StorePages& pages_;
};
