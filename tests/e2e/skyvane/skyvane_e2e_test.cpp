// Skyvane.exe started from outside: single instance, the hidden frame, the About box and
// the monitor window opened by a second start.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
    Process() {
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        std::string command = "\"" + ProductDir() + "Skyvane.exe\"";
        started_ = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                  ProductDir().c_str(), &si, &pi_) != FALSE;
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
            received.push_back({wp, lp});
            return 0;
        }
        return DefWindowProcA(h, msg, wp, lp);
    }
    FakeRunningCopy() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "FakeSkyvane";
        RegisterClassA(&wc);
        hwnd = CreateWindowExA(0, "FakeSkyvane", "Skyvane", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~FakeRunningCopy() { DestroyWindow(hwnd); }
    HWND hwnd;
    static inline std::vector<std::pair<WPARAM, LPARAM>> received;
};

HWND FindMonitorWindow() { return FindWindowA(nullptr, "Telvara WLAN Adapter Monitor"); }

class SkyvaneE2E : public ::testing::Test {
protected:
    void SetUp() override {
        testsim::ClearProductKeys();
        testsim::Install(testsim::Adapter(0) + "profile name=Home ssid=Harbor infrastructure=1\n"
                         "select name=Home\nstatus disconnected=0 ssid=Harbor signal=30\n");
    }
    void TearDown() override {
        if (HWND w = FindMonitorWindow()) PostMessageA(w, WM_CLOSE, 0, 0);
        if (HWND f = FindWindowA("SkyvaneFrame", "Skyvane")) PostMessageA(f, WM_CLOSE, 0, 0);
        PumpUntil(10000, [] { return !FindWindowA("SkyvaneFrame", nullptr); });
        AthSimClear();
        testsim::ClearProductKeys();
    }
};

}  // namespace

TEST_F(SkyvaneE2E, SecondCopyPostsOneDoubleClickToTheRunningCopyAndExits) {
    FakeRunningCopy running;
    FakeRunningCopy::received.clear();
    ASSERT_NE(nullptr, running.hwnd);

    Process second;
    ASSERT_TRUE(second.Started());
    ASSERT_TRUE(PumpUntil(30000, [&] { return second.Ended(); }));
    PumpUntil(300, [] { return false; });  // let a late post arrive

    ASSERT_EQ(1u, FakeRunningCopy::received.size());
    EXPECT_EQ(0u, FakeRunningCopy::received[0].first);
    EXPECT_EQ(515, FakeRunningCopy::received[0].second);
    EXPECT_EQ(0u, second.ExitCode());
    EXPECT_EQ(nullptr, FindWindowA("SkyvaneFrame", nullptr));  // it made no frame of its own
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
