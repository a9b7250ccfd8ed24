// The regions whose mean colours must agree between the viewer's frame and
// the llvmpipe peer's frame of the same script: a band of sky, a band of the
// hills, the two overlay lines where the font places them, and the whole
// frame. The peer prints its means as "box <name> <r> <g> <b>" lines, which
// framebench reads back.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/Win32.h"

namespace valmere::bench {

struct FrameBox {
    std::string name;
    RECT rect;  // screen pixels, right and bottom exclusive
    bool text;  // one of the overlay lines
};

using Rgb = std::array<double, 3>;

struct BoxMean {
    std::string name;
    Rgb rgb{};
};

// The boxes of a frame drawn by the look-about script: the sky and hill
// bands hold sky and terrain from the start to frame 300 and beyond. They
// are placed for 800 x 600 and scaled to other sizes; the text stays where
// the font puts it.
std::vector<FrameBox> ComparedBoxes(int width = 800, int height = 600);

// Mean red, green and blue (0..255) of a 0x00RRGGBB frame, rows top-down,
// over the box clipped to the frame; zeros for an empty intersection.
Rgb MeanColour(const std::uint32_t* pixels, int width, int height, const RECT& box);

void PrintBoxMean(std::FILE* out, const BoxMean& mean);
// False for a line that is not a box line.
bool ParseBoxMean(const char* line, BoxMean& mean);

}  // namespace valmere::bench
