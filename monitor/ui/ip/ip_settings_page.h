// The IP Settings tab: the wireless adapter's IP configuration as the system's IP helper
// reports it, release and renew on worker threads, and the live traffic chart.
#pragma once
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <string>

#include "framework/dialog.h"
#include "monitor/controls/owner_draw_button.h"
#include "monitor/controls/traffic_graph/traffic_graph.h"

// IpReleaseAddress or IpRenewAddress.
using IpCall = DWORD(WINAPI*)(PIP_ADAPTER_INDEX_MAP);

class CIpSettingsPage : public fw::Dialog {
public:
    CIpSettingsPage();

    // Fills the fields and sets the buttons (also on every timer tick).
    void Refresh();

protected:
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    BOOL OnInitDialog();
    void OnTimer();
    void OnDestroy();
    void OnOperationEnded();
    BOOL OnCommand(int id, int code);
    void StartOperation(IpCall call);
    void EnableButtons(BOOL enable);
    void SetText(int id, const std::string& text);

    std::string deviceName_;
    std::string macText_;  // kept from the last matching entry
    COwnerDrawButton releaseButton_;
    COwnerDrawButton renewButton_;
    CTrafficGraph graph_;
};

extern CIpSettingsPage theIpSettingsPage;
