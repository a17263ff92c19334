// The simulated adapter's control entry points in athcfg11.dll, for tests, the
// athsim tool and scripts. The scenario text format is in SCENARIO.md.
#pragma once
#include "athcfg/athcfg.h"

extern "C" {
// Installs a scenario: replaces the simulated adapters (their network class
// subkeys), their state and recorded sets. Non-zero on success; on failure
// nothing changes and `error` (when given) receives "line N: what".
ATHCFG_API int AthSimInstallScenario(const char* text, char* error = nullptr, int errorSize = 0);
// Removes the scenario and every simulated adapter. Non-zero on success.
ATHCFG_API int AthSimClear();
// Adapter `adapter` (scenario order, from 0) appears (1) or disappears (0): its
// class subkey is created or removed; its stored profiles survive the absence.
ATHCFG_API int AthSimSetPresent(int adapter, int present);
// Freezes the simulated clock at `ms` milliseconds after installation; a
// negative value lets it run on from where it stands.
ATHCFG_API int AthSimSetTime(long long ms);
ATHCFG_API long long AthSimGetTime();
// Profile activations the driver received (SetProfile, ActivateProfile) stand in the log
// of sets with this code in place of an OID; their data is the profile's name.
constexpr DWORD kAthSimActivation = 0;

// Sets the adapter's driver received, oldest first (at most the last 256).
ATHCFG_API int AthSimRecordedCount(int adapter);
// Set number `index`: its OID, its full length and up to `dataSize` (at most 16)
// of its first bytes. Non-zero when the set exists.
ATHCFG_API int AthSimRecordedSet(int adapter, int index, DWORD* oid, void* data, DWORD dataSize, DWORD* length);
// The first 4 bytes of the latest set of `oid`, as a number. Non-zero when found.
ATHCFG_API int AthSimLastRecordedValue(int adapter, DWORD oid, DWORD* value);
ATHCFG_API int AthSimClearRecorded(int adapter);
// The next `count` stores of a profile list (WriteConfig) in this process fail after the
// first profile is written, as a registry that stops taking writes midway leaves them.
ATHCFG_API int AthSimFailProfileWrites(int count);
}
