// The live traffic chart: two scrolling lines, OUT and IN, over a dark grid, with a bar and
// a value label for the newest sample of each. Attached to a dialog's static frame; the owner
// invalidates it whenever the chart is to move on. It only paints.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/window.h"

namespace traffic {
struct Rect;
}

// A sample series the chart draws. Stored samples run from 0 to 200 (twice the traffic in
// kbit); the line and bar take the colour of the series' pen.
class TrafficSeries {
public:
    virtual ~TrafficSeries() = default;
    virtual int Capacity() const = 0;
    // Copies Capacity() samples to `dest`; returns the index of the newest.
    virtual int Snapshot(int32_t* dest) const = 0;
    virtual HPEN Pen() const = 0;
};

class CTrafficGraph : public fw::Window {
public:
    CTrafficGraph();
    ~CTrafficGraph() override;

    bool Attach(HWND frame);
    // What the chart draws: its two texts and the series behind them (not owned).
    void SetSeries(const std::string& outText, const TrafficSeries* out, const std::string& inText,
                   const TrafficSeries* in);
    // Names the chart with its newest figures (what a screen reader reads), when they
    // changed. The owner calls it as the chart moves on, once a second.
    void UpdateName();
    // Paints the chart into `dc` (also used for WM_PRINTCLIENT) and moves the grid on.
    void Paint(HDC dc);

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    struct Samples {
        std::vector<int32_t> samples;
        int last = -1;
        uint32_t largest = 0;
    };
    static Samples Take(const TrafficSeries* series);

    LRESULT OnPaint();
    LRESULT OnFocusChanged(UINT msg, WPARAM wp, LPARAM lp);
    void PaintGrid(HDC dc);
    void PaintSeries(HDC dc, const Samples& s, HPEN pen, int factor, const traffic::Rect& barColumn);

    uint32_t scaleBasis_ = 0;
    std::string inText_;
    std::string outText_;
    const TrafficSeries* in_ = nullptr;
    const TrafficSeries* out_ = nullptr;
    HFONT font_;
    std::string name_;
};
