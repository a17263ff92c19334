// The system's adapter and interface tables, read through the IP helper.
#pragma once
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <vector>

#include "monitor/ui/ip/ip_settings_text.h"

struct IpTables {
    std::vector<IpAdapterEntry> adapters;
    std::vector<IP_ADAPTER_INDEX_MAP> interfaces;
};

// Both tables; a table the IP helper cannot give is empty.
IpTables ReadIpTables();

// The interface indexes of the interface table, in its order.
std::vector<uint32_t> InterfaceIndexes(const IpTables& tables);
