// A top-level window that holds the Security page the way the Configuration page does
// (created as its child from the real template, shown, destroyed with it), and the few
// moves a user makes on the page.
#pragma once
#include <windows.h>

#include <string>

#include "monitor/ui/editor/security/security_page.h"

namespace sectest {

inline void Pump(DWORD ms = 50) {
    DWORD end = GetTickCount() + ms;
    MSG msg;
    do {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

class PageHost {
public:
    PageHost() {
        host_ = CreateWindowExA(0, "STATIC", "Security page", WS_POPUP | WS_CAPTION | WS_VISIBLE | WS_CLIPCHILDREN,
                                40, 40, 640, 420, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (!theSecurityPage.CreateModeless(host_)) return;
        // Fit the host around the page as it sits inside the Configuration page.
        RECT r;
        GetWindowRect(Page(), &r);
        MapWindowPoints(nullptr, host_, reinterpret_cast<POINT*>(&r), 2);
        RECT frame = {0, 0, r.right + r.left, r.bottom + r.left};
        AdjustWindowRect(&frame, WS_POPUP | WS_CAPTION, FALSE);
        SetWindowPos(host_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER);
        ShowWindow(Page(), SW_SHOW);
        Pump();
    }
    ~PageHost() {
        theSecurityPage.Destroy();
        DestroyWindow(host_);
    }
    PageHost(const PageHost&) = delete;
    PageHost& operator=(const PageHost&) = delete;

    HWND Host() const { return host_; }
    HWND Page() const { return theSecurityPage.Handle(); }
    HWND Item(int id) const { return GetDlgItem(Page(), id); }

    // The user picks entry `index` of a drop-down list.
    void Choose(int id, int index) const {
        SendMessageA(Item(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(Page(), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Item(id)));
    }
    // The user types `text` at the end of an edit.
    void Type(int id, const std::string& text) const {
        HWND edit = Item(id);
        int end = GetWindowTextLengthA(edit);
        SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(end), end);
        for (char c : text) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
    }
    // The user selects everything in an edit and deletes it.
    void Clear(int id) const {
        SendMessageA(Item(id), EM_SETSEL, 0, -1);
        SendMessageA(Item(id), WM_CHAR, VK_BACK, 1);
    }
    void Click(int id) const { SendMessageA(Item(id), BM_CLICK, 0, 0); }

    std::string Text(int id) const {
        char buffer[512] = {};
        GetWindowTextA(Item(id), buffer, sizeof buffer);
        return buffer;
    }
    std::string BoxText(int id, int index) const {
        char buffer[256] = {};
        if (SendMessageA(Item(id), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0) >= LRESULT(sizeof buffer)) return "";
        SendMessageA(Item(id), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
        return buffer;
    }
    int Count(int id) const { return static_cast<int>(SendMessageA(Item(id), CB_GETCOUNT, 0, 0)); }
    int Selection(int id) const { return static_cast<int>(SendMessageA(Item(id), CB_GETCURSEL, 0, 0)); }
    bool Visible(int id) const { return IsWindowVisible(Item(id)) != FALSE; }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    bool Checked(int id) const { return IsDlgButtonChecked(Page(), id) == BST_CHECKED; }
    // '*' while the edit hides its text, 0 when it shows it in clear.
    char PasswordChar(int id) const { return static_cast<char>(SendMessageA(Item(id), EM_GETPASSWORDCHAR, 0, 0)); }
    int Limit(int id) const { return static_cast<int>(SendMessageA(Item(id), EM_GETLIMITTEXT, 0, 0)); }

private:
    HWND host_ = nullptr;
};

}  // namespace sectest
