// How the library keeps profiles: under the adapter's driver key, subkey
// "Profiles", one numbered subkey ("000", "001", ...) per profile in list order
// with one value per ACProfile field (texts REG_SZ, numbers REG_DWORD), and the
// value "Selected" naming the current profile. Win32 glue.
#pragma once
#include <string>

#include "athcfg/athcfg.h"
#include "athcfg/model/sim_model.h"

namespace athcfg {

constexpr int kMaxStoredProfiles = 1000;

// Sets the field called `field` (the member's name) from its text.
bool SetProfileField(ACProfile& p, const std::string& field, const std::string& value, std::string& error);
// Replaces the stored profiles of the adapter whose driver key is `driverKey`
// (which must exist); false when it does not or a write fails.
// The next `count` writes fail after their first profile (AthSimFailProfileWrites).
void FailNextWrites(int count);
bool WriteProfiles(const std::string& driverKey, const ACProfileList& list, const std::string& selected);
// Loads the stored profiles; false when the driver key does not exist.
bool ReadProfiles(const std::string& driverKey, ACProfileList& list, std::string& selected);
// What the driver takes from a profile when it is activated.
athsim::ActiveSettings SettingsOf(const ACProfile& p);

}  // namespace athcfg
