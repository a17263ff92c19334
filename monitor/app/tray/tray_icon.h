// The notification-area icon of a window. Tests replace it to record what would be shown.
#pragma once
#include <windows.h>

#include <map>
#include <string>

class TrayIcon {
public:
    enum Mode { kDelete = 0, kAdd = 1, kModify = 2 };

    virtual ~TrayIcon() = default;
    // Adds, modifies or deletes `owner`'s icon with icon resource `iconId` and `tip`
    // (cut to the tip field); `callback` is the message the icon sends to `owner`.
    virtual bool Notify(HWND owner, UINT callback, Mode mode, UINT iconId, const std::string& tip);
    // Asks the shell of Windows 2000 and later for the notifications that carry keyboard
    // use of the added icon (NIN_KEYSELECT, WM_CONTEXTMENU); false where the shell keeps
    // sending mouse messages only (Windows 98, Me).
    virtual bool RequestKeyboardEvents(HWND owner);
    // Shows `text` in a balloon beside `owner`'s icon; false where the shell has no
    // balloons (Windows 95, 98 and NT 4: shell versions before 5.0).
    virtual bool ShowNotice(HWND owner, const std::string& title, const std::string& text);
    // Where on the screen `owner`'s icon is (Windows 7 and later say), or else the notification
    // area that holds it; false when the shell tells neither.
    virtual bool IconRect(HWND owner, RECT* rect);
    // Gives the keyboard focus back to the notification area, on `owner`'s icon, once a
    // menu opened from the keyboard has closed (shells that send keyboard events).
    virtual void ReturnFocus(HWND owner);

private:
    HICON Icon(UINT iconId);
    std::map<UINT, HICON> icons_;  // loaded once; shared icons are never destroyed
};
