// What the IP Settings page shows, from the system's adapter table, computed without
// touching Windows: which entry is the wireless adapter and the texts of its fields.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One entry of the system's adapter table, as the IP helper reports it.
struct IpAdapterEntry {
    struct Address {
        std::string address;
        std::string mask;
    };
    std::string description;
    uint32_t index = 0;  // the interface index
    std::vector<Address> addresses;
    std::string gateway;  // the first entry of the gateway list
    bool dhcpEnabled = false;
    std::string dhcpServer;
    uint8_t hardwareAddress[6] = {};
};

struct IpSettingsTexts {
    std::string address;  // every address, run together
    std::string mask;     // every mask, run together
    std::string gateway;
    std::string dhcpServer;
    std::string mac;
};

// Whether `description` belongs to the adapter called `deviceName`: it begins with the whole
// name, case-sensitive (the system may append a suffix). An empty name matches nothing.
bool IsWirelessEntry(const std::string& description, const std::string& deviceName);

// The position of the wireless adapter among the first `steps` entries of `table`, or -1.
int FindWirelessEntry(const std::vector<IpAdapterEntry>& table, size_t steps, const std::string& deviceName);

// Which interface a release or renew acts on: the position, in the interface table given by
// its interface indexes, of the wireless adapter's own interface; -1 when there is none.
int FindOwnInterface(const std::vector<IpAdapterEntry>& table, const std::vector<uint32_t>& interfaceIndexes,
                     const std::string& deviceName);

// The texts of the page's fields for the adapter's entry.
IpSettingsTexts ComposeIpSettings(const IpAdapterEntry& entry);

// "%02X:%02X:%02X:%02X:%02X:%02X"
std::string FormatMac(const uint8_t bytes[6]);
