#include "installer/command_settings.h"

namespace drivora {

void SetDefaultSettings(CommandSettings& s, const std::string& windowsDir) {
    s.deviceId.Assign("PCI\\VEN_168C");
    // A Windows directory too long for the path leaves the INF path empty; RunINF then refuses.
    s.infPath.Assign(windowsDir + "\\inf\\net5211.inf");
    s.infSection.Assign("ATHER_DEV_1041.ndi.NT");
    s.processName.Clear();
    s.zeroConfigKey.Clear();
}

int ExitCode(const RunState& state) {
    if (!state.quiet) return 0;
    return (state.failed || state.driverFailed ? kExitFailed : 0) | (state.restartNeeded ? kExitRestartNeeded : 0) |
           (state.driverFailed ? kExitDriverFailed : 0) | (state.cardAbsent ? kExitNoCard : 0);
}

int OsCodeFromVersion(unsigned major, unsigned minor) {
    if (major == 5 && minor == 1) return kOsWinXP;
    if (major == 5 && minor == 0) return kOsWin2000;
    if (major == 4 && minor == 90) return kOsWinMe;
    if (major == 4 && minor == 10) return kOsWin98;
    return kOsOther;
}

int ServicePackLevel(const char* servicePack) {
    char text[50] = {};
    if (servicePack) std::strncpy(text, servicePack, 14);
    if (text[0] == '\0') return 0;
    if (std::strcmp(text, "Service Pack 1") == 0) return 1;
    if (std::strcmp(text, "Service Pack 2") == 0) return 2;
    return kServicePackUnknown;
}

}  // namespace drivora
