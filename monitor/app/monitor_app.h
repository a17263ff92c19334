// Skyvane's application object: start-up, single instance, and the state the poll shares.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/app.h"
#include "monitor/adapter/status_record.h"
#include "monitor/app/sample_history.h"

class ACProfile;
class CMainFrame;

class CMonitorApp : public fw::App {
public:
    CMonitorApp() = default;
    ~CMonitorApp() override;

    // Shows the About box (dialog 100).
    void OnAppAbout();
    // Empties the nine mask flags of the Security page's secret fields.
    void ClearMaskFlags();
    // Points the edit profile back at the empty start-up profile, for when the
    // configuration that owned the edited record goes away.
    void ResetEditProfile() { editProfile = startProfile_; }

    int maskFlags[9] = {};
    CSampleHistory redHistory;    // outgoing traffic, drawn as "OUT"
    CSampleHistory greenHistory;  // incoming traffic, drawn as "IN"
    int32_t adapterPresent = 0;
    ACProfile* editProfile = nullptr;
    std::string editPassphrase;
    int32_t editTxRate = 0;
    uint8_t statusRecord[kStatusRecordSize] = {};
    int32_t linkQuality = 0;

    StatusRecord Status() const { return StatusRecord(statusRecord); }

protected:
    bool InitInstance() override;
    int ExitInstance(int code) override;

private:
    CMainFrame* frame_ = nullptr;
    ACProfile* startProfile_ = nullptr;  // the empty profile made at start-up
};

extern CMonitorApp theApp;

// The running copy's window title, and the message a second copy and the tray icon send.
extern const char kFrameTitle[];
UINT IconPressedMessage();
constexpr LPARAM kDoubleClickCode = WM_LBUTTONDBLCLK;  // 515
