// What the command dispatcher calls: one method per operation, plus the
// message box, the help dialog, the pause between retries and the step log.
#pragma once
#include <string>

namespace drivora {

class Operations {
public:
    virtual ~Operations() = default;

    virtual void ShowMessage(const std::string& text) = 0;
    virtual void ShowHelp() = 0;
    virtual void Sleep(unsigned ms) = 0;

    // Step log: the switch the next lines belong to, one line, the file.
    virtual void BeginStep(const std::string& name) = 0;
    virtual void LogStep(const std::string& what, const std::string& outcome) = 0;
    virtual bool OpenLog(const std::string& path) = 0;
    // The log of a quiet run whose own log cannot be opened.
    virtual std::string FallbackLogPath() = 0;
    // Program and Windows version, administrator or not, and the command line.
    virtual void LogRunHeader(const std::string& commandLine) = 0;

    // Device removal and re-enumeration.
    virtual void RemoveDevicesByHardwareId() = 0;
    virtual void PurgeEnumKeys() = 0;
    virtual void RemoveNetworkDevices() = 0;
    virtual void ReenumerateRootDevices() = 0;
    virtual void RemoveDevnodesAndRescan() = 0;
    virtual int IsDevicePresent() = 0;
    // True when a device whose hardware ID begins with the device ID is plugged in, with
    // or without its driver.
    virtual bool IsCardPresent() = 0;

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
