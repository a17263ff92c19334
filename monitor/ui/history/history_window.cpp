#include "monitor/ui/history/history_window.h"

#include <commctrl.h>

#include <cstdio>
#include <vector>

#include "framework/app.h"
#include "framework/text/text.h"
#include "framework/text/text_export.h"
#include "monitor/app/history/link_log.h"
#include "monitor/app/monitor_app.h"
#include "monitor/app/tray/signal_percent.h"
#include "monitor/res/resource.h"
#include "monitor/ui/about_page.h"
#include "monitor/ui/survey/survey_export.h"

namespace {

constexpr char kClassName[] = "SkyvaneHistory";
constexpr int kMargin = 8;
constexpr int kButtonWidth = 120;
constexpr int kButtonHeight = 24;
constexpr size_t kDiagnosticEvents = 100;
constexpr long kLogTailBytes = 4096;

const UINT kColumnTitles[] = {IDS_HISTORY_TIME,    IDS_HISTORY_EVENT,  IDS_COLUMN_SSID,     IDS_COLUMN_BSSID,
                              IDS_COLUMN_CHANNEL,  IDS_COLUMN_SIGNAL,  IDS_HISTORY_RATE,    IDS_HISTORY_ADDRESS};
const int kColumnWidths[] = {125, 380, 110, 120, 60, 70, 80, 100};

std::vector<std::string> Fields(const link_history::Event& e) {
    return link_history::CsvFields(e, link_log::Describe(e));
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& n : names) text += (text.empty() ? "" : ", ") + n;
    return text;
}

std::string WindowsVersion() {
    OSVERSIONINFOA os = {};
    os.dwOSVersionInfoSize = sizeof os;
    if (!GetVersionExA(&os)) return std::string();
    return fw::Format("%lu.%lu.%lu %s", os.dwMajorVersion, os.dwMinorVersion, os.dwBuildNumber & 0xFFFF,
                      os.szCSDVersion);
}

std::string LibraryVersion() {
    char path[MAX_PATH] = {};
    HMODULE library = GetModuleHandleA("athcfg11.dll");
    DWORD n = library ? GetModuleFileNameA(library, path, sizeof path) : 0;
    return n > 0 && n < sizeof path ? DriverVersion(path) : std::string();
}

// The last few kilobytes of the installer's log in the Windows folder, from a line start.
std::string DrivoraLogTail() {
    char dir[MAX_PATH] = {};
    UINT n = GetWindowsDirectoryA(dir, sizeof dir);
    if (n == 0 || n >= sizeof dir) return std::string();
    std::FILE* file = std::fopen((std::string(dir) + "\\Drivora.log").c_str(), "rb");
    if (!file) return std::string();
    std::string tail(kLogTailBytes, '\0');
    bool cut = std::fseek(file, -kLogTailBytes, SEEK_END) == 0;
    if (!cut) std::fseek(file, 0, SEEK_SET);
    tail.resize(std::fread(&tail[0], 1, tail.size(), file));
    std::fclose(file);
    size_t lineStart = cut ? tail.find('\n') : std::string::npos;
    return lineStart == std::string::npos ? tail : tail.substr(lineStart + 1);
}

std::string StatusText() {
    if (theApp.adapterPresent <= 0) return fw::LoadText(IDS_NETWORK_DISABLED);
    StatusRecord status = theApp.Status();
    if (status.Disconnected())
        return fw::LoadText(theApp.session.RadioState() != 0 ? IDS_RADIO_OFF : IDS_DISCONNECTED);
    return fw::Format(fw::LoadText(IDS_DIAGNOSTICS_CONNECTED).c_str(), status.Ssid().c_str(),
                      link_log::ChannelOf(status), SignalPercent(status.SignalLevel()),
                      status.RateMbps(), int(theApp.linkQuality));
}

}  // namespace

void CHistoryWindow::Open() {
    if (Handle()) {
        ShowWindow(Handle(), SW_SHOWNORMAL);
        SetForegroundWindow(Handle());
        return;
    }
    if (!Create(kClassName, fw::LoadText(IDS_HISTORY_TITLE).c_str(), WS_OVERLAPPEDWINDOW, nullptr, IDR_MAINFRAME))
        return;
    // Centred: the corner the notification area may use is where balloons show.
    const int width = 720, height = 360;
    SetWindowPos(Handle(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(Handle(), SW_SHOWNORMAL);
    SetForegroundWindow(Handle());
}

LRESULT CHistoryWindow::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: return OnCreate();
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_SIZE: OnSize(LOWORD(lp), HIWORD(lp)); return 0;
    case WM_COMMAND: OnCommand(LOWORD(wp)); return 0;
    case WM_GETMINMAXINFO: OnMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lp)); return 0;
    }
    return Default(msg, wp, lp);
}

LRESULT CHistoryWindow::OnCreate() {
    HINSTANCE instance = fw::ResourceInstance();
    list_ = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0, 0, 0,
                            Handle(), reinterpret_cast<HMENU>(INT_PTR(kListId)), instance, nullptr);
    export_ = CreateWindowExA(0, "BUTTON", fw::LoadText(IDS_HISTORY_EXPORT).c_str(),
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, Handle(),
                              reinterpret_cast<HMENU>(INT_PTR(kExportId)), instance, nullptr);
    copy_ = CreateWindowExA(0, "BUTTON", fw::LoadText(IDS_HISTORY_COPY).c_str(),
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, Handle(),
                            reinterpret_cast<HMENU>(INT_PTR(kCopyId)), instance, nullptr);
    if (!list_ || !export_ || !copy_) return -1;
    HGDIOBJ font = GetStockObject(DEFAULT_GUI_FONT);
    for (HWND child : {list_, export_, copy_}) SendMessageA(child, WM_SETFONT, WPARAM(font), FALSE);
    SendMessageA(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    for (int i = 0; i < int(sizeof kColumnTitles / sizeof kColumnTitles[0]); ++i) {
        std::string title = fw::LoadText(kColumnTitles[i]);
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = kColumnWidths[i];
        column.pszText = &title[0];
        SendMessageA(list_, LVM_INSERTCOLUMNA, WPARAM(i), reinterpret_cast<LPARAM>(&column));
    }
    Refresh();
    return 0;
}

// The children go with the window; a later event must find no handle to send to (on 98 and
// Me a handle is soon another window's).
void CHistoryWindow::OnDestroy() { list_ = export_ = copy_ = nullptr; }

void CHistoryWindow::Refresh() {
    if (!list_) return;
    SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
    std::vector<link_history::Event> events = theApp.linkHistory.Newest(link_history::kCapacity);
    for (int row = 0; row < int(events.size()); ++row) {
        std::vector<std::string> cells = Fields(events[size_t(row)]);
        for (int col = 0; col < int(cells.size()); ++col) {
            LVITEMA item = {};
            item.mask = LVIF_TEXT;
            item.iItem = row;
            item.iSubItem = col;
            item.pszText = &cells[size_t(col)][0];
            SendMessageA(list_, col == 0 ? LVM_INSERTITEMA : LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        }
    }
    SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
}

void CHistoryWindow::OnSize(int width, int height) {
    const int buttonsTop = height - kMargin - kButtonHeight;
    MoveWindow(list_, kMargin, kMargin, width - 2 * kMargin, buttonsTop - 2 * kMargin, TRUE);
    MoveWindow(export_, kMargin, buttonsTop, kButtonWidth, kButtonHeight, TRUE);
    MoveWindow(copy_, 2 * kMargin + kButtonWidth, buttonsTop, kButtonWidth, kButtonHeight, TRUE);
}

void CHistoryWindow::OnMinMaxInfo(MINMAXINFO& info) {
    info.ptMinTrackSize.x = 2 * kButtonWidth + 6 * kMargin;
    info.ptMinTrackSize.y = 200;
}

void CHistoryWindow::OnCommand(int id) {
    if (id == kExportId) ChooseExportFile();
    if (id == kCopyId) CopyDiagnostics();
}

std::string CHistoryWindow::CsvText() {
    std::vector<std::string> heading;
    for (UINT title : kColumnTitles) heading.push_back(fw::LoadText(title));
    std::string text = survey::CsvLine(heading);
    for (const link_history::Event& e : theApp.linkHistory.Newest(link_history::kCapacity))
        text += survey::CsvLine(Fields(e));
    return text;
}

void CHistoryWindow::ChooseExportFile() {
    std::string path;
    if (!fw::ChooseSaveFile(Handle(), fw::LoadText(IDS_SURVEY_EXPORT_FILTER), "csv", path)) return;
    if (!fw::WriteWholeFile(path, CsvText()))
        fw::MessageBoxText(Handle(), IDS_HISTORY_EXPORT_FAILED, IDS_HISTORY_TITLE, MB_OK | MB_ICONSTOP);
}

std::string CHistoryWindow::DiagnosticsText() {
    std::string events;
    for (const link_history::Event& e : theApp.linkHistory.Newest(kDiagnosticEvents))
        events += survey::TabLine(Fields(e));
    const AdapterSession& session = theApp.session;
    std::string adapters = Joined(session.adapterNames);
    if (adapters.empty()) adapters = session.deviceName;
    return fw::Format(fw::LoadText(IDS_DIAGNOSTICS).c_str(), link_log::Now().c_str(), StatusText().c_str(),
                      WindowsVersion().c_str(), DriverVersion(DriverFilePath()).c_str(), LibraryVersion().c_str(),
                      adapters.c_str(), Joined(session.profileNames).c_str(),
                      session.CurrentProfileName().c_str(), events.c_str(), DrivoraLogTail().c_str());
}

void CHistoryWindow::CopyDiagnostics() { fw::CopyTextToClipboard(Handle(), DiagnosticsText()); }
