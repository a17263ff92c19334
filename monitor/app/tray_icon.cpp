#include "monitor/app/tray_icon.h"

#include <shellapi.h>

#include "framework/app.h"
#include "monitor/app/tray_state.h"

namespace {
// The notification data size of the shell versions the product supports.
constexpr DWORD kNotifyDataSize = 488;
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
    static_assert(sizeof(NOTIFYICONDATAA) >= kNotifyDataSize, "notification data too small");
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
