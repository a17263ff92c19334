// Skyvane's application object: start-up, single instance, and what lives as long as the
// program: the adapter session, the profile store, the editing state (the base
// ProfileEditState: editProfile, editPassphrase, editTxRate, maskFlags, rememberedSubTab)
// and the state the poll shares.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/app.h"
#include "monitor/adapter/adapter_session.h"
#include "monitor/adapter/status_record.h"
#include "monitor/app/auto_connect/auto_connect.h"
#include "monitor/app/history/link_history.h"
#include "monitor/app/traffic/sample_history.h"
#include "monitor/profiles/profile_edit_state.h"
#include "monitor/profiles/profile_store.h"

class ACProfile;
class CMainFrame;

class CMonitorApp : public fw::App, public ProfileEditState, private SessionHost {
public:
    CMonitorApp();
    ~CMonitorApp() override;

    // Shows the About box (dialog 100).
    void OnAppAbout();
    // The command line without the program name, before Run.
    void SetCommandLine(const char* args) { commandLine_ = args ? args : ""; }

    AdapterSession session;
    ProfileStore store;
    CSampleHistory redHistory;    // outgoing traffic, drawn as "OUT"
    CSampleHistory greenHistory;  // incoming traffic, drawn as "IN"
    int32_t adapterPresent = 0;
    uint8_t statusRecord[kStatusRecordSize] = {};
    int32_t linkQuality = 0;
    link_history::History linkHistory;  // newest last; the frame loads and keeps it
    AutoConnect autoConnect;  // the frame's poll drives it; every apply the user makes tells it

    StatusRecord Status() const { return StatusRecord(statusRecord); }

protected:
    bool InitInstance() override;
    int ExitInstance(int code) override;

private:
    void SetAdapterPresent(int present) override { adapterPresent = present; }
    void CreateDefaultProfile() override { store.CreateDefaultProfile(Status().SupportedModes()); }
    // The edit profile goes back to the empty start-up profile.
    void SessionClosing() override { editProfile = startProfile_; }

    CMainFrame* frame_ = nullptr;
    ACProfile* startProfile_ = nullptr;  // the empty profile made at start-up
    std::string commandLine_;
    int handOverResult_ = 0;  // exit code of a start that handed its command over
};

extern CMonitorApp theApp;

// The message a second copy and the tray icon send.
UINT IconPressedMessage();
constexpr LPARAM kDoubleClickCode = WM_LBUTTONDBLCLK;  // 515
