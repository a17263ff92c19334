#include "monitor/controls/progress/progress_paint.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {
int Channel(uint32_t colour, int shift) { return static_cast<int>((colour >> shift) & 0xFF); }
}  // namespace

std::vector<GradientBlock> GradientBlocks(uint32_t startColour, uint32_t endColour, int length,
                                          int position, int upper) {
    std::vector<GradientBlock> blocks;
    if (upper <= 0 || length <= 0 || position <= 0) return blocks;
    int extent = static_cast<int>(static_cast<double>(position) / upper * length);
    if (extent > length) extent = length;
    int d[3], s[3];
    int steps = 0;
    for (int c = 0; c < 3; ++c) {
        s[c] = Channel(startColour, 8 * c);
        d[c] = Channel(endColour, 8 * c) - s[c];
        steps = std::max(steps, std::abs(d[c]));
    }
    if (steps == 0) {
        if (extent > 0) blocks.push_back({0, extent, startColour & 0xFFFFFF});
        return blocks;
    }
    double blockSize = static_cast<double>(length) / steps;
    int previousRight = 0;
    for (int i = 0; i < steps && previousRight < extent; ++i) {
        uint32_t colour = 0;
        for (int c = 0; c < 3; ++c) {
            int v = static_cast<int>(s[c] + i * (static_cast<double>(d[c]) / steps)) & 0xFF;
            colour |= static_cast<uint32_t>(v) << (8 * c);
        }
        GradientBlock b{static_cast<int>(blockSize * i), static_cast<int>(blockSize * (i + 1)),
                        colour};
        blocks.push_back(b);
        previousRight = b.to;
    }
    return blocks;
}

std::string ProgressText(int position, int lower, int upper, const std::string words[4]) {
    double percent = upper > lower ? static_cast<double>(position) / (upper - lower) * 100 : 0;
    const std::string& word = percent > 75   ? words[0]
                              : percent > 50 ? words[1]
                              : percent > 25 ? words[2]
                                             : words[3];
    char text[128];
    std::snprintf(text, sizeof text, "%3.0f %% (%s)", percent, word.c_str());
    return text;
}
