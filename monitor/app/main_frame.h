// The hidden main window: owns the adapter session's lifetime and receives the
// "MONITOR_ICON_PRESSED" message.
#pragma once
#include <windows.h>

#include "framework/window.h"

class CMainFrame : public fw::Window {
public:
    bool CreateFrame();

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    LRESULT OnCreate();
    void OnSetFocus();
    void OnClose();
    void OnCommand(int id);

    HWND view_ = nullptr;
    HWND statusBar_ = nullptr;
};
