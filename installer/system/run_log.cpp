// What the step log says about the run as a whole and about each step's outcome.
#include <cstdio>

#include "installer/system/system_operations.h"

namespace drivora {

namespace {

// Something to delete that is not there is no failure: the system is as wanted.
constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorPathNotFound = 3;

// A Configuration Manager call's outcome, told by its own code.
std::string ConfigOutcome(ConfigResult result, const char* done) {
    if (result == kConfigSuccess) return done;
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(result));
    return std::string("not ") + done + " (CONFIGRET " + code + ")";
}

}  // namespace

bool SystemOperations::LogResult(bool ok, const std::string& what, const char* done) {
    if (ok) {
        log_.Write(what, done);
        return true;
    }
    const std::uint32_t code = api_.LastError();
    if (code != kErrorFileNotFound && code != kErrorPathNotFound) state_.failed = true;
    log_.Write(what, std::string("not ") + done + " (error " + std::to_string(code) + ": " + api_.ErrorText(code) + ")");
    return false;
}

bool SystemOperations::LogConfigResult(ConfigResult result, const std::string& what, const char* done) {
    if (result != kConfigSuccess) state_.failed = true;
    log_.Write(what, ConfigOutcome(result, done));
    return result == kConfigSuccess;
}

// A rescan that is refused fails no step: it only hurries Plug and Play, and QueryDevice checks
// that the adapter came (Wine refuses every one).
void SystemOperations::LogRescan(ConfigResult result, const std::string& what) {
    log_.Write(what, ConfigOutcome(result, "re-enumerated"));
}

void SystemOperations::NoteRestart(DeviceList& devices) {
    if (!devices.RestartNeeded()) return;
    state_.restartNeeded = true;
    log_.Write("device removal", "Windows must restart to finish it");
}

void SystemOperations::LogRunHeader(const std::string& commandLine) {
    log_.Write("Drivora " + api_.ProgramVersion(), "started");
    log_.Write("Windows " + api_.WindowsVersion(), api_.IsAdministrator() ? "administrator" : "not administrator");
    // A long command line takes several lines rather than being cut.
    constexpr std::size_t kPiece = 300;
    for (std::size_t at = 0; at == 0 || at < commandLine.size(); at += kPiece)
        log_.Write("command line " + commandLine.substr(at, kPiece), at + kPiece < commandLine.size() ? "continued" : "read");
}

}  // namespace drivora
