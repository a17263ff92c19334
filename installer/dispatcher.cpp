#include "installer/dispatcher.h"

#include "installer/step_log.h"
#include "installer/text_match.h"

namespace drivora {

namespace {

const char kNoSupport[] = " Command No Support";

std::string TooLong(const char* what, std::size_t max) {
    return std::string(what) + " too long (at most " + std::to_string(max) + " characters)";
}

bool IsQuietSwitch(std::string_view arg) {
    return !arg.empty() && (arg[0] == '/' || arg[0] == '-') && EqualsNoCase(arg.substr(1), "Quiet");
}

// The switches whose failure leaves the new driver out of place.
bool IsDriverSwitch(const std::string& arg) {
    return arg.size() > 1 && (EqualsNoCase(arg.substr(1), "RunINF") || EqualsNoCase(arg.substr(1), "QueryDevice"));
}

}  // namespace

bool QuietRequested(std::string_view commandLine) {
    std::size_t at = 0;
    while (at < commandLine.size()) {
        while (at < commandLine.size() && (commandLine[at] == ' ' || commandLine[at] == '\t')) ++at;
        std::string word;
        bool quoted = false;
        for (; at < commandLine.size() && (quoted || (commandLine[at] != ' ' && commandLine[at] != '\t')); ++at) {
            if (commandLine[at] == '"') quoted = !quoted;
            else word += commandLine[at];
        }
        if (IsQuietSwitch(word)) return true;
    }
    return false;
}

std::string Dispatcher::HelpWord() {
    const char c1 = 'S', c2 = 'h', c3 = 'o', c4 = 'w', c5 = 'U', c6 = 's', c7 = 'a', c8 = 'g',
               c9 = 'e';
    return std::string{c1, c2, c3, c4, c5, c6, c7, c8, c9};
}

bool Dispatcher::NT() const { return state_.osCode == kOsWin2000 || state_.osCode == kOsWinXP; }
bool Dispatcher::XP() const { return state_.osCode == kOsWinXP; }

void Dispatcher::PrepareRun(const std::vector<std::string>& args) {
    for (std::size_t i = 1; i < args.size(); ++i)
        if (IsQuietSwitch(args[i])) state_.quiet = true;
    for (std::size_t i = 1; i < args.size(); ++i)
        if (!args[i].empty() && args[i][0] == '$') OpenLog(args[i].substr(1));
    ops_.BeginStep("start");
    ops_.LogRunHeader(CommandLineText(args));
    if (state_.quiet) {
        ops_.BeginStep("Quiet");
        ops_.LogStep("message boxes", "off");
    }
}

// A log that cannot be opened is reported and the run goes on without it; a quiet
// run, which must never stop for a box, logs to the temporary folder instead.
void Dispatcher::OpenLog(const std::string& value) {
    if (!SetParameter('$', state_.settings.logPath, value, "Log path")) return;
    if (ops_.OpenLog(value)) {
        ops_.LogStep("log file " + value, "opened");
        return;
    }
    if (!state_.quiet) {
        ops_.ShowMessage("Cannot open log file " + value);
        return;
    }
    const std::string fallback = ops_.FallbackLogPath();
    if (!fallback.empty() && ops_.OpenLog(fallback))
        ops_.LogStep("log file " + value, "cannot be opened, logging to " + fallback);
}

void Dispatcher::Run(const std::vector<std::string>& args) {
    try {
        PrepareRun(args);
    } catch (...) {
        ReportFailedArgument("log");
    }
    if (args.size() == 1) ops_.ShowMessage("Command Error");
    for (std::size_t i = 1; i < args.size(); ++i) {
        // A command that fails (out of memory included) must not end the walk: it is
        // reported, and a quiet run's exit status says so.
        try {
            RunArgument(args, i);
        } catch (...) {
            if (IsDriverSwitch(args[i])) state_.driverFailed = true;
            ReportFailedArgument(args[i]);
        }
    }
    try {
        ops_.BeginStep("end");
        ops_.LogStep(std::to_string(args.size() > 0 ? args.size() - 1 : 0) + " arguments",
                     "run ended, exit status " + std::to_string(ExitCode(state_)));
    } catch (...) {
        // The run ends all the same.
    }
}

bool Dispatcher::IsSwitch(const std::string& name, const char* switchName) {
    if (!EqualsNoCase(name, switchName)) return false;
    ops_.BeginStep(switchName);
    return true;
}

void Dispatcher::RunArgument(const std::vector<std::string>& args, std::size_t index) {
    const std::string& arg = args[index];
    if (arg.empty()) return;
    const std::string rest = arg.substr(1);
    if (arg[0] == '-' || arg[0] == '/') RunDashSwitch(rest);
    RunAnySwitch(rest);
    if (rest == HelpWord()) {
        ops_.BeginStep("help");
        ops_.ShowHelp();
        return;
    }
    RunParameter(args, index);
}

void Dispatcher::ReportFailedArgument(const std::string& arg) {
    try {
        ops_.ShowMessage("Command failed: " + arg.substr(0, kShownArgumentMax));
    } catch (...) {
        // Nothing left to report with; the walk goes on.
    }
}

void Dispatcher::RunDashSwitch(const std::string& name) {
    if (IsSwitch(name, "KillUnknow")) {
        if (NT()) ops_.RemoveDevicesByHardwareId();
        else ops_.PurgeEnumKeys();
    }
    if (IsSwitch(name, "Remove")) {
        if (NT()) ops_.PurgeNetClassEntries();
        else ops_.PurgeLegacyNetClassEntries();
        ops_.RemoveNetworkDevices();
    }
    if (IsSwitch(name, "Update")) ops_.ShowMessage(NT() ? "Update" : std::string("Update") + kNoSupport);
    if (IsSwitch(name, "PnP")) {
        if (NT()) ops_.ReenumerateRootDevices();
        else ops_.RemoveDevnodesAndRescan();
    }
}

void Dispatcher::RunAnySwitch(const std::string& name) {
    if (IsSwitch(name, "RunINF")) {
        if (NT()) ops_.RunInfSection();
        else DriverSwitchNotSupported("RunINF");
    }
    if (IsSwitch(name, "DisableWZCS")) {
        if (XP()) DisableZeroConfigWithRetries();
        else ops_.ShowMessage(std::string("DisableWZCS") + kNoSupport);
    }
    if (IsSwitch(name, "EnableWZCS")) {
        if (XP()) ops_.EnableZeroConfigForAdapter();
        else ops_.ShowMessage(std::string("EnableWZCS") + kNoSupport);
    }
    // Stop and start share the messages of the adapter switches they belong to.
    if (IsSwitch(name, "StopWZCS")) {
        if (XP()) ops_.StopZeroConfigService();
        else ops_.ShowMessage(std::string("DisableWZCS") + kNoSupport);
    }
    if (IsSwitch(name, "StartWZCS")) {
        if (XP()) ops_.StartZeroConfigService();
        else ops_.ShowMessage(std::string("EnableWZCS") + kNoSupport);
    }
    if (IsSwitch(name, "QueryDevice")) {
        if (NT()) WaitForDevice();
        else DriverSwitchNotSupported("QueryDevice");
    }
    if (name == "?") {
        ops_.BeginStep("?");
        ops_.ShowMessage("Command No Support");
    }
}

void Dispatcher::RunParameter(const std::vector<std::string>& args, std::size_t index) {
    const std::string& arg = args[index];
    CommandSettings& s = state_.settings;
    const std::string value = arg.substr(1);
    switch (arg[0]) {
    case '!': SetParameter('!', s.deviceId, DeviceIdFromParameter(value), "Device ID"); return;
    case '#': SetParameter('#', s.infPath, value, "INF path"); return;
    case '%': SetParameter('%', s.infSection, value, "INF section"); return;
    case '$': return;  // opened before the walk
    default:
        break;
    }
    if (EqualsNoCase(arg, "DeleteProcess")) {
        ops_.BeginStep("DeleteProcess");
        // The name is the next argument, which is then also examined on its own.
        if (index + 1 >= args.size()) {
            s.processName.Clear();
            ops_.ShowMessage("DeleteProcess needs a process name");
        } else if (!s.processName.Assign(args[index + 1])) {
            ops_.ShowMessage(TooLong("Process name", s.processName.kMaxLength));
        } else {
            ops_.TerminateProcessByName(s.processName.str());
        }
    } else if (arg[0] == '?') {
        ops_.BeginStep("?");
        ops_.ShowMessage("Command No Support");
    }
}

template <std::size_t Capacity>
bool Dispatcher::SetParameter(char form, FixedText<Capacity>& setting, const std::string& value, const char* what) {
    ops_.BeginStep(std::string(1, form));
    if (!setting.Assign(value)) {
        ops_.ShowMessage(TooLong(what, setting.kMaxLength));
        return false;
    }
    ops_.LogStep(std::string(what) + " " + value, "set");
    return true;
}

void Dispatcher::DriverSwitchNotSupported(const char* name) {
    state_.driverFailed = true;
    ops_.ShowMessage(name + std::string(kNoSupport));
}

void Dispatcher::DisableZeroConfigWithRetries() {
    // Without a card there is no adapter to wait for: Skyvane takes it from Zero
    // Configuration when the card arrives.
    if (state_.cardAbsent) {
        state_.adapterPending = 1;
        ops_.DisableZeroConfigForAdapter();
        if (state_.adapterPending == 1) ops_.LogStep("adapter", "none yet (no card): Skyvane hands it over when the card arrives");
        return;
    }
    for (int attempt = 0; attempt < kDisableAttempts; ++attempt) {
        state_.adapterPending = 1;
        ops_.DisableZeroConfigForAdapter();
        const bool pending = state_.adapterPending == 1;
        ops_.Sleep(kDisableRetryMs);
        if (!pending) return;
    }
    ops_.ShowMessage("DisableWZCS: no adapter found within " +
                     std::to_string(kDisableAttempts * kDisableRetryMs / 1000) + " seconds");
}

// A card that is plugged in is waited for until its driver is in place. One that does not show
// within kCardWaitPolls is not plugged in: the driver package is in place and Windows binds it
// when the card arrives, so that is no failure.
void Dispatcher::WaitForDevice() {
    const std::string device = "device " + state_.settings.deviceId.str();
    bool cardSeen = false;
    for (int poll = 0; poll < queryDevicePolls; ++poll) {
        ops_.Sleep(kQueryDevicePollMs);
        if (ops_.IsDevicePresent() == 1) {
            ops_.LogStep(device, "present");
            return;
        }
        cardSeen = cardSeen || ops_.IsCardPresent();
        if (!cardSeen && poll + 1 >= kCardWaitPolls) {
            state_.cardAbsent = true;
            ops_.LogStep(device, "no card plugged in: Windows installs the driver when the card arrives");
            return;
        }
    }
    state_.driverFailed = true;
    ops_.ShowMessage("QueryDevice: device not present after " +
                     std::to_string(queryDevicePolls * kQueryDevicePollMs / 1000) + " seconds");
}

}  // namespace drivora
