#include "monitor/controls/hyperlink.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include "framework/app.h"
#include "framework/reg_key.h"

namespace {
const char kLinkProp[] = "skyvane.link";

// Shared by every link; loaded once and kept until the program ends.
HCURSOR g_handCursor = nullptr;

// The hand of the Windows help viewer (its cursor 106).
void LoadHandCursor() {
    if (g_handCursor) return;
    char dir[MAX_PATH] = {};
    UINT n = GetWindowsDirectoryA(dir, sizeof dir);
    if (n == 0 || n >= sizeof dir) return;
    std::string viewer = std::string(dir) + "\\winhlp32.exe";
    // Only its resources are wanted: mapped as data, nothing of it runs.
    HMODULE module = LoadLibraryExA(viewer.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return;
    HCURSOR hand = LoadCursorA(module, MAKEINTRESOURCEA(106));
    if (hand) g_handCursor = CopyCursor(hand);
    FreeLibrary(module);
}

std::string TextOf(HWND w) {
    int length = GetWindowTextLengthA(w);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int n = GetWindowTextA(w, &text[0], length + 1);
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}
}  // namespace

CHyperLink::~CHyperLink() {
    if (Handle()) RemovePropA(Handle(), kLinkProp);
    ReleaseWindowParts();
}

bool CHyperLink::Attach(HWND control) {
    if (!Subclass(control)) return false;
    SetPropA(control, kLinkProp, this);
    active_ = 0;
    over_ = 0;
    if (address_.empty()) address_ = TextOf(control);
    if (TextOf(control).empty()) SetWindowTextA(control, address_.c_str());
    UnderlineFont();
    if (!(style_ & kStyleNoHandCursor)) LoadHandCursor();
    CreateTooltip();
    return true;
}

HBRUSH CHyperLink::ColourFromParent(HDC dc, HWND control) {
    auto* link = static_cast<CHyperLink*>(GetPropA(control, kLinkProp));
    if (!link) return nullptr;
    SetTextColor(dc, link->TextColour());
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

COLORREF CHyperLink::TextColour() const {
    if (over_ && (style_ & kStyleHoverColour)) return kHoverColour;
    if (!(style_ & kStyleNoActiveColour) && active_) return kActiveColour;
    return visited_ ? kVisitedColour : kLinkColour;
}

LRESULT CHyperLink::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    RelayToTooltip(msg, wp, lp);
    switch (msg) {
    case WM_SETCURSOR: return OnSetCursor(msg, wp, lp);
    case WM_NCHITTEST: return HTCLIENT;  // a static control is otherwise transparent to the mouse
    case WM_MOUSEMOVE: OnMouseMove(lp); return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(); return 0;
    case WM_LBUTTONUP: OnLButtonUp(); return 0;
    case WM_SETFOCUS: OnSetFocus(); return 0;
    case WM_KILLFOCUS: OnKillFocus(); return 0;
    case WM_KEYDOWN: return OnKeyDown(wp, lp);
    case WM_DESTROY: OnDestroy(); break;
    }
    return Default(msg, wp, lp);
}

// The tooltip learns where the mouse is from the mouse messages the control receives.
void CHyperLink::RelayToTooltip(UINT msg, WPARAM wp, LPARAM lp) {
    if (!tooltip_ || msg < WM_MOUSEFIRST || msg > WM_MOUSELAST) return;
    DWORD pos = GetMessagePos();
    MSG relayed = {Handle(), msg, wp, lp, static_cast<DWORD>(GetMessageTime()),
                   {GET_X_LPARAM(pos), GET_Y_LPARAM(pos)}};
    SendMessageA(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

LRESULT CHyperLink::OnSetCursor(UINT msg, WPARAM wp, LPARAM lp) {
    if (!g_handCursor) return Default(msg, wp, lp);
    SetCursor(g_handCursor);
    return TRUE;
}

// The mouse is captured while over the link, so that leaving it is seen too.
void CHyperLink::OnMouseMove(LPARAM lp) {
    if (over_) {
        POINT at = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        RECT client;
        GetClientRect(Handle(), &client);
        if (PtInRect(&client, at)) return;
        over_ = 0;
        ReleaseCapture();
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
        return;
    }
    over_ = 1;
    InvalidateRect(Handle(), nullptr, FALSE);
    SetCapture(Handle());
}

void CHyperLink::OnLButtonDown() {
    if (style_ & kStyleFocusOnClick) SetFocus(Handle());
    if (style_ & kStyleOpenOnPress) Open();
    active_ = 1;
}

void CHyperLink::OnLButtonUp() {
    if (active_ && !(style_ & kStyleOpenOnPress)) Open();
}

void CHyperLink::OnSetFocus() {
    active_ = 1;
    InvalidateRect(Handle(), nullptr, FALSE);
}

void CHyperLink::OnKillFocus() {
    over_ = 0;
    active_ = 0;
    InvalidateRect(Handle(), nullptr, FALSE);
}

LRESULT CHyperLink::OnKeyDown(WPARAM key, LPARAM lp) {
    if (key != VK_SPACE) return Default(WM_KEYDOWN, key, lp);
    Open();
    return 0;
}

// The font and the tooltip go with the control; the next page attaches afresh.
void CHyperLink::OnDestroy() {
    RemovePropA(Handle(), kLinkProp);
    ReleaseWindowParts();
}

void CHyperLink::ReleaseWindowParts() {
    // The tooltip is a popup owned by the top-level window, not a child of the control.
    if (tooltip_) DestroyWindow(tooltip_);
    tooltip_ = nullptr;
    if (font_) DeleteObject(font_);
    font_ = nullptr;
}

void CHyperLink::UnderlineFont() {
    HFONT current = reinterpret_cast<HFONT>(SendMessageA(Handle(), WM_GETFONT, 0, 0));
    LOGFONTA description = {};
    if (!current || !GetObjectA(current, sizeof description, &description)) {
        style_ &= ~kStyleAutoSize;
        return;
    }
    description.lfUnderline = (style_ & kStyleUnderline) ? TRUE : FALSE;
    HFONT underlined = CreateFontIndirectA(&description);
    if (!underlined) return;
    if (font_) DeleteObject(font_);
    font_ = underlined;
    SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    AutoSize();
}

// Fits the control to its text, keeping the text where its alignment puts it.
void CHyperLink::AutoSize() {
    if (!(style_ & kStyleAutoSize)) return;
    HWND h = Handle();
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(nullptr, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
    RECT client;
    GetClientRect(h, &client);
    int borderWidth = (r.right - r.left) - client.right;
    int borderHeight = (r.bottom - r.top) - client.bottom;

    std::string text = TextOf(h);
    HDC dc = GetDC(h);
    HGDIOBJ old = SelectObject(dc, font_);
    SIZE extent = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(h, dc);

    DWORD style = static_cast<DWORD>(GetWindowLongA(h, GWL_STYLE));
    if (style & SS_CENTERIMAGE) {
        int shrink = ((r.bottom - r.top) - extent.cy) / 2;
        r.top += shrink;
        r.bottom -= shrink;
    } else {
        r.bottom = r.top + extent.cy;
    }
    switch (style & SS_TYPEMASK) {
    case SS_CENTER: {
        int shrink = ((r.right - r.left) - extent.cx) / 2;
        r.left += shrink;
        r.right -= shrink;
        break;
    }
    case SS_RIGHT: r.left = r.right - extent.cx; break;
    default: r.right = r.left + extent.cx; break;
    }
    MoveWindow(h, r.left, r.top, r.right - r.left + borderWidth, r.bottom - r.top + borderHeight, TRUE);
}

void CHyperLink::CreateTooltip() {
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    tooltip_ = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                               fw::ResourceInstance(), nullptr);
    if (!tooltip_) return;
    TTTOOLINFOA tool = {};
    // The size every common-controls version accepts.
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = Handle();
    tool.uId = 1;
    GetClientRect(Handle(), &tool.rect);
    tool.lpszText = const_cast<char*>(address_.c_str());
    SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void CHyperLink::Open() {
    auto shell = reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", address_.c_str(), nullptr,
                                                         nullptr, SW_SHOW));
    int result = static_cast<int>(shell);
    if (result <= 32) result = OpenWithWebBrowser(result);
    if (result > 32) {
        visited_ = 1;
        InvalidateRect(Handle(), nullptr, FALSE);
        return;
    }
    MessageBeep(MB_ICONEXCLAMATION);
    MessageBoxA(GetAncestor(Handle(), GA_ROOT), LinkErrorMessage(errorTexts_, result).c_str(),
                errorTexts_.caption.c_str(), MB_ICONEXCLAMATION | MB_OK);
}

int CHyperLink::OpenWithWebBrowser(int shellResult) const {
    fw::RegKey extension;
    if (!extension.Open(HKEY_CLASSES_ROOT, ".htm")) return shellResult;
    auto type = extension.ReadString("", MAX_PATH);
    if (!type || type->empty()) return shellResult;
    fw::RegKey command;
    if (!command.Open(HKEY_CLASSES_ROOT, *type + "\\shell\\open\\command")) return shellResult;
    auto registered = command.ReadString("", MAX_PATH);
    if (!registered) return shellResult;
    return static_cast<int>(WinExec(FallbackCommand(*registered, address_).c_str(), SW_SHOW));
}
