// Blending and colour write. Factors and colours are 8-bit (0..255 for
// 0.0..1.0); products are divided by 255 with rounding.
#include <algorithm>

#include "platform/d3d8/raster/RunSteps.h"

namespace valmere::raster {
namespace {

inline int Channel(std::uint32_t argb, int shift) { return static_cast<int>((argb >> shift) & 0xFF); }
inline int Div255(int x) { return (x + 128 + ((x + 128) >> 8)) >> 8; }

// The factor of one channel (shift) for a blend mode.
int Factor(DWORD mode, std::uint32_t src, std::uint32_t dst, int shift) {
    switch (mode) {
    case D3DBLEND_ZERO: return 0;
    case D3DBLEND_ONE: return 255;
    case D3DBLEND_SRCCOLOR: return Channel(src, shift);
    case D3DBLEND_INVSRCCOLOR: return 255 - Channel(src, shift);
    case D3DBLEND_SRCALPHA: return Channel(src, 24);
    case D3DBLEND_INVSRCALPHA: return 255 - Channel(src, 24);
    case D3DBLEND_DESTALPHA: return Channel(dst, 24);
    case D3DBLEND_INVDESTALPHA: return 255 - Channel(dst, 24);
    case D3DBLEND_DESTCOLOR: return Channel(dst, shift);
    case D3DBLEND_INVDESTCOLOR: return 255 - Channel(dst, shift);
    case D3DBLEND_SRCALPHASAT:
        return shift == 24 ? 255 : std::min(Channel(src, 24), 255 - Channel(dst, 24));
    default: return 255;
    }
}

std::uint32_t Blend(const BlendState& b, std::uint32_t src, std::uint32_t dst) {
    DWORD srcMode = b.source, dstMode = b.destination;
    // The "both" modes set the destination factor from the source mode.
    if (srcMode == D3DBLEND_BOTHSRCALPHA) {
        srcMode = D3DBLEND_SRCALPHA;
        dstMode = D3DBLEND_INVSRCALPHA;
    } else if (srcMode == D3DBLEND_BOTHINVSRCALPHA) {
        srcMode = D3DBLEND_INVSRCALPHA;
        dstMode = D3DBLEND_SRCALPHA;
    }
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int s = Channel(src, shift), d = Channel(dst, shift);
        const int fs = Factor(srcMode, src, dst, shift), fd = Factor(dstMode, src, dst, shift);
        int v;
        switch (b.op) {
        case D3DBLENDOP_SUBTRACT: v = Div255(s * fs) - Div255(d * fd); break;
        case D3DBLENDOP_REVSUBTRACT: v = Div255(d * fd) - Div255(s * fs); break;
        case D3DBLENDOP_MIN: v = std::min(s, d); break;
        case D3DBLENDOP_MAX: v = std::max(s, d); break;
        default: v = Div255(s * fs) + Div255(d * fd); break;
        }
        out |= static_cast<std::uint32_t>(std::clamp(v, 0, 255)) << shift;
    }
    return out;
}

// How a pixel's colour meets the target: replaces it, blends by any state,
// or blends by source alpha (the usual translucency), with its factors
// known at compile time.
struct Replace {
    static constexpr bool kReadsTarget = false;
    static std::uint32_t Apply(const BlendState&, std::uint32_t src, std::uint32_t) { return src; }
};

struct AnyBlend {
    static constexpr bool kReadsTarget = true;
    static std::uint32_t Apply(const BlendState& b, std::uint32_t src, std::uint32_t dst) {
        return (Blend(b, src, dst) & b.writeMask) | (dst & ~b.writeMask);
    }
};

struct SourceAlphaBlend {
    static constexpr bool kReadsTarget = true;
    static bool Fits(const BlendState& b) {
        const bool factors = (b.source == D3DBLEND_SRCALPHA && b.destination == D3DBLEND_INVSRCALPHA) ||
                             b.source == D3DBLEND_BOTHSRCALPHA;
        return factors && b.op == D3DBLENDOP_ADD && b.writeMask == 0xFFFFFFFFu;
    }
    static std::uint32_t Apply(const BlendState&, std::uint32_t src, std::uint32_t dst) {
        const int a = Channel(src, 24);
        std::uint32_t out = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            const int v = Div255(Channel(src, shift) * a) + Div255(Channel(dst, shift) * (255 - a));
            out |= static_cast<std::uint32_t>(std::min(v, 255)) << shift;
        }
        return out;
    }
};

template <D3DFORMAT F, class Blender>
void Output(const PixelPipeline& p, Run& r) {
    using Pixel = ColorPixel<F>;
    auto* row = reinterpret_cast<typename Pixel::Storage*>(p.color.bits + static_cast<std::ptrdiff_t>(r.y) * p.color.pitch) + r.x;
    int i = 0;
#if defined(__SSE2__)
    // Whole groups of eight live pixels are stored at once; the rest one by one.
    if (!Blender::kReadsTarget) {
        for (; i + 8 <= r.count && ((r.mask >> i) & 0xFFu) == 0xFFu; i += 8) Pixel::StoreEight(row + i, r.color + i);
    }
#endif
    for (; i < r.count; ++i) {
        if (!(r.mask & (1u << i))) continue;
        const std::uint32_t dst = Blender::kReadsTarget ? Pixel::Load(row[i]) : 0;
        row[i] = Pixel::Store(Blender::Apply(p.blend, r.color[i], dst));
    }
}

template <D3DFORMAT F>
RunStep ChooseFor(const BlendState& blend, bool blending, bool specialise) {
    if (!blending) return Output<F, Replace>;
    return specialise && SourceAlphaBlend::Fits(blend) ? Output<F, SourceAlphaBlend> : Output<F, AnyBlend>;
}

}  // namespace

RunStep ChooseOutput(D3DFORMAT format, const BlendState& blend, bool blending, bool specialise) {
    switch (format) {
    case D3DFMT_R5G6B5: return ChooseFor<D3DFMT_R5G6B5>(blend, blending, specialise);
    case D3DFMT_X8R8G8B8: return ChooseFor<D3DFMT_X8R8G8B8>(blend, blending, specialise);
    case D3DFMT_A8R8G8B8: return ChooseFor<D3DFMT_A8R8G8B8>(blend, blending, specialise);
    default: return nullptr;
    }
}

}  // namespace valmere::raster
