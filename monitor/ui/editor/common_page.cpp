#include "monitor/ui/editor/common_page.h"

#include <string>
#include <vector>

#include "athcfg/athcfg.h"
#include "framework/text/text.h"
#include "monitor/app/monitor_app.h"
#include "monitor/res/resource.h"
#include "monitor/ui/editor/config_lists.h"
#include "monitor/ui/editor/config_page.h"

using namespace common_settings;

CCommonPage theCommonPage;

namespace {
constexpr int kBoxes[] = {IDC_COMMON_SSID,    IDC_COMMON_NETWORK_MODE, IDC_COMMON_RATE,
                          IDC_COMMON_CHANNEL, IDC_COMMON_POWER,        IDC_COMMON_MODE};

bool AdapterPresent() { return theApp.adapterPresent != 0; }
uint32_t SupportedModes() { return theApp.Status().SupportedModes(); }
int LiveChannelIndex() { return AdapterSession::ChannelIndex(theApp.Status()); }
}  // namespace

CCommonPage::CCommonPage() : fw::Dialog(IDD_COMMON_PAGE) {}

INT_PTR CCommonPage::DialogProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_COMMAND: return OnCommand(LOWORD(wp), HIWORD(wp));
    case WM_TIMER: OnTimer(); return FALSE;
    case WM_DESTROY: OnDestroy(); return FALSE;
    }
    return FALSE;
}

BOOL CCommonPage::OnInitDialog() {
    Initialise();
    Load();
    return FALSE;  // the focus stays where the user is (the profile list, the sub-tabs)
}

BOOL CCommonPage::OnCommand(int id, int code) {
    switch (id) {
    // Enter and Escape reach a page as IDOK and IDCANCEL: neither does anything here.
    case IDOK:
    case IDCANCEL: return TRUE;
    case IDC_COMMON_SSID:
        if (code == CBN_SELCHANGE) OnSsidSelected();
        if (code == CBN_EDITCHANGE) OnSsidEdited();
        return TRUE;
    }
    if (code != CBN_SELCHANGE) return FALSE;
    switch (id) {
    case IDC_COMMON_NETWORK_MODE: OnNetworkModeChanged(); return TRUE;
    case IDC_COMMON_POWER: OnPowerSavingChanged(); return TRUE;
    case IDC_COMMON_MODE: OnTransmissionModeChanged(); return TRUE;
    case IDC_COMMON_RATE: OnRateChanged(); return TRUE;
    case IDC_COMMON_CHANNEL: OnChannelChanged(); return TRUE;
    }
    return FALSE;
}

int CCommonPage::Selection(int id) const {
    return static_cast<int>(SendDlgItemMessageA(Handle(), id, CB_GETCURSEL, 0, 0));
}

// -1 leaves the box without a selection.
void CCommonPage::Select(int id, int index) {
    SendDlgItemMessageA(Handle(), id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void CCommonPage::Enable(int id, bool enabled) { EnableWindow(Item(id), enabled ? TRUE : FALSE); }

void CCommonPage::Insert(int id, int index, const std::string& text) {
    SendDlgItemMessageA(Handle(), id, CB_INSERTSTRING, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(text.c_str()));
}

void CCommonPage::Initialise() {
    // The network-mode box is sorted in the template; inserting keeps this order.
    Insert(IDC_COMMON_NETWORK_MODE, 0, fw::LoadText(IDS_INFRASTRUCTURE));
    Insert(IDC_COMMON_NETWORK_MODE, 1, fw::LoadText(IDS_AD_HOC));
    Select(IDC_COMMON_NETWORK_MODE, 0);
    for (int i = 0; i < kChannelCount; ++i) Insert(IDC_COMMON_CHANNEL, i, std::to_string(i + 1));
    Select(IDC_COMMON_CHANNEL, 5);
    Insert(IDC_COMMON_POWER, 0, fw::LoadText(IDS_POWER_DISABLED));
    Insert(IDC_COMMON_POWER, 1, fw::LoadText(IDS_POWER_ENABLED));
    Select(IDC_COMMON_POWER, 0);
    for (int i = 0; i < 3; ++i) Insert(IDC_COMMON_MODE, i, fw::LoadText(IDS_MODE_B + i));
    if (ACProfile* p = theApp.editProfile) FitModeToAdapter(*p, AdapterPresent(), SupportedModes());
    if (OffersSuperG(AdapterPresent(), SupportedModes()))
        Insert(IDC_COMMON_MODE, 3, fw::LoadText(IDS_MODE_SUPERG));
    Select(IDC_COMMON_MODE, 0);
}

void CCommonPage::Load() {
    SendDlgItemMessageA(Handle(), IDC_COMMON_SSID, CB_RESETCONTENT, 0, 0);
    const ACProfile* p = theApp.editProfile;
    if (!AdapterPresent() || !p) {
        for (int id : kBoxes) Enable(id, false);
    } else {
        std::vector<std::string> ssids =
            config_lists::SsidChoices(p->ssid.c_str(), theConfigPage.GetScannedSsids());
        for (size_t i = 0; i < ssids.size(); ++i) Insert(IDC_COMMON_SSID, static_cast<int>(i), ssids[i]);
        Select(IDC_COMMON_SSID, 0);

        LoadedView view = LoadView(*p, theApp.editTxRate, LiveChannelIndex());
        if (view.networkModeIndex >= 0) Select(IDC_COMMON_NETWORK_MODE, view.networkModeIndex);
        FillRates(view.rateForm);
        Select(IDC_COMMON_RATE, view.rateIndex);
        Select(IDC_COMMON_CHANNEL, view.channelIndex);
        if (view.powerSaveIndex >= 0) Select(IDC_COMMON_POWER, view.powerSaveIndex);
        Select(IDC_COMMON_MODE, view.modeIndex);
        Enable(IDC_COMMON_RATE, view.rateEnabled);
        Enable(IDC_COMMON_MODE, view.modeEnabled);
        Enable(IDC_COMMON_CHANNEL, view.channelEnabled);
    }
    SendDlgItemMessageA(Handle(), IDC_COMMON_SSID, CB_LIMITTEXT, config_lists::kMaxSsidChars, 0);
    SetTimer(Handle(), kTimerId, 1000, nullptr);
}

void CCommonPage::FillRates(RateForm form) {
    SendDlgItemMessageA(Handle(), IDC_COMMON_RATE, CB_RESETCONTENT, 0, 0);
    Insert(IDC_COMMON_RATE, 0, fw::LoadText(IDS_RATE_AUTO));
    for (int i = 1; i < RateCount(form); ++i) Insert(IDC_COMMON_RATE, i, RateText(form, i));
}

void CCommonPage::OnNetworkModeChanged() {
    ACProfile* p = theApp.editProfile;
    if (!p) return;
    auto change = ChooseNetworkMode(*p, theApp.editTxRate, Selection(IDC_COMMON_NETWORK_MODE),
                                    SupportedModes());
    if (!change) return;
    FillRates(change->rate.form);
    Select(IDC_COMMON_RATE, 0);
    Select(IDC_COMMON_MODE, change->modeIndex);
    Enable(IDC_COMMON_RATE, change->rate.enabled);
    Enable(IDC_COMMON_MODE, change->modeEnabled);
    Enable(IDC_COMMON_CHANNEL, change->channelEnabled);
    ShowChannel();
}

void CCommonPage::OnTransmissionModeChanged() {
    ACProfile* p = theApp.editProfile;
    if (!p) return;
    auto rate = ChooseTransmissionMode(*p, theApp.editTxRate, Selection(IDC_COMMON_MODE));
    if (!rate) return;
    FillRates(rate->form);
    Select(IDC_COMMON_RATE, 0);
    Enable(IDC_COMMON_RATE, rate->enabled);
    ShowChannel();  // Super G moves the profile to channel 6
}

void CCommonPage::OnRateChanged() {
    RateForm form = FormForModeIndex(Selection(IDC_COMMON_MODE));
    theApp.editTxRate = RateAt(form, Selection(IDC_COMMON_RATE));
}

void CCommonPage::OnChannelChanged() {
    ACProfile* p = theApp.editProfile;
    int index = Selection(IDC_COMMON_CHANNEL);
    if (p && index >= 0 && index < kChannelCount) p->channelMHz = ChannelMHzAt(index);
}

void CCommonPage::OnPowerSavingChanged() {
    ACProfile* p = theApp.editProfile;
    int index = Selection(IDC_COMMON_POWER);
    if (p && (index == 0 || index == 1)) p->powerSave = index;
}

void CCommonPage::OnSsidSelected() {
    ACProfile* p = theApp.editProfile;
    HWND box = Item(IDC_COMMON_SSID);
    LRESULT index = SendMessageA(box, CB_GETCURSEL, 0, 0);
    LRESULT length = index >= 0 ? SendMessageA(box, CB_GETLBTEXTLEN, index, 0) : CB_ERR;
    if (!p || length < 0) return;
    std::vector<char> text(static_cast<size_t>(length) + 1);
    SendMessageA(box, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    p->ssid = text.data();
}

void CCommonPage::OnSsidEdited() {
    ACProfile* p = theApp.editProfile;
    if (!p) return;
    HWND box = Item(IDC_COMMON_SSID);
    std::vector<char> text(GetWindowTextLengthA(box) + 1);
    GetWindowTextA(box, text.data(), static_cast<int>(text.size()));
    p->ssid = text.data();
}

void CCommonPage::ShowChannel() {
    const ACProfile* p = theApp.editProfile;
    if (!p) return;
    if (p->infrastructure == 1) ShowLiveChannel();
    else Select(IDC_COMMON_CHANNEL, ChannelIndexOfMHz(p->channelMHz));
}

void CCommonPage::ShowLiveChannel() {
    int index = LiveChannelIndex();
    Select(IDC_COMMON_CHANNEL, index >= 0 && index < kChannelCount ? index : -1);
}

void CCommonPage::OnTimer() {
    const ACProfile* p = theApp.editProfile;
    if (AdapterPresent() && p && p->infrastructure == 1) ShowLiveChannel();
}

void CCommonPage::OnDestroy() { KillTimer(Handle(), kTimerId); }
