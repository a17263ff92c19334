#include "monitor/app/monitor_app.h"

#include <commctrl.h>

#include "athcfg/athcfg.h"
#include "framework/dialog.h"
#include "framework/text/text.h"
#include "monitor/app/commands/app_command.h"
#include "monitor/app/commands/command_carrier.h"
#include "monitor/app/main_frame.h"
#include "monitor/res/resource.h"
#include "monitor/ui/monitor_dlg.h"

CMonitorApp theApp;

namespace {
// Registered when the program loads, before start-up.
const UINT g_iconPressed = fw::RegisteredMessage("MONITOR_ICON_PRESSED");
}  // namespace

UINT IconPressedMessage() { return g_iconPressed; }

namespace {
// A file named on the command line, in the folder of this start, which reads or writes it.
std::string FullPath(const std::string& file) {
    char full[MAX_PATH] = {};
    char* name = nullptr;
    DWORD n = GetFullPathNameA(file.c_str(), sizeof full, full, &name);
    return n > 0 && n < sizeof full ? std::string(full, n) : file;
}
}  // namespace

CMonitorApp::CMonitorApp() : session(*this), store(session, *this, MonitorWindowPages()) {}

CMonitorApp::~CMonitorApp() = default;

bool CMonitorApp::InitInstance() {
    adapterPresent = 0;

    app_command::Command command = app_command::Parse(commandLine_);
    if (command.kind == app_command::Kind::Invalid) {
        handOverResult_ = app_command::kBadCommand;
        return false;
    }
    if (!command.file.empty()) command.file = FullPath(command.file);
    // Found by its class: any program may have a window titled "Skyvane".
    HWND running = FindWindowA(CMainFrame::kClassName, nullptr);
    if (running && command.kind != app_command::Kind::None) {
        handOverResult_ = command_carrier::HandOver(running, command);
        return false;
    }
    if (running) {
        PostMessageA(running, IconPressedMessage(), 0, kDoubleClickCode);
        MessageBeep(MB_ICONEXCLAMATION);
        return false;
    }
    if (command.kind == app_command::Kind::Exit) {
        handOverResult_ = app_command::kNotRunning;
        return false;
    }

    // The frame's status bar and the pages' tabs, progress bars and lists.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_TAB_CLASSES |
                                                          ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    frame_ = new CMainFrame();
    if (!frame_->CreateFrame()) return false;
    SetMainWindow(frame_->Handle());
    ShowWindow(frame_->Handle(), SW_HIDE);
    UpdateWindow(frame_->Handle());

    startProfile_ = new ACProfile();
    editProfile = startProfile_;

    greenHistory.SetColour(RGB(0, 255, 0));
    redHistory.SetColour(RGB(255, 0, 0));
    redHistory.Allocate(307);
    greenHistory.Allocate(307);
    redHistory.Push(0);
    greenHistory.Push(0);
    // A first start that carried a command runs it itself.
    if (command.kind != app_command::Kind::None) frame_->QueueCommand(command);
    return true;
}

int CMonitorApp::ExitInstance(int code) {
    if (code == 0) code = frame_ ? frame_->CommandResult() : handOverResult_;
    delete frame_;
    frame_ = nullptr;
    delete startProfile_;
    startProfile_ = nullptr;
    return code;
}

namespace {
class AboutDlg : public fw::Dialog {
public:
    AboutDlg() : fw::Dialog(IDD_ABOUTBOX) {}

protected:
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM) override {
        switch (msg) {
        case WM_INITDIALOG: return TRUE;
        case WM_COMMAND: return OnCommand(LOWORD(wp));
        }
        return FALSE;
    }

private:
    INT_PTR OnCommand(int id) {
        if (id != IDOK && id != IDCANCEL) return FALSE;
        End(id);
        return TRUE;
    }
};
}  // namespace

void CMonitorApp::OnAppAbout() {
    AboutDlg dlg;
    dlg.DoModal(MainWindow());
}
