// The installer's operations over the system layer. Device removal lives in
// device_removal.cpp, INF work in inf_operations.cpp, Zero-Config and process
// work in zero_config.cpp.
#pragma once
#include <functional>
#include <string>

#include "installer/command_settings.h"
#include "installer/operations.h"
#include "installer/step_log.h"
#include "installer/system/system_api.h"

namespace drivora {

extern const char kNetClassKey[];
extern const char kWzcInterfacesKey[];

// Bounds of the service waits: 300 ms rounds for at most 30 seconds.
constexpr unsigned kServicePollMs = 300;
constexpr int kServicePolls = 100;
// Bound of the device-tree walk, so a tree that loops cannot keep it going.
constexpr int kMaxTreeNodes = 10000;
// Bound of the Windows 98 driver scan's restarts.
constexpr int kMaxLegacyDeletions = 1000;

class SystemOperations : public Operations {
public:
    SystemOperations(RunState& state, SystemApi& api) : state_(state), api_(api) {}

    // Every message reports a failure and is logged; in quiet mode it is not shown, as if
    // OK had been pressed.
    void ShowMessage(const std::string& text) override {
        state_.failed = true;
        log_.Write("message \"" + text + "\"", state_.quiet ? "not shown (quiet)" : "shown");
        if (!state_.quiet) api_.ShowMessage(text);
    }
    void ShowHelp() override {
        log_.Write("help dialog", state_.quiet ? "not shown (quiet)" : "shown");
        if (!state_.quiet) api_.ShowHelp();
    }
    void Sleep(unsigned ms) override { api_.Sleep(ms); }

    void BeginStep(const std::string& name) override { log_.BeginStep(name); }
    void LogStep(const std::string& what, const std::string& outcome) override { log_.Write(what, outcome); }
    bool OpenLog(const std::string& path) override { return log_.Open(path); }
    std::string FallbackLogPath() override { return log_.FallbackPath(); }
    void LogRunHeader(const std::string& commandLine) override;

    void RemoveDevicesByHardwareId() override;
    void PurgeEnumKeys() override;
    void RemoveNetworkDevices() override;
    void ReenumerateRootDevices() override;
    void RemoveDevnodesAndRescan() override;
    int IsDevicePresent() override;
    bool IsCardPresent() override;

    void RunInfSection() override;
    void PurgeNetClassEntries() override;
    void PurgeLegacyNetClassEntries() override;
    // Calls `action` with the path of every network-class subkey whose
    // "ComponentId" begins with the device ID (the value upper-cased).
    void FindAdapterClassKeys(const std::function<void(const std::string&)>& action);

    void StopZeroConfigService() override;
    void StartZeroConfigService() override;
    void DisableZeroConfigForAdapter() override;
    void EnableZeroConfigForAdapter() override;
    void TerminateProcessByName(const std::string& name) override;

    // The rundll32 command line of RunInfSection; empty when it would not fit.
    std::string InfCommandLine();

private:
    enum class ServiceWait { Reached, TimedOut, Unknown };
    ServiceWait WaitForServiceState(std::uint32_t state);
    // Logs "<done>" or "not <done>" with the system's error as the outcome of a step on
    // `what`; returns `ok`. A failure marks the run failed unless what it acted on was
    // not there at all.
    bool LogResult(bool ok, const std::string& what, const char* done);
    // The same for a Configuration Manager call, with its own result code.
    bool LogConfigResult(ConfigResult result, const std::string& what, const char* done);
    void LogRescan(ConfigResult result, const std::string& what);
    void NoteRestart(DeviceList& devices);
    // Removes a listed device; a Windows without the class installer call says so once.
    void RemoveDevice(DeviceList& devices, std::uint32_t index, const std::string& name);
    void RemoveLoggedFile(const std::string& path);
    void WriteFlags(const std::string& key, const char* value, std::uint32_t data);
    // Stops the service; false (reported) when it is still not stopped at the bound.
    bool StopServiceWithinBound();
    // The adapter's "NetCfgInstanceId", or empty when missing or not a plausible name.
    std::string ReadInstanceId(const std::string& classSubkey, std::size_t maxLength);

    RunState& state_;
    SystemApi& api_;
    StepLog log_{api_};
    bool removalUnavailableSaid_ = false;
};

}  // namespace drivora
