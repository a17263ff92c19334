#include "athcfg/sim/sim_interface.h"

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <cstring>
#include <vector>

#include "athcfg/sim/sim_store.h"

namespace athcfg::sim {

namespace {

std::string GuidName(const std::string& guid) { return "\\DEVICE\\" + guid; }

// The machine's interfaces as the IP helper lists them.
std::vector<IP_ADAPTER_INFO> Interfaces() {
    std::vector<IP_ADAPTER_INFO> interfaces;
    ULONG size = 0;
    if (GetAdaptersInfo(nullptr, &size) != ERROR_BUFFER_OVERFLOW || size == 0) return interfaces;
    std::vector<uint8_t> buffer(size);
    auto* first = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data());
    if (GetAdaptersInfo(first, &size) != NO_ERROR) return interfaces;
    size_t room = buffer.size() / sizeof(IP_ADAPTER_INFO);
    for (const IP_ADAPTER_INFO* a = first; a && interfaces.size() < room; a = a->Next) interfaces.push_back(*a);
    return interfaces;
}

std::string DescriptionOf(const IP_ADAPTER_INFO& a) {
    return std::string(a.Description, strnlen(a.Description, sizeof a.Description));
}

// The description of the first of the machine's interfaces that has an IPv4 address; "" when
// none has.
std::string FindAddressedInterface() {
    for (const IP_ADAPTER_INFO& a : Interfaces()) {
        const char* ip = a.IpAddressList.IpAddress.String;
        if (ip[0] && std::strcmp(ip, "0.0.0.0") != 0) return DescriptionOf(a);
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

std::vector<uint8_t> MacAddressOf(const athsim::AdapterSpec& a, int index) {
    std::string tied = TiedName(a);
    if (!tied.empty()) {
        // A prefix of the description is enough, as it is for the device name.
        for (const IP_ADAPTER_INFO& i : Interfaces())
            if (DescriptionOf(i).compare(0, tied.size(), tied) == 0 && i.AddressLength == 6)
                return std::vector<uint8_t>(i.Address, i.Address + 6);
    }
    return {0x00, 0x03, 0x7F, 0xE0, 0x00, uint8_t(index + 1)};
}

}  // namespace athcfg::sim
