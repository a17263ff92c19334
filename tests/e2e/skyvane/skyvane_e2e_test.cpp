// Skyvane.exe started from outside: single instance, the hidden frame, the About box, the
// monitor window opened by a second start and the commands a start hands to the running copy.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "monitor/adapter/oids.h"
#include "monitor/adapter/status_record.h"
#include "monitor/app/auto_connect/auto_connect_choice.h"
#include "monitor/app/history/link_history.h"
#include "monitor/profiles/profile_file.h"
#include "monitor/res/resource.h"
#include "tests/support/pe_imports.h"
#include "tests/support/program_dir.h"
#include "tests/support/sim_scenario.h"

namespace {

// Runs the message loop of this thread for `ms` milliseconds, or until `done` says so.
template <typename Done>
bool PumpUntil(DWORD ms, Done done) {
    DWORD end = GetTickCount() + ms;
    while (GetTickCount() < end) {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
        if (done()) return true;
        Sleep(20);
    }
    return done();
}

class Process {
public:
    // `output`: a file handle (inheritable) that gets the program's standard output.
    explicit Process(const std::string& args = "", HANDLE output = nullptr, const std::string& dir = "") {
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        if (output) {
            si.dwFlags = STARTF_USESTDHANDLES;
            si.hStdOutput = output;
        }
        std::string command = "\"" + ProductDir() + "Skyvane.exe\"" + (args.empty() ? "" : " " + args);
        started_ = CreateProcessA(nullptr, &command[0], nullptr, nullptr, output != nullptr, 0, nullptr,
                                  (dir.empty() ? ProductDir() : dir).c_str(), &si, &pi_) != FALSE;
    }
    ~Process() {
        if (!started_) return;
        if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 9);
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }
    bool Started() const { return started_; }
    bool Ended() const { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0; }
    DWORD ExitCode() const {
        DWORD code = 259;
        GetExitCodeProcess(pi_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION pi_ = {};
    bool started_ = false;
};

// A window titled like the running copy, counting what a second copy sends it.
struct FakeRunningCopy {
    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == RegisterWindowMessageA("MONITOR_ICON_PRESSED")) {
            received.push_back({h, wp, lp});
            return 0;
        }
        return DefWindowProcA(h, msg, wp, lp);
    }
    explicit FakeRunningCopy(const char* className) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = className;
        RegisterClassA(&wc);
        hwnd = CreateWindowExA(0, className, "Skyvane", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~FakeRunningCopy() { DestroyWindow(hwnd); }
    HWND hwnd;
    static inline std::vector<std::tuple<HWND, WPARAM, LPARAM>> received;
};

HWND FindMonitorWindow() { return FindWindowA(nullptr, "Telvara WLAN Adapter Monitor"); }

// Not the running copy's folder: a start that carries a command reads and writes the files.
std::string SenderDir() {
    std::string dir = ProgramDir() + "sender\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

// Runs Skyvane.exe with `args` to its end, in SenderDir(); its exit code, or 259 when it did
// not end. `output` gets what it wrote to its standard output.
DWORD RunSkyvane(const std::string& args, std::string* output = nullptr) {
    std::string outPath = ProgramDir() + "skyvane-output.txt";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out = output ? CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                      CREATE_ALWAYS, 0, nullptr)
                        : nullptr;
    Process run(args, out, SenderDir());
    if (out) CloseHandle(out);
    if (!run.Started() || !PumpUntil(90000, [&] { return run.Ended(); })) return 259;
    if (output) {
        std::ifstream in(outPath, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        *output = text.str();
    }
    return run.ExitCode();
}

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Every value of an export under the password "pw", secrets included.
std::string Held(const std::string& path) {
    profile_file::ReadResult r = profile_file::Read(FileText(path), "pw");
    std::string text = r.ok ? "Current=" + r.contents.current : "unreadable: " + r.error;
    for (const profile_file::Profile& p : r.contents.profiles)
        for (const auto& v : p.values) text += "\n" + v.first + "=" + v.second;
    return text;
}

// The page the monitor window shows, once it is open; -1 while it is not.
int MonitorPage() {
    HWND monitor = FindMonitorWindow();
    HWND tab = monitor ? GetDlgItem(monitor, IDC_TAB) : nullptr;
    return tab ? static_cast<int>(SendMessageA(tab, TCM_GETCURSEL, 0, 0)) : -1;
}

std::string SelectedProfile() {
    return testsim::ReadString("SYSTEM\\CurrentControlSet\\Control\\Class\\"
                               "{4D36E972-E325-11CE-BFC1-08002BE10318}\\0007\\Profiles",
                               "Selected");
}

// The radio value the driver received last (0 on, 1 off), or 99 when none.
DWORD LastRadioSet() {
    DWORD value = 99;
    AthSimLastRecordedValue(0, oid::kRadio, &value);
    return value;
}

// The network the adapter is associated with now, "" when none.
std::string AssociatedSsid() {
    uint8_t record[kStatusRecordSize] = {};
    DWORD written = 0, length = sizeof record;
    const std::string device = "\\DEVICE\\" + testsim::GuidOf(0);
    if (!AcsGetOid(device.c_str(), oid::kStatusRecord, &written, record, &length) || !written) return "";
    StatusRecord status(record);
    return status.Disconnected() ? "" : status.Ssid();
}

HWND WaitForFrame() {
    HWND frame = nullptr;
    PumpUntil(30000, [&] { return (frame = FindWindowA("SkyvaneFrame", "Skyvane")) != nullptr; });
    return frame;
}

class SkyvaneE2E : public ::testing::Test {
protected:
    void SetUp() override {
        testsim::ClearProductKeys();
        testsim::Install(testsim::Adapter(0) + "profile name=Home ssid=Harbor infrastructure=1\n"
                         "select name=Home\nstatus disconnected=0 ssid=Harbor signal=30\n");
    }
    void TearDown() override {
        if (HWND w = FindWindowA(nullptr, "Qorvath")) PostMessageA(w, WM_CLOSE, 0, 0);
        if (HWND w = FindMonitorWindow()) PostMessageA(w, WM_CLOSE, 0, 0);
        if (HWND f = FindWindowA("SkyvaneFrame", "Skyvane")) PostMessageA(f, WM_CLOSE, 0, 0);
        PumpUntil(10000, [] { return !FindWindowA("SkyvaneFrame", nullptr); });
        AthSimClear();
        testsim::ClearProductKeys();
    }
};

}  // namespace

TEST_F(SkyvaneE2E, SecondCopyPostsOneDoubleClickToTheRunningCopyAndExits) {
    FakeRunningCopy running("SkyvaneFrame");
    FakeRunningCopy stranger("SomeOtherProgram");  // titled "Skyvane" too, found first by title
    FakeRunningCopy::received.clear();
    ASSERT_NE(nullptr, running.hwnd);

    Process second;
    ASSERT_TRUE(second.Started());
    ASSERT_TRUE(PumpUntil(30000, [&] { return second.Ended(); }));
    PumpUntil(300, [] { return false; });  // let a late post arrive

    ASSERT_EQ(1u, FakeRunningCopy::received.size());
    EXPECT_EQ(std::make_tuple(running.hwnd, WPARAM(0), LPARAM(515)), FakeRunningCopy::received[0]);
    EXPECT_EQ(0u, second.ExitCode());
}

TEST_F(SkyvaneE2E, HiddenFrameAboutBoxAndSecondStartOpeningTheMonitorWindow) {
    Process first;
    ASSERT_TRUE(first.Started());
    HWND frame = nullptr;
    ASSERT_TRUE(PumpUntil(30000, [&] { return (frame = FindWindowA("SkyvaneFrame", "Skyvane")) != nullptr; }));
    EXPECT_FALSE(IsWindowVisible(frame));

    // The About command of the frame's own menu.
    PostMessageA(frame, WM_COMMAND, 57664, 0);
    HWND about = nullptr;
    ASSERT_TRUE(PumpUntil(15000, [&] { return (about = FindWindowA(nullptr, "About Skyvane")) != nullptr; }));
    // The dialog's controls are created after the dialog window itself.
    EXPECT_TRUE(PumpUntil(5000, [&] { return GetDlgItem(about, IDOK) != nullptr; }));
    EXPECT_NE(nullptr, FindWindowExA(about, nullptr, "Static", "Skyvane Version 1.0"));
    char text[64] = {};
    GetWindowTextA(GetDlgItem(about, IDOK), text, sizeof text);
    EXPECT_STREQ("OK", text);
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(PumpUntil(15000, [] { return !FindWindowA(nullptr, "About Skyvane"); }));

    // A second start asks the first to open its monitor window, as a double-click would.
    Process second;
    ASSERT_TRUE(PumpUntil(30000, [&] { return second.Ended(); }));
    HWND monitor = nullptr;
    ASSERT_TRUE(PumpUntil(15000, [&] { return (monitor = FindMonitorWindow()) != nullptr; }));
    EXPECT_FALSE(first.Ended());

    // Closing the monitor window leaves the program running in the tray.
    PostMessageA(monitor, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil(15000, [] { return !FindMonitorWindow(); }));
    EXPECT_FALSE(first.Ended());

    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_TRUE(PumpUntil(15000, [&] { return first.Ended(); }));
}

// The frame's status bar and the pages' tab, progress and list controls are common
// controls: Windows creates them only after the program has initialised their classes.
TEST(SkyvaneProgram, InitialisesTheCommonControlsItUses) {
    EXPECT_TRUE(pe::FileImports(ProductDir() + "Skyvane.exe", "comctl32.dll", "InitCommonControlsEx"));
    EXPECT_FALSE(pe::FileImports(ProductDir() + "Skyvane.exe", "comctl32.dll", "NoSuchFunction"));
}

TEST_F(SkyvaneE2E, ASecondStartHandsItsCommandToTheRunningCopy) {
    testsim::Install(testsim::Adapter(0) +
                     "profile name=Home ssid=Harbor infrastructure=1\n"
                     "profile name=Office ssid=Tower infrastructure=1\n"
                     // A WEP key far shorter than its length: the checks refuse it.
                     "profile name=Broken ssid=Cellar infrastructure=1 privacy=1 eapMethod=7 wpa=0 keyIsHex=1 "
                     "defaultKey=1 wepKey1=00 wepKeyBits1=104\n"
                     "select name=Home\nstatus disconnected=0 ssid=Harbor signal=30\n");
    Process first;
    ASSERT_TRUE(first.Started());
    HWND frame = WaitForFrame();
    ASSERT_NE(nullptr, frame);

    struct Case {
        const char* args;
        DWORD code;
        const char* selected;  // the adapter's profile afterwards
        DWORD radio;           // the radio value the driver received last
    } cases[] = {
        {"/apply Office", 0, "Office", 99},
        {"/apply Nowhere", 3, "Office", 99},
        {"/apply Broken", 4, "Office", 99},
        {"/APPLY \"Home\"", 0, "Home", 99},
        {"/radio off", 0, "Home", 1},
        {"/radio on", 0, "Home", 0},
        {"/radio sideways", 1, "Home", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.code, RunSkyvane(c.args)) << c.args;
        EXPECT_EQ(c.selected, SelectedProfile()) << c.args;
        EXPECT_EQ(c.radio, LastRadioSet()) << c.args;
        EXPECT_EQ(frame, FindWindowA("SkyvaneFrame", "Skyvane")) << c.args;  // still the one copy
    }
    EXPECT_EQ(nullptr, FindMonitorWindow());  // no command opened a window or a message

    // /show opens the monitor window on the page, then moves the open window.
    EXPECT_EQ(0u, RunSkyvane("/show survey"));
    EXPECT_TRUE(PumpUntil(15000, [] { return MonitorPage() == 3; }));
    EXPECT_EQ(0u, RunSkyvane("/show status"));
    EXPECT_TRUE(PumpUntil(15000, [] { return MonitorPage() == 1; }));
    PostMessageA(FindMonitorWindow(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil(15000, [] { return !FindMonitorWindow(); }));

    // Without an adapter there is nothing to apply or switch.
    AthSimSetPresent(0, 0);
    PumpUntil(2500, [] { return false; });  // the poll notices within a tick
    EXPECT_EQ(2u, RunSkyvane("/radio on"));
    EXPECT_EQ(2u, RunSkyvane("/apply Home"));

    // /exit ends the copy as the tray's Exit does, and answers once it has ended.
    EXPECT_EQ(0u, RunSkyvane("/exit"));
    EXPECT_TRUE(first.Ended());
    EXPECT_EQ(nullptr, FindWindowA("SkyvaneFrame", nullptr));
    EXPECT_EQ(5u, RunSkyvane("/exit"));
    EXPECT_EQ(nullptr, FindWindowA("SkyvaneFrame", nullptr));  // /exit started no copy
}

TEST_F(SkyvaneE2E, AFirstStartWithACommandRunsAndCarriesItOut) {
    Process first("/show about");
    ASSERT_TRUE(first.Started());
    ASSERT_NE(nullptr, WaitForFrame());
    EXPECT_TRUE(PumpUntil(15000, [] { return MonitorPage() == 4; }));
    EXPECT_FALSE(first.Ended());

    // /exit closes the open monitor window too.
    EXPECT_EQ(0u, RunSkyvane("/exit"));
    EXPECT_TRUE(first.Ended());
    EXPECT_EQ(nullptr, FindMonitorWindow());
}

// Release greys both buttons and shows the marker (for at least a second) until it ends.
TEST_F(SkyvaneE2E, ReleaseShowsTheMarkerUntilTheOperationEnds) {
    testsim::Install(testsim::Adapter(0, "interface=*") + "status disconnected=0 netmode=0 ssid=Harbor\n");
    Process first("/show ip");
    HWND page = nullptr;  // the page shown: the monitor window's one child dialog
    char address[32] = "";
    PumpUntil(30000, [&] {
        page = FindWindowExA(FindMonitorWindow(), nullptr, "#32770", nullptr);
        return page && SendDlgItemMessageA(page, IDC_IP_ADDRESS, WM_GETTEXT, sizeof address, LPARAM(address)) > 0;
    });
    if (!*address) GTEST_SKIP() << "no interface with an address to tie the adapter to";
    HWND release = GetDlgItem(page, IDC_IP_RELEASE), renew = GetDlgItem(page, IDC_IP_RENEW);
    auto marker = [] { return FindWindowA(nullptr, "Qorvath") != nullptr; };
    SendMessageA(release, BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil(10000, marker));
    PumpUntil(500, [] { return false; });
    EXPECT_TRUE(marker() && !IsWindowEnabled(release) && !IsWindowEnabled(renew));
    EXPECT_TRUE(PumpUntil(15000, [&] { return !marker() && IsWindowEnabled(release) && IsWindowEnabled(renew); }));
}

TEST_F(SkyvaneE2E, ProfilesMoveToAnotherAdapterThroughAFile) {
    const std::string dir = ProgramDir();
    const std::string withKeys = dir + "moved-keys.ini", noKeys = dir + "moved-nokeys.ini";
    const std::string cut = dir + "moved-cut.ini", before = dir + "moved-before.ini",
                      after = dir + "moved-after.ini", back = dir + "moved-back.ini";
    const std::string changed = dir + "moved-changed.ini", upper = dir + "moved-upper.ini";
    testsim::Install(testsim::Adapter(0) +
                     "profile name=Home ssid=Harbor infrastructure=1 privacy=1 wpa=1 eapMethod=7 "
                     "pskPassphrase=\"sunny-terrace-42\" pskBits=128 channelMHz=2437\n"
                     "profile name=Library ssid=Stacks infrastructure=1 privacy=1 wpa=0 eapMethod=7 "
                     "keyIsHex=1 wepKey1=1A2B3C4D5E wepKeyBits1=40 defaultKey=1\n"
                     "profile name=Cafe ssid=Corner infrastructure=0 powerSave=1 wirelessMode=12\n"
                     "select name=Home\n");
    {
        Process first;
        ASSERT_NE(nullptr, WaitForFrame());
        EXPECT_EQ(0u, RunSkyvane("/export \"" + withKeys + "\" /password \"two words\""));
        EXPECT_EQ(0u, RunSkyvane("/export \"" + noKeys + "\""));
        EXPECT_EQ(0u, RunSkyvane("/export moved-relative.ini"));  // the folder it starts in
        EXPECT_EQ(0u, RunSkyvane("/exit"));
    }
    std::string keysText = FileText(withKeys);
    EXPECT_NE(std::string::npos, keysText.find("SSID=Harbor"));
    for (const char* secret : {"sunny-terrace-42", "1A2B3C4D5E"}) {
        EXPECT_EQ(std::string::npos, keysText.find(secret)) << secret;
        EXPECT_EQ(std::string::npos, FileText(noKeys).find(secret)) << secret;
    }
    EXPECT_NE("", FileText(SenderDir() + "moved-relative.ini"));  // not the running copy's folder
    EXPECT_NE(std::string::npos, FileText(noKeys).find("; Not protected"));
    // Half the file, as a copy cut short would leave it; a plain value changed; a name in capitals.
    std::ofstream(cut, std::ios::binary) << keysText.substr(0, keysText.size() / 2);
    std::string edited = keysText;
    std::ofstream(changed, std::ios::binary) << edited.replace(edited.find("SSID=Harbor"), 11, "SSID=Harbour");
    edited = FileText(noKeys);
    std::ofstream(upper, std::ios::binary) << edited.replace(edited.find("Name=Cafe"), 9, "Name=CAFE");

    // Another machine: another adapter, with a profile of the same name.
    testsim::ClearProductKeys();
    testsim::Install(testsim::Adapter(1) + "profile name=Cafe ssid=Elsewhere infrastructure=1\n"
                                           "select name=Cafe\n");
    Process second;
    ASSERT_NE(nullptr, WaitForFrame());
    ASSERT_EQ(0u, RunSkyvane("/export \"" + before + "\" /password pw"));
    // An export that cannot replace the file leaves it (the loop below reads it) and no other.
    HANDLE held = CreateFileA(before.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(8u, RunSkyvane("/export \"" + before + "\""));
    CloseHandle(held);
    WIN32_FIND_DATAA found;
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA((dir + "sky*.tmp").c_str(), &found));

    std::string said;
    struct Refused {
        std::string args;
        DWORD code;
        const char* said;  // in the start's report
    } refused[] = {
        {"/import \"" + cut + "\" /password \"two words\" /replace", 8, "line "},
        {"/import \"" + withKeys + "\" /password other /replace", 9, "another password"},
        {"/import \"" + withKeys + "\" /password \"two words\"", 7, "named Cafe;"},
        {"/import \"" + upper + "\"", 7, "named Cafe;"},
        {"/import \"" + changed + "\" /password \"two words\" /replace", 11, "was changed"},
        {"/import \"" + dir + "no-such-file.ini\"", 8, "cannot be read"},
        {"/import LPT1", 8, "cannot be read"},
        {"/export /password", 1, ""},
    };
    for (const Refused& r : refused) {
        EXPECT_EQ(r.code, RunSkyvane(r.args, &said)) << r.args;
        EXPECT_NE(std::string::npos, said.find(r.said)) << r.args << ": " << said;
        ASSERT_EQ(0u, RunSkyvane("/export \"" + after + "\" /password pw"));
        EXPECT_EQ(Held(before), Held(after)) << r.args;  // nothing changed
    }

    // With the password and /replace every value arrives, secrets included.
    EXPECT_EQ(0u, RunSkyvane("/import \"" + withKeys + "\" /password \"two words\" /replace"));
    ASSERT_EQ(0u, RunSkyvane("/export \"" + back + "\" /password pw"));
    profile_file::ReadResult sent = profile_file::Read(keysText, "two words");
    profile_file::ReadResult arrived = profile_file::Read(FileText(back), "pw");
    ASSERT_TRUE(sent.ok && arrived.ok) << sent.error << arrived.error;
    EXPECT_EQ("Cafe", arrived.contents.current);  // an import selects nothing
    ASSERT_EQ(3u, arrived.contents.profiles.size());
    for (const profile_file::Profile& p : sent.contents.profiles) {
        const profile_file::Profile* match = nullptr;
        for (const profile_file::Profile& q : arrived.contents.profiles)
            if (q.Get("Name") == p.Get("Name")) match = &q;
        ASSERT_NE(nullptr, match) << p.Get("Name");
        for (const profile_file::Field& f : profile_file::kFields)
            EXPECT_EQ(p.Get(f.key), match->Get(f.key)) << p.Get("Name") << " " << f.key;
    }

    // Without keys: the profiles are replaced, their keys are kept.
    EXPECT_EQ(0u, RunSkyvane("/import \"" + noKeys + "\" /replace"));
    ASSERT_EQ(0u, RunSkyvane("/export \"" + after + "\" /password pw"));
    EXPECT_EQ(Held(back), Held(after));
    EXPECT_EQ(0u, RunSkyvane("/exit"));

    // A first start says which profiles need their keys typed again and ends with that code.
    testsim::ClearProductKeys();
    testsim::Install(testsim::Adapter(2) + "profile name=Other ssid=There infrastructure=1\nselect name=Other\n");
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA(after.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    Process third("/import \"" + noKeys + "\"", out);
    CloseHandle(out);
    ASSERT_NE(nullptr, WaitForFrame());
    EXPECT_EQ(0u, RunSkyvane("/exit"));
    EXPECT_EQ(10u, third.ExitCode());
    EXPECT_EQ("These profiles need their keys typed again: Home, Library\r\n", FileText(after));
    for (const std::string& f : {withKeys, noKeys, cut, changed, upper, before, after, back,
                                 SenderDir() + "moved-relative.ini"})
        DeleteFileA(f.c_str());
}

// What automatic connection told the History: "profile=finding " per entry, oldest first.
std::string AutoConnectEntries() {
    std::string text(16384, '\0');
    DWORD size = DWORD(text.size());
    if (RegGetValueA(HKEY_CURRENT_USER, "Software\\Halvex\\Skyvane", "LinkHistory", RRF_RT_REG_BINARY, nullptr,
                     &text[0], &size))
        size = 0;
    link_history::History history;
    history.Load(text.substr(0, size));
    std::string said;
    for (const link_history::Event& e : history.Events())
        if (e.kind == link_history::Kind::AutoConnect) said += e.profile + "=" + std::to_string(e.finding) + " ";
    return said;
}

// Two profiles, Office first in the user's order: when the office network goes, Skyvane
// joins the second by itself within the scan and one candidate's wait after the 10-second
// grace, and the History says why the first was skipped.
TEST_F(SkyvaneE2E, ConnectsAutomaticallyToTheNextPreferredNetworkInRange) {
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Halvex\\Skyvane");
    const std::string order = "Software\\Halvex\\Skyvane\\Preferred\\" + testsim::GuidOf(0);
    ASSERT_EQ(ERROR_SUCCESS, SHSetValueA(HKEY_CURRENT_USER, order.c_str(), "Order", REG_BINARY, "Office\0Home", 12));
    auto scenario = [](bool officeInRange) {
        return "scan ms=1000\n" + testsim::Adapter(0) +
               "profile name=Home ssid=Harbor infrastructure=1\n"
               "profile name=Office ssid=Tower infrastructure=1\nselect name=Office\n" +
               (officeInRange ? "network ssid=Tower channel=1\n" : "") + "network ssid=Harbor channel=11\n";
    };
    testsim::Install(scenario(true));
    Process first;
    ASSERT_NE(nullptr, WaitForFrame());
    EXPECT_EQ(0u, RunSkyvane("/auto on"));
    ASSERT_TRUE(PumpUntil(15000, [] { return AssociatedSsid() == "Tower"; }));

    testsim::Install(scenario(false));  // the link drops
    const DWORD lost = GetTickCount();
    // The poll's tick, the grace, the scan, one candidate's wait, and the tick that sees it.
    const DWORD bound = 1000 + 10000 + 4000 + 15000 + 1000;
    const std::string told = "Office=" + std::to_string(int(auto_connect::Finding::NotInRange)) + " Home=" +
                             std::to_string(int(auto_connect::Finding::Connected)) + " ";
    EXPECT_TRUE(PumpUntil(bound, [&] { return AutoConnectEntries() == told; })) << AutoConnectEntries();
    std::printf("%lu ms from the loss to the History entry of the join\n", GetTickCount() - lost);
    EXPECT_EQ("Harbor", AssociatedSsid());
    EXPECT_EQ("Home", SelectedProfile());
    EXPECT_EQ(0u, RunSkyvane("/exit"));
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Halvex\\Skyvane");
}
