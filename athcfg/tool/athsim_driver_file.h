// The simulated adapter's driver file: athsim places it where the installed driver's file
// lies (the NT and the 98/Me locations), so its version can be read as a real driver's.
#pragma once

// Copies package\ar5211.sys from beside the running program to both locations. Returns false
// (and leaves what is there) when the package file is missing or a copy fails.
bool InstallSimDriverFile();
// Removes the driver file from both locations.
void RemoveSimDriverFile();
