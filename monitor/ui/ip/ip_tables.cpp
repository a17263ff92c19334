#include "monitor/ui/ip/ip_tables.h"

#include <cstring>

#include "framework/handles.h"

namespace {
// A fixed-size text field of the IP helper, up to its NUL but never past its end.
template <size_t N>
std::string Field(const char (&text)[N]) {
    return std::string(text, strnlen(text, N));
}

IpAdapterEntry ToEntry(const IP_ADAPTER_INFO& a) {
    IpAdapterEntry e;
    e.description = Field(a.Description);
    e.index = a.Index;
    for (const IP_ADDR_STRING* ip = &a.IpAddressList; ip; ip = ip->Next)
        e.addresses.push_back({Field(ip->IpAddress.String), Field(ip->IpMask.String)});
    e.gateway = Field(a.GatewayList.IpAddress.String);
    e.dhcpEnabled = a.DhcpEnabled != 0;
    e.dhcpServer = Field(a.DhcpServer.IpAddress.String);
    static_assert(sizeof a.Address >= sizeof e.hardwareAddress, "hardware address field");
    std::memcpy(e.hardwareAddress, a.Address, sizeof e.hardwareAddress);
    return e;
}

std::vector<IpAdapterEntry> ReadAdapters() {
    std::vector<IpAdapterEntry> table;
    ULONG size = 0;
    if (GetAdaptersInfo(nullptr, &size) != ERROR_BUFFER_OVERFLOW || size == 0) return table;
    fw::GlobalBlock block(size);
    auto* first = static_cast<IP_ADAPTER_INFO*>(block.get());
    // The table may have grown since the size was given: then it is read on the next refresh.
    if (!first || GetAdaptersInfo(first, &size) != NO_ERROR) return table;
    // Entries chain through pointers: no more of them are taken than the block can hold.
    size_t room = size / sizeof(IP_ADAPTER_INFO);
    for (const IP_ADAPTER_INFO* a = first; a && table.size() < room; a = a->Next) table.push_back(ToEntry(*a));
    return table;
}

std::vector<IP_ADAPTER_INDEX_MAP> ReadInterfaces() {
    std::vector<IP_ADAPTER_INDEX_MAP> table;
    ULONG size = 0;
    if (GetInterfaceInfo(nullptr, &size) != ERROR_INSUFFICIENT_BUFFER || size < sizeof(IP_INTERFACE_INFO))
        return table;
    fw::GlobalBlock block(size);
    auto* info = static_cast<IP_INTERFACE_INFO*>(block.get());
    if (!info || GetInterfaceInfo(info, &size) != NO_ERROR) return table;
    // The count comes from outside: no entry is read past the block.
    size_t room = (size - offsetof(IP_INTERFACE_INFO, Adapter)) / sizeof(IP_ADAPTER_INDEX_MAP);
    size_t count = info->NumAdapters > 0 ? static_cast<size_t>(info->NumAdapters) : 0;
    table.assign(info->Adapter, info->Adapter + (count < room ? count : room));
    return table;
}
}  // namespace

IpTables ReadIpTables() { return IpTables{ReadAdapters(), ReadInterfaces()}; }

std::vector<uint32_t> InterfaceIndexes(const IpTables& tables) {
    std::vector<uint32_t> indexes;
    for (const IP_ADAPTER_INDEX_MAP& i : tables.interfaces) indexes.push_back(i.Index);
    return indexes;
}
