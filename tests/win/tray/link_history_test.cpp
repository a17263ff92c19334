// Link events through the real frame and poll: notices, the history kept under the user's
// key across a restart, the History window and its CSV.
#include <windows.h>
#include <commctrl.h>
#include <iphlpapi.h>

#include "monitor/app/history/link_history.h"
#include "monitor/ui/history/history_window.h"
#include "tests/support/pe_imports.h"
#include "tray_fixture.h"

namespace {
constexpr char kSettingsKey[] = "Software\\Halvex\\Skyvane";

void ForgetSettings() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, "LinkHistory");
    RegDeleteValueA(key, "Notices");
    RegCloseKey(key);
}

DWORD NoticesValue() {
    HKEY key;
    DWORD value = 0xDEAD, size = sizeof value;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return value;
    RegQueryValueExA(key, "Notices", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return value;
}

// Harbor on channel 6 (2437 MHz) at signal level 3: 22 %.
const std::string kConnected = Connected("signal=3 freq=2437");
const std::string kDropped = testsim::Adapter(0, "quality=80") +
                             "profile name=Home ssid=Harbor\nselect name=Home\nstatus disconnected=1\n";

// Counts messages sent to windows that are gone, through this program's SendMessageA import.
LRESULT(WINAPI* g_send)(HWND, UINT, WPARAM, LPARAM) = nullptr;
int g_sentToGoneWindows = 0;
LRESULT WINAPI CountingSend(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    g_sentToGoneWindows += window && !IsWindow(window);
    return g_send(window, msg, wp, lp);
}
void CountSendsToGoneWindows() {
    ULONG_PTR* slot = pe::ImportSlot(GetModuleHandleA(nullptr), "user32.dll", "SendMessageA");
    DWORD protect;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protect);
    if (!g_send) g_send = reinterpret_cast<decltype(g_send)>(*slot);
    *slot = reinterpret_cast<ULONG_PTR>(&CountingSend);
}

std::string ListText(HWND list, int row, int column) {
    char text[256] = {};
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, WPARAM(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

class LinkHistoryTest : public TrayTest {
protected:
    void SetUp() override {
        TrayTest::SetUp();
        ForgetSettings();
        theApp.linkHistory = link_history::History();
    }
    void TearDown() override {
        TrayTest::TearDown();
        ForgetSettings();
    }
    size_t Events() const { return theApp.linkHistory.Events().size(); }
};
}  // namespace

TEST_F(LinkHistoryTest, ADroppedLinkGivesOneNoticeAndOneEntryThatOutlivesARestart) {
    Start(kConnected);
    Tick();
    Tick();
    EXPECT_EQ(0u, Events());  // a link up before the watch began is no event
    EXPECT_TRUE(tray.notices.empty());

    testsim::Install(kDropped);
    Tick();
    Tick();
    ASSERT_EQ(1u, tray.notices.size());
    EXPECT_EQ("Disconnected from Harbor: the association was lost after the signal fell to 22 %", tray.notices[0]);
    ASSERT_EQ(1u, Events());

    // The next start finds the event in the user's key.
    SendMessageA(frame->Handle(), WM_CLOSE, 0, 0);
    delete frame;
    theApp.linkHistory = link_history::History();
    frame = new CMainFrame(&tray);
    ASSERT_TRUE(frame->CreateFrame());
    ASSERT_EQ(1u, Events());
    const link_history::Event& kept = theApp.linkHistory.Events().back();
    EXPECT_EQ("Harbor", kept.ssid);
    EXPECT_EQ(link_history::Cause::SignalLost, kept.cause);
    EXPECT_EQ(6, kept.channel);

    // With notices turned off the link coming back is recorded but not announced.
    Command(ID_TRAY_NOTICES);
    EXPECT_EQ(0u, NoticesValue());
    Tick();
    testsim::Install(kConnected);
    Tick();
    EXPECT_EQ(1u, tray.notices.size());
    ASSERT_EQ(2u, Events());

    // The History window lists them newest first.
    Command(ID_TRAY_HISTORY);
    HWND window = FindWindowA(nullptr, "Skyvane Link History");
    ASSERT_NE(nullptr, window);
    HWND list = GetDlgItem(window, CHistoryWindow::kListId);
    ASSERT_EQ(2, int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)));
    EXPECT_EQ("Connected to Harbor, channel 6, 54 Mbps", ListText(list, 0, 1));
    EXPECT_EQ("22", ListText(list, 1, 5));

    // Once it is closed, a later event sends nothing to the list it had.
    CountSendsToGoneWindows();
    DestroyWindow(window);
    g_sentToGoneWindows = 0;
    testsim::Install(kDropped);
    Tick();
    EXPECT_EQ(0, g_sentToGoneWindows);
}

// The program's own apply drops the link for a moment: that is no fault of the signal.
TEST_F(LinkHistoryTest, ALinkDroppedByTheProgramsApplyIsPutDownToIt) {
    Start(testsim::Adapter(0, "quality=80") +
          "profile name=Home ssid=Harbor infrastructure=1\nselect name=Home\nnetwork ssid=Harbor channel=6\n");
    Tick();
    Tick();
    ASSERT_TRUE(theApp.store.ApplyStoredProfile("Home", MonitorWindowPages()));
    Tick();
    ASSERT_EQ(1u, Events());
    EXPECT_EQ(link_history::Cause::Applied, theApp.linkHistory.Events().back().cause);
    EXPECT_EQ("Disconnected from Harbor: a profile was applied", tray.notices.back());
}

// The adapter's address is found by its MAC address (Windows 98 keeps no interface GUID), here
// the one of the interface the adapter is tied to.
TEST_F(LinkHistoryTest, TheAdapterIsFoundByItsMacAddress) {
    std::vector<IP_ADAPTER_INFO> table(32);
    ULONG size = ULONG(table.size() * sizeof table[0]);
    const IP_ADAPTER_INFO* a = GetAdaptersInfo(table.data(), &size) == NO_ERROR ? table.data() : nullptr;
    while (a && !strcmp(a->IpAddressList.IpAddress.String, "0.0.0.0")) a = a->Next;
    if (!a) GTEST_SKIP() << "no interface with an address to tie the adapter to";
    const std::string tied = "quality=80 interface=*";
    Start(testsim::Adapter(0, tied) + "profile name=Home ssid=Harbor\nselect name=Home\nstatus disconnected=1\n");
    Tick();
    testsim::Install(Connected("", tied));
    Tick();
    ASSERT_EQ(1u, Events());
    EXPECT_EQ(a->IpAddressList.IpAddress.String, theApp.linkHistory.Events().back().address);
}

// Without balloons the tip carries the notice while the icon stays the same.
TEST_F(LinkHistoryTest, WithoutBalloonsTheTipCarriesTheNotice) {
    tray.balloons = false;
    Start(kConnected);
    Tick();
    AthSimSetPresent(0, 0);
    Tick();
    EXPECT_EQ(183u, tray.Last().icon);
    EXPECT_EQ("Disconnected from Harbor: the adapter was removed", tray.Last().tip);
    AthSimSetPresent(0, 1);
    Tick();  // rediscovers the adapter; its icon comes with the next tick
    testsim::Install(kDropped);
    Tick();
    EXPECT_EQ(182u, tray.Last().icon);
    EXPECT_EQ("Disconnected", tray.Last().tip);

    // It also goes when a balloon would, or when notices are turned off.
    testsim::Install(kConnected);
    Tick();
    SendMessageA(frame->Handle(), WM_TIMER, CMainFrame::kNoticeTimer, 0);
    EXPECT_EQ(0u, tray.Last().tip.find("Connection : Harbor")) << tray.Last().tip;
    testsim::Install(kDropped);
    Tick();
    Command(ID_TRAY_NOTICES);
    EXPECT_EQ("Disconnected", tray.Last().tip);
}

TEST_F(LinkHistoryTest, CsvQuotesWhatNeedsQuoting) {
    link_history::Event e;
    e.time = "2024-05-01 10:00:00";
    e.ssid = "Cafe \"Sol\", 2";
    e.channel = 11;
    e.signal = 40;
    e.rateMbps = 11;
    theApp.linkHistory.Add(e);
    EXPECT_EQ("Time,Event,SSID,BSSID (MAC Address),Channel,Signal (%),Rate (Mbps),IP Address\r\n"
              "2024-05-01 10:00:00,\"Connected to Cafe \"\"Sol\"\", 2, channel 11, 11 Mbps\","
              "\"Cafe \"\"Sol\"\", 2\",,11,40,11,\r\n",
              CHistoryWindow::CsvText());
}
