// The one-shot command-line walk: switches run operations, parameters change
// the settings that the following switches read.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "installer/command_settings.h"
#include "installer/operations.h"

namespace drivora {

// Bounds of the two waits of the walk, chosen for unattended setup scripts.
constexpr unsigned kDisableRetryMs = 3000;
constexpr int kDisableAttempts = 20;          // about a minute of retries
constexpr unsigned kQueryDevicePollMs = 200;
constexpr int kQueryDevicePolls = 600;        // two minutes
// A card not seen within this many polls is not plugged in: the driver waits for it.
constexpr int kCardWaitPolls = 75;            // 15 seconds
// How much of a failed argument its message repeats.
constexpr std::size_t kShownArgumentMax = 60;

// True when the raw command line holds /Quiet or -Quiet: what a run that could not walk its
// arguments (no frame, no argument vector) goes by to report its failure.
bool QuietRequested(std::string_view commandLine);

class Dispatcher {
public:
    Dispatcher(RunState& state, Operations& ops) : state_(state), ops_(ops) {}

    // args[0] is the program name and is skipped.
    void Run(const std::vector<std::string>& args);

    // The hidden help switch's word, put together at run time.
    static std::string HelpWord();

    // Polls of QueryDevice before it gives up; tests shorten it.
    int queryDevicePolls = kQueryDevicePolls;

private:
    // /Quiet and the log act before every other argument, wherever they stand.
    void PrepareRun(const std::vector<std::string>& args);
    void OpenLog(const std::string& value);
    void RunArgument(const std::vector<std::string>& args, std::size_t index);
    void ReportFailedArgument(const std::string& arg);
    // True when `name` is `switchName` (any case); its log lines begin.
    bool IsSwitch(const std::string& name, const char* switchName);
    // Sets a parameter's setting, or refuses an over-long value with a message.
    template <std::size_t Capacity>
    bool SetParameter(char form, FixedText<Capacity>& setting, const std::string& value, const char* what);
    void RunDashSwitch(const std::string& name);
    void RunAnySwitch(const std::string& name);
    void RunParameter(const std::vector<std::string>& args, std::size_t index);
    void DisableZeroConfigWithRetries();
    void WaitForDevice();
    // The driver's switches on a system without them: the new driver is not in place.
    void DriverSwitchNotSupported(const char* name);
    bool NT() const;
    bool XP() const;

    RunState& state_;
    Operations& ops_;
};

}  // namespace drivora
