#include "monitor/app/tray/tray_icon.h"

#include <shellapi.h>
#include <shlwapi.h>

#include "framework/app.h"
#include "monitor/app/tray/tray_state.h"

namespace {
// The second layout of the notification data: the oldest that carries a 128-character tip,
// understood by every shell the product supports. Its size differs between 32-bit and
// 64-bit programs; any other size is read as the first layout with a 64-character tip.
constexpr DWORD kNotifyDataSize = NOTIFYICONDATAA_V2_SIZE;
static_assert(sizeof(void*) != 4 || kNotifyDataSize == 488, "32-bit layout changed");
constexpr UINT kTrayIconId = 1;
}  // namespace

HICON TrayIcon::Icon(UINT iconId) {
    auto found = icons_.find(iconId);
    if (found != icons_.end()) return found->second;
    HICON icon = static_cast<HICON>(LoadImageA(fw::ResourceInstance(), MAKEINTRESOURCEA(iconId),
                                               IMAGE_ICON, 16, 16, LR_SHARED));
    icons_[iconId] = icon;
    return icon;
}

bool TrayIcon::Notify(HWND owner, UINT callback, Mode mode, UINT iconId, const std::string& tip) {
    NOTIFYICONDATAA data = {};
    data.cbSize = kNotifyDataSize;
    data.hWnd = owner;
    data.uID = kTrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = callback;
    data.hIcon = Icon(iconId);
    lstrcpynA(data.szTip, tray::FitTip(tip).c_str(), sizeof data.szTip);
    DWORD request = mode == kAdd ? NIM_ADD : mode == kModify ? NIM_MODIFY : NIM_DELETE;
    return Shell_NotifyIconA(request, &data) != FALSE;
}

void TrayIcon::ReturnFocus(HWND owner) {
    NOTIFYICONDATAA data = {};
    data.cbSize = kNotifyDataSize;
    data.hWnd = owner;
    data.uID = kTrayIconId;
    Shell_NotifyIconA(NIM_SETFOCUS, &data);
}

bool TrayIcon::RequestKeyboardEvents(HWND owner) {
    OSVERSIONINFOA os = {};
    os.dwOSVersionInfoSize = sizeof os;
    if (!GetVersionExA(&os) || os.dwPlatformId != VER_PLATFORM_WIN32_NT || os.dwMajorVersion < 5)
        return false;
    NOTIFYICONDATAA data = {};
    data.cbSize = kNotifyDataSize;
    data.hWnd = owner;
    data.uID = kTrayIconId;
    data.uVersion = NOTIFYICON_VERSION;
    return Shell_NotifyIconA(NIM_SETVERSION, &data) != FALSE;
}

namespace {
// A function of the shell that older shells lack, looked up; null where it is missing.
template <typename Function>
Function ShellFunction(const char* name) {
    HMODULE shell = GetModuleHandleA("shell32.dll");
    return shell ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(shell, name))) : nullptr;
}

// Shell 5.0 brought balloons; the shell of Windows 95 and NT 4 without the desktop update
// has no version function.
bool ShellHasBalloons() {
    auto getVersion = ShellFunction<DLLGETVERSIONPROC>("DllGetVersion");
    DLLVERSIONINFO info = {};
    info.cbSize = sizeof info;
    return getVersion && SUCCEEDED(getVersion(&info)) && info.dwMajorVersion >= 5;
}

typedef HRESULT(WINAPI* GetIconRectFn)(const NOTIFYICONIDENTIFIER*, RECT*);
}  // namespace

bool TrayIcon::ShowNotice(HWND owner, const std::string& title, const std::string& text) {
    static const bool balloons = ShellHasBalloons();
    if (!balloons) return false;
    NOTIFYICONDATAA data = {};
    data.cbSize = kNotifyDataSize;
    data.hWnd = owner;
    data.uID = kTrayIconId;
    data.uFlags = NIF_INFO;
    data.uTimeout = 10000;
    data.dwInfoFlags = NIIF_INFO;
    lstrcpynA(data.szInfo, text.c_str(), sizeof data.szInfo);
    lstrcpynA(data.szInfoTitle, title.c_str(), sizeof data.szInfoTitle);
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

bool TrayIcon::IconRect(HWND owner, RECT* rect) {
    // The shell has told where an icon is only since Windows 7.
    auto getRect = ShellFunction<GetIconRectFn>("Shell_NotifyIconGetRect");
    NOTIFYICONIDENTIFIER icon = {};
    icon.cbSize = sizeof icon;
    icon.hWnd = owner;
    icon.uID = kTrayIconId;
    if (getRect && getRect(&icon, rect) == S_OK) return true;
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    HWND area = taskbar ? FindWindowExA(taskbar, nullptr, "TrayNotifyWnd", nullptr) : nullptr;
    return area && GetWindowRect(area, rect);
}
