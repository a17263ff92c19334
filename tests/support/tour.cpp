// Drives the running programs' windows from outside for screenshots:
//   tour rect TITLE          prints "x y width height" of the top-level window TITLE
//   tour command TITLE ID    posts the menu command ID to it
//   tour close TITLE         posts a close message to it
//   tour click TITLE ID      clicks the button with control ID in it (or in one of its pages)
// Waits up to 15 seconds for the window; exit code 1 when it never appears.
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

BOOL CALLBACK ClickIfId(HWND child, LPARAM id) {
    if (GetDlgCtrlID(child) != int(id)) return TRUE;
    PostMessageA(child, BM_CLICK, 0, 0);
    return FALSE;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: tour rect|command|click|close TITLE [ID]\n");
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
        EnumChildWindows(w, ClickIfId, std::atoi(argv[3]));
        return 0;
    }
    if (!lstrcmpA(argv[1], "close")) {
        PostMessageA(w, WM_CLOSE, 0, 0);
        return 0;
    }
    std::fprintf(stderr, "unknown request %s\n", argv[1]);
    return 2;
}
