#include "monitor/ui/ip/ip_operation.h"

void RunIpOperation(IpOperationSteps& steps, const std::string& deviceName) {
    std::vector<IpAdapterEntry> adapters;
    std::vector<uint32_t> interfaces;
    steps.ReadTables(adapters, interfaces);
    int own = FindOwnInterface(adapters, interfaces, deviceName);
    if (own < 0) return;
    bool marker = steps.StartMarker();
    steps.Operate(size_t(own));
    if (marker) steps.CloseMarker();
}
