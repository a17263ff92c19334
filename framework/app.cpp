#include "framework/app.h"

namespace fw {

namespace {
App* g_current = nullptr;
}

App::App() { g_current = this; }
App::~App() {
    if (g_current == this) g_current = nullptr;
}

App* App::Current() { return g_current; }

int App::Run(HINSTANCE instance) {
    instance_ = instance;
    if (!InitInstance()) return ExitInstance(0);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (SwallowPageKeys(msg)) continue;
        // Modeless pages get their dialog keyboard handling (Tab, arrows).
        HWND top = GetAncestor(msg.hwnd, GA_ROOT);
        if (top && IsDialogMessageA(top, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return ExitInstance(static_cast<int>(msg.wParam));
}

HINSTANCE ResourceInstance() {
    App* app = App::Current();
    return app ? app->Instance() : GetModuleHandleA(nullptr);
}

bool SwallowPageKeys(const MSG& msg) {
    if (msg.message != WM_KEYDOWN) return false;
    if (msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE) return false;
    // A page is a child dialog (class #32770 with WS_CHILD) holding the focused control.
    for (HWND w = msg.hwnd; w; w = GetParent(w)) {
        LONG style = GetWindowLongA(w, GWL_STYLE);
        if (!(style & WS_CHILD)) break;
        char cls[16] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (lstrcmpA(cls, "#32770") == 0) return true;
    }
    return false;
}

UINT RegisteredMessage(const char* name) { return RegisterWindowMessageA(name); }

}  // namespace fw
