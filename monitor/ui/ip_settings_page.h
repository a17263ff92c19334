// The IP Settings tab: addresses, release and renew, and the traffic chart.
#pragma once
#include <windows.h>

#include "framework/dialog.h"

class CIpSettingsPage : public fw::Dialog {
public:
    CIpSettingsPage();

protected:
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

extern CIpSettingsPage theIpSettingsPage;
