// Records every operation the dispatcher calls, with the settings it saw.
#pragma once
#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "installer/command_settings.h"
#include "installer/operations.h"

namespace drivora_test {

class RecordingOperations : public drivora::Operations {
public:
    explicit RecordingOperations(drivora::RunState& state) : state_(state) {}

    std::vector<std::string> calls;   // operation names and "msg:<text>"
    int presentAfterPolls = 1;        // IsDevicePresent answers 1 from this poll on
    int cardAfterPolls = 1;           // IsCardPresent answers true from this poll on
    int adaptersFoundOnAttempt = 1;   // DisableZeroConfigForAdapter clears the flag on this attempt
    unsigned sleptMs = 0;
    std::vector<std::string> failing;  // operations that throw std::bad_alloc after being recorded
    std::vector<std::string> logs;     // log files opened

    void ShowMessage(const std::string& text) override { calls.push_back("msg:" + text); }
    void ShowHelp() override { calls.push_back("help"); }
    void Sleep(unsigned ms) override { sleptMs += ms; }
    void BeginStep(const std::string&) override {}
    void LogStep(const std::string&, const std::string&) override {}
    std::vector<std::string> unopenableLogs;
    bool OpenLog(const std::string& path) override {
        logs.push_back(path);
        return std::find(unopenableLogs.begin(), unopenableLogs.end(), path) == unopenableLogs.end();
    }
    std::string FallbackLogPath() override { return "C:\\TEMP\\Drivora.log"; }
    void LogRunHeader(const std::string&) override {}

    void RemoveDevicesByHardwareId() override { Record("RemoveDevicesByHardwareId"); }
    void PurgeEnumKeys() override { Record("PurgeEnumKeys"); }
    void RemoveNetworkDevices() override { Record("RemoveNetworkDevices"); }
    void ReenumerateRootDevices() override { Record("ReenumerateRootDevices"); }
    void RemoveDevnodesAndRescan() override { Record("RemoveDevnodesAndRescan"); }
    int IsDevicePresent() override {
        ++polls_;
        return polls_ >= presentAfterPolls ? 1 : 0;
    }
    bool IsCardPresent() override { return polls_ >= cardAfterPolls; }
    void RunInfSection() override {
        calls.push_back("RunInfSection(" + state_.settings.infSection.str() + "," + state_.settings.infPath.str() + ")");
    }
    void PurgeNetClassEntries() override { Record("PurgeNetClassEntries"); }
    void PurgeLegacyNetClassEntries() override { Record("PurgeLegacyNetClassEntries"); }
    void StopZeroConfigService() override { Record("StopZeroConfigService"); }
    void StartZeroConfigService() override { Record("StartZeroConfigService"); }
    void DisableZeroConfigForAdapter() override {
        Record("DisableZeroConfigForAdapter");
        if (++attempts_ >= adaptersFoundOnAttempt) state_.adapterPending = 0;
    }
    void EnableZeroConfigForAdapter() override { Record("EnableZeroConfigForAdapter"); }
    void TerminateProcessByName(const std::string& name) override { calls.push_back("Terminate(" + name + ")"); }

    int polls() const { return polls_; }
    int attempts() const { return attempts_; }

private:
    // Device operations are recorded with the device ID they run with.
    void Record(const std::string& name) {
        calls.push_back(name + "[" + state_.settings.deviceId.str() + "]");
        if (std::find(failing.begin(), failing.end(), name) != failing.end()) throw std::bad_alloc();
    }

    drivora::RunState& state_;
    int polls_ = 0;
    int attempts_ = 0;
};

}  // namespace drivora_test
