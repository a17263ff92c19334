#include "monitor/controls/owner_draw_button.h"

#include <windowsx.h>

#include "framework/app.h"

namespace {
const char kButtonProp[] = "skyvane.button";

RECT ToRect(const Box& b) { return RECT{b.left, b.top, b.right, b.bottom}; }

Box ToBox(const RECT& r) { return Box{r.left, r.top, r.right, r.bottom}; }

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP bm = {};
    if (bitmap) GetObjectA(bitmap, sizeof bm, &bm);
    return SIZE{bm.bmWidth, bm.bmHeight};
}

void DrawFrame(HDC dc, const RECT& item, bool pressed) {
    RECT r = item;
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
}

void BlackFrame(HDC dc, const RECT& item) {
    FrameRect(dc, &item, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void FocusFrame(HDC dc, const RECT& item, int inset) {
    RECT r = ToRect(FocusBox(ToBox(item), inset));
    DrawFocusRect(dc, &r);
}
}  // namespace

COwnerDrawButton::~COwnerDrawButton() {
    if (Handle()) RemovePropA(Handle(), kButtonProp);
    if (normalBitmap_) DeleteObject(normalBitmap_);
    if (checkedBitmap_) DeleteObject(checkedBitmap_);
}

bool COwnerDrawButton::Attach(HWND button) {
    if (!Subclass(button)) return false;
    SetPropA(button, kButtonProp, this);
    // The owner's dialog is created anew at every opening: the new button still has its
    // template style and must be classified again.
    kind_ = ButtonKind::None;
    return true;
}

void COwnerDrawButton::ReplaceBitmap(HBITMAP& slot, UINT id) {
    if (slot) DeleteObject(slot);
    HINSTANCE inst = fw::ResourceInstance();
    slot = static_cast<HBITMAP>(
        LoadImageA(inst, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

int COwnerDrawButton::SetBitmap(UINT bitmapId) {
    DWORD style = static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE));
    // Classify once per attached window: after the first call the style is owner-draw.
    if (kind_ == ButtonKind::None) {
        kind_ = ClassifyButton(style);
        SetWindowLongA(Handle(), GWL_STYLE, static_cast<LONG>(OwnerDrawStyle(style)));
    }
    ReplaceBitmap(normalBitmap_, bitmapId);
    RECT client;
    GetClientRect(Handle(), &client);
    SIZE size = BitmapSize(normalBitmap_);
    layout_ = LayOutButton(ToBox(client), size.cx, size.cy);
    InvalidateRect(Handle(), nullptr, TRUE);
    return 0;
}

int COwnerDrawButton::SetBitmaps(UINT normalId, UINT checkedId) {
    ReplaceBitmap(checkedBitmap_, checkedId);
    return SetBitmap(normalId);
}

int COwnerDrawButton::SetCaptions(const std::string& off, const std::string& on) {
    offCaption_ = off;
    onCaption_ = on;
    return 0;
}

void COwnerDrawButton::SetCheck(int state) {
    SendMessageA(Handle(), BM_SETCHECK, state, 0);
    checked_ = state != 0;
    InvalidateRect(Handle(), nullptr, TRUE);
}

int COwnerDrawButton::GetCheck() {
    SendMessageA(Handle(), BM_GETCHECK, 0, 0);
    return checked_;
}

LRESULT COwnerDrawButton::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SETFOCUS:
    case WM_SYSCOLORCHANGE: {
        LRESULT r = Default(msg, wp, lp);
        InvalidateRect(Handle(), nullptr, TRUE);
        return r;
    }
    case WM_LBUTTONUP: {
        POINT pt = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        RECT client;
        GetClientRect(Handle(), &client);
        OnReleased(PtInRect(&client, pt) != 0);
        return Default(msg, wp, lp);
    }
    case WM_KEYUP:
        if (wp == VK_SPACE) OnReleased(true);
        return Default(msg, wp, lp);
    }
    return Default(msg, wp, lp);
}

// The button reports a click exactly when it is released while pushed and over it (or by
// the space bar); the checked state flips with that click and with nothing else, so it
// always matches what the owner was told.
void COwnerDrawButton::OnReleased(bool overButton) {
    bool pushed = (SendMessageA(Handle(), BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
    if (pushed && overButton) checked_ = !checked_;
}

BOOL COwnerDrawButton::DrawFromParent(LPARAM drawItem) {
    auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(drawItem);
    if (!item || item->CtlType != ODT_BUTTON) return FALSE;
    auto* self = static_cast<COwnerDrawButton*>(GetPropA(item->hwndItem, kButtonProp));
    if (!self) return FALSE;
    self->DrawItem(*item);
    return TRUE;
}

void COwnerDrawButton::DrawItem(const DRAWITEMSTRUCT& item) {
    if (item.CtlType != ODT_BUTTON) return;
    if (kind_ == ButtonKind::Push) DrawPush(item);
    else if (kind_ == ButtonKind::Toggle) DrawToggle(item);
}

std::string COwnerDrawButton::WindowText() const {
    char text[256] = {};
    GetWindowTextA(Handle(), text, sizeof text);
    return text;
}

void COwnerDrawButton::DrawCaption(HDC dc, const std::string& text, int shift) const {
    RECT r = ToRect(layout_.caption);
    r.left += shift;
    r.top += shift;
    int oldMode = SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SetBkMode(dc, oldMode);
}

void COwnerDrawButton::DrawBitmap(HDC dc, HBITMAP bitmap, int shift) const {
    if (!bitmap || layout_.bitmap.Empty()) return;
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, bitmap);
    // AND: the bitmap's white parts let the face colour show.
    BitBlt(dc, layout_.bitmap.left + shift, layout_.bitmap.top + shift,
           layout_.bitmap.right - layout_.bitmap.left, layout_.bitmap.bottom - layout_.bitmap.top,
           mem, 0, 0, SRCAND);
    SelectObject(mem, old);
    DeleteDC(mem);
}

void COwnerDrawButton::DrawEmbossed(HDC dc, HBITMAP bitmap, int shift) const {
    if (!bitmap || layout_.bitmap.Empty()) return;
    int w = layout_.bitmap.right - layout_.bitmap.left;
    int h = layout_.bitmap.bottom - layout_.bitmap.top;
    // A monochrome copy: white stays background, every coloured pixel becomes the shape.
    HBITMAP mono = CreateBitmap(w, h, 1, 1, nullptr);
    HDC src = CreateCompatibleDC(dc);
    HDC dst = CreateCompatibleDC(dc);
    HGDIOBJ oldSrc = SelectObject(src, bitmap);
    HGDIOBJ oldDst = SelectObject(dst, mono);
    SetBkColor(src, RGB(255, 255, 255));
    BitBlt(dst, 0, 0, w, h, src, 0, 0, SRCCOPY);
    SelectObject(dst, oldDst);
    SelectObject(src, oldSrc);
    DeleteDC(dst);
    DeleteDC(src);
    DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(mono), 0,
               layout_.bitmap.left + shift, layout_.bitmap.top + shift, w, h,
               DST_BITMAP | DSS_DISABLED);
    DeleteObject(mono);
}

void COwnerDrawButton::DrawPush(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    const RECT& rect = item.rcItem;
    FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
    DrawFrame(dc, rect, false);
    std::string text = WindowText();
    DrawCaption(dc, text, 0);
    bool disabled = (item.itemState & ODS_DISABLED) != 0;
    if (!disabled) DrawBitmap(dc, normalBitmap_, 0);
    if (item.itemState & ODS_FOCUS) FocusFrame(dc, rect, 14);
    if (item.itemState & ODS_SELECTED) {
        DrawFrame(dc, rect, true);
        FocusFrame(dc, rect, 14);
        BlackFrame(dc, rect);
        DrawCaption(dc, text, 2);
        DrawBitmap(dc, normalBitmap_, 2);
    }
    if (disabled) {
        COLORREF old = SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        DrawCaption(dc, text, 0);
        SetTextColor(dc, old);
        DrawEmbossed(dc, normalBitmap_, 0);
    }
}

void COwnerDrawButton::DrawToggle(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    const RECT& rect = item.rcItem;
    FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
    bool checked = checked_ != 0;
    std::string caption = offCaption_.empty() ? WindowText() : checked ? onCaption_ : offCaption_;
    HBITMAP bitmap = checked ? checkedBitmap_ : normalBitmap_;
    int shift = checked ? 1 : 0;

    DrawFrame(dc, rect, checked);
    COLORREF oldText = SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawCaption(dc, caption, shift);
    DrawBitmap(dc, bitmap, shift);
    if (item.itemState & ODS_FOCUS) FocusFrame(dc, rect, 13);
    if (item.itemAction & ODA_SELECT) {
        DrawFrame(dc, rect, checked);
        FocusFrame(dc, rect, 13);
        BlackFrame(dc, rect);
        DrawCaption(dc, caption, shift);
        DrawBitmap(dc, bitmap, shift);
    }
    if (item.itemState & ODS_DISABLED) {
        DrawFrame(dc, rect, checked);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        DrawCaption(dc, caption, shift);
        DrawEmbossed(dc, bitmap, shift);
    }
    SetTextColor(dc, oldText);
}
