#include "monitor/ui/survey/channel_view/channel_view.h"

#include <algorithm>
#include <string>

#include "framework/text/text.h"
#include "monitor/res/resource.h"

namespace {

constexpr char kClassName[] = "SkyvaneChannelView";
constexpr int kMargin = 8;
constexpr COLORREF kBarColour = RGB(70, 110, 200);
constexpr COLORREF kSuggestedColour = RGB(40, 160, 70);

// An object selected into a DC for as long as this lives.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~Selected() { SelectObject(dc_, previous_); }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

void Text(HDC dc, const std::string& text, RECT r, UINT format) {
    DrawTextA(dc, text.c_str(), int(text.size()), &r, format | DT_SINGLELINE | DT_NOPREFIX);
}

// One band: its name above, a bar per channel scaled to `maxLoad`, the number of networks
// written on each bar, the channel numbers beneath (`other` for the bar of channel 0).
void DrawBand(HDC dc, const RECT& area, const std::string& name, const std::vector<channels::Bar>& bars,
              int64_t maxLoad, int suggested, int line, HBRUSH bar, HBRUSH best, const std::string& other) {
    Text(dc, name, RECT{area.left, area.top, area.right, area.top + line}, DT_LEFT);
    const int base = area.bottom - line;
    const int top = area.top + 2 * line;  // room for a full bar's number
    RECT axis = {area.left, base, area.right, base + 1};
    FillRect(dc, &axis, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    if (bars.empty()) return;
    const int slot = std::max<int>(1, (area.right - area.left) / int(bars.size()));
    for (size_t i = 0; i < bars.size(); ++i) {
        const channels::Bar& b = bars[i];
        const int left = area.left + int(i) * slot;
        const int height = maxLoad > 0 ? int(int64_t(std::max(0, base - top)) * b.load / maxLoad) : 0;
        RECT r = {left + slot / 6, base - height, left + slot - slot / 6, base};
        FillRect(dc, &r, b.channel == suggested ? best : bar);
        Text(dc, std::to_string(b.networks), RECT{left, r.top - line, left + slot, r.top}, DT_CENTER | DT_BOTTOM);
        Text(dc, b.channel ? std::to_string(b.channel) : other, RECT{left, base + 1, left + slot, base + 1 + line},
             DT_CENTER | DT_TOP);
    }
}

}  // namespace

void CChannelView::Open(HWND owner) {
    if (Handle()) {
        ShowWindow(Handle(), SW_SHOWNORMAL);
        SetForegroundWindow(Handle());
        return;
    }
    if (!Create(kClassName, fw::LoadText(IDS_CHANNEL_VIEW_TITLE).c_str(), WS_OVERLAPPEDWINDOW, owner)) return;
    RECT beside = {};
    GetWindowRect(owner, &beside);
    SetWindowPos(Handle(), nullptr, beside.left + 40, beside.top + 40, 520, 360, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(Handle(), SW_SHOWNORMAL);
}

void CChannelView::Show(const std::vector<channels::Network>& networks) {
    occupancy_ = channels::Measure(networks);
    if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
}

LRESULT CChannelView::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: return 1;  // the paint covers every pixel
    case WM_SIZE: InvalidateRect(Handle(), nullptr, FALSE); return 0;
    case WM_GETMINMAXINFO: OnMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lp)); return 0;
    }
    return Default(msg, wp, lp);
}

void CChannelView::OnMinMaxInfo(MINMAXINFO& info) {
    info.ptMinTrackSize.x = 320;
    info.ptMinTrackSize.y = 240;
}

// Drawn off screen, then copied in one piece, so that a resize does not flicker.
void CChannelView::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    RECT client;
    GetClientRect(Handle(), &client);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, std::max<LONG>(1, client.right), std::max<LONG>(1, client.bottom));
    if (memory && bitmap) {
        {
            Selected canvas(memory, bitmap);
            Draw(memory, client);
            BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        }
    } else {
        Draw(dc, client);
    }
    if (bitmap) DeleteObject(bitmap);
    if (memory) DeleteDC(memory);
    EndPaint(Handle(), &ps);
}

void CChannelView::Draw(HDC dc, const RECT& area) const {
    FillRect(dc, &area, GetSysColorBrush(COLOR_WINDOW));
    Selected font(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    const int line = tm.tmHeight + 2;

    // Networks on no channel's centre end the 5 GHz row.
    std::vector<channels::Bar> band5 = occupancy_.band5;
    if (occupancy_.other.networks) band5.push_back(occupancy_.other);
    int64_t maxLoad = 0;
    for (const channels::Bar& b : occupancy_.band24) maxLoad = std::max(maxLoad, b.load);
    for (const channels::Bar& b : band5) maxLoad = std::max(maxLoad, b.load);

    // 2.4 GHz above, 5 GHz below it at half its height, the suggestion at the bottom.
    const RECT inner = {area.left + kMargin, area.top + kMargin, area.right - kMargin, area.bottom - kMargin};
    const int words = 2 * line;
    const int bands = std::max(0, int(inner.bottom - inner.top) - words);
    const RECT band24 = {inner.left, inner.top, inner.right, inner.top + bands * 3 / 5};
    const RECT area5 = {inner.left, band24.bottom + line / 2, inner.right, inner.top + bands};

    HBRUSH bar = CreateSolidBrush(kBarColour);
    HBRUSH best = CreateSolidBrush(kSuggestedColour);
    const std::string other = fw::LoadText(IDS_CHANNEL_OTHER);
    DrawBand(dc, band24, fw::LoadText(IDS_CHANNEL_BAND_24), occupancy_.band24, maxLoad, occupancy_.suggested24,
             line, bar, best, other);
    DrawBand(dc, area5, fw::LoadText(IDS_CHANNEL_BAND_5), band5, maxLoad, occupancy_.suggested5, line, bar, best,
             other);
    if (band5.empty())
        Text(dc, fw::LoadText(IDS_CHANNEL_NONE_5), RECT{area5.left, area5.top, area5.right, area5.bottom - line},
             DT_CENTER | DT_VCENTER);
    DeleteObject(bar);
    DeleteObject(best);

    std::string advice = occupancy_.suggested5
                             ? fw::Format(fw::LoadText(IDS_CHANNEL_SUGGESTED_BOTH).c_str(), occupancy_.suggested24,
                                          occupancy_.suggested5)
                             : fw::Format(fw::LoadText(IDS_CHANNEL_SUGGESTED_24).c_str(), occupancy_.suggested24);
    RECT text = {inner.left, inner.bottom - words, inner.right, inner.bottom};
    DrawTextA(dc, advice.c_str(), int(advice.size()), &text, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}
