// Where the traffic chart puts everything, in fixed client pixels, computed without touching
// Windows: grid, scale, and each series' line, bar and value label. Stored samples are twice
// the traffic in kbit, so they run from 0 to 200.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace traffic {

struct Rect {
    int left, top, right, bottom;
};
struct Point {
    int x, y;
};

constexpr Rect kPlot = {45, 27, 355, 231};
constexpr Rect kZeroLabel = {5, 219, 44, 231};
constexpr Rect kScaleLabel = {2, 12, 44, 47};
constexpr Rect kOutBar = {365, 2, 393, 30};  // also where "OUT" is written
constexpr Rect kInBar = {402, 2, 430, 30};   // also where "IN" is written
constexpr int kGridSpacing = 35;
constexpr int kMaxGridColumns = 10;
constexpr int kGridRows[] = {181, 131, 81};  // 50, 100 and 150 pixels above the plot's bottom

// The next grid phase: 1 to 35, so that 35 paints bring the grid back.
uint8_t NextGridPhase(uint8_t phase);
// The x of each vertical grid line for `phase`, right to left.
std::vector<int> GridColumns(uint8_t phase);

// The largest sample of a series, 0 for none or only negative ones.
uint32_t LargestSample(const int32_t* samples, int count);
// "5 %", "25 %", "50 %" or "100 %" for the larger of both series' largest samples.
const char* ScaleLabel(uint32_t basis);
// 20, 4, 2 or 1: what a stored sample is multiplied by to give its height in pixels.
int ScaleFactor(uint32_t basis);
// A stored sample's height in pixels, 0 to 200.
int SampleHeight(int32_t stored, int factor);

// The figure a series' value label shows for a newest stored sample: its traffic, 0 to 100.
int NewestValue(int32_t stored, int factor);
// The chart's name for screen readers, the newest figures with their texts:
// "OUT 35.0 %, IN 54.0 %".
std::string ChartName(const std::string& outText, int outValue, const std::string& inText, int inValue);

struct SeriesPlot {
    std::vector<Point> line;  // newest first, from x 352 leftwards
    bool hasBar = false;      // false when the series holds no samples
    Rect bar = {};
    Rect valueBox = {};
    std::string value;        // "%3d.0%%" of the newest sample's traffic
};

// The line, bar and label of one series from its `capacity` samples, `last` the newest;
// the bar spans barLeft to barRight.
SeriesPlot PlotSeries(const int32_t* samples, int capacity, int last, int factor, int barLeft,
                      int barRight);

}  // namespace traffic
