#include "monitor/app/main_frame.h"

#include <commctrl.h>

#include <iphlpapi.h>

#include <vector>

#include "framework/app.h"
#include "framework/text/text.h"
#include "monitor/adapter/zero_config.h"
#include "monitor/app/history/link_log.h"
#include "monitor/app/monitor_app.h"
#include "monitor/app/tray/signal_percent.h"
#include "monitor/app/tray/tray_state.h"
#include "monitor/res/resource.h"
#include "monitor/ui/monitor_dlg.h"

namespace {
// Sent by the shell when it (re)starts: the tray icon must be added again.
const UINT g_taskbarCreated = fw::RegisteredMessage("TaskbarCreated");

// How many ticks after the program handed the adapter a profile a dropped link is put down to
// that, not to the signal.
constexpr int kApplyTicks = 2;
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

void CMainFrame::OnClose() {
    if (historyWindow_.Handle()) DestroyWindow(historyWindow_.Handle());
    preferredWindow_.Destroy();
    tray_->Notify(Handle(), IconPressedMessage(), TrayIcon::kDelete, icon_, tooltip_);
    theApp.session.CloseSession();
    DestroyWindow(Handle());
}

void CMainFrame::OnTaskbarCreated() {
    if (!icon_) return;
    tray_->Notify(Handle(), IconPressedMessage(), TrayIcon::kAdd, icon_, tooltip_);
    keyboardEvents_ = tray_->RequestKeyboardEvents(Handle());
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
