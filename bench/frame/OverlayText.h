// The viewer's two overlay lines as GDI renders them: where the font places
// each line and the coverage of its glyphs. The llvmpipe peer draws this
// coverage as its text quads, and framebench compares the mean colours of
// the placed rectangles.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/d3d8/D3D8Types.h"
#include "platform/win32/Win32.h"

namespace valmere::bench {

struct OverlayLine {
    const char* text;
    RECT rect;  // the caller's rectangle, screen pixels
    UINT format;
    D3DCOLOR colour;
};

// "Test Build 1" at (50, 50), opaque green; "Valmere Engine" centred in
// (700, 585)-(800, 600), translucent grey.
inline constexpr OverlayLine kOverlayLines[2] = {
    {"Test Build 1", {50, 50, 800, 600}, DT_LEFT | DT_TOP, 0xFF00FF00},
    {"Valmere Engine", {700, 585, 800, 600}, DT_CENTER, 0x88999999},
};

struct OverlayCoverage {
    RECT placed{};               // where the text lands on the screen
    int width = 0, height = 0;   // of placed
    std::vector<std::uint8_t> alpha;  // width x height, rows top-down, 0..255
};

// Renders a line in the viewer's overlay font (g_font's description, or
// 12-pixel Arial before g_font exists), white on black, measured, clipped to
// the caller's rectangle and placed as the overlay font does (left, centred
// or right; top, centred or bottom). Empty coverage (width 0) when GDI fails.
OverlayCoverage RenderOverlayLine(const OverlayLine& line);

}  // namespace valmere::bench
