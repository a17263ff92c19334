// Drives the running programs' windows from outside for screenshots:
//   tour rect TITLE          prints "x y width height" of the top-level window TITLE
//   tour command TITLE ID    posts the menu command ID to it
//   tour close TITLE         posts a close message to it
//   tour click TITLE ID      reports a click of the button ID somewhere inside it
// Waits up to 15 seconds for the window (and the button); exit code 1 when it never appears.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {
HWND WaitForWindow(const char* title) {
    for (int i = 0; i < 150; ++i) {
        if (HWND w = FindWindowA(nullptr, title)) return w;
        Sleep(100);
    }
    return nullptr;
}

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK FindControl(HWND child, LPARAM search) {
    auto* s = reinterpret_cast<ControlSearch*>(search);
    // Buttons only: a combo box's edit field has an ID of its own (1001) on every page.
    char cls[16] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (GetDlgCtrlID(child) != s->id || lstrcmpiA(cls, "Button") != 0) return TRUE;
    s->found = child;
    return FALSE;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: tour rect|command|close|click TITLE [ID]\n");
        return 2;
    }
    HWND w = WaitForWindow(argv[2]);
    if (!w) {
        std::fprintf(stderr, "no window titled \"%s\"\n", argv[2]);
        return 1;
    }
    if (!lstrcmpA(argv[1], "rect")) {
        Sleep(500);  // let it finish painting
        RECT r;
        GetWindowRect(w, &r);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        return 0;
    }
    if (!lstrcmpA(argv[1], "command") && argc > 3) {
        PostMessageA(w, WM_COMMAND, static_cast<WPARAM>(std::atoi(argv[3])), 0);
        return 0;
    }
    if (!lstrcmpA(argv[1], "click") && argc > 3) {
        // The page holding it may still be on its way.
        ControlSearch search = {std::atoi(argv[3]), nullptr};
        for (int i = 0; i < 150 && !search.found; ++i) {
            EnumChildWindows(w, FindControl, reinterpret_cast<LPARAM>(&search));
            if (!search.found) Sleep(100);
        }
        if (!search.found) return 1;
        // What a click tells the button's owner (a window in the background may not take
        // the focus and capture a simulated mouse click needs).
        PostMessageA(GetParent(search.found), WM_COMMAND, MAKEWPARAM(search.id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(search.found));
        return 0;
    }
    if (!lstrcmpA(argv[1], "close")) {
        PostMessageA(w, WM_CLOSE, 0, 0);
        return 0;
    }
    std::fprintf(stderr, "unknown request %s\n", argv[1]);
    return 2;
}
