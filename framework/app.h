// Application object and message loop.
#pragma once
#include <windows.h>

namespace fw {

class App {
public:
    App();
    virtual ~App();

    // Runs start-up, then the message loop until WM_QUIT; returns the exit code.
    int Run(HINSTANCE instance);
    static App* Current();

    // The program module; before Run (in tests) the executable itself.
    HINSTANCE Instance() const { return instance_ ? instance_ : GetModuleHandleA(nullptr); }
    HWND MainWindow() const { return mainWindow_; }
    void SetMainWindow(HWND w) { mainWindow_ = w; }

protected:
    // Returns false to end the program before the message loop.
    virtual bool InitInstance() = 0;
    virtual int ExitInstance(int code) { return code; }

private:
    HINSTANCE instance_ = nullptr;
    HWND mainWindow_ = nullptr;
};

// The module whose resources the program uses: the running application's, else the
// process's own (tests that build windows without running an application).
HINSTANCE ResourceInstance();

// Pages shown as child dialogs must not let Enter or Escape close or press anything.
// Returns true when the message was swallowed.
bool SwallowPageKeys(const MSG& msg);

// Registers (or looks up) a window message by name.
UINT RegisteredMessage(const char* name);

}  // namespace fw
