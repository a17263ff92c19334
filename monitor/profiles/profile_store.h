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
    // Returns true when the profile was applied.
    bool ApplyProfile(const std::string& name);
    // Applies profile `name` as it is stored (its record, passphrase and rate), for a choice
    // made outside the editor: the tray menu, a command, a connection the program makes by
    // itself. It reads its own copy of the stored profile and leaves the editing state alone;
    // the editor's record of that profile in memory keeps its unsaved edits. `pages` hears of
    // a refusal and, on success, that another profile is current. Returns true when applied.
    bool ApplyStoredProfile(const std::string& name, StorePages& pages);

    // Moving every profile to or from the text of a profile file (see profile_file.h).
    enum class Transfer {
        Done, NoAdapter, BadFile, NameTwice, ValueTooLong, Exists, WrongPassword, Changed,
        KeysNeeded, NotStored, NotRestored
    };
    struct TransferOutcome {
        Transfer result = Transfer::Done;
        size_t line = 0;    // a malformed file's wrong line
        std::string names;  // what a refusal is about; with KeysNeeded, the profiles concerned
        std::string text;   // the exported file
    };
    // The file's text under `password` (no secrets without one); BadFile names the value
    // that cannot be written.
    TransferOutcome ExportProfiles(const std::string& password);
    // Nothing reaches the store unless the whole text is sound and no name is taken (names
    // are compared without regard to case) or `replace` is set. A replaced profile whose
    // keys the file left out keeps its own; new ones without keys are KeysNeeded. When the
    // library or the registry cannot store the result, the previous profiles are written
    // back (NotRestored when even that fails).
    TransferOutcome ImportProfiles(const std::string& text, const std::string& password, bool replace);

    // Two names are one profile when they are one registry key: without regard to case.
    static bool SameName(const std::string& a, const std::string& b);

    // False when the registry did not take the value.
    bool StorePassphraseCreating(const std::string& name, const std::string& passphrase);
    bool StorePassphrase(const std::string& name, const std::string& passphrase);
    std::string ReadPassphrase(const std::string& name);
    bool StoreTxRate(const std::string& name, int32_t rate);
    int32_t ReadTxRate(const std::string& name);
    void DeleteProfileKey(const std::string& name);

private:
    AdapterSession& session_;
    ProfileEditState& edit_;
    StorePages& pages_;
};
