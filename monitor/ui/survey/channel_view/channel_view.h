// The Channel View window: how crowded each channel is, drawn with GDI from the networks the
// Site Survey page lists, with the channel suggested for a new network written beneath.
// Resizable; it follows the page: each fill of the list redraws it.
#pragma once
#include <windows.h>

#include <vector>

#include "framework/window.h"
#include "monitor/ui/survey/channel_view/channel_occupancy.h"

class CChannelView : public fw::Window {
public:
    // Opens the window beside `owner`, or brings it forward when it is open.
    void Open(HWND owner);
    // The networks to show; redraws the window when it is open.
    void Show(const std::vector<channels::Network>& networks);
    // Draws the whole view into `dc` over `area`.
    void Draw(HDC dc, const RECT& area) const;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnPaint();
    void OnMinMaxInfo(MINMAXINFO& info);

    channels::Occupancy occupancy_ = channels::Measure({});
};
