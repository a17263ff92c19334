#include "monitor/app/monitor_app.h"

#include <commctrl.h>

#include "athcfg/athcfg.h"
#include "framework/dialog.h"
#include "framework/text.h"
#include "monitor/app/app_command.h"
#include "monitor/profiles/profile_file.h"
#include "monitor/app/main_frame.h"
#include "monitor/res/resource.h"
#include "monitor/ui/monitor_dlg.h"

CMonitorApp theApp;

const char kFrameTitle[] = "Skyvane";

namespace {
// Registered when the program loads, before start-up.
const UINT g_iconPressed = fw::RegisteredMessage("MONITOR_ICON_PRESSED");
}  // namespace

UINT IconPressedMessage() { return g_iconPressed; }

namespace {
// Hands the command line to the running copy and waits for its answer; after /exit, also
// until that copy has ended.
int HandOver(HWND running, const std::string& args, app_command::Kind kind) {
    DWORD processId = 0;
    GetWindowThreadProcessId(running, &processId);
    // Opened first: after /exit the process may be gone by the time the answer arrives.
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    COPYDATASTRUCT data = {app_command::kCopyDataTag, static_cast<DWORD>(args.size()),
                           const_cast<char*>(args.data())};
    DWORD_PTR reply = 0;
    app_command::Result result = app_command::kNoAnswer;
    if (SendMessageTimeoutA(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                            SMTO_ABORTIFHUNG, 30000, &reply))
        result = app_command::ResultOfReply(static_cast<intptr_t>(reply));
    // Handing the adapter back to the system's service can take a while.
    if (kind == app_command::Kind::Exit && result == app_command::kDone &&
        (!process || WaitForSingleObject(process, 60000) != WAIT_OBJECT_0))
        result = app_command::kNoAnswer;
    if (process) CloseHandle(process);
    return result;
}
// A file named on the command line, with the folder of this start: the running copy has
// another current folder.
std::string FullPath(const std::string& file) {
    char full[MAX_PATH] = {};
    char* name = nullptr;
    DWORD n = GetFullPathNameA(file.c_str(), sizeof full, full, &name);
    return n > 0 && n < sizeof full ? std::string(full, n) : file;
}

// Writes `text` to the standard output a script or a redirection gave this start, if any.
void Say(const std::string& text) {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD written = 0;
    if (out && out != INVALID_HANDLE_VALUE) WriteFile(out, text.data(), DWORD(text.size()), &written, nullptr);
}

// After an import that found a wrong line or left keys out: which line, which profiles.
void ReportImport(const app_command::Command& command, int result) {
    if (result != app_command::kBadFile && result != app_command::kKeysNeeded) return;
    std::string text;
    if (!ProfileStore::ReadProfileFile(command.file, text)) return;
    profile_file::ReadResult r = profile_file::Read(text, command.password);
    if (!r.ok) {
        Say(fw::Format(fw::LoadText(IDS_IMPORT_BAD_LINE).c_str(), command.file.c_str(), unsigned(r.line)));
        return;
    }
    std::string names;
    for (const profile_file::Profile& p : r.contents.profiles)
        if (p.secretsLeftOut) names += (names.empty() ? "" : ", ") + p.Get("Name");
    Say(fw::Format(fw::LoadText(IDS_IMPORT_KEYS_NEEDED).c_str(), names.c_str()));
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
    HWND running = FindWindowA(nullptr, kFrameTitle);
    if (running && command.kind != app_command::Kind::None) {
        handOverResult_ = HandOver(running, app_command::Text(command), command.kind);
        if (command.kind == app_command::Kind::Import) ReportImport(command, handOverResult_);
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
    if (code == 0) code = handOverResult_;
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
