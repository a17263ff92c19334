// The profile being edited on the Configuration pages, with the values the store keeps
// beside the library's record.
#pragma once
#include <cstdint>
#include <string>

class ACProfile;

struct ProfileEditState {
    ACProfile* editProfile = nullptr;
    std::string editPassphrase;
    int32_t editTxRate = 0;
    // Which of the Security page's nine secret fields show their text in clear (1) rather
    // than as "*" (0).
    int maskFlags[9] = {};
    // The Configuration page's next sub-tab: 0 = Common, 1 = Security.
    int rememberedSubTab = 0;
    // Set while a join from the Site Survey opens the Configuration page: the page keeps the
    // editing state (the current profile with the chosen network) instead of reloading it.
    bool keepEdit = false;

    void ClearMaskFlags() {
        for (int& flag : maskFlags) flag = 0;
    }
};
