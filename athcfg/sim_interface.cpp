#include "sim_interface.h"

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <cstring>
#include <vector>

#include "sim_store.h"

namespace athcfg::sim {

namespace {

std::string GuidName(const std::string& guid) { return "\\DEVICE\\" + guid; }

// The description of the first of the machine's interfaces that has an IPv4 address; "" when
// none has.
std::string FindAddressedInterface() {
    ULONG size = 0;
    if (GetAdaptersInfo(nullptr, &size) != ERROR_BUFFER_OVERFLOW || size == 0) return "";
    std::vector<uint8_t> buffer(size);
    auto* first = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data());
    if (GetAdaptersInfo(first, &size) != NO_ERROR) return "";
    size_t room = buffer.size() / sizeof(IP_ADAPTER_INFO);
    for (const IP_ADAPTER_INFO* a = first; a && room > 0; a = a->Next, --room) {
        const char* ip = a->IpAddressList.IpAddress.String;
        if (ip[0] && std::strcmp(ip, "0.0.0.0") != 0)
            return std::string(a->Description, strnlen(a->Description, sizeof a->Description));
    }
    return "";
}

// The same, looked up once per process (requests must stay cheap); the compiler guards the
// first call against other threads.
const std::string& FirstAddressedInterface() {
    static const std::string found = FindAddressedInterface();
    return found;
}

// The tied interface's description, or "" when the adapter is not tied (or "*" found none).
std::string TiedName(const athsim::AdapterSpec& a) {
    return a.tiedInterface == "*" ? FirstAddressedInterface() : a.tiedInterface;
}

}  // namespace

std::string DeviceNameOf(const std::string& guid) {
    // The lock fills the live state from the registry when this process is the first to
    // open it since the scenario was installed.
    StateLock lock;
    if (!lock.Ready()) return GuidName(guid);
    if (auto sc = CurrentScenario()) {
        for (const athsim::AdapterSpec& a : sc->adapters) {
            if (lstrcmpiA(a.guid.c_str(), guid.c_str()) != 0) continue;
            std::string tied = TiedName(a);
            if (!tied.empty()) return tied;
        }
    }
    return GuidName(guid);
}

bool NamesAdapter(const athsim::AdapterSpec& a, const std::string& device) {
    if (lstrcmpiA(device.c_str(), GuidName(a.guid).c_str()) == 0) return true;
    std::string tied = TiedName(a);
    return !tied.empty() && device == tied;
}

}  // namespace athcfg::sim
