#include "monitor/controls/traffic_graph/traffic_graph_layout.h"

#include <algorithm>
#include <cstdio>

namespace traffic {

namespace {
constexpr int kBaseline = 229;  // a height of 0 lies on this row
constexpr int kNewestX = 352;
constexpr int kLeftmostX = 46;  // the line stops before this column
constexpr int kMaxHeight = 200;
}  // namespace

uint8_t NextGridPhase(uint8_t phase) { return static_cast<uint8_t>(phase % kGridSpacing + 1); }

std::vector<int> GridColumns(uint8_t phase) {
    std::vector<int> xs;
    for (int x = kPlot.right - phase; x >= kPlot.left && static_cast<int>(xs.size()) < kMaxGridColumns;
         x -= kGridSpacing)
        xs.push_back(x);
    return xs;
}

uint32_t LargestSample(const int32_t* samples, int count) {
    int32_t largest = 0;
    for (int i = 0; i < count; ++i) largest = std::max(largest, samples[i]);
    return static_cast<uint32_t>(largest);
}

const char* ScaleLabel(uint32_t basis) {
    if (basis <= 10) return "5 %";
    if (basis <= 50) return "25 %";
    if (basis <= 100) return "50 %";
    return "100 %";
}

int ScaleFactor(uint32_t basis) {
    if (basis <= 10) return 20;
    if (basis <= 50) return 4;
    if (basis <= 100) return 2;
    return 1;
}

int SampleHeight(int32_t stored, int factor) {
    // 64-bit so that no stored value can overflow the product.
    int64_t h = static_cast<int64_t>(stored) * factor;
    return static_cast<int>(std::clamp<int64_t>(h, 0, kMaxHeight));
}

int NewestValue(int32_t stored, int factor) { return SampleHeight(stored, factor) / 2 / factor; }

std::string ChartName(const std::string& outText, int outValue, const std::string& inText, int inValue) {
    char figures[2][16];
    std::snprintf(figures[0], sizeof figures[0], " %d.0 %%", outValue);
    std::snprintf(figures[1], sizeof figures[1], " %d.0 %%", inValue);
    return outText + figures[0] + ", " + inText + figures[1];
}

SeriesPlot PlotSeries(const int32_t* samples, int capacity, int last, int factor, int barLeft,
                      int barRight) {
    SeriesPlot plot;
    if (capacity <= 0 || last < 0 || last >= capacity) return plot;
    int index = last;
    for (int x = kNewestX, taken = 0; x > kLeftmostX && taken < capacity; --x, ++taken) {
        int height = SampleHeight(samples[index], factor);
        if (taken == 0) {
            plot.hasBar = true;
            plot.bar = {barLeft, kBaseline - height, barRight, kPlot.bottom};
            plot.valueBox = {barLeft - 3, 213 - height, barRight + 3, 228 - height};
            char text[16];
            std::snprintf(text, sizeof text, "%3d.0%%", NewestValue(samples[index], factor));
            plot.value = text;
        }
        plot.line.push_back({x, kBaseline - height});
        index = index == 0 ? capacity - 1 : index - 1;
    }
    return plot;
}

}  // namespace traffic
