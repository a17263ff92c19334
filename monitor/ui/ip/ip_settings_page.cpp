#include "monitor/ui/ip/ip_settings_page.h"

#include <atomic>
#include <cstring>
#include <memory>
#include <vector>

#include "framework/text/text.h"
#include "monitor/app/monitor_app.h"
#include "monitor/res/resource.h"
#include "monitor/ui/ip/ip_operation.h"
#include "monitor/ui/ip/ip_tables.h"

CIpSettingsPage theIpSettingsPage;

namespace {
constexpr UINT_PTR kRefreshTimer = 199;
constexpr UINT kRefreshMs = 1000;
constexpr int kNetworkModeAdHoc = 1;
// The marker program: its window, titled so, exists while a release or renew runs.
const char kMarkerProgram[] = "Qorvath.exe";
const char kMarkerTitle[] = "Qorvath";
constexpr UINT kMarkerCloseWaitMs = 10000;
constexpr DWORD kMarkerWaitMs = 10000;  // for the marker to show its window
constexpr DWORD kMarkerPollMs = 50;
// An operation the system answers at once (Wine's IP helper refuses a release or renew
// outright) would flash the marker too briefly to be seen: it stays at least this long.
constexpr DWORD kMarkerShownMs = 1000;

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

// Posted to the page by a worker that has finished.
constexpr UINT kOperationEnded = WM_APP + 1;
// Operations whose workers have not finished yet, and the page window they report to.
std::atomic<int> g_running{0};
std::atomic<HWND> g_pageWindow{nullptr};

struct MarkerSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindMarkerOf(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<MarkerSearch*>(param);
    DWORD pid = 0;
    char title[sizeof kMarkerTitle + 1] = {};
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid || !GetWindowTextA(window, title, sizeof title) || std::strcmp(title, kMarkerTitle))
        return TRUE;
    search->found = window;
    return FALSE;
}

// What a release or renew asks of the system, on the worker's thread.
class SystemSteps : public IpOperationSteps {
public:
    explicit SystemSteps(IpCall call) : call_(call) {}
    ~SystemSteps() override {
        if (!marker_.hProcess) return;
        CloseHandle(marker_.hThread);
        CloseHandle(marker_.hProcess);
    }
    SystemSteps(const SystemSteps&) = delete;
    SystemSteps& operator=(const SystemSteps&) = delete;

    void ReadTables(std::vector<IpAdapterEntry>& adapters, std::vector<uint32_t>& interfaces) override {
        tables_ = ReadIpTables();
        adapters = tables_.adapters;
        interfaces = InterfaceIndexes(tables_);
    }
    // Found through the program search path, as the system starts programs by name.
    bool StartMarker() override {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWNORMAL;
        char command[sizeof kMarkerProgram];
        std::memcpy(command, kMarkerProgram, sizeof command);
        if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &marker_)) {
            marker_ = PROCESS_INFORMATION{};
            return false;
        }
        // The operation begins once the marker shows, or when it is too slow to.
        WaitForInputIdle(marker_.hProcess, kMarkerWaitMs);
        markerShownAt_ = GetTickCount();
        return true;
    }
    void Operate(size_t position) override { call_(&tables_.interfaces[position]); }
    // A marker closed before its window exists would stay: its window is waited for.
    void CloseMarker() override {
        MarkerSearch search = {marker_.dwProcessId, nullptr};
        for (DWORD waited = 0; waited < kMarkerWaitMs; waited += kMarkerPollMs) {
            EnumWindows(FindMarkerOf, reinterpret_cast<LPARAM>(&search));
            if (search.found) break;
            if (WaitForSingleObject(marker_.hProcess, kMarkerPollMs) == WAIT_OBJECT_0) return;  // closed by the user
        }
        if (!search.found) return;
        const DWORD shown = GetTickCount() - markerShownAt_;
        if (shown < kMarkerShownMs && WaitForSingleObject(marker_.hProcess, kMarkerShownMs - shown) == WAIT_OBJECT_0)
            return;  // closed by the user meanwhile
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(search.found, WM_CLOSE, 0, 0, SMTO_NORMAL, kMarkerCloseWaitMs, &ignored);
    }

private:
    IpCall call_;
    IpTables tables_;
    PROCESS_INFORMATION marker_ = {};
    DWORD markerShownAt_ = 0;
};

struct Operation {
    std::string deviceName;
    IpCall call;
};

// Looked up by name: that every Windows 98 has them rests on no published document.
IpCall IpHelperCall(const char* name) {
    HMODULE helper = GetModuleHandleA("iphlpapi.dll");
    return helper ? reinterpret_cast<IpCall>(reinterpret_cast<void*>(GetProcAddress(helper, name))) : nullptr;
}

// Each operation runs on its own thread, which owns its Operation; it says when it has ended.
DWORD WINAPI OperationWorker(LPVOID param) {
    std::unique_ptr<Operation> operation(static_cast<Operation*>(param));
    try {
        SystemSteps steps(operation->call);
        RunIpOperation(steps, operation->deviceName);
    } catch (...) {
        // Out of memory: nothing is released or renewed, and the operation still ends.
    }
    --g_running;
    if (HWND page = g_pageWindow.load()) PostMessageA(page, kOperationEnded, 0, 0);
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
    case kOperationEnded: OnOperationEnded(); return TRUE;
    }
    return FALSE;
}

BOOL CIpSettingsPage::OnInitDialog() {
    renewButton_.Attach(Item(IDC_IP_RENEW));
    releaseButton_.Attach(Item(IDC_IP_RELEASE));
    renewButton_.SetBitmap(IDB_RENEW);
    releaseButton_.SetBitmap(IDB_RELEASE);
    graph_.Attach(Item(IDC_IP_GRAPH));
    // The timer first: should a later step fail, the next tick fills the page.
    SetTimer(Handle(), kRefreshTimer, kRefreshMs, nullptr);
    g_pageWindow = Handle();
    graph_.SetSeries(fw::LoadText(IDS_GRAPH_OUT), &g_outSeries, fw::LoadText(IDS_GRAPH_IN), &g_inSeries);
    graph_.UpdateName();

    if (AdapterPresent()) SetText(IDC_IP_HOST_NAME, CurrentUserName());
    deviceName_ = DeviceName();
    EnableButtons(TRUE);
    Refresh();
    return TRUE;
}

// Every tick, whatever its timer: the chart moves on and the fields follow the IP helper.
void CIpSettingsPage::OnTimer() {
    graph_.UpdateName();
    InvalidateRect(graph_.Handle(), nullptr, TRUE);
    Refresh();
}

// The buttons follow at once, not at the next tick.
void CIpSettingsPage::OnOperationEnded() { Refresh(); }

void CIpSettingsPage::OnDestroy() {
    KillTimer(Handle(), kRefreshTimer);
    g_pageWindow = nullptr;
}

BOOL CIpSettingsPage::OnCommand(int id, int code) {
    switch (id) {
    // Enter and Escape reach a page as IDOK and IDCANCEL: neither does anything here.
    case IDOK:
    case IDCANCEL: return TRUE;
    case IDC_IP_RELEASE:
        if (code == BN_CLICKED) StartOperation(IpHelperCall("IpReleaseAddress"));
        return TRUE;
    case IDC_IP_RENEW:
        if (code == BN_CLICKED) StartOperation(IpHelperCall("IpRenewAddress"));
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

    // Busy while an operation's worker runs, and while any marker window shows.
    bool busy = g_running > 0 || FindWindowA(nullptr, kMarkerTitle) != nullptr;
    EnableButtons(!busy && status.NetworkMode() != kNetworkModeAdHoc);
}

void CIpSettingsPage::StartOperation(IpCall call) {
    if (!call) {
        fw::MessageBoxText(Handle(), IDS_IP_CALL_MISSING, IDS_MONITOR_TITLE, MB_OK | MB_ICONSTOP);
        return;
    }
    // Made first: should that fail, nothing has started and the page is as it was.
    auto operation = std::make_unique<Operation>(Operation{deviceName_, call});
    EnableButtons(FALSE);
    ++g_running;
    HANDLE thread = CreateThread(nullptr, 0, OperationWorker, operation.get(), 0, nullptr);
    if (!thread) {
        // No worker: the operation never began.
        --g_running;
        Refresh();
        return;
    }
    operation.release();  // the worker's now
    CloseHandle(thread);  // it runs on unattended
}

void CIpSettingsPage::EnableButtons(BOOL enable) {
    EnableWindow(Item(IDC_IP_RELEASE), enable);
    EnableWindow(Item(IDC_IP_RENEW), enable);
}

void CIpSettingsPage::SetText(int id, const std::string& text) {
    // Only a changed text is written, so the once-a-second refresh does not flicker.
    HWND item = Item(id);
    std::vector<char> current(size_t(GetWindowTextLengthA(item)) + 1);
    GetWindowTextA(item, current.data(), int(current.size()));
    if (text != current.data()) SetWindowTextA(item, text.c_str());
}
