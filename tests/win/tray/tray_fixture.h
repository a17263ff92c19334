// A tray frame on the simulated adapter, with the tray icon recorded instead of shown.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/text/text.h"
#include "monitor/app/main_frame.h"
#include "monitor/app/monitor_app.h"
#include "monitor/res/resource.h"
#include "monitor/ui/monitor_dlg.h"
#include "tests/support/sim_scenario.h"

class RecordingTray : public TrayIcon {
public:
    struct Call {
        Mode mode;
        UINT icon;
        std::string tip;
        DWORD at;  // GetTickCount() of the call
    };
    bool Notify(HWND, UINT, Mode mode, UINT iconId, const std::string& tip) override {
        calls.push_back({mode, iconId, tip, GetTickCount()});
        return true;
    }
    // What the shell answers when asked for keyboard events.
    bool RequestKeyboardEvents(HWND) override { return keyboardEvents; }
    // Records the balloon's text; false plays a shell without balloons.
    bool ShowNotice(HWND, const std::string&, const std::string& text) override {
        notices.push_back(text);
        return balloons;
    }
    // Where the shell says the icon is; false plays a shell that does not say.
    bool IconRect(HWND, RECT* rect) override {
        *rect = iconRect;
        return iconKnown;
    }
    void ReturnFocus(HWND) override { ++focusReturned; }
    const Call& Last() const { return calls.back(); }
    std::vector<Call> calls;
    std::vector<std::string> notices;
    bool keyboardEvents = false;
    bool balloons = true;
    bool iconKnown = false;
    RECT iconRect = {};
    int focusReturned = 0;
};

// Watches, while a handler runs a nested loop, for the monitor window or a popup menu:
// records that it appeared and closes it so the test goes on.
class ModalWatch {
public:
    ModalWatch() {
        self_ = this;
        timer_ = SetTimer(nullptr, 0, 100, Tick);
    }
    ~ModalWatch() {
        KillTimer(nullptr, timer_);
        self_ = nullptr;
    }
    bool monitorOpened = false;
    int monitorPage = -1;
    bool menuOpened = false;
    RECT menuRect = {};
    bool closedByWatch = false;
    // Runs once while the monitor window is open, before the watch closes it.
    void (*whileOpen)() = nullptr;
    int closeAfterTicks = 3;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        ModalWatch* w = self_;
        if (!w) return;
        if (HWND menu = FindWindowA("#32768", nullptr); menu && IsWindowVisible(menu)) {
            w->menuOpened = true;
            GetWindowRect(menu, &w->menuRect);
            EndMenu();
        }
        HWND monitor = FindWindowA(nullptr, fw::LoadText(IDS_MONITOR_TITLE).c_str());
        if (!monitor || !IsWindowVisible(monitor)) return;  // still being built
        if (!w->monitorOpened) {
            w->monitorOpened = true;
            w->monitorPage = theMonitorDlg.currentPage;
            if (w->whileOpen) w->whileOpen();
        }
        if (--w->closeAfterTicks <= 0) {
            w->closedByWatch = true;
            PostMessageA(monitor, WM_CLOSE, 0, 0);
        }
    }
    static inline ModalWatch* self_ = nullptr;
    UINT_PTR timer_;
};

class TrayTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsim::ClearProductKeys();
        theApp.greenHistory.Allocate(307);
        theApp.redHistory.Allocate(307);
        theApp.greenHistory.Push(0);
        theApp.redHistory.Push(0);
    }
    void TearDown() override {
        if (frame && frame->Handle()) SendMessageA(frame->Handle(), WM_CLOSE, 0, 0);
        delete frame;
        frame = nullptr;
        // The closed frame ended "the program": drop its quit message.
        MSG m;
        while (PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        theApp.adapterPresent = 0;
        AthSimClear();
        testsim::ClearProductKeys();
    }
    void Start(const std::string& scenario) {
        testsim::Install(scenario);
        frame = new CMainFrame(&tray);
        ASSERT_TRUE(frame->CreateFrame());
    }
    void Tick() { SendMessageA(frame->Handle(), WM_TIMER, CMainFrame::kPollTimer, 0); }
    void Mouse(LPARAM event) { SendMessageA(frame->Handle(), IconPressedMessage(), 0, event); }
    void Command(int id) { SendMessageA(frame->Handle(), WM_COMMAND, id, 0); }
    int GreenNewest() { return Newest(theApp.greenHistory); }
    int RedNewest() { return Newest(theApp.redHistory); }

    RecordingTray tray;
    CMainFrame* frame = nullptr;

private:
    static int Newest(const CSampleHistory& h) {
        std::vector<int> s(static_cast<size_t>(h.Capacity()));
        int last = h.Snapshot(s.data());
        return s[static_cast<size_t>(last)];
    }
};

// A connected adapter with pinned status members; `status` adds to the status line.
inline std::string Connected(const std::string& status, const std::string& adapter = "quality=80") {
    return testsim::Adapter(0, adapter) +
           "profile name=Home ssid=Harbor\nselect name=Home\n"
           "status disconnected=0 ssid=Harbor rate=54 " + status + "\n";
}
