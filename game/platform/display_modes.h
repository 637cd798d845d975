// Choosing a display mode from the list an output offers, and the line that tells a player
// what the output offers when the mode asked for is not among them. No window system here.
#pragma once

#include <string>
#include <vector>

struct ListedMode {
    int width;
    int height;
    int refreshHz;  // whole hertz, 0 when the output does not say
};

// The index in `listed` of the mode width x height at refreshHz, or -1. A rate of 0 takes the
// desktop's own rate when that size offers it, else the first (highest) rate listed for it.
int findListedMode(const std::vector<ListedMode>& listed, int width, int height, int refreshHz,
                   int desktopHz);

// One line for standard error (no newline) naming the mode asked for, the rates the output
// offers at that size or, when it offers none, the sizes it offers, and where to choose another.
std::string refusedModeLine(const std::vector<ListedMode>& listed, int width, int height,
                            int refreshHz);
