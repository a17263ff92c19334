// Device removal, re-enumeration and the presence test.
#include <set>
#include <vector>

#include "installer/system/system_operations.h"
#include "installer/text_match.h"

namespace drivora {

namespace {

constexpr std::uint32_t kErrorCallNotImplemented = 120;

std::string DeviceName(const DeviceInfo& info) { return info.hasInstanceId ? info.instanceId : info.hardwareId; }

}  // namespace

void SystemOperations::RemoveDevice(DeviceList& devices, std::uint32_t index, const std::string& name) {
    const bool removed = devices.Remove(index);
    const std::uint32_t error = removed ? 0 : api_.LastError();
    if (LogResult(removed, "device " + name, "removed")) return;
    if (error != kErrorCallNotImplemented || removalUnavailableSaid_) return;
    removalUnavailableSaid_ = true;
    ShowMessage("This Windows cannot remove devices through its class installer: remove the adapter in the Device Manager");
}

void SystemOperations::RemoveDevicesByHardwareId() {
    auto devices = api_.OpenDevices(DeviceScope::AllClasses);
    if (!devices) {
        ShowMessage("Error");
        return;
    }
    const std::string id = state_.settings.deviceId.str();
    DeviceInfo info;
    for (std::uint32_t i = 0; devices->Get(i, &info); ++i) {
        if (info.hasHardwareId && UpperPrefixEquals(info.hardwareId, id)) RemoveDevice(*devices, i, DeviceName(info));
    }
    NoteRestart(*devices);
}

void SystemOperations::PurgeEnumKeys() {
    const std::string id = state_.settings.deviceId.str();
    const std::size_t slash = id.find('\\');
    // The enumerator is at most ten characters before the first backslash.
    if (slash == std::string::npos || slash == 0 || slash > 10) return;
    const std::string enumerator = id.substr(0, slash);
    const std::string key = "Enum\\" + enumerator;
    const std::size_t m = id.size() - enumerator.size() - 1;
    std::string name;
    std::uint32_t index = 0;
    while (api_.EnumSubkey(key, index, &name)) {
        // A deleted key moves the later ones up, so the same index is read again.
        if (m > 0 && enumerator + "\\" + name.substr(0, m) == id &&
            LogResult(api_.DeleteKeyTree(key + "\\" + name), "key " + key + "\\" + name, "deleted"))
            continue;
        ++index;
    }
}

void SystemOperations::RemoveNetworkDevices() {
    const std::string id = state_.settings.deviceId.str();
    if (auto devices = api_.OpenDevices(DeviceScope::NetworkPresent)) {
        DeviceInfo info;
        for (std::uint32_t i = 0; devices->Get(i, &info); ++i) {
            if (info.hasInstanceId && StartsWithNoCase(ToUpper(info.instanceId), id))
                RemoveDevice(*devices, i, info.instanceId);
        }
        NoteRestart(*devices);
    }
    PurgeEnumKeys();
    if (state_.osCode != kOsWinXP) return;
    const std::string zeroConfigKey = state_.settings.zeroConfigKey.str();
    if (!zeroConfigKey.empty()) LogResult(api_.DeleteKey(zeroConfigKey), "key " + zeroConfigKey, "deleted");
    for (const char* value : {"ActiveSettings", "ControlFlags", "LayoutVersion"})
        LogResult(api_.DeleteValue(kWzcInterfacesKey, value),
                  std::string("value ") + value + " of " + kWzcInterfacesKey, "deleted");
}

void SystemOperations::ReenumerateRootDevices() {
    auto devices = api_.OpenDevices(DeviceScope::RootEnumerator);
    if (!devices) return;
    DeviceInfo info;
    for (std::uint32_t i = 0; devices->Get(i, &info); ++i)
        LogRescan(devices->Reenumerate(i), "device " + DeviceName(info));
}

// Depth-first over the whole tree below the root. Every node is tested, first
// children too; a matching node's subtree is removed and not descended into.
// Node 0, nodes already seen and walks beyond kMaxTreeNodes end the walk, so a
// tree that reports itself as its own child cannot keep it going.
void SystemOperations::RemoveDevnodesAndRescan() {
    std::uint32_t root = 0;
    const ConfigResult located = api_.LocateRootNode(&root);
    if (located != kConfigSuccess || root == 0) {
        if (located != kConfigSuccess) LogConfigResult(located, "root device node", "located");
        ShowMessage("CM_Locate_DevNode error !");
        return;
    }
    const std::string id = state_.settings.deviceId.str();
    std::set<std::uint32_t> seen{root};
    std::vector<std::uint32_t> pending;
    auto push = [&](std::uint32_t node) {
        if (node != 0 && seen.insert(node).second) pending.push_back(node);
    };
    std::uint32_t child = 0;
    if (api_.FirstChild(root, &child)) push(child);
    int visited = 0;
    while (!pending.empty() && visited++ < kMaxTreeNodes) {
        const std::uint32_t node = pending.back();
        pending.pop_back();
        std::uint32_t next = 0;
        if (api_.NextSibling(node, &next)) push(next);
        std::string nodeId;
        if (api_.NodeId(node, &nodeId) && Contains(nodeId, id)) {
            LogConfigResult(api_.RemoveSubtree(node), "device node " + nodeId, "removed");
            continue;
        }
        if (api_.FirstChild(node, &child)) push(child);
    }
    if (api_.LocateRootNode(&root) == kConfigSuccess)
        LogRescan(api_.ReenumerateNode(root), "root device node");
}

bool SystemOperations::IsCardPresent() {
    auto devices = api_.OpenDevices(DeviceScope::AllPresent);
    if (!devices) return false;
    const std::string id = state_.settings.deviceId.str();
    DeviceInfo info;
    for (std::uint32_t i = 0; devices->Get(i, &info); ++i)
        if (info.hasHardwareId && UpperPrefixEquals(info.hardwareId, id)) return true;
    return false;
}

int SystemOperations::IsDevicePresent() {
    std::string pattern = state_.settings.deviceId.str();
    for (char& c : pattern)
        if (c == '\\') c = '#';
    std::vector<std::string> names;
    if (!api_.ListDosDevices(&names)) return 0;
    for (const std::string& name : names)
        if (StartsWith(name, pattern)) return 1;
    return 0;
}

}  // namespace drivora
