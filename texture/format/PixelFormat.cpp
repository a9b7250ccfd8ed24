#include "texture/format/PixelFormat.h"

#include <iterator>

namespace valmere {
namespace {

using K = FormatKind;

constexpr PixelFormatInfo kRows[] = {
    {D3DFMT_UNKNOWN, K::Rgb, 32, {0, 8, 8, 8, 8}, 0},
    {D3DFMT_R8G8B8, K::Rgb, 24, {0, 0, 8, 8, 8}, 0},
    {D3DFMT_A8R8G8B8, K::Rgb, 32, {0, 8, 8, 8, 8}, 1},
    {D3DFMT_X8R8G8B8, K::Rgb, 32, {0, 0, 8, 8, 8}, 1},
    {D3DFMT_R5G6B5, K::Rgb, 16, {0, 0, 5, 6, 5}, 1},
    {D3DFMT_X1R5G5B5, K::Rgb, 16, {0, 0, 5, 5, 5}, 1},
    {D3DFMT_A8P8, K::Palette, 16, {0, 8, 8, 8, 8}, 1},
    {D3DFMT_P8, K::Palette, 8, {0, 8, 8, 8, 8}, 1},
    {D3DFMT_A1R5G5B5, K::Rgb, 16, {0, 1, 5, 5, 5}, 1},
    {D3DFMT_A4R4G4B4, K::Rgb, 16, {0, 4, 4, 4, 4}, 1},
    {D3DFMT_R3G3B2, K::Rgb, 8, {0, 0, 3, 3, 2}, 1},
    {D3DFMT_A8, K::Rgb, 8, {0, 8, 0, 0, 0}, 1},
    {D3DFMT_A8R3G3B2, K::Rgb, 16, {0, 8, 3, 3, 2}, 1},
    {D3DFMT_X4R4G4B4, K::Rgb, 16, {0, 0, 4, 4, 4}, 1},
    {D3DFMT_A2B10G10R10, K::Rgb, 32, {0, 2, 10, 10, 10}, 1},
    {D3DFMT_G16R16, K::Rgb, 32, {0, 0, 16, 16, 0}, 1},
    {D3DFMT_L8, K::Luminance, 8, {0, 0, 8, 8, 8}, 1},
    {D3DFMT_A8L8, K::Luminance, 16, {0, 8, 8, 8, 8}, 1},
    {D3DFMT_A4L4, K::Luminance, 8, {0, 4, 4, 4, 4}, 1},
    {D3DFMT_V8U8, K::Signed, 16, {0, 0, 0, 8, 8}, 1},
    {D3DFMT_L6V5U5, K::Signed, 16, {6, 0, 0, 5, 5}, 1},
    {D3DFMT_X8L8V8U8, K::Signed, 32, {8, 0, 0, 8, 8}, 1},
    {D3DFMT_Q8W8V8U8, K::Signed, 32, {0, 8, 8, 8, 8}, 1},
    {D3DFMT_V16U16, K::Signed, 32, {0, 0, 0, 16, 16}, 1},
    {D3DFMT_W11V11U10, K::Signed, 32, {0, 0, 11, 11, 10}, 1},
    {D3DFMT_A2W10V10U10, K::Signed, 32, {2, 0, 10, 10, 10}, 1},
    {D3DFMT_UYVY, K::Rgb, 16, {0, 0, 8, 8, 8}, 0},
    {D3DFMT_YUY2, K::Rgb, 16, {0, 0, 8, 8, 8}, 0},
    {D3DFMT_DXT1, K::Rgb, 16, {0, 1, 5, 6, 5}, 0},
    {D3DFMT_DXT2, K::Rgb, 16, {0, 4, 5, 6, 5}, 0},
    {D3DFMT_DXT3, K::Rgb, 16, {0, 4, 5, 6, 5}, 0},
    {D3DFMT_DXT4, K::Rgb, 16, {0, 8, 5, 6, 5}, 0},
    {D3DFMT_DXT5, K::Rgb, 16, {0, 8, 5, 6, 5}, 0},
    {D3DFMT_D16_LOCKABLE, K::Depth, 16, {1, 0, 0, 0, 16}, 1},
    {D3DFMT_D32, K::Depth, 32, {0, 0, 0, 0, 32}, 1},
    {D3DFMT_D15S1, K::Depth, 16, {0, 0, 0, 1, 15}, 1},
    {D3DFMT_D24S8, K::Depth, 32, {0, 0, 0, 8, 24}, 1},
    {D3DFMT_D16, K::Depth, 16, {0, 0, 0, 0, 16}, 1},
    {D3DFMT_D24X8, K::Depth, 32, {0, 0, 0, 0, 24}, 1},
    {D3DFMT_D24X4S4, K::Depth, 32, {0, 0, 0, 4, 24}, 1},
    {kFormatL16, K::Luminance, 16, {0, 0, 16, 16, 16}, 0},
    {kFormatAL16, K::Luminance, 32, {0, 16, 16, 16, 16}, 0},
    {kFormatR16, K::Rgb, 48, {0, 0, 16, 16, 16}, 0},
    {kFormatAR16, K::Rgb, 64, {0, 16, 16, 16, 16}, 0},
};
static_assert(std::size(kRows) == 44, "the unknown row and 43 formats");

// kCompatible[wanted][candidate]: which candidate classes may stand in.
constexpr bool kCompatible[5][5] = {
    // Rgb   Palette Lum    Signed Depth
    {true, false, false, false, false},  // Rgb
    {true, true, false, false, false},   // Palette
    {true, false, true, false, false},   // Luminance
    {false, false, false, true, false},  // Signed
    {false, false, false, false, true},  // Depth
};

struct PublicEquivalent {
    D3DFORMAT internal;
    D3DFORMAT external;
};
constexpr PublicEquivalent kPublicEquivalents[] = {
    {kFormatL16, D3DFMT_L8},
    {kFormatAL16, D3DFMT_A8L8},
    {kFormatR16, D3DFMT_R8G8B8},
    {kFormatAR16, D3DFMT_A8R8G8B8},
};

constexpr UINT kMissingChannel = 0x1000000;
constexpr UINT kExtraChannel = 256;

}  // namespace

std::span<const PixelFormatInfo> FormatTable() { return kRows; }

const PixelFormatInfo& GetFormatInfo(D3DFORMAT format) {
    for (const PixelFormatInfo& row : kRows) {
        if (row.format == format) return row;
    }
    return kRows[0];
}

UINT FormatDistance(const PixelFormatInfo& wanted, const PixelFormatInfo& candidate) {
    const auto w = static_cast<UINT>(wanted.kind);
    const auto c = static_cast<UINT>(candidate.kind);
    if (w >= 5 || c >= 5 || !kCompatible[w][c]) return kFormatUnusable;

    UINT score = 0;
    UINT wantedChannels = 0;
    for (int i = 0; i < 5; ++i) {
        const UINT wb = wanted.channels[i];
        const UINT cb = candidate.channels[i];
        if (wb != 0) ++wantedChannels;
        if (wb < cb) {
            score += wb == 0 ? kExtraChannel : cb - wb;
        } else if (cb < wb) {
            score += cb == 0 ? kMissingChannel : (wb - cb) << 16;
        }
    }
    // The top byte counts the channels the candidate lacks; when that is every
    // channel of `wanted` (or `wanted` has none) nothing useful is left.
    if ((score >> 24) == wantedChannels) return kFormatUnusable;
    return score;
}

D3DFORMAT FindClosestFormat(const D3DFORMAT* candidates, bool paletteAllowed, const PixelFormatInfo& wanted) {
    D3DFORMAT best = D3DFMT_UNKNOWN;
    UINT bestScore = kFormatUnusable;
    UINT bestBits = 0;
    for (const D3DFORMAT* f = candidates; f != nullptr && *f != D3DFMT_UNKNOWN; ++f) {
        const PixelFormatInfo& row = GetFormatInfo(*f);
        if (row.format == D3DFMT_UNKNOWN) continue;
        if (row.kind == FormatKind::Palette && !paletteAllowed) continue;
        if (row.format == wanted.format) return row.format;
        const UINT score = FormatDistance(wanted, row);
        if (score == kFormatUnusable) continue;
        if (score < bestScore || (score == bestScore && row.bitsPerPixel < bestBits)) {
            best = row.format;
            bestScore = score;
            bestBits = row.bitsPerPixel;
        }
    }
    return best;
}

D3DFORMAT ToPublicFormat(D3DFORMAT format) {
    for (const PublicEquivalent& e : kPublicEquivalents) {
        if (e.internal == format) return e.external;
    }
    return format;
}

}  // namespace valmere
