// The hidden main window: owns the tray icon, runs the once-a-second poll and opens the
// monitor window from the tray.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/window.h"
#include "monitor/app/auto_connect/auto_connect.h"
#include "monitor/app/commands/app_command.h"
#include "monitor/app/history/link_history.h"
#include "monitor/app/tray/tray_icon.h"
#include "monitor/ui/history/history_window.h"
#include "monitor/ui/preferred/preferred_window.h"

class StorePages;

class CMainFrame : public fw::Window, private AutoConnectHost {
public:
    // `tray` shows the icon; tests pass a recorder. It must outlive the frame.
    explicit CMainFrame(TrayIcon* tray = nullptr);
    bool CreateFrame();
    // Runs `command` once the message loop runs: the command a first start carried.
    void QueueCommand(const app_command::Command& command);

    // The exit code of the command a first start carried and ran itself (0 when none).
    app_command::Result CommandResult() const { return commandResult_; }

    static constexpr char kClassName[] = "SkyvaneFrame";
    static constexpr UINT kPollTimer = 199;
    // Where the shell has no balloons, a notice leaves the tip when this timer fires.
    static constexpr UINT kNoticeTimer = 200;
    static constexpr UINT kRunQueuedCommand = WM_APP + 1;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    LRESULT OnCreate();
    void OnSetFocus();
    void OnTimer(UINT_PTR id);
    void OnClose();
    void OnCommand(int id);
    void OnIconPressed(LPARAM mouseMessage);
    void OnTaskbarCreated();
    void OnOpenPage(int page);
    void OnExit();
    LRESULT OnCopyData(HWND sender, const COPYDATASTRUCT* data);
    void OnProfileChosen(size_t index);
    void OnRadioChosen();

    app_command::Result RunCommand(const app_command::Command& command);
    app_command::Result ApplyCommand(const std::string& name);
    app_command::Result RadioCommand(bool on);
    app_command::Result AutoCommand(bool on);
    app_command::Result TransferCommand(HWND sender, const app_command::Command& command,
                                        const std::string& fileText);
    void EndOnCommand();

    // Tick steps.
    // True when the tick read the adapter's status record.
    bool PollAdapter();
    void PollDisconnected(int32_t radio);
    void PollConnected();
    void PollZeroConfig();
    void AdapterLost();
    void WatchLink(bool statusRead);
    std::string CurrentAddress();
    void RecordLinkEvent(link_history::Event event, bool notice = true);
    void RecordAutoEvent(const link_history::Event& event, bool notice) override;
    void ShowNotice(const std::string& text);
    void EndNotice();
    void OnNoticesChosen();

    void ApplyCurrentProfile();
    void ShowTray(TrayIcon::Mode mode, UINT iconId, const std::string& tip);
    bool IsMenuEvent(LPARAM event);
    // True when it opened at the icon, away from the pointer: from the keyboard.
    bool ShowTrayMenu();
    void FillTrayMenu(HMENU popup);
    // Applies the stored profile `name` as the user's own choice (tray Profiles, /apply).
    static bool ApplyNamedProfile(const std::string& name, StorePages& pages);
    static bool RadioIsOn();
    static void SwitchRadio(bool on);
    void PushSamples(int32_t received, int32_t sent);
    // The monitor window when it is open.
    static HWND MonitorWindow();

    uint64_t previousBytesSent_ = 0;
    uint64_t previousBytesReceived_ = 0;
    int zeroConfigState_ = 0;
    int warmUpCount_ = 0;
    int osCode_ = 0;
    std::string networkName_;
    int32_t speed_ = 0;
    int32_t linkQuality_ = 0;
    std::string tooltip_;
    UINT icon_ = 0;
    bool keyboardEvents_ = false;  // the shell sends NIN_KEYSELECT and WM_CONTEXTMENU
    DWORD keyMenuClosedAt_ = 0;
    std::vector<std::string> menuProfiles_;  // the Profiles submenu's names, in item order
    app_command::Command queuedCommand_;
    app_command::Result commandResult_ = app_command::kDone;
    int32_t radio_ = 0;  // the driver's radio state at the last tick
    link_history::Detector linkDetector_;
    std::string address_;
    int addressTicks_ = 0;  // ticks until the address is read again
    uint32_t seenActivations_ = 0;
    int applyTicks_ = 0;  // ticks left in which a dropped link is the apply's doing
    bool noticesOn_ = true;
    // Where the shell has no balloons the tip carries a notice while the icon stays the same,
    // for as long as a balloon would show.
    std::string noticeTip_;
    UINT noticeIcon_ = 0;
    std::string liveTip_;  // the tip the icon has when no notice is in it
    CHistoryWindow historyWindow_;
    CPreferredWindow preferredWindow_;

    TrayIcon ownTray_;
    TrayIcon* tray_;
    HWND view_ = nullptr;
    HWND statusBar_ = nullptr;
};
