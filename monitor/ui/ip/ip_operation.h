// One release or renew of the wireless adapter's IP address, in the order its steps run,
// without touching Windows: the worker thread gives it the system's calls.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "monitor/ui/ip/ip_settings_text.h"

class IpOperationSteps {
public:
    virtual ~IpOperationSteps() = default;
    // The system's adapter table and the interface indexes of its interface table, in order.
    virtual void ReadTables(std::vector<IpAdapterEntry>& adapters, std::vector<uint32_t>& interfaces) = 0;
    // Starts the marker program; false when it could not be started.
    virtual bool StartMarker() = 0;
    // Releases or renews the interface at `position` of the interface table.
    virtual void Operate(size_t position) = 0;
    // Closes the marker window the operation started, once it has appeared.
    virtual void CloseMarker() = 0;
};

// Acts on the adapter `deviceName`'s own interface only. Without one nothing is done and no
// marker shows; a marker that could not be started is not waited for.
void RunIpOperation(IpOperationSteps& steps, const std::string& deviceName);
