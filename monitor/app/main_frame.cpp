#include "monitor/app/main_frame.h"

#include <commctrl.h>
#include <shellapi.h>

#include <iphlpapi.h>

#include <algorithm>
#include <vector>


#include "framework/app.h"
#include "framework/text.h"
#include "monitor/adapter/zero_config.h"
#include "monitor/adapter/zero_config_flags.h"
#include "monitor/app/command_carrier.h"
#include "monitor/app/link_log.h"
#include "monitor/app/monitor_app.h"
#include "monitor/app/signal_percent.h"
#include "monitor/app/transfer_command.h"
#include "monitor/app/tray_state.h"
#include "monitor/res/resource.h"
#include "monitor/ui/monitor_dlg.h"
#include "monitor/ui/radio_toggle.h"

using app_command::Kind;
using app_command::Result;

namespace {
// Sent by the shell when it (re)starts: the tray icon must be added again.
const UINT g_taskbarCreated = fw::RegisteredMessage("TaskbarCreated");

// A command has nobody at the machine to read a message: a refusal shows only in the exit
// code. A profile it applied is still marked current on an open Configuration page.
class CommandPages : public StorePages {
public:
    void ShowCheckMessage(UINT) override {}
    void ShowSecuritySubTab() override {}
    void ShowStatusPage() override {}
    void ShowCurrentProfile() override { MonitorWindowPages().ShowCurrentProfile(); }
};

// How many ticks after the program handed the adapter a profile a dropped link is put down to
// that, not to the signal.
constexpr int kApplyTicks = 2;
// How long the tip carries a notice where the shell has no balloons: as long as a balloon shows.
constexpr UINT kNoticeMs = 10000;
}  // namespace

CMainFrame::CMainFrame(TrayIcon* tray) : tray_(tray ? tray : &ownTray_) {}

bool CMainFrame::CreateFrame() {
    return Create(kClassName, fw::LoadText(IDR_MAINFRAME).c_str(), WS_OVERLAPPEDWINDOW,
                  nullptr, IDR_MAINFRAME, IDR_MAINFRAME);
}

LRESULT CMainFrame::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == IconPressedMessage()) {
        OnIconPressed(lp);
        return 0;
    }
    if (msg == g_taskbarCreated) {
        OnTaskbarCreated();
        return 0;
    }
    switch (msg) {
    case WM_CREATE: return OnCreate();
    case WM_SETFOCUS: OnSetFocus(); return 0;
    case WM_TIMER: OnTimer(wp); return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_COMMAND: OnCommand(LOWORD(wp)); return 0;
    case WM_COPYDATA: return OnCopyData(reinterpret_cast<HWND>(wp), reinterpret_cast<const COPYDATASTRUCT*>(lp));
    case kRunQueuedCommand: commandResult_ = RunCommand(queuedCommand_); return 0;
    }
    return Default(msg, wp, lp);
}

LRESULT CMainFrame::OnCreate() {
    // A frame always has a client view and a status bar, though this one is never shown.
    statusBar_ = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                 Handle(), nullptr, fw::ResourceInstance(), nullptr);
    view_ = CreateWindowExA(WS_EX_CLIENTEDGE, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                            Handle(), nullptr, fw::ResourceInstance(), nullptr);
    if (!statusBar_ || !view_) return -1;

    theApp.adapterPresent = theApp.session.Discover();
    if (theApp.adapterPresent > 0) {
        ShowTray(TrayIcon::kAdd, tray::kIconDisconnected, fw::LoadText(IDS_DISCONNECTED));
        ApplyCurrentProfile();
    } else {
        ShowTray(TrayIcon::kAdd, tray::kIconNoAdapter, fw::LoadText(IDS_NETWORK_DISABLED));
    }
    previousBytesSent_ = theApp.Status().BytesSent();
    previousBytesReceived_ = theApp.Status().BytesReceived();
    osCode_ = zc::CurrentOsCode();
    if (osCode_ == 5) zeroConfigState_ = zc::Check(theApp.session.interfaceGuid);
    theApp.linkHistory = link_log::Load();
    noticesOn_ = link_log::NoticesOn();
    theApp.autoConnect.Reset();
    SetTimer(Handle(), kPollTimer, 1000, nullptr);
    warmUpCount_ = 0;
    return 0;
}

void CMainFrame::OnSetFocus() {
    if (view_) SetFocus(view_);
}

void CMainFrame::OnTimer(UINT_PTR id) {
    if (id == kNoticeTimer) {
        EndNotice();
        return;
    }
    const bool statusRead = PollAdapter();
    WatchLink(statusRead);
    theApp.autoConnect.Poll(*this, statusRead && !theApp.Status().Disconnected(), radio_);
}

bool CMainFrame::PollAdapter() {
    if (theApp.adapterPresent == 0) {
        theApp.adapterPresent = theApp.session.Discover();
        if (theApp.adapterPresent > 0) ApplyCurrentProfile();
        PushSamples(0, 0);
        return false;
    }
    if (theApp.session.AdapterCount() < 1) {
        AdapterLost();
        return false;
    }
    radio_ = theApp.session.RadioState();
    if (!theApp.session.ReadStatusRecord(theApp.statusRecord)) {
        AdapterLost();
        return false;
    }
    if (theApp.Status().Disconnected()) PollDisconnected(radio_);
    else PollConnected();
    PollZeroConfig();
    return true;
}

void CMainFrame::PollDisconnected(int32_t radio) {
    if (radio == 0) ShowTray(TrayIcon::kModify, tray::kIconDisconnected, fw::LoadText(IDS_DISCONNECTED));
    else ShowTray(TrayIcon::kModify, tray::kIconRadioOff, fw::LoadText(IDS_RADIO_OFF));
    PushSamples(0, 0);
}

void CMainFrame::PollConnected() {
    StatusRecord status = theApp.Status();
    int32_t sent = tray::TrafficSample(previousBytesSent_, status.BytesSent());
    int32_t received = tray::TrafficSample(previousBytesReceived_, status.BytesReceived());
    previousBytesSent_ = status.BytesSent();
    previousBytesReceived_ = status.BytesReceived();
    // The first connected tick would plot the counters' totals since the adapter started.
    if (warmUpCount_ >= 1) {
        PushSamples(received, sent);
    } else {
        PushSamples(0, 0);
        ++warmUpCount_;
    }
    UINT icon = tray::ConnectedIcon(status.SignalLevel());
    networkName_ = status.Ssid();
    speed_ = static_cast<int32_t>(status.TxRateWord());
    linkQuality_ = theApp.session.LinkQuality();
    theApp.linkQuality = linkQuality_;
    std::string format = fw::LoadText(osCode_ == 1 ? IDS_CONNECTION_TIP_98 : IDS_CONNECTION_TIP);
    ShowTray(TrayIcon::kModify, icon,
             fw::Format(format.c_str(), networkName_.c_str(), speed_, linkQuality_));
}

void CMainFrame::PollZeroConfig() {
    if (osCode_ != 5) return;
    int check = zc::Check(theApp.session.interfaceGuid);
    if (check == 0) {
        zeroConfigState_ = 0;
    } else if (check != zeroConfigState_) {
        zeroConfigState_ = check;
        ApplyCurrentProfile();
    }
}

void CMainFrame::AdapterLost() {
    theApp.adapterPresent = 0;
    ShowTray(TrayIcon::kModify, tray::kIconNoAdapter, fw::LoadText(IDS_NETWORK_DISABLED));
    if (HWND monitor = MonitorWindow()) SendMessageA(monitor, WM_CLOSE, 0, 0);
    theApp.session.CloseSession();
}

// What this tick saw becomes a link event when it differs from the last tick. A tick that
// read no status (the adapter was just found) does not count as connected.
void CMainFrame::WatchLink(bool statusRead) {
    link_history::Reading now;
    StatusRecord status = theApp.Status();
    now.present = theApp.adapterPresent > 0;
    now.radioOff = now.present && radio_ != 0;
    now.connected = statusRead && !status.Disconnected();
    if (theApp.session.activations != seenActivations_) {
        seenActivations_ = theApp.session.activations;
        applyTicks_ = kApplyTicks;
    }
    now.applying = applyTicks_ > 0;
    if (applyTicks_ > 0) --applyTicks_;
    if (now.connected) {
        now.ssid = status.Ssid();
        now.channel = link_log::ChannelOf(status);
        now.signal = SignalPercent(status.SignalLevel());
        now.rateMbps = status.RateMbps();
        now.address = CurrentAddress();
    } else {
        address_.clear();
        addressTicks_ = 0;  // read at once when the link comes up
    }
    link_history::Event event;
    // An association automatic connection waits for is told by its own notice.
    if (linkDetector_.Next(now, event))
        RecordLinkEvent(event, event.kind != link_history::Kind::LinkUp || !theApp.autoConnect.Joining());
}

// The adapter's first IP address, read every tenth tick: the IP helper is slow next to a tick.
std::string CMainFrame::CurrentAddress() {
    if (addressTicks_-- > 0) return address_;
    addressTicks_ = 9;
    ULONG size = 0;
    if (GetAdaptersInfo(nullptr, &size) != ERROR_BUFFER_OVERFLOW || size == 0) return address_;
    std::vector<unsigned char> buffer(size);
    auto* first = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data());
    if (GetAdaptersInfo(first, &size) != NO_ERROR) return address_;
    const AdapterSession& session = theApp.session;
    for (const IP_ADAPTER_INFO* a = first; a; a = a->Next) {
        bool sameGuid = !session.interfaceGuid.empty() && session.interfaceGuid == a->AdapterName;
        bool sameMac = !session.macAddress.empty() && session.macAddress.size() == a->AddressLength &&
                       session.macAddress.compare(0, std::string::npos, reinterpret_cast<const char*>(a->Address),
                                                  a->AddressLength) == 0;
        if (!sameGuid && !sameMac) continue;
        std::string ip(a->IpAddressList.IpAddress.String,
                       strnlen(a->IpAddressList.IpAddress.String, sizeof a->IpAddressList.IpAddress.String));
        address_ = ip == "0.0.0.0" ? std::string() : ip;
    }
    return address_;
}

void CMainFrame::RecordLinkEvent(link_history::Event event, bool notice) {
    event.time = link_log::Now();
    theApp.linkHistory.Add(event);
    link_log::Save(theApp.linkHistory);
    historyWindow_.Refresh();
    if (notice) ShowNotice(link_log::Describe(event));
}

void CMainFrame::RecordAutoEvent(const link_history::Event& event, bool notice) {
    RecordLinkEvent(event, notice);
    preferredWindow_.ShowFindings();
}

// Nobody needs a notice of what the open monitor window shows.
void CMainFrame::ShowNotice(const std::string& text) {
    if (!noticesOn_ || MonitorWindow()) return;
    if (tray_->ShowNotice(Handle(), fw::LoadText(IDR_MAINFRAME), text)) return;
    noticeTip_ = text;
    noticeIcon_ = icon_;
    ShowTray(TrayIcon::kModify, icon_, liveTip_);
    SetTimer(Handle(), kNoticeTimer, kNoticeMs, nullptr);
}

// The tip carries the live text again.
void CMainFrame::EndNotice() {
    KillTimer(Handle(), kNoticeTimer);
    if (noticeTip_.empty()) return;
    noticeTip_.clear();
    ShowTray(TrayIcon::kModify, icon_, liveTip_);
}

void CMainFrame::OnNoticesChosen() {
    noticesOn_ = !noticesOn_;
    link_log::RememberNotices(noticesOn_);
    if (!noticesOn_) EndNotice();
}

void CMainFrame::OnClose() {
    if (historyWindow_.Handle()) DestroyWindow(historyWindow_.Handle());
    preferredWindow_.Destroy();
    tray_->Notify(Handle(), IconPressedMessage(), TrayIcon::kDelete, icon_, tooltip_);
    theApp.session.CloseSession();
    DestroyWindow(Handle());
}

void CMainFrame::OnCommand(int id) {
    if (id >= ID_TRAY_PROFILE_FIRST && id <= ID_TRAY_PROFILE_LAST) {
        OnProfileChosen(static_cast<size_t>(id - ID_TRAY_PROFILE_FIRST));
        return;
    }
    switch (id) {
    case ID_APP_ABOUT: theApp.OnAppAbout(); break;
    case ID_TRAY_CONFIGURATION:
    case ID_TRAY_STATUS:
    case ID_TRAY_IPSETTINGS:
    case ID_TRAY_SITESURVEY:
    case ID_TRAY_ABOUT: OnOpenPage(id - ID_TRAY_CONFIGURATION); break;
    case ID_TRAY_RADIO: OnRadioChosen(); break;
    case ID_TRAY_HISTORY: historyWindow_.Open(); break;
    case ID_TRAY_PREFERRED: preferredWindow_.Open(); break;
    case ID_TRAY_NOTICES: OnNoticesChosen(); break;
    case ID_TRAY_EXIT: OnExit(); break;
    }
}

void CMainFrame::OnIconPressed(LPARAM mouseMessage) {
    HWND monitor = MonitorWindow();
    bool zeroConfigBlock = osCode_ == 5 && zc::Check(theApp.session.interfaceGuid) == 0;
    if (mouseMessage == WM_LBUTTONDBLCLK) {
        if (theApp.adapterPresent <= 0) return;
        if (monitor) {
            SetForegroundWindow(monitor);
            MessageBeep(MB_ICONEXCLAMATION);
        } else {
            theMonitorDlg.initialPage = 0;
            theMonitorDlg.Show(Handle());
        }
    } else if (IsMenuEvent(mouseMessage) && !zeroConfigBlock) {
        bool fromKeys = ShowTrayMenu() || mouseMessage == NIN_KEYSELECT;
        if (mouseMessage == NIN_KEYSELECT) keyMenuClosedAt_ = GetTickCount();
        // The keyboard user goes on in the notification area, where the menu came from.
        if (fromKeys && keyboardEvents_) tray_->ReturnFocus(Handle());
    }
}

// The shell that sends keyboard events follows a right-button release with WM_CONTEXTMENU,
// which is also what Shift+F10 and the menu key send; Enter and Space send NIN_KEYSELECT
// (Enter twice: the second, right after the menu closed, is not a new request). Other
// shells send the right-button release only.
bool CMainFrame::IsMenuEvent(LPARAM event) {
    if (!keyboardEvents_) return event == WM_RBUTTONUP;
    if (event == WM_CONTEXTMENU) return true;
    return event == NIN_KEYSELECT && GetTickCount() - keyMenuClosedAt_ > GetDoubleClickTime();
}

bool CMainFrame::ShowTrayMenu() {
    HMENU menu = LoadMenuA(fw::ResourceInstance(), MAKEINTRESOURCEA(IDR_TRAY_MENU));
    if (!menu) return false;
    // A click leaves the pointer on the icon; a key press leaves it anywhere, so the menu
    // then opens at the icon.
    POINT at;
    GetCursorPos(&at);
    RECT icon;
    const bool fromKeys = tray_->IconRect(Handle(), &icon) && !PtInRect(&icon, at);
    if (fromKeys) at = {icon.left + (icon.right - icon.left) / 2, icon.top + (icon.bottom - icon.top) / 2};
    SetForegroundWindow(Handle());
    HMENU popup = GetSubMenu(menu, 0);
    FillTrayMenu(popup);
    TrackPopupMenu(popup, 0, at.x, at.y, 0, Handle(), nullptr);
    DestroyMenu(menu);
    return fromKeys;
}

// The Profiles submenu lists the adapter's profiles, the current one checked; the Radio item
// is checked while the radio is on. Without an adapter both are grayed.
void CMainFrame::FillTrayMenu(HMENU popup) {
    CheckMenuItem(popup, ID_TRAY_NOTICES, MF_BYCOMMAND | (noticesOn_ ? MF_CHECKED : MF_UNCHECKED));
    int profilesAt = -1;
    for (int i = 0; i < GetMenuItemCount(popup); ++i)
        if (GetSubMenu(popup, i)) profilesAt = i;
    HMENU profiles = profilesAt >= 0 ? GetSubMenu(popup, profilesAt) : nullptr;
    menuProfiles_.clear();
    if (theApp.adapterPresent <= 0 || !profiles) {
        if (profilesAt >= 0) EnableMenuItem(popup, profilesAt, MF_BYPOSITION | MF_GRAYED);
        EnableMenuItem(popup, ID_TRAY_RADIO, MF_BYCOMMAND | MF_GRAYED);
        EnableMenuItem(popup, ID_TRAY_PREFERRED, MF_BYCOMMAND | MF_GRAYED);
        return;
    }
    const std::vector<std::string>& names = theApp.session.profileNames;
    size_t room = ID_TRAY_PROFILE_LAST - ID_TRAY_PROFILE_FIRST + 1;
    menuProfiles_.assign(names.begin(), names.begin() + std::min(names.size(), room));
    if (!menuProfiles_.empty()) DeleteMenu(profiles, ID_TRAY_NO_PROFILES, MF_BYCOMMAND);
    std::string current = theApp.session.CurrentProfileName();
    for (size_t i = 0; i < menuProfiles_.size(); ++i) {
        UINT flags = MF_STRING | (menuProfiles_[i] == current ? MF_CHECKED : MF_UNCHECKED);
        AppendMenuA(profiles, flags, ID_TRAY_PROFILE_FIRST + i, tray::MenuText(menuProfiles_[i]).c_str());
    }
    CheckMenuItem(popup, ID_TRAY_RADIO, MF_BYCOMMAND | (RadioIsOn() ? MF_CHECKED : MF_UNCHECKED));
}

void CMainFrame::OnProfileChosen(size_t index) {
    // The adapter may have gone while the menu was open.
    if (index >= menuProfiles_.size() || theApp.adapterPresent <= 0) return;
    ApplyNamedProfile(menuProfiles_[index], MonitorWindowPages());
}

void CMainFrame::OnRadioChosen() {
    if (theApp.adapterPresent > 0) SwitchRadio(!RadioIsOn());
}

// The user's own choice: automatic connection stays out of the way until the link next drops.
bool CMainFrame::ApplyNamedProfile(const std::string& name, StorePages& pages) {
    if (!theApp.store.ApplyStoredProfile(name, pages)) return false;
    theApp.autoConnect.UserApplied();
    return true;
}

bool CMainFrame::RadioIsOn() { return RadioToggleForState(theApp.session.RadioState()) == 1; }

void CMainFrame::SwitchRadio(bool on) {
    theApp.session.SwitchRadio(RadioValueForToggle(on ? 1 : 0));
    theMonitorDlg.ShowRadioState();
}

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

void CMainFrame::OnTaskbarCreated() {
    if (!icon_) return;
    tray_->Notify(Handle(), IconPressedMessage(), TrayIcon::kAdd, icon_, tooltip_);
    keyboardEvents_ = tray_->RequestKeyboardEvents(Handle());
}

void CMainFrame::OnOpenPage(int page) {
    if (MonitorWindow()) {
        theMonitorDlg.SwitchPage(page);
        return;
    }
    theMonitorDlg.initialPage = page;
    theMonitorDlg.Show(Handle());
}

void CMainFrame::OnExit() {
    if (osCode_ == 5 && zc::Check(theApp.session.interfaceGuid) != 0)
        zc::HandOver(theApp.session.interfaceGuid, zc::kHandBack);
    OnClose();
}

void CMainFrame::ApplyCurrentProfile() {
    AdapterSession& session = theApp.session;
    std::string name = session.CurrentProfileName();
    session.ApplyCurrentProfile(name, theApp.store.ReadTxRate(name));
}

void CMainFrame::ShowTray(TrayIcon::Mode mode, UINT iconId, const std::string& tip) {
    if (iconId != noticeIcon_) noticeTip_.clear();
    liveTip_ = tip;
    icon_ = iconId;
    tooltip_ = tray::FitTip(noticeTip_.empty() ? tip : noticeTip_);
    tray_->Notify(Handle(), IconPressedMessage(), mode, iconId, tooltip_);
    if (mode == TrayIcon::kAdd) keyboardEvents_ = tray_->RequestKeyboardEvents(Handle());
}

void CMainFrame::PushSamples(int32_t received, int32_t sent) {
    theApp.greenHistory.Push(received);
    theApp.redHistory.Push(sent);
}

// Its own handle: another program's window may have the same title.
HWND CMainFrame::MonitorWindow() { return theMonitorDlg.Handle(); }
