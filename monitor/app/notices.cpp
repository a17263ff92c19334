// The tray frame's notices of link events: a balloon, or the tip for as long as one would show.
#include "monitor/app/main_frame.h"

#include "framework/text/text.h"
#include "monitor/app/history/link_log.h"
#include "monitor/res/resource.h"

namespace {
// How long the tip carries a notice where the shell has no balloons: as long as a balloon shows.
constexpr UINT kNoticeMs = 10000;
}  // namespace

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
