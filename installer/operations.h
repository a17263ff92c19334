// What the command dispatcher calls: one method per operation, plus the
// message box, the help dialog and the pause between retries.
#pragma once
#include <string>

namespace drivora {

class Operations {
public:
    virtual ~Operations() = default;

    virtual void ShowMessage(const std::string& text) = 0;
    virtual void ShowHelp() = 0;
    virtual void Sleep(unsigned ms) = 0;

    // Device removal and re-enumeration.
    virtual void RemoveDevicesByHardwareId() = 0;
    virtual void PurgeEnumKeys() = 0;
    virtual void RemoveNetworkDevices() = 0;
    virtual void ReenumerateRootDevices() = 0;
    virtual void RemoveDevnodesAndRescan() = 0;
    virtual int IsDevicePresent() = 0;

    // INF install and driver entry removal.
    virtual void RunInfSection() = 0;
    virtual void PurgeNetClassEntries() = 0;
    virtual void PurgeLegacyNetClassEntries() = 0;

    // Zero-Config control and process termination.
    virtual void StopZeroConfigService() = 0;
    virtual void StartZeroConfigService() = 0;
    virtual void DisableZeroConfigForAdapter() = 0;
    virtual void EnableZeroConfigForAdapter() = 0;
    virtual void TerminateProcessByName(const std::string& name) = 0;
};

}  // namespace drivora
