// Window base: one C++ object per window, one virtual message procedure.
#pragma once
#include <windows.h>

namespace fw {

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Registers `className` once (with `icon` when non-zero) and creates the window.
    bool Create(const char* className, const char* title, DWORD style, HWND parent = nullptr,
                UINT iconId = 0, UINT menuId = 0);
    // Attaches this object to an existing window (a dialog control), chaining to its procedure.
    bool Subclass(HWND hwnd);
    void Unsubclass();

    HWND Handle() const { return hwnd_; }

protected:
    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
    // The processing the window would get without this object.
    LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);
    // Called after the window is destroyed; the handle is already cleared.
    virtual void OnDestroyed() {}

private:
    static LRESULT CALLBACK StaticProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);

    HWND hwnd_ = nullptr;
    WNDPROC previous_ = nullptr;
};

}  // namespace fw
