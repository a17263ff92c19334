// Opens and closes one window: the first GUI start in a fresh Wine prefix sets up the
// display driver, which must not happen inside a test.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    HWND w = CreateWindowExA(0, "STATIC", "warm-up", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!w) return 1;
    ShowWindow(w, SW_SHOW);
    MSG msg;
    DWORD end = GetTickCount() + 300;
    while (GetTickCount() < end) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(10);
    }
    DestroyWindow(w);
    return 0;
}
