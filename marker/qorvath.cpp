// Qorvath, the marker program. While it runs, its window (titled "Qorvath") is Skyvane's sign
// that an IP address release or renew is under way; the worker doing the operation closes the
// window when it has finished, and the program ends with it (or with its close box).
#include <windows.h>

#include <string>

#include "framework/app.h"
#include "framework/text/text.h"
#include "framework/window.h"
#include "marker/resource.h"

namespace {

const char kTitle[] = "Qorvath";

class MarkerWindow : public fw::Window {
protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
        case WM_PAINT: OnPaint(); return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        }
        return Default(msg, wp, lp);
    }

private:
    void OnPaint() {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Handle(), &ps);
        RECT r;
        GetClientRect(Handle(), &r);
        std::string text = fw::LoadText(IDS_MARKER_TEXT);
        HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SelectObject(dc, old);
        EndPaint(Handle(), &ps);
    }
};

class MarkerApp : public fw::App {
protected:
    bool InitInstance() override {
        // A close box: a marker left behind by an operation that never ended can be closed.
        if (!window_.Create("QorvathMarker", kTitle, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU)) return false;
        SetWindowPos(window_.Handle(), nullptr, 0, 0, 280, 90, SWP_NOMOVE | SWP_NOZORDER);
        SetMainWindow(window_.Handle());
        ShowWindow(window_.Handle(), SW_SHOWDEFAULT);
        UpdateWindow(window_.Handle());
        return true;
    }

private:
    MarkerWindow window_;
};

MarkerApp theMarker;

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return theMarker.Run(instance); }
