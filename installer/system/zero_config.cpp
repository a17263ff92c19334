// Wireless Zero Configuration control and process termination.
#include <cstdio>

#include "installer/system/system_operations.h"
#include "installer/text_match.h"

namespace drivora {

namespace {

const char kZeroConfigService[] = "WZCSVC";
constexpr std::uint32_t kServiceStopped = 1;
constexpr std::uint32_t kServiceRunning = 4;
constexpr std::uint32_t kManagedByService = 0x8000;
constexpr std::uint32_t kControlMask = 0xF000;
constexpr std::uint32_t kNewInterfaceFlags = 0x810002;
constexpr std::size_t kInstanceIdMax = 49;
constexpr std::size_t kProcessNameMax = 259;

// "LayoutVersion" of a new interface key. Later service packs keep the
// Service Pack 2 layout.
std::uint32_t LayoutVersion(int servicePackLevel) {
    switch (servicePackLevel) {
    case 0: return 3;
    case 1: return 4;
    default: return 7;
    }
}

}  // namespace

SystemOperations::ServiceWait SystemOperations::WaitForServiceState(std::uint32_t wanted) {
    std::uint32_t state = 0;
    for (int poll = 0; poll < kServicePolls; ++poll) {
        // A service that cannot be queried is not waited for.
        if (!api_.QueryServiceState(kZeroConfigService, &state)) return ServiceWait::Unknown;
        if (state == wanted) return ServiceWait::Reached;
        api_.Sleep(kServicePollMs);
    }
    return ServiceWait::TimedOut;
}

void SystemOperations::StopZeroConfigService() { StopServiceWithinBound(); }

bool SystemOperations::StopServiceWithinBound() {
    api_.RequestService(kZeroConfigService, ServiceRequest::Stop);
    switch (WaitForServiceState(kServiceStopped)) {
    case ServiceWait::Reached: log_.Write("service WZCSVC", "stopped"); return true;
    case ServiceWait::Unknown: log_.Write("service WZCSVC", "not available"); return true;
    case ServiceWait::TimedOut: break;
    }
    ShowMessage("Wireless Zero Configuration service did not stop within 30 seconds");
    return false;
}

void SystemOperations::StartZeroConfigService() {
    api_.RequestService(kZeroConfigService, ServiceRequest::Start);
    switch (WaitForServiceState(kServiceRunning)) {
    case ServiceWait::Reached: log_.Write("service WZCSVC", "running"); break;
    case ServiceWait::Unknown: log_.Write("service WZCSVC", "not available"); break;
    case ServiceWait::TimedOut:
        ShowMessage("Wireless Zero Configuration service did not start within 30 seconds");
        break;
    }
}

void SystemOperations::WriteFlags(const std::string& key, const char* value, std::uint32_t data) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(data));
    LogResult(api_.WriteDword(key, value, data), std::string(value) + " of " + key + " = " + text, "written");
}

// Flags written under a running service would be overwritten by it, so a
// service that does not stop leaves them alone (and is not started again).
void SystemOperations::DisableZeroConfigForAdapter() {
    FindAdapterClassKeys([&](const std::string& subkey) {
        const std::string instance = ReadInstanceId(subkey, kInstanceIdMax);
        if (instance.empty()) return;
        const std::string key = std::string(kWzcInterfacesKey) + "\\" + instance;
        const bool created = !api_.KeyExists(key) && LogResult(api_.CreateKey(key), "key " + key, "created");
        // The adapter was found either way; its failure has been reported.
        state_.adapterPending = 0;
        if (!StopServiceWithinBound()) {
            // An empty key of ours would make every later run read flags that are not there.
            if (created) LogResult(api_.DeleteKey(key), "key " + key, "deleted");
            return;
        }
        api_.Sleep(5000);
        if (created) {
            WriteFlags(key, "ControlFlags", kNewInterfaceFlags);
            WriteFlags(key, "LayoutVersion", LayoutVersion(state_.servicePackLevel));
        } else {
            std::uint32_t flags = 0;
            // Flags that cannot be read are left alone rather than guessed.
            if (api_.ReadDword(key, "ControlFlags", &flags)) WriteFlags(key, "ControlFlags", flags & ~kControlMask);
            else log_.Write("ControlFlags of " + key, "not readable, left alone");
        }
        StartZeroConfigService();
    });
}

void SystemOperations::EnableZeroConfigForAdapter() {
    FindAdapterClassKeys([&](const std::string& subkey) {
        const std::string instance = ReadInstanceId(subkey, kInstanceIdMax);
        if (instance.empty()) return;
        const std::string key = std::string(kWzcInterfacesKey) + "\\" + instance;
        if (!StopServiceWithinBound()) return;
        api_.Sleep(2000);
        std::uint32_t flags = 0;
        if (api_.ReadDword(key, "ControlFlags", &flags)) WriteFlags(key, "ControlFlags", flags | kManagedByService);
        else log_.Write("ControlFlags of " + key, "not readable, left alone");
        StartZeroConfigService();
    });
}

void SystemOperations::TerminateProcessByName(const std::string& name) {
    if (name.empty() || name.size() > kProcessNameMax) return;
    std::vector<ProcessEntry> processes;
    if (!api_.ListProcesses(&processes)) return;
    // Every instance ends, whatever session runs it: one left would keep its files in use.
    bool found = false;
    for (const ProcessEntry& p : processes) {
        std::string_view exe = p.exeName;
        if (state_.win9xFamily) exe = FileNamePart(exe);
        if (exe.empty() || !StartsWithNoCase(exe, name)) continue;
        found = true;
        const std::string what = "process " + std::string(exe) + " (" + std::to_string(p.pid) + ")";
        // A monitor that exits by itself meanwhile is gone as wanted.
        const Termination ended = api_.TerminateProcess(p.pid);
        if (ended == Termination::AlreadyGone) log_.Write(what, "had already ended");
        else LogResult(ended == Termination::Ended, what, "ended");
    }
    if (!found) log_.Write("process " + name, "not running");
}

}  // namespace drivora
