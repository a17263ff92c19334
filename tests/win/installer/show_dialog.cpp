// Shows one dialog of a program's resources until it is closed or a time is up,
// for screenshots: show_dialog <program.exe> <dialog id> [milliseconds].
#include <windows.h>

#include <cstdlib>

namespace {
INT_PTR CALLBACK Proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        if (lp) SetTimer(dlg, 1, static_cast<UINT>(lp), nullptr);
        return TRUE;
    case WM_TIMER:
    case WM_CLOSE: EndDialog(dlg, 0); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) EndDialog(dlg, 0);
        return TRUE;
    default: return FALSE;
    }
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    HMODULE module = LoadLibraryExA(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return 3;
    const LPARAM ms = argc > 3 ? std::atoi(argv[3]) : 0;
    INT_PTR r = DialogBoxParamA(module, MAKEINTRESOURCEA(std::atoi(argv[2])), nullptr, Proc, ms);
    FreeLibrary(module);
    return r == -1 ? 4 : 0;
}
