#include "monitor/ui/ip/ip_settings_text.h"

#include <cstdio>

namespace {
// What the system reports when a DHCP server address is not known.
const char kNoDhcpServer[] = "255.255.255.255";
}  // namespace

bool IsWirelessEntry(const std::string& description, const std::string& deviceName) {
    return !deviceName.empty() && description.compare(0, deviceName.size(), deviceName) == 0;
}

int FindWirelessEntry(const std::vector<IpAdapterEntry>& table, size_t steps, const std::string& deviceName) {
    for (size_t i = 0; i < steps && i < table.size(); ++i)
        if (IsWirelessEntry(table[i].description, deviceName)) return static_cast<int>(i);
    return -1;
}

int FindOwnInterface(const std::vector<IpAdapterEntry>& table, const std::vector<uint32_t>& interfaceIndexes,
                     const std::string& deviceName) {
    int entry = FindWirelessEntry(table, interfaceIndexes.size(), deviceName);
    if (entry < 0) return -1;
    for (size_t i = 0; i < interfaceIndexes.size(); ++i)
        if (interfaceIndexes[i] == table[entry].index) return static_cast<int>(i);
    return -1;
}

IpSettingsTexts ComposeIpSettings(const IpAdapterEntry& entry) {
    IpSettingsTexts t;
    for (const IpAdapterEntry::Address& a : entry.addresses) {
        t.address += a.address;
        t.mask += a.mask;
    }
    t.gateway = entry.gateway;
    if (entry.dhcpEnabled && entry.dhcpServer != kNoDhcpServer) t.dhcpServer = entry.dhcpServer;
    t.mac = FormatMac(entry.hardwareAddress);
    return t;
}

std::string FormatMac(const uint8_t b[6]) {
    char text[18];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", b[0], b[1], b[2], b[3], b[4], b[5]);
    return text;
}
