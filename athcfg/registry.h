// The library's registry helpers: where adapters' driver keys are, and whole-tree
// copy and delete. Win32 glue.
#pragma once
#include <windows.h>

#include <string>

#include "framework/reg_key.h"

namespace athcfg {

// The network adapter class key; each adapter's driver key is a subkey of it.
extern const char kNetClassKey[];
std::string DriverKeyPath(const std::string& subKey);

bool KeyExists(HKEY root, const std::string& path);
// Deletes a key with everything below it; true when it is gone afterwards.
bool DeleteTree(HKEY root, const std::string& path);
// Copies the values and subkeys of `from` into `to` (created when missing).
bool CopyTree(HKEY root, const std::string& from, const std::string& to);

}  // namespace athcfg
