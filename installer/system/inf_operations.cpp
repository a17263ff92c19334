// INF install and removal of what an earlier installation left behind.
#include "installer/system/system_operations.h"
#include "installer/text_match.h"

namespace drivora {

const char kNetClassKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}";
const char kWzcInterfacesKey[] = "SOFTWARE\\Microsoft\\WZCSVC\\Parameters\\Interfaces";

namespace {

const char kNetworkKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}";
const char kLegacyNetClassKey[] = "System\\CurrentControlSet\\Services\\Class\\Net";
constexpr std::size_t kCommandLineMax = 999;
constexpr std::size_t kInfPathMax = 199;
constexpr std::size_t kLegacyInfPathMax = 99;
constexpr std::size_t kInstanceIdMax = 199;

// An installed INF's name as the registry gives it: a plain file name, so that a
// damaged value cannot make us delete a file outside the INF folder.
bool IsPlainFileName(const std::string& name, std::size_t maxLength) {
    if (name.empty() || name.size() > maxLength) return false;
    if (name == "." || name == "..") return false;
    return name.find_first_of("\\/:") == std::string::npos;
}

}  // namespace

void SystemOperations::RemoveLoggedFile(const std::string& path) {
    LogResult(api_.RemoveFile(path), "file " + path, "deleted");
}

std::string SystemOperations::InfCommandLine() {
    const std::string system = api_.SystemDirectory();
    std::string line = system + "\\rundll32.exe " + system + "\\SETUPAPI.DLL,InstallHinfSection " +
                       state_.settings.infSection.str() + " 128 " + state_.settings.infPath.str();
    return line.size() > kCommandLineMax ? std::string() : line;
}

// A failure here leaves the new driver out of place. Whether the installer succeeds is not
// learnt here; QueryDevice waits for the device.
void SystemOperations::RunInfSection() {
    if (state_.settings.infSection.empty() || state_.settings.infPath.empty()) {
        state_.driverFailed = true;
        ShowMessage("RunINF needs an INF path and an INF section");
        return;
    }
    const std::string line = InfCommandLine();
    if (line.empty()) {
        state_.driverFailed = true;
        ShowMessage("RunINF command line too long");
        return;
    }
    if (!LogResult(api_.StartProgram(line),
                   "section " + state_.settings.infSection.str() + " of " + state_.settings.infPath.str(),
                   "installer started"))
        state_.driverFailed = true;
}

std::string SystemOperations::ReadInstanceId(const std::string& classSubkey, std::size_t maxLength) {
    std::string id;
    if (!api_.ReadString(classSubkey, "NetCfgInstanceId", &id)) return std::string();
    if (id.size() > maxLength || id.find_first_of("\\/") != std::string::npos) return std::string();
    return id;
}

void SystemOperations::FindAdapterClassKeys(const std::function<void(const std::string&)>& action) {
    const std::string id = state_.settings.deviceId.str();
    std::string name;
    for (std::uint32_t i = 0; api_.EnumSubkey(kNetClassKey, i, &name); ++i) {
        if (name.empty()) continue;
        const std::string subkey = std::string(kNetClassKey) + "\\" + name;
        std::string component;
        if (api_.ReadString(subkey, "ComponentId", &component) && UpperPrefixEquals(component, id))
            action(subkey);
    }
}

void SystemOperations::PurgeNetClassEntries() {
    const std::string infDir = api_.WindowsDirectory() + "\\INF\\";
    FindAdapterClassKeys([&](const std::string& subkey) {
        std::string infPath;
        if (api_.ReadString(subkey, "InfPath", &infPath) && IsPlainFileName(infPath, kInfPathMax)) {
            RemoveLoggedFile(infDir + infPath);
            // The compiled INF sits beside it with the extension ".PNF".
            if (infPath.size() > 4 && EqualsNoCase(infPath.substr(infPath.size() - 4), ".inf"))
                RemoveLoggedFile(infDir + infPath.substr(0, infPath.size() - 4) + ".PNF");
        }
        const std::string instance = ReadInstanceId(subkey, kInstanceIdMax);
        if (instance.empty()) return;
        const std::string connection = std::string(kNetworkKey) + "\\" + instance;
        LogResult(api_.DeleteKey(connection + "\\Connection"), "key " + connection + "\\Connection", "deleted");
        LogResult(api_.DeleteKey(connection), "key " + connection, "deleted");
        if (state_.osCode == kOsWinXP &&
            state_.settings.zeroConfigKey.Assign(std::string(kWzcInterfacesKey) + "\\" + instance))
            log_.Write("key " + state_.settings.zeroConfigKey.str(), "to be deleted with the devices");
    });
}

void SystemOperations::PurgeLegacyNetClassEntries() {
    const std::string id = state_.settings.deviceId.str();
    const std::string windows = api_.WindowsDirectory();
    std::string name;
    std::uint32_t index = 0;
    int deletions = 0;
    while (api_.EnumSubkey(kLegacyNetClassKey, index, &name)) {
        const std::string subkey = std::string(kLegacyNetClassKey) + "\\" + name;
        std::string matching;
        if (!api_.ReadString(subkey, "MatchingDeviceId", &matching) || !StartsWith(matching, id)) {
            ++index;
            continue;
        }
        std::string infPath;
        if (api_.ReadString(subkey, "InfPath", &infPath) && IsPlainFileName(infPath, kLegacyInfPathMax)) {
            RemoveLoggedFile(windows + "\\inf\\" + infPath);
            RemoveLoggedFile(windows + "\\inf\\Other\\" + infPath);
        }
        // The remaining subkeys move up after a deletion: scan again from the first.
        if (LogResult(api_.DeleteKeyTree(subkey), "key " + subkey, "deleted") && ++deletions < kMaxLegacyDeletions)
            index = 0;
        else ++index;
    }
}

}  // namespace drivora
