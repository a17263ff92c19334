#include "monitor/ui/ip_settings_page.h"

#include <memory>

#include "framework/text.h"
#include "monitor/app/monitor_app.h"
#include "monitor/res/resource.h"
#include "monitor/ui/ip_tables.h"

CIpSettingsPage theIpSettingsPage;

namespace {
constexpr UINT_PTR kRefreshTimer = 199;
constexpr UINT kRefreshMs = 1000;
constexpr int kNetworkModeAdHoc = 1;
// The marker program: its window, titled so, exists while a release or renew runs.
const char kMarkerProgram[] = "Qorvath.exe";
const char kMarkerTitle[] = "Qorvath";
constexpr UINT kMarkerCloseWaitMs = 10000;

const int kFields[] = {IDC_IP_ADDRESS, IDC_IP_HOST_NAME, IDC_IP_MAC,
                       IDC_IP_MASK,    IDC_IP_DHCP_SERVER, IDC_IP_GATEWAY};

// ---- What the page reads from the rest of Skyvane ----
bool AdapterPresent() { return theApp.adapterPresent > 0; }
StatusRecord Status() { return theApp.Status(); }
std::string DeviceName() { return theApp.session.deviceName; }
std::string CurrentUserName() { return theApp.session.CurrentProfileUserName(); }
const CSampleHistory& OutHistory() { return theApp.redHistory; }
const CSampleHistory& InHistory() { return theApp.greenHistory; }

// A traffic history as the chart reads it.
class HistorySeries : public TrafficSeries {
public:
    explicit HistorySeries(const CSampleHistory& (*history)()) : history_(history) {}
    int Capacity() const override { return history_().Capacity(); }
    int Snapshot(int32_t* dest) const override { return history_().Snapshot(dest); }
    HPEN Pen() const override { return history_().Pen(); }

private:
    const CSampleHistory& (*history_)();
};

const HistorySeries g_outSeries(OutHistory);
const HistorySeries g_inSeries(InHistory);

// The operation is over when the marker window has gone.
void CloseMarker() {
    if (HWND marker = FindWindowA(nullptr, kMarkerTitle)) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(marker, WM_CLOSE, 0, 0, SMTO_NORMAL, kMarkerCloseWaitMs, &ignored);
    }
}

// ---- Release and renew: each runs on its own thread, which owns the device name given to it ----
// Only the wireless adapter's own interface is released or renewed: the machine's other
// connections stay as they are.
void RunOperation(const std::string& deviceName, DWORD(WINAPI* operation)(PIP_ADAPTER_INDEX_MAP)) {
    try {
        IpTables tables = ReadIpTables();
        int own = FindOwnInterface(tables.adapters, InterfaceIndexes(tables), deviceName);
        if (own >= 0) operation(&tables.interfaces[own]);
    } catch (...) {
        // Out of memory: nothing is released or renewed, and the operation still ends.
    }
    CloseMarker();
}

DWORD WINAPI ReleaseWorker(LPVOID name) {
    std::unique_ptr<std::string> deviceName(static_cast<std::string*>(name));
    RunOperation(*deviceName, IpReleaseAddress);
    return 0;
}

DWORD WINAPI RenewWorker(LPVOID name) {
    std::unique_ptr<std::string> deviceName(static_cast<std::string*>(name));
    RunOperation(*deviceName, IpRenewAddress);
    return 0;
}
}  // namespace

CIpSettingsPage::CIpSettingsPage() : fw::Dialog(IDD_IPSETTINGS_PAGE) {}

INT_PTR CIpSettingsPage::DialogProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_TIMER: OnTimer(); return FALSE;
    case WM_DESTROY: OnDestroy(); return FALSE;
    case WM_DRAWITEM: return COwnerDrawButton::DrawFromParent(lp);
    case WM_COMMAND: return OnCommand(LOWORD(wp), HIWORD(wp));
    }
    return FALSE;
}

BOOL CIpSettingsPage::OnInitDialog() {
    renewButton_.Attach(Item(IDC_IP_RENEW));
    releaseButton_.Attach(Item(IDC_IP_RELEASE));
    renewButton_.SetBitmap(IDB_RENEW);
    releaseButton_.SetBitmap(IDB_RELEASE);
    graph_.Attach(Item(IDC_IP_GRAPH));
    graph_.SetSeries(fw::LoadText(IDS_GRAPH_OUT), &g_outSeries, fw::LoadText(IDS_GRAPH_IN), &g_inSeries);
    graph_.UpdateName();

    if (AdapterPresent()) SetText(IDC_IP_HOST_NAME, CurrentUserName());
    deviceName_ = DeviceName();
    EnableButtons(TRUE);
    Refresh();
    SetTimer(Handle(), kRefreshTimer, kRefreshMs, nullptr);
    return TRUE;
}

// Every tick, whatever its timer: the chart moves on and the fields follow the IP helper.
void CIpSettingsPage::OnTimer() {
    graph_.UpdateName();
    InvalidateRect(graph_.Handle(), nullptr, TRUE);
    Refresh();
}

void CIpSettingsPage::OnDestroy() { KillTimer(Handle(), kRefreshTimer); }

BOOL CIpSettingsPage::OnCommand(int id, int code) {
    switch (id) {
    // Enter and Escape reach a page as IDOK and IDCANCEL: neither does anything here.
    case IDOK:
    case IDCANCEL: return TRUE;
    case IDC_IP_RELEASE:
        if (code == BN_CLICKED) StartOperation(ReleaseWorker);
        return TRUE;
    case IDC_IP_RENEW:
        if (code == BN_CLICKED) StartOperation(RenewWorker);
        return TRUE;
    }
    return FALSE;
}

void CIpSettingsPage::Refresh() {
    if (!Handle()) return;
    StatusRecord status = Status();
    if (!AdapterPresent() || status.Disconnected()) {
        for (int id : kFields) SetText(id, std::string());
        EnableButtons(FALSE);
        return;
    }
    deviceName_ = DeviceName();
    // Looked up only while the field is empty: once per page window.
    if (GetWindowTextLengthA(Item(IDC_IP_HOST_NAME)) == 0) SetText(IDC_IP_HOST_NAME, CurrentUserName());

    IpTables tables = ReadIpTables();
    int entry = FindWirelessEntry(tables.adapters, tables.interfaces.size(), deviceName_);
    IpSettingsTexts texts;
    if (entry >= 0) {
        texts = ComposeIpSettings(tables.adapters[entry]);
        macText_ = texts.mac;
    }
    SetText(IDC_IP_ADDRESS, texts.address);
    SetText(IDC_IP_MASK, texts.mask);
    SetText(IDC_IP_DHCP_SERVER, texts.dhcpServer);
    SetText(IDC_IP_GATEWAY, texts.gateway);
    SetText(IDC_IP_MAC, macText_);

    bool busy = FindWindowA(nullptr, kMarkerTitle) != nullptr;
    EnableButtons(!busy && status.NetworkMode() != kNetworkModeAdHoc);
}

void CIpSettingsPage::StartOperation(LPTHREAD_START_ROUTINE worker) {
    EnableButtons(FALSE);
    // Without the marker program the operation still runs; nothing is reported.
    WinExec(kMarkerProgram, SW_SHOWNORMAL);
    auto* name = new std::string(deviceName_);
    HANDLE thread = CreateThread(nullptr, 0, worker, name, 0, nullptr);
    if (thread) {
        CloseHandle(thread);  // the worker runs on unattended
        return;
    }
    // No worker to end the operation: end it here, or the buttons would stay disabled.
    delete name;
    CloseMarker();
}

void CIpSettingsPage::EnableButtons(BOOL enable) {
    EnableWindow(Item(IDC_IP_RELEASE), enable);
    EnableWindow(Item(IDC_IP_RENEW), enable);
}

void CIpSettingsPage::SetText(int id, const std::string& text) {
    // Only a changed text is written, so the once-a-second refresh does not flicker.
    char current[256] = {};
    GetDlgItemTextA(Handle(), id, current, sizeof current);
    if (text != current) SetDlgItemTextA(Handle(), id, text.c_str());
}
