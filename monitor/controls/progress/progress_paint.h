// What a text progress bar paints, computed without touching Windows: the gradient blocks
// up to the position and the centred percentage text. Colours are 0x00BBGGRR values.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct GradientBlock {
    int from;  // first pixel along the bar
    int to;    // one past the last pixel
    uint32_t colour;
};

// Blocks of a bar `length` pixels long at `position` within 0..`upper`: one block per step
// of the largest colour difference, each a solid colour, the last one possibly reaching past
// the position. Equal colours give one solid block up to the position.
std::vector<GradientBlock> GradientBlocks(uint32_t startColour, uint32_t endColour, int length,
                                          int position, int upper);

// "%3.0f %% (%s)": the position as a percentage of the range and its quality word.
// `words` are Excellent, Good, Fair and Poor in that order.
std::string ProgressText(int position, int lower, int upper, const std::string words[4]);
