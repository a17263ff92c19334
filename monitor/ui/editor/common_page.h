// The Common sub-page of the Configuration tab: network name, network mode, rate, channel,
// power saving and transmission mode of the edit profile. Every change goes into the
// application's editing state at once; the Configuration page saves or applies it.
#pragma once
#include <windows.h>

#include <string>

#include "framework/dialog.h"
#include "monitor/ui/editor/common_settings.h"

class CCommonPage : public fw::Dialog {
public:
    CCommonPage();

    static constexpr UINT_PTR kTimerId = 199;

protected:
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    BOOL OnInitDialog();
    BOOL OnCommand(int id, int code);
    void OnNetworkModeChanged();
    void OnPowerSavingChanged();
    void OnSsidSelected();
    void OnSsidEdited();
    void OnTransmissionModeChanged();
    void OnRateChanged();
    void OnChannelChanged();
    void OnTimer();
    void OnDestroy();
    void Initialise();
    void Load();
    void FillRates(common_settings::RateForm form);
    // The channel in use in infrastructure mode, the profile's own in ad hoc mode.
    void ShowChannel();
    void ShowLiveChannel();
    int Selection(int id) const;
    void Select(int id, int index);
    void Enable(int id, bool enabled);
    void Insert(int id, int index, const std::string& text);
};

extern CCommonPage theCommonPage;
