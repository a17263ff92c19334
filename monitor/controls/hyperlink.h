// A static text control turned into a web link: coloured, underlined text with a hand cursor
// and a tooltip showing the address. A click or the space bar opens the address in the web
// browser; once opened, the link shows the visited colour.
#pragma once
#include <windows.h>

#include <string>
#include <utility>

#include "framework/window.h"
#include "monitor/controls/link_command.h"

class CHyperLink : public fw::Window {
public:
    // Style flags. Every link starts with underline, auto-size and focus on click.
    static constexpr DWORD kStyleUnderline = 0x01;
    static constexpr DWORD kStyleHoverColour = 0x02;
    static constexpr DWORD kStyleAutoSize = 0x04;
    static constexpr DWORD kStyleOpenOnPress = 0x08;
    static constexpr DWORD kStyleFocusOnClick = 0x10;
    static constexpr DWORD kStyleNoHandCursor = 0x20;
    static constexpr DWORD kStyleNoActiveColour = 0x40;

    static constexpr COLORREF kLinkColour = RGB(0, 0, 255);
    static constexpr COLORREF kActiveColour = RGB(128, 0, 128);
    static constexpr COLORREF kVisitedColour = RGB(128, 0, 128);
    static constexpr COLORREF kHoverColour = RGB(255, 0, 0);

    CHyperLink() = default;
    ~CHyperLink() override;

    // Subclasses the dialog's static control. Its window text becomes the address (the first
    // time it is attached); the control gets an underlined copy of its font and fits its text.
    bool Attach(HWND control);
    // The texts of the message shown when the address cannot be opened.
    void SetErrorTexts(LinkErrorTexts texts) { errorTexts_ = std::move(texts); }

    // For the owner's WM_CTLCOLORSTATIC: sets the colours of the link `control` belongs to and
    // returns the brush to paint with; null when `control` is no link.
    static HBRUSH ColourFromParent(HDC dc, HWND control);

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    COLORREF TextColour() const;
    void RelayToTooltip(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnSetCursor(UINT msg, WPARAM wp, LPARAM lp);
    void OnMouseMove(LPARAM lp);
    void OnLButtonDown();
    void OnLButtonUp();
    void OnSetFocus();
    void OnKillFocus();
    LRESULT OnKeyDown(WPARAM key, LPARAM lp);
    void OnDestroy();

    void UnderlineFont();
    void AutoSize();
    void CreateTooltip();
    void ReleaseWindowParts();
    // Opens the address; on failure beeps and says why.
    void Open();
    // The browser registered for ".htm" pages, started on the address; the shell's result
    // `shellResult` stands when none is registered.
    int OpenWithWebBrowser(int shellResult) const;

    int active_ = 0;
    int over_ = 0;
    int visited_ = 0;  // kept across attaches: a followed link stays visited for the run
    DWORD style_ = kStyleUnderline | kStyleAutoSize | kStyleFocusOnClick;
    std::string address_;
    HFONT font_ = nullptr;
    HWND tooltip_ = nullptr;
    LinkErrorTexts errorTexts_;
};
