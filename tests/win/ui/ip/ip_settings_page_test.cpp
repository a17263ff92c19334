// The IP Settings page inside the monitor window: the fields from the machine's real IP helper
// with the simulated adapter tied to one of its interfaces, and the button rules around a
// release or renew and its marker program.
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <tlhelp32.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>

#include "athcfg/athcfg.h"
#include "athcfg/model/scenario.h"
#include "monitor/adapter/oids.h"
#include "monitor/app/monitor_app.h"
#include "monitor/res/resource.h"
#include "monitor/ui/ip/ip_settings_page.h"
#include "monitor/ui/monitor_dlg.h"
#include "tests/support/program_dir.h"
#include "tests/support/sim_scenario.h"
#include "tests/win/ui/modal_script.h"

namespace {

const char kMarkerTitle[] = "Qorvath";
// The scenario's `interface=*` ties the adapter to the machine's first addressed interface.
const char kNoInterface[] =
    "SKIPPED: this machine has no interface with an address to tie the adapter to";
const char kAssociated[] = "status ssid=Harbor netmode=0 disconnected=0\n";
const char kHostProfile[] = "profile name=Home ssid=Harbor defaultUserName=alice\nselect name=Home\n";

// What the machine's IP helper reports of one of its interfaces, as the page should show it.
struct Interface {
    std::string description, address, mask, gateway, dhcpServer, mac;
    bool unique = true;  // no entry before it begins with its description minus the last character
};

// The first interface with an address: the one a scenario's `interface=*` ties the adapter to.
Interface FirstAddressedInterface() {
    Interface found;
    ULONG size = 0;
    if (GetAdaptersInfo(nullptr, &size) != ERROR_BUFFER_OVERFLOW) return found;
    std::vector<char> buffer(size);
    auto* first = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data());
    if (GetAdaptersInfo(first, &size) != NO_ERROR) return found;
    std::vector<std::string> before;
    for (const IP_ADAPTER_INFO* a = first; a; a = a->Next) {
        if (!std::strcmp(a->IpAddressList.IpAddress.String, "0.0.0.0")) {
            before.push_back(a->Description);
            continue;
        }
        found.description = a->Description;
        for (const IP_ADDR_STRING* ip = &a->IpAddressList; ip; ip = ip->Next) {
            found.address += ip->IpAddress.String;
            found.mask += ip->IpMask.String;
        }
        found.gateway = a->GatewayList.IpAddress.String;
        std::string server = a->DhcpServer.IpAddress.String;
        if (a->DhcpEnabled && server != "255.255.255.255") found.dhcpServer = server;
        char mac[18];
        std::snprintf(mac, sizeof mac, "%02X:%02X:%02X:%02X:%02X:%02X", a->Address[0], a->Address[1],
                      a->Address[2], a->Address[3], a->Address[4], a->Address[5]);
        found.mac = mac;
        std::string prefix = found.description.substr(0, found.description.size() - 1);
        for (const std::string& d : before) found.unique = found.unique && d.compare(0, prefix.size(), prefix) != 0;
        break;
    }
    return found;
}

struct Shown {
    std::string address, hostName, mac, mask, dhcpServer, gateway;
    bool releaseEnabled = false, renewEnabled = false;
};

HWND Page() { return theIpSettingsPage.Handle(); }

Shown Read() {
    Shown s;
    s.address = ItemText(Page(), IDC_IP_ADDRESS);
    s.hostName = ItemText(Page(), IDC_IP_HOST_NAME);
    s.mac = ItemText(Page(), IDC_IP_MAC);
    s.mask = ItemText(Page(), IDC_IP_MASK);
    s.dhcpServer = ItemText(Page(), IDC_IP_DHCP_SERVER);
    s.gateway = ItemText(Page(), IDC_IP_GATEWAY);
    s.releaseEnabled = IsWindowEnabled(GetDlgItem(Page(), IDC_IP_RELEASE)) != 0;
    s.renewEnabled = IsWindowEnabled(GetDlgItem(Page(), IDC_IP_RENEW)) != 0;
    return s;
}

int MarkerWindows() {
    int count = 0;
    for (HWND w = FindWindowA(nullptr, kMarkerTitle); w; w = FindWindowExA(nullptr, w, nullptr, kMarkerTitle))
        ++count;
    return count;
}

bool MarkerProcessRuns() {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32First(snap, &entry); more && !found; more = Process32Next(snap, &entry))
        found = lstrcmpiA(entry.szExeFile, "Qorvath.exe") == 0;
    CloseHandle(snap);
    return found;
}

std::vector<Step> operator+(std::vector<Step> a, const std::vector<Step>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Up to `ticks` steps that check `done` until it first returns true.
std::vector<Step> Until(int ticks, std::function<bool()> done) {
    auto finished = std::make_shared<bool>(false);
    return std::vector<Step>(ticks, [=] {
        if (!*finished) *finished = done();
    });
}

class IpSettingsPage : public ::testing::Test {
protected:
    void TearDown() override {
        ForgetAdapter();
        // No marker may outlive its test.
        for (int i = 0; i < 50 && (MarkerWindows() || MarkerProcessRuns()); ++i) {
            if (HWND w = FindWindowA(nullptr, kMarkerTitle)) PostMessageA(w, WM_CLOSE, 0, 0);
            Pump(100);
        }
    }
    // The adapter (with `extra` attributes), its record as the tray poll reads it, and the
    // host-name profile.
    void Open(const std::string& extra, const std::string& status) {
        testsim::Install(testsim::Adapter(0, extra) + kHostProfile + status);
        ASSERT_EQ(1, theApp.session.Discover());
        DWORD written = 0, length = sizeof theApp.statusRecord;
        ASSERT_NE(0, AcsGetOid(theApp.session.deviceName.c_str(), oid::kStatusRecord, &written,
                               theApp.statusRecord, &length));
    }
};

}  // namespace

TEST_F(IpSettingsPage, AnAdapterTiedToAnInterfaceShowsThatInterface) {
    const Interface nic = FirstAddressedInterface();
    if (nic.description.empty()) GTEST_SKIP() << kNoInterface;
    std::vector<std::string> ties = {"*"};
    // A device name that is only the start of the description, as when the system appends a
    // suffix to it, still finds the interface.
    if (nic.description.size() > 1 && nic.unique)
        ties.push_back(athsim::Quote(nic.description.substr(0, nic.description.size() - 1)));
    for (const std::string& tie : ties) {
        Open("interface=" + tie, kAssociated);
        Shown s;
        RunMonitor(2, {[&] { s = Read(); }});
        EXPECT_EQ(nic.address, s.address) << tie;
        EXPECT_EQ(nic.mask, s.mask) << tie;
        EXPECT_EQ(nic.gateway, s.gateway) << tie;
        EXPECT_EQ(nic.dhcpServer, s.dhcpServer) << tie;
        EXPECT_EQ(nic.mac, s.mac) << tie;
        EXPECT_EQ("alice", s.hostName) << tie;
        EXPECT_TRUE(s.releaseEnabled && s.renewEnabled) << tie;
        theApp.session.CloseSession();
    }
    // Untied, the adapter's name is no interface's description: the IP fields stay empty.
    Open("", kAssociated);
    Shown untied;
    RunMonitor(2, {[&] { untied = Read(); }});
    EXPECT_EQ("", untied.address);
    EXPECT_EQ("", untied.mask);
    EXPECT_EQ("alice", untied.hostName);
}

TEST_F(IpSettingsPage, NoAdapterOrNoAssociationEmptiesEveryFieldAndDisablesTheButtons) {
    Shown none, disconnected;
    RunMonitor(2, {[&] { none = Read(); }});
    Open("interface=*", "status disconnected=1\n");
    RunMonitor(2, {[&] { disconnected = Read(); }});
    for (const Shown& s : {none, disconnected}) {
        EXPECT_EQ("", s.address + s.hostName + s.mac + s.mask + s.dhcpServer + s.gateway);
        EXPECT_FALSE(s.releaseEnabled);
        EXPECT_FALSE(s.renewEnabled);
    }
}

TEST_F(IpSettingsPage, AdHocModeDisablesTheButtonsWithinASecond) {
    const Interface nic = FirstAddressedInterface();
    if (nic.description.empty()) GTEST_SKIP() << kNoInterface;
    Open("interface=*", kAssociated);
    Shown before, after;
    DWORD switched = 0, disabledAfter = 0;
    std::vector<Step> steps = {[&] {
        before = Read();
        // The tray poll brings a record in ad hoc mode.
        theApp.statusRecord[StatusRecord::kNetworkMode] = 1;
        switched = GetTickCount();
    }};
    for (int i = 0; i < 30; ++i)
        steps.push_back([&] {
            if (!disabledAfter && !IsWindowEnabled(GetDlgItem(Page(), IDC_IP_RELEASE)))
                disabledAfter = GetTickCount() - switched;
        });
    steps.push_back([&] { after = Read(); });
    RunMonitor(2, steps);
    EXPECT_TRUE(before.releaseEnabled && before.renewEnabled);
    ASSERT_NE(0u, disabledAfter) << "still enabled after 1.8 s";
    EXPECT_LE(disabledAfter, 1100u);
    EXPECT_FALSE(after.releaseEnabled || after.renewEnabled);
    EXPECT_EQ(nic.address, after.address);  // the fields are still shown
}

namespace {
// A marker program of the test's own, running beside the one the page starts.
class OwnMarker {
public:
    OwnMarker() {
        std::string command = "\"" + ProgramDir() + "Qorvath.exe\"";
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_)) {
            CloseHandle(pi_.hThread);
            WaitForInputIdle(pi_.hProcess, 10000);
        }
    }
    ~OwnMarker() {
        if (pi_.hProcess) CloseHandle(pi_.hProcess);
    }
    // Closes whichever marker window is left with its close box and tells whether a marker
    // program ended.
    bool CloseAndWait() {
        HWND w = FindWindowA(nullptr, kMarkerTitle);
        if (w && (GetWindowLongA(w, GWL_STYLE) & WS_SYSMENU)) PostMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0);
        return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 5000) == WAIT_OBJECT_0;
    }

private:
    PROCESS_INFORMATION pi_ = {};
};
}  // namespace

TEST_F(IpSettingsPage, AnOperationKeepsTheButtonsDisabledUntilItsMarkerWindowHasGone) {
    if (FirstAddressedInterface().description.empty()) GTEST_SKIP() << kNoInterface;
    Open("interface=*", kAssociated);
    OwnMarker own;
    ASSERT_EQ(1, MarkerWindows()) << "Qorvath.exe did not show its window";
    bool disabledAtOnce = false, enabledWhileMarker = false, pagesMarkerClosed = false;
    bool ownEnded = false, enabledAfterRelease = false, renewDisabledAtOnce = false;
    bool renewDone = false;

    std::vector<Step> steps = {[&] {
        // Our marker keeps the buttons disabled; the page shows them enabled only by its last
        // refresh, so the click goes to an enabled button.
        EnableWindow(GetDlgItem(Page(), IDC_IP_RELEASE), TRUE);
        SendMessageA(GetDlgItem(Page(), IDC_IP_RELEASE), BM_CLICK, 0, 0);
        Shown s = Read();
        disabledAtOnce = !s.releaseEnabled && !s.renewEnabled;
    }};
    // The worker closes the marker the page started (Wine takes about 2 s to destroy a
    // window); ours stays for another 1.2 s, and every refresh meanwhile keeps both buttons
    // disabled.
    int ticksWithOursOnly = 0;
    steps = steps + Until(100, [&] {
        Shown s = Read();
        enabledWhileMarker = enabledWhileMarker || s.releaseEnabled || s.renewEnabled;
        pagesMarkerClosed = pagesMarkerClosed || MarkerWindows() == 1;
        return pagesMarkerClosed && ++ticksWithOursOnly == 20;
    });
    steps.push_back([&] { ownEnded = own.CloseAndWait(); });
    steps = steps + Until(30, [&] {
        Shown s = Read();
        return enabledAfterRelease = s.releaseEnabled && s.renewEnabled;
    });
    steps.push_back([&] {
        SendMessageA(GetDlgItem(Page(), IDC_IP_RENEW), BM_CLICK, 0, 0);
        Shown s = Read();
        renewDisabledAtOnce = !s.releaseEnabled && !s.renewEnabled;
    });
    steps = steps + Until(80, [&] {
        Shown s = Read();
        return renewDone = MarkerWindows() == 0 && s.releaseEnabled && s.renewEnabled;
    });
    RunMonitor(2, steps);

    EXPECT_TRUE(disabledAtOnce);
    EXPECT_TRUE(pagesMarkerClosed) << "the worker did not close the marker the page started";
    EXPECT_FALSE(enabledWhileMarker);
    EXPECT_TRUE(ownEnded) << "the marker program did not end by its close box";
    EXPECT_TRUE(enabledAfterRelease);
    EXPECT_TRUE(renewDisabledAtOnce);
    EXPECT_TRUE(renewDone);
}

TEST_F(IpSettingsPage, AReleaseRunsUntilItsWorkerEndsAndLeavesNoMarker) {
    if (FirstAddressedInterface().description.empty()) GTEST_SKIP() << kNoInterface;
    // Tied: the refresh right after the click comes before the marker has shown its window.
    // Untied: nothing to release, no marker shows, and the buttons come back at once.
    for (const char* tie : {"interface=*", ""}) {
        Open(tie, kAssociated);
        bool enabledByRefresh = true, markerSeen = false, ended = false;
        RunMonitor(2, std::vector<Step>{[&] {
                                            SendMessageA(GetDlgItem(Page(), IDC_IP_RELEASE), BM_CLICK, 0, 0);
                                            theIpSettingsPage.Refresh();
                                            Shown s = Read();
                                            enabledByRefresh = s.releaseEnabled || s.renewEnabled;
                                        }} +
                          Until(150, [&] {
                              markerSeen = markerSeen || MarkerWindows() > 0;
                              Shown s = Read();
                              return ended = s.releaseEnabled && MarkerWindows() == 0 && !MarkerProcessRuns();
                          }) +
                          std::vector<Step>(20, [&] { markerSeen = markerSeen || MarkerWindows() > 0; }));
        if (*tie) {
            EXPECT_FALSE(enabledByRefresh) << "the buttons came back while the release ran";
        }
        EXPECT_TRUE(ended) << tie << ": the operation did not end, or its marker stayed";
        EXPECT_EQ(*tie != '\0', markerSeen) << tie;
        EXPECT_EQ(0, MarkerWindows()) << tie;
        theApp.session.CloseSession();
    }
}
