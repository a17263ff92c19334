// Drives the running programs' windows from outside for screenshots:
//   tour rect TITLE           prints "x y width height" of the top-level window TITLE
//   tour command TITLE ID     posts the menu command ID to it
//   tour close TITLE          posts a close message to it
//   tour click TITLE ID       reports a click of the button ID somewhere inside it
//   tour select TITLE ID TEXT selects the entry TEXT of the combo box ID inside it, as a user does
//   tour tab TITLE ID INDEX   moves the tab control ID inside it to tab INDEX with the arrow keys
//   tour menu TITLE ID        opens the context menu of the list view ID inside it, as the
//                             keyboard's menu key does
//   tour post TITLE MSG [WPARAM LPARAM]  posts MSG (a number, or the name of a registered message)
// A TITLE that starts with "#" is a window class instead, "#32768" a menu that is shown.
// Waits up to 15 seconds for the window (and the control); exit code 1 when it never appears.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

namespace {
HWND FindTopLevel(const char* title) {
    if (title[0] != '#') return FindWindowA(nullptr, title);
    HWND w = FindWindowA(title, nullptr);
    return w && IsWindowVisible(w) ? w : nullptr;
}

HWND WaitForWindow(const char* title) {
    for (int i = 0; i < 150; ++i) {
        if (HWND w = FindTopLevel(title)) return w;
        Sleep(100);
    }
    return nullptr;
}

struct ControlSearch {
    int id;
    const char* cls;
    HWND found;
};

BOOL CALLBACK FindControl(HWND child, LPARAM search) {
    auto* s = reinterpret_cast<ControlSearch*>(search);
    // By class too: a combo box's edit field has an ID of its own (1001) on every page.
    char cls[32] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (GetDlgCtrlID(child) != s->id || lstrcmpiA(cls, s->cls) != 0) return TRUE;
    s->found = child;
    return FALSE;
}

// The control ID of class `cls` inside `w`; the page holding it may still be on its way.
HWND WaitForControl(HWND w, int id, const char* cls) {
    ControlSearch search = {id, cls, nullptr};
    for (int i = 0; i < 150 && !search.found; ++i) {
        EnumChildWindows(w, FindControl, reinterpret_cast<LPARAM>(&search));
        if (!search.found) Sleep(100);
    }
    return search.found;
}

// What a control tells its owner (a window in the background may not take the focus and
// capture a simulated mouse click needs).
void Notify(HWND control, int code) {
    PostMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
                 reinterpret_cast<LPARAM>(control));
}

int Select(HWND w, int id, const char* text) {
    HWND box = WaitForControl(w, id, WC_COMBOBOXA);
    if (!box) return 1;
    LRESULT index = SendMessageA(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(text));
    if (index == CB_ERR) {
        std::fprintf(stderr, "no entry \"%s\"\n", text);
        return 1;
    }
    SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Notify(box, CBN_SELCHANGE);
    return 0;
}

// The tab control tells its owner of a change only for the user's own input, and arrow keys
// need no position on the screen.
int SelectTab(HWND w, int id, int index) {
    HWND tab = WaitForControl(w, id, WC_TABCONTROLA);
    if (!tab || index < 0 || index >= TabCtrl_GetItemCount(tab)) return 1;
    for (int i = 0; i < 20; ++i) {
        int current = TabCtrl_GetCurSel(tab);
        if (current == index) return 0;
        WPARAM key = current < index ? VK_RIGHT : VK_LEFT;
        SendMessageA(tab, WM_KEYDOWN, key, 0);
        SendMessageA(tab, WM_KEYUP, key, 0);
    }
    return 1;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: tour rect|command|close|click|select|tab|menu|post TITLE [ARGS]\n");
        return 2;
    }
    HWND w = WaitForWindow(argv[2]);
    if (!w) {
        std::fprintf(stderr, "no window \"%s\"\n", argv[2]);
        return 1;
    }
    const char* request = argv[1];
    if (!lstrcmpA(request, "rect")) {
        Sleep(500);  // let it finish painting
        RECT r;
        GetWindowRect(w, &r);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        return 0;
    }
    if (!lstrcmpA(request, "command") && argc > 3) {
        PostMessageA(w, WM_COMMAND, static_cast<WPARAM>(std::atoi(argv[3])), 0);
        return 0;
    }
    if (!lstrcmpA(request, "click") && argc > 3) {
        HWND button = WaitForControl(w, std::atoi(argv[3]), WC_BUTTONA);
        if (!button) return 1;
        Notify(button, BN_CLICKED);
        return 0;
    }
    if (!lstrcmpA(request, "select") && argc > 4) return Select(w, std::atoi(argv[3]), argv[4]);
    if (!lstrcmpA(request, "menu") && argc > 3) {
        HWND list = WaitForControl(w, std::atoi(argv[3]), WC_LISTVIEWA);
        return list && PostMessageA(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), -1) ? 0 : 1;
    }
    if (!lstrcmpA(request, "tab") && argc > 4) return SelectTab(w, std::atoi(argv[3]), std::atoi(argv[4]));
    if (!lstrcmpA(request, "post") && argc > 3) {
        char* end = nullptr;
        UINT msg = static_cast<UINT>(std::strtoul(argv[3], &end, 0));
        if (*end) msg = RegisterWindowMessageA(argv[3]);
        WPARAM wp = argc > 4 ? static_cast<WPARAM>(std::strtoul(argv[4], nullptr, 0)) : 0;
        LPARAM lp = argc > 5 ? static_cast<LPARAM>(std::strtol(argv[5], nullptr, 0)) : 0;
        return PostMessageA(w, msg, wp, lp) ? 0 : 1;
    }
    if (!lstrcmpA(request, "close")) {
        PostMessageA(w, WM_CLOSE, 0, 0);
        return 0;
    }
    std::fprintf(stderr, "unknown request %s\n", request);
    return 2;
}
