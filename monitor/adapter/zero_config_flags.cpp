#include "monitor/adapter/zero_config_flags.h"

namespace zc {

int OsCode(unsigned major, unsigned minor) {
    if (major == 5 && minor == 1) return 5;
    if (major == 5 && minor == 0) return 4;
    if (major == 4 && minor == 90) return 2;
    if (major == 4 && minor == 10) return 1;
    return 0;
}

uint32_t FlagsAfter(int request, uint32_t flags) {
    if (request == kTakeOver) return flags & 0xFFFF0FFFu;
    if (request == kHandBack) return flags | kManagedBit;
    return flags;
}

std::string InterfaceKeyPath(const std::string& interfaceGuid) {
    return "SOFTWARE\\Microsoft\\WZCSVC\\Parameters\\Interfaces\\" + interfaceGuid;
}

}  // namespace zc
