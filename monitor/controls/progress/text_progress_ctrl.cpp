#include "monitor/controls/progress/text_progress_ctrl.h"

#include <commctrl.h>

#include "monitor/controls/progress/progress_paint.h"

namespace {
void FillSolid(HDC dc, const RECT& r, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}
}  // namespace

CTextProgressCtrl::CTextProgressCtrl() : backgroundColour(GetSysColor(COLOR_BTNFACE)) {}

bool CTextProgressCtrl::Attach(HWND progressBar) {
    firstPaint = TRUE;
    return Subclass(progressBar);
}

void CTextProgressCtrl::SetQualityWords(const std::string& excellent, const std::string& good,
                                        const std::string& fair, const std::string& poor) {
    qualityWords_[0] = excellent;
    qualityWords_[1] = good;
    qualityWords_[2] = fair;
    qualityWords_[3] = poor;
}

LRESULT CTextProgressCtrl::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: return OnPaint();
    case WM_PRINTCLIENT: Paint(reinterpret_cast<HDC>(wp)); return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: return OnFocusChanged(msg, wp, lp);
    }
    return Default(msg, wp, lp);
}

// The bar is a tab stop: it shows a focus rectangle while it has the focus.
LRESULT CTextProgressCtrl::OnFocusChanged(UINT msg, WPARAM wp, LPARAM lp) {
    InvalidateRect(Handle(), nullptr, FALSE);
    return Default(msg, wp, lp);
}

LRESULT CTextProgressCtrl::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    Paint(dc);
    EndPaint(Handle(), &ps);
    return 0;
}

void CTextProgressCtrl::Paint(HDC dc) {
    if (firstPaint) {
        vertical = (GetWindowLongA(Handle(), GWL_STYLE) & PBS_VERTICAL) != 0;
        GetClientRect(Handle(), &paintRect);
        firstPaint = FALSE;
    }
    FillSolid(dc, paintRect, backgroundColour);

    PBRANGE range = {};
    SendMessageA(Handle(), PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    int position = static_cast<int>(SendMessageA(Handle(), PBM_GETPOS, 0, 0));
    int width = paintRect.right - paintRect.left;
    int height = paintRect.bottom - paintRect.top;
    for (const GradientBlock& b : GradientBlocks(startColour, endColour, vertical ? height : width,
                                                 position, range.iHigh)) {
        // A vertical bar fills from the bottom upwards.
        RECT r = vertical ? RECT{paintRect.left, paintRect.bottom - b.to, paintRect.right,
                                 paintRect.bottom - b.from}
                          : RECT{paintRect.left + b.from, paintRect.top, paintRect.left + b.to,
                                 paintRect.bottom};
        FillSolid(dc, r, b.colour);
    }
    if (showText) PaintText(dc, position, range.iLow, range.iHigh);
    if (GetFocus() == Handle()) {
        RECT focus = paintRect;
        InflateRect(&focus, -1, -1);
        DrawFocusRect(dc, &focus);
    }
}

void CTextProgressCtrl::PaintText(HDC dc, int position, int lower, int upper) {
    std::string text = ProgressText(position, lower, upper, qualityWords_);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(GetParent(Handle()), WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    RECT r = paintRect;
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (oldFont) SelectObject(dc, oldFont);
    SetBkMode(dc, oldMode);
}
