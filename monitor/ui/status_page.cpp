#include "monitor/ui/status_page.h"

#include <commctrl.h>

#include "athcfg/athcfg.h"
#include "framework/text/text.h"
#include "monitor/app/monitor_app.h"
#include "monitor/res/resource.h"
#include "monitor/ui/status_format.h"

CStatusPage theStatusPage;

namespace {
constexpr UINT_PTR kRefreshTimer = 199;
constexpr UINT kRefreshMs = 1000;

const int kTextFields[] = {IDC_STATUS_SSID,          IDC_STATUS_NETWORK_MODE, IDC_STATUS_RATE,
                           IDC_STATUS_CHANNEL,       IDC_STATUS_TX_MODE,      IDC_STATUS_AUTHENTICATION,
                           IDC_STATUS_ENCRYPTION,    IDC_STATUS_RX_PACKETS,   IDC_STATUS_TX_PACKETS};

std::string Text(int id) { return id ? fw::LoadText(id) : std::string(); }
}  // namespace

CStatusPage::CStatusPage() : fw::Dialog(IDD_STATUS_PAGE) {}

INT_PTR CStatusPage::DialogProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_TIMER: Refresh(); return TRUE;
    case WM_DESTROY: OnDestroy(); return TRUE;
    case WM_COMMAND:
        // Enter and Escape reach a page as IDOK and IDCANCEL: neither does anything here.
        return LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL;
    }
    return FALSE;
}

BOOL CStatusPage::OnInitDialog() {
    for (CTextProgressCtrl* bar : {&linkBar_, &signalBar_}) {
        HWND h = Item(bar == &linkBar_ ? IDC_STATUS_LINK_BAR : IDC_STATUS_SIGNAL_BAR);
        bar->Attach(h);
        bar->SetQualityWords(fw::LoadText(IDS_EXCELLENT), fw::LoadText(IDS_GOOD),
                             fw::LoadText(IDS_FAIR), fw::LoadText(IDS_POOR));
        SendMessageA(h, PBM_SETRANGE32, 0, 100);
        bar->startColour = RGB(228, 66, 4);
        bar->endColour = RGB(255, 255, 255);
        bar->showText = TRUE;
    }
    Clear();
    Refresh();
    SetTimer(Handle(), kRefreshTimer, kRefreshMs, nullptr);
    return TRUE;
}

void CStatusPage::OnDestroy() { KillTimer(Handle(), kRefreshTimer); }

void CStatusPage::Clear() {
    for (int id : kTextFields) SetText(id, std::string());
    SendMessageA(linkBar_.Handle(), PBM_SETPOS, 0, 0);
    SendMessageA(signalBar_.Handle(), PBM_SETPOS, 0, 0);
}

void CStatusPage::SetText(int id, const std::string& text) {
    // Only a changed text is written, so the once-a-second refresh does not flicker.
    char current[256] = {};
    GetDlgItemTextA(Handle(), id, current, sizeof current);
    if (text != current) SetDlgItemTextA(Handle(), id, text.c_str());
}

void CStatusPage::Refresh() {
    if (!Handle()) return;
    if (theApp.adapterPresent <= 0) {
        Clear();
        return;
    }
    StatusRecord record = theApp.Status();
    StatusInputs in;
    in.linkQuality = theApp.linkQuality;
    in.editTxRate = theApp.editTxRate;
    if (theApp.editProfile) {
        in.eapMethod = theApp.editProfile->eapMethod;
        in.wpa = theApp.editProfile->wpa;
    }
    uint32_t mhz = record.FrequencyMHz();
    in.channel2GHz = mhz > 5000 ? 0 : ACWlanConvert2GHztoCh(static_cast<int>(mhz));
    in.authMode = theApp.session.AuthenticationMode();
    StatusView v = ComposeStatus(record, in);

    SetText(IDC_STATUS_SSID, v.ssid);
    SetText(IDC_STATUS_NETWORK_MODE, Text(v.networkModeText));
    SetText(IDC_STATUS_RATE, FormatRate(v.rate, fw::LoadText(IDS_RATE_KBIT_TABLE).c_str(),
                                        fw::LoadText(IDS_RATE_MBPS).c_str()));
    SetText(IDC_STATUS_CHANNEL, fw::Format("%d", v.channel));
    SetText(IDC_STATUS_TX_MODE, Text(v.transmissionModeText));
    SetText(IDC_STATUS_RX_PACKETS, fw::Format("%u", v.rxPackets));
    SetText(IDC_STATUS_TX_PACKETS, fw::Format("%u", v.txPackets));
    SendMessageA(signalBar_.Handle(), PBM_SETPOS, v.signalBar, 0);
    SendMessageA(linkBar_.Handle(), PBM_SETPOS, v.linkQualityBar, 0);
    SetText(IDC_STATUS_AUTHENTICATION, Text(v.authenticationText));
    SetText(IDC_STATUS_ENCRYPTION, Text(v.encryptionText));
}
