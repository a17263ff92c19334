// A release or renew through a recording stand-in for the system: which interface the IP
// helper is called on, and when the marker starts and closes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitor/ui/ip/ip_operation.h"

namespace {

class RecordingSteps : public IpOperationSteps {
public:
    std::vector<IpAdapterEntry> adapters;
    std::vector<uint32_t> interfaces;
    bool markerStarts = true;
    std::vector<std::string> calls;

    void ReadTables(std::vector<IpAdapterEntry>& a, std::vector<uint32_t>& i) override {
        calls.push_back("read");
        a = adapters;
        i = interfaces;
    }
    bool StartMarker() override {
        calls.push_back("marker");
        return markerStarts;
    }
    void Operate(size_t position) override {
        calls.push_back("interface " + std::to_string(interfaces.at(position)));
    }
    void CloseMarker() override { calls.push_back("close"); }
};

IpAdapterEntry Adapter(const std::string& description, uint32_t index) {
    IpAdapterEntry e;
    e.description = description;
    e.index = index;
    return e;
}

}  // namespace

TEST(IpOperation, OnlyTheAdaptersOwnInterfaceIsReleasedOrRenewedBetweenTheMarkersStartAndClose) {
    using Calls = std::vector<std::string>;
    const std::vector<IpAdapterEntry> machine = {Adapter("Wired Ethernet", 2),
                                                 Adapter("Telvara WLAN Card - Packet Scheduler", 7),
                                                 Adapter("Modem", 9)};
    struct Case {
        const char* deviceName;
        std::vector<uint32_t> interfaces;
        bool markerStarts;
        Calls expected;
    } cases[] = {
        {"Telvara WLAN Card", {2, 9, 7}, true, {"read", "marker", "interface 7", "close"}},
        // The marker program missing: the operation still runs, nothing waits for a window.
        {"Telvara WLAN Card", {7, 2}, false, {"read", "marker", "interface 7"}},
        // No entry for the adapter, or its entry without an interface: nothing, no marker.
        {"Other Card", {2, 7, 9}, true, {"read"}},
        {"Telvara WLAN Card", {2, 9}, true, {"read"}},
        {"", {2, 7, 9}, true, {"read"}},
    };
    for (const Case& c : cases) {
        RecordingSteps steps;
        steps.adapters = machine;
        steps.interfaces = c.interfaces;
        steps.markerStarts = c.markerStarts;
        RunIpOperation(steps, c.deviceName);
        EXPECT_EQ(c.expected, steps.calls) << c.deviceName << " with " << c.interfaces.size() << " interfaces";
    }
}
