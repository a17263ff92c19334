// Runs a test program as if on a given Windows version. Wine reads the version a program
// sees from HKCU\Software\Wine\AppDefaults\<exe>\Version when the program starts, so the
// program sets that value and starts itself again.
#pragma once

// `version` is a Wine version name ("winxp", "win2k", "win98", "winme", "win7").
// Returns -1 when the running process already sees that version (go on with the tests);
// otherwise the exit code of the restarted copy, which the caller returns from main.
int RerunAsWindowsVersion(const char* version);

// Makes Wine report `version` to the program named `exeName` ("Drivora.exe") from its next start.
bool SetWineVersion(const char* exeName, const char* version);
