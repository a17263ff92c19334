// Which adapter-table entry is the wireless adapter, and what the IP Settings page shows of it.
#include <gtest/gtest.h>

#include <string>

#include "monitor/ui/ip/ip_settings_text.h"

namespace {

IpAdapterEntry Entry(const std::string& description, uint32_t index) {
    IpAdapterEntry e;
    e.description = description;
    e.index = index;
    e.addresses = {{"192.168.1.20", "255.255.255.0"}};
    return e;
}

}  // namespace

TEST(IpSettingsText, EveryAddressAndMaskRunTogetherWithTheFirstGatewayAndTheMac) {
    IpAdapterEntry e = Entry("Card", 3);
    e.addresses = {{"192.168.1.20", "255.255.255.0"}, {"10.0.0.7", "255.0.0.0"}};
    e.gateway = "192.168.1.1";
    const uint8_t mac[6] = {0x00, 0x03, 0x7f, 0x0a, 0xbc, 0xff};
    std::copy(mac, mac + 6, e.hardwareAddress);
    IpSettingsTexts t = ComposeIpSettings(e);
    EXPECT_EQ("192.168.1.2010.0.0.7", t.address);
    EXPECT_EQ("255.255.255.0255.0.0.0", t.mask);
    EXPECT_EQ("192.168.1.1", t.gateway);
    EXPECT_EQ("00:03:7F:0A:BC:FF", t.mac);
}

TEST(IpSettingsText, DhcpServerShowsOnlyWhenDhcpIsOnAndTheServerKnown) {
    IpAdapterEntry e = Entry("Card", 3);
    e.dhcpEnabled = true;
    e.dhcpServer = "192.168.1.1";
    EXPECT_EQ("192.168.1.1", ComposeIpSettings(e).dhcpServer);
    e.dhcpServer = "255.255.255.255";
    EXPECT_EQ("", ComposeIpSettings(e).dhcpServer);
    e.dhcpServer = "192.168.1.1";
    e.dhcpEnabled = false;
    EXPECT_EQ("", ComposeIpSettings(e).dhcpServer);
}

TEST(IpSettingsText, TheDescriptionMustBeginWithTheWholeDeviceName) {
    const std::string name = "Telvara 802.11 Wireless LAN Adapter";
    EXPECT_TRUE(IsWirelessEntry(name, name));
    EXPECT_TRUE(IsWirelessEntry(name + " - Packet Scheduler Miniport", name));
    EXPECT_FALSE(IsWirelessEntry("telvara 802.11 Wireless LAN Adapter", name));  // case counts
    EXPECT_FALSE(IsWirelessEntry("Telvara 802.11 Wireless", name));              // shorter
    EXPECT_FALSE(IsWirelessEntry("Other card", name));
    EXPECT_FALSE(IsWirelessEntry(name, ""));  // no device name is no adapter
}

TEST(IpSettingsText, DeviceNamesOfSixtyCharactersAndMoreAreComparedWhole) {
    const std::string name(70, 'x');
    EXPECT_TRUE(IsWirelessEntry(name + " #2", name));
    std::string late = name;
    late[65] = 'y';  // differs past the 60th character
    EXPECT_FALSE(IsWirelessEntry(late, name));
    // A name longer than any description the IP helper holds matches nothing.
    const std::string tooLong(200, 'x');
    EXPECT_FALSE(IsWirelessEntry(std::string(128, 'x'), tooLong));
}

TEST(IpSettingsText, TheWalkTakesTheFirstMatchAmongAsManyEntriesAsTheInterfaceTableHas) {
    const std::vector<IpAdapterEntry> table = {Entry("Wired", 2), Entry("Sim WLAN 0 - Miniport", 5),
                                               Entry("Sim WLAN 0 - second", 7)};
    EXPECT_EQ(1, FindWirelessEntry(table, 3, "Sim WLAN 0"));
    EXPECT_EQ(1, FindWirelessEntry(table, 10, "Sim WLAN 0"));  // never past the table's end
    EXPECT_EQ(-1, FindWirelessEntry(table, 1, "Sim WLAN 0"));
    EXPECT_EQ(-1, FindWirelessEntry(table, 3, "Sim WLAN 1"));
}

TEST(IpSettingsText, AnOperationActsOnlyOnTheWirelessAdaptersOwnInterface) {
    const std::vector<IpAdapterEntry> table = {Entry("Wired", 2), Entry("Sim WLAN 0", 5), Entry("Modem", 9)};
    // The interface table lists the machine's interfaces in its own order.
    EXPECT_EQ(1, FindOwnInterface(table, {9, 5, 2}, "Sim WLAN 0"));
    EXPECT_EQ(-1, FindOwnInterface(table, {9, 2, 4}, "Sim WLAN 0"));  // no interface of its own
    EXPECT_EQ(-1, FindOwnInterface(table, {9, 5, 2}, "Sim WLAN 1"));  // adapter not in the table
}
