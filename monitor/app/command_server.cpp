// The tray frame's command server: the commands a later start hands over (WM_COPYDATA) and
// the first start's own.
#include "monitor/app/main_frame.h"

#include <algorithm>
#include <vector>

#include "monitor/app/commands/command_carrier.h"
#include "monitor/app/commands/transfer_command.h"
#include "monitor/app/monitor_app.h"
#include "monitor/res/resource.h"
#include "monitor/ui/monitor_dlg.h"

using app_command::Kind;
using app_command::Result;

namespace {
// A command has nobody at the machine to read a message: a refusal shows only in the exit
// code. A profile it applied is still marked current on an open Configuration page.
class CommandPages : public StorePages {
public:
    void ShowCheckMessage(UINT) override {}
    void ShowSecuritySubTab() override {}
    void ShowStatusPage() override {}
    void ShowCurrentProfile() override { MonitorWindowPages().ShowCurrentProfile(); }
};
}  // namespace

void CMainFrame::QueueCommand(const app_command::Command& command) {
    queuedCommand_ = command;
    PostMessageA(Handle(), kRunQueuedCommand, 0, 0);
}

// A later start hands over its command line (and a file's text); the answer carries the
// result, and `sender` gets what an /export or /import sends back before it.
LRESULT CMainFrame::OnCopyData(HWND sender, const COPYDATASTRUCT* data) {
    if (!data || data->dwData != app_command::kCopyDataTag) return 0;
    app_command::Command command;
    std::string fileText;
    if (data->cbData > app_command::kMaxCommandBytes + 1 + app_command::kMaxFileBytes ||
        (data->cbData && !data->lpData) ||
        !app_command::OpenPayload(std::string(static_cast<const char*>(data->lpData), data->cbData), command,
                                  fileText))
        return app_command::ReplyFor(app_command::kBadCommand);
    bool transfer = command.kind == Kind::Export || command.kind == Kind::Import;
    return app_command::ReplyFor(transfer ? TransferCommand(sender, command, fileText) : RunCommand(command));
}

// The file's text came with the command; the exported text or the report goes back to the
// start that carries the command, which writes or says it.
Result CMainFrame::TransferCommand(HWND sender, const app_command::Command& command, const std::string& fileText) {
    std::string reply;
    Result result = transfer_command::Run(theApp.store, command, fileText, reply);
    COPYDATASTRUCT back = {app_command::kReplyTag, DWORD(reply.size()), &reply[0]};
    DWORD_PTR ignored = 0;
    if (!reply.empty() && IsWindow(sender))
        SendMessageTimeoutA(sender, WM_COPYDATA, reinterpret_cast<WPARAM>(Handle()), reinterpret_cast<LPARAM>(&back),
                            SMTO_ABORTIFHUNG, 10000, &ignored);
    return result;
}

Result CMainFrame::RunCommand(const app_command::Command& command) {
    switch (command.kind) {
    case Kind::Apply: return ApplyCommand(command.profile);
    case Kind::Radio: return RadioCommand(command.radioOn);
    case Kind::Auto: return AutoCommand(command.autoOn);
    case Kind::Show:
        // Posted: the monitor window runs its own loop, and the caller waits for the answer.
        PostMessageA(Handle(), WM_COMMAND, ID_TRAY_CONFIGURATION + command.page, 0);
        return app_command::kDone;
    case Kind::Exit: EndOnCommand(); return app_command::kDone;
    case Kind::Export:
    case Kind::Import:
        // A first start's own command: the files are this process's to read and write.
        return command_carrier::CarryTransfer(command, [&](const std::string& fileText, std::string& reply) {
            return transfer_command::Run(theApp.store, command, fileText, reply);
        });
    case Kind::None:
    case Kind::Invalid: break;
    }
    return app_command::kBadCommand;
}

Result CMainFrame::ApplyCommand(const std::string& name) {
    if (theApp.adapterPresent <= 0) return app_command::kNoAdapter;
    const std::vector<std::string>& names = theApp.session.profileNames;
    if (std::find(names.begin(), names.end(), name) == names.end()) return app_command::kNoSuchProfile;
    CommandPages pages;
    return ApplyNamedProfile(name, pages) ? app_command::kDone : app_command::kRefused;
}

Result CMainFrame::RadioCommand(bool on) {
    if (theApp.adapterPresent <= 0) return app_command::kNoAdapter;
    SwitchRadio(on);
    return RadioIsOn() == on ? app_command::kDone : app_command::kRefused;
}

Result CMainFrame::AutoCommand(bool on) {
    if (theApp.adapterPresent <= 0) return app_command::kNoAdapter;
    if (!theApp.autoConnect.SetSwitch(on)) return app_command::kRefused;
    preferredWindow_.ShowSwitch();
    return app_command::kDone;
}

// Ends the program as the tray menu's Exit does, once the monitor window has closed.
void CMainFrame::EndOnCommand() {
    if (HWND monitor = MonitorWindow()) SendMessageA(monitor, WM_CLOSE, 0, 0);
    PostMessageA(Handle(), WM_COMMAND, ID_TRAY_EXIT, 0);
}
