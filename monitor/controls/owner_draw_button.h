// A dialog button that draws itself: a bitmap at the left, the caption centred in the rest,
// and its own pressed, focused and disabled looks. A plain push button in the template
// becomes a push button; a check-box style one becomes a toggle that stays pressed while
// checked and may show a second bitmap and caption then.
#pragma once
#include <windows.h>

#include <string>

#include "framework/window.h"
#include "monitor/controls/button_layout.h"

class COwnerDrawButton : public fw::Window {
public:
    COwnerDrawButton() = default;
    ~COwnerDrawButton() override;

    // Attaches to the dialog's button.
    bool Attach(HWND button);
    // Classifies the button, makes it owner-drawn, loads the bitmap and lays it out.
    int SetBitmap(UINT bitmapId);
    int SetBitmaps(UINT normalId, UINT checkedId);
    int SetCaptions(const std::string& off, const std::string& on);
    void SetCheck(int state);
    int GetCheck();

    // For the owner's WM_DRAWITEM: draws the button the item belongs to, when it is one of
    // these. Returns TRUE when it drew.
    static BOOL DrawFromParent(LPARAM drawItem);
    void DrawItem(const DRAWITEMSTRUCT& item);

    ButtonKind Kind() const { return kind_; }
    const ButtonLayout& Layout() const { return layout_; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnReleased(bool overButton);
    void DrawPush(const DRAWITEMSTRUCT& item);
    void DrawToggle(const DRAWITEMSTRUCT& item);
    void DrawCaption(HDC dc, const std::string& text, int shift) const;
    void DrawBitmap(HDC dc, HBITMAP bitmap, int shift) const;
    void DrawEmbossed(HDC dc, HBITMAP bitmap, int shift) const;
    std::string WindowText() const;
    void ReplaceBitmap(HBITMAP& slot, UINT id);

    std::string offCaption_;
    std::string onCaption_;
    HBITMAP normalBitmap_ = nullptr;
    HBITMAP checkedBitmap_ = nullptr;
    ButtonLayout layout_;
    ButtonKind kind_ = ButtonKind::None;
    BOOL checked_ = FALSE;
};
