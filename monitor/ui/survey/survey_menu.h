// The Site Survey list's context menu and the setting it keeps for the user.
#pragma once

namespace survey_menu {

// "Rescan every 30 seconds" as remembered under HKCU\Software\Halvex\Skyvane; off when the
// value is missing or not a DWORD of 0 or 1.
bool RescanSetting();
// Remembers it, creating the key on first use.
void RememberRescanSetting(bool on);

}  // namespace survey_menu
