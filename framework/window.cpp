#include "framework/window.h"

#include "framework/app.h"

namespace fw {

namespace {
const char kSubclassProp[] = "fw.window";
}

Window::~Window() {
    if (previous_) Unsubclass();
    else if (hwnd_) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

bool Window::Create(const char* className, const char* title, DWORD style, HWND parent,
                    UINT iconId, UINT menuId) {
    HINSTANCE inst = ResourceInstance();
    WNDCLASSA wc = {};
    if (!GetClassInfoA(inst, className, &wc)) {
        wc.lpfnWndProc = StaticProc;
        wc.hInstance = inst;
        wc.lpszClassName = className;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        if (iconId) wc.hIcon = LoadIconA(inst, MAKEINTRESOURCEA(iconId));
        if (!RegisterClassA(&wc)) return false;
    }
    HMENU menu = menuId ? LoadMenuA(inst, MAKEINTRESOURCEA(menuId)) : nullptr;
    HWND h = CreateWindowExA(0, className, title, style, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, parent, menu, inst, this);
    if (!h && menu) DestroyMenu(menu);
    return h != nullptr;
}

bool Window::Subclass(HWND hwnd) {
    if (!hwnd || hwnd_) return false;
    hwnd_ = hwnd;
    SetPropA(hwnd, kSubclassProp, this);
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
    return previous_ != nullptr;
}

void Window::Unsubclass() {
    if (!hwnd_ || !previous_) return;
    SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    RemovePropA(hwnd_, kSubclassProp);
    previous_ = nullptr;
    hwnd_ = nullptr;
}

LRESULT Window::WindowProc(UINT msg, WPARAM wp, LPARAM lp) { return Default(msg, wp, lp); }

LRESULT Window::Default(UINT msg, WPARAM wp, LPARAM lp) {
    if (previous_) return CallWindowProcA(previous_, hwnd_, msg, wp, lp);
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

LRESULT Window::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    HWND h = hwnd_;
    LRESULT r = 0;
    try {
        r = WindowProc(msg, wp, lp);
    } catch (...) {
        // No exception may cross into Windows.
        r = previous_ ? CallWindowProcA(previous_, h, msg, wp, lp) : DefWindowProcA(h, msg, wp, lp);
    }
    return r;
}

LRESULT CALLBACK Window::StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (msg == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        if (self) self->hwnd_ = hwnd;
    }
    if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
    LRESULT r = self->Dispatch(msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->OnDestroyed();
    }
    return r;
}

LRESULT CALLBACK Window::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = static_cast<Window*>(GetPropA(hwnd, kSubclassProp));
    if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        WNDPROC prev = self->previous_;
        self->Unsubclass();
        return CallWindowProcA(prev, hwnd, msg, wp, lp);
    }
    return self->Dispatch(msg, wp, lp);
}

}  // namespace fw
