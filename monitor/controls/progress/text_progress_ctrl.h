// A progress bar that paints itself: a block gradient up to the position and, when asked,
// the percentage with a quality word centred over it. Attached to a dialog's progress bar;
// range, position and step stay the standard progress-bar messages.
#pragma once
#include <windows.h>

#include <string>

#include "framework/window.h"

class CTextProgressCtrl : public fw::Window {
public:
    CTextProgressCtrl();

    // Subclasses the dialog's progress bar; the painted area is taken again at its first paint.
    bool Attach(HWND progressBar);
    // Paints the whole bar into `dc` (also used for WM_PRINTCLIENT).
    void Paint(HDC dc);
    // The words the text names for the four quality ranges, best first.
    void SetQualityWords(const std::string& excellent, const std::string& good,
                         const std::string& fair, const std::string& poor);

    BOOL firstPaint = TRUE;
    BOOL vertical = FALSE;
    RECT paintRect = {};
    COLORREF startColour = RGB(100, 100, 180);
    COLORREF endColour = RGB(200, 200, 255);
    COLORREF backgroundColour;
    BOOL showText = FALSE;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    LRESULT OnPaint();
    LRESULT OnFocusChanged(UINT msg, WPARAM wp, LPARAM lp);
    void PaintText(HDC dc, int position, int lower, int upper);

    std::string qualityWords_[4];
};
