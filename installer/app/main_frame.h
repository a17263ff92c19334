// Drivora's hidden frame: detects the Windows version, sets the command
// settings and runs the command line once from timer 199.
#pragma once
#include <windows.h>

#include "framework/window.h"
#include "installer/command_settings.h"

namespace drivora {

// The never-seen view that fills the frame's client area.
class CChildView : public fw::Window {
public:
    bool CreateView(HWND parent);

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnPaint();
};

class CMainFrame : public fw::Window {
public:
    static constexpr UINT_PTR kDispatchTimer = 199;

    bool CreateFrame();
    // Whether the command line was walked, and the run's exit status.
    bool Walked() const { return walked_; }
    int ExitStatus() const { return ExitCode(state_); }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    LRESULT OnCreate();
    void OnTimer(UINT_PTR id);
    LRESULT OnCommand(UINT id);
    void OnSize();
    void OnSetFocus();
    void OnDestroy();
    bool CreateToolbar();
    void DetectWindowsVersion();
    // False when the arguments could not be read or the walk broke off.
    bool RunCommandLine();

    RunState state_;
    bool walked_ = false;
    HWND toolbar_ = nullptr;
    CChildView view_;
};

}  // namespace drivora
