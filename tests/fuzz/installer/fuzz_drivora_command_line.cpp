// Feeds arbitrary command lines to the dispatcher with every operation stubbed
// (log lines formatted for real), and arbitrary bytes to the DOS device name list splitter.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "installer/dispatcher.h"
#include "installer/step_log.h"
#include "installer/text_match.h"

namespace {

class StubOperations : public drivora::Operations {
public:
    explicit StubOperations(drivora::RunState& state) : state_(state) {}
    void ShowMessage(const std::string&) override {}
    void ShowHelp() override {}
    void Sleep(unsigned) override {}
    void BeginStep(const std::string& name) override { step_ = name; }
    // Command-line text reaches the log line's fixed buffer.
    void LogStep(const std::string& what, const std::string& outcome) override {
        char line[drivora::kLogLineMax];
        sink_ += drivora::FormatLogLine(line, drivora::LocalTime(), step_, what, outcome);
    }
    bool OpenLog(const std::string& path) override { return path.size() % 2 == 0; }
    std::string FallbackLogPath() override { return "C:\\TEMP\\Drivora.log"; }
    void LogRunHeader(const std::string& commandLine) override { LogStep("command line " + commandLine, "read"); }
    void RemoveDevicesByHardwareId() override { Touch(); }
    void PurgeEnumKeys() override { Touch(); }
    void RemoveNetworkDevices() override { Touch(); }
    void ReenumerateRootDevices() override {}
    void RemoveDevnodesAndRescan() override { Touch(); }
    int IsDevicePresent() override { return ++polls_ % 7 == 0; }
    bool IsCardPresent() override { return polls_ % 3 == 0; }
    void RunInfSection() override { Touch(); }
    void PurgeNetClassEntries() override { Touch(); }
    void PurgeLegacyNetClassEntries() override { Touch(); }
    void StopZeroConfigService() override {}
    void StartZeroConfigService() override {}
    void DisableZeroConfigForAdapter() override {
        if (++polls_ % 3 == 0) state_.adapterPending = 0;
    }
    void EnableZeroConfigForAdapter() override {}
    void TerminateProcessByName(const std::string& name) override { sink_ += name.size(); }

private:
    // Reads every setting to the terminator, so a missing one shows up under ASan.
    void Touch() {
        const drivora::CommandSettings& s = state_.settings;
        sink_ += std::string(s.deviceId.c_str()).size() + std::string(s.infPath.c_str()).size() +
                 std::string(s.infSection.c_str()).size() + std::string(s.processName.c_str()).size() +
                 std::string(s.logPath.c_str()).size();
    }
    drivora::RunState& state_;
    int polls_ = 0;
    std::size_t sink_ = 0;
    std::string step_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const char* text = reinterpret_cast<const char*>(data);
    drivora::SplitNameList(text, size);

    drivora::RunState state;
    state.osCode = data[0] % 6;
    drivora::SetDefaultSettings(state.settings, "C:\\WINDOWS");
    std::vector<std::string> args{"Drivora.exe"};
    std::string cur;
    for (std::size_t i = 1; i < size; ++i) {
        if (text[i] == '\n') {
            args.push_back(cur);
            cur.clear();
        } else {
            cur += text[i];
        }
    }
    args.push_back(cur);
    StubOperations ops(state);
    drivora::Dispatcher(state, ops).Run(args);
    return 0;
}
