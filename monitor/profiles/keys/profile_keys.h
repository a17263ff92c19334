// Where Skyvane keeps its own per-profile values under HKEY_LOCAL_MACHINE.
#pragma once
#include <optional>
#include <string>

namespace profile_keys {

constexpr char kRoot54[] = "SOFTWARE\\Halvex\\TelvaraWevo54\\";
constexpr char kRoot108[] = "SOFTWARE\\Halvex\\TelvaraWevo108\\";
constexpr size_t kPathBuffer = 200;  // key path bytes, terminator included
// The longest name a new profile may have; its key path fits under either model root.
constexpr size_t kMaxNameChars = 165;
static_assert(sizeof kRoot108 - 1 + kMaxNameChars < kPathBuffer, "a profile key path fits its buffer");

constexpr char kPassphraseCode[] = "PassphraseCode";
constexpr char kPassphraseCodeLength[] = "PassphraseCodeLength";
constexpr char kTxRate[] = "TxRate";

const char* ModelRoot(int model);  // 54 -> kRoot54, anything else -> kRoot108
// The model root followed by the name; nullopt when the path would not fit kPathBuffer, so a
// long name is never cut into another profile's key.
std::optional<std::string> ProfileKeyPath(int model, const std::string& name);
bool NameFits(const std::string& name);

}  // namespace profile_keys
