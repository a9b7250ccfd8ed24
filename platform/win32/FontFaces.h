// Font faces behind the GDI font objects: a LOGFONTA resolved through
// fontconfig to a face file, opened with FreeType at the requested size, with
// its rasterised glyphs cached. This header names no FreeType or fontconfig
// type, so the rest of the platform (and its tests) stay free of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/Win32.h"

namespace valmere::win32 {

// One rasterised glyph: 8-bit anti-aliased coverage, rows top-down, tightly
// packed (width bytes per row).
struct GlyphImage {
    int advance = 0;  // whole pixels from this pen position to the next
    int left = 0;     // columns from the pen position to the first column
    int top = 0;      // rows from the baseline up to the first row
    int width = 0;
    int rows = 0;
    std::vector<std::uint8_t> coverage;
};

class FontFace;  // a FreeType face at one size, with its glyph cache

// A face with the pixel metrics of one font description. Offsets are rows
// relative to the baseline, downwards positive.
struct ResolvedFont {
    std::shared_ptr<FontFace> face;
    int ascent = 0;   // baseline below the top of the cell
    int descent = 0;  // bottom of the cell below the baseline; ascent + descent is the line height
    int averageWidth = 1;
    int underlineTop = 0;
    int underlineRows = 1;
    int strikeoutTop = 0;
    int strikeoutRows = 1;
};

// Resolves the face name, weight and italic flag through fontconfig and
// opens the face at the size of lfHeight: positive is the cell height
// (ascent + descent), negative the em height, 0 a 16-pixel cell. A name that
// fontconfig cannot match gets its default sans face. Faces are shared per
// (file, size, synthesis). False only when no usable face exists at all.
bool ResolveFont(const LOGFONTA& description, ResolvedFont& out);

// The glyph of a code point (the face's missing-glyph box when it has none),
// rasterised on first use and cached in the face.
const GlyphImage& FaceGlyph(FontFace& face, char32_t codePoint);

// What a face is, for tests that check it against FreeType directly.
struct FontFaceInfo {
    std::string file;
    int faceIndex = 0;
    long charHeight26Dot6 = 0;  // the FreeType character height (pixels at 72 dpi) in 1/64 pixel
    int loadFlags = 0;          // FreeType glyph load flags used for every glyph
    bool emboldened = false;
    bool slanted = false;
};
FontFaceInfo DescribeFace(const FontFace& face);
// How many glyphs have been rasterised in this process (cache misses).
std::size_t RasterisedGlyphCount();

}  // namespace valmere::win32
