// The level of detail, per pixel (not per 2x2 quad), from the exact screen
// derivatives of u and v at the pixel's centre, in texels of level 0:
//   lod = log2(max(|(du/dx, dv/dx)|, |(du/dy, dv/dy)|)) + D3DTSS_MIPMAPLODBIAS.
// Stage arithmetic is exact here; the device's 8-bit rounding is within the
// tolerance of Bound.h.
#include "tests/support/reference/Shade.h"

#include <cmath>

#include "tests/support/reference/Bound.h"
#include "tests/support/reference/Sampler.h"

namespace valmere::reference {
namespace {

bool UsesTexture(DWORD op, DWORD arg1, DWORD arg2) {
    if (op == D3DTOP_DISABLE) return false;
    return (op != D3DTOP_SELECTARG2 && arg1 == D3DTA_TEXTURE) || (op != D3DTOP_SELECTARG1 && arg2 == D3DTA_TEXTURE);
}

bool KnownOp(DWORD op) {
    return op == D3DTOP_DISABLE || op == D3DTOP_SELECTARG1 || op == D3DTOP_SELECTARG2 || op == D3DTOP_MODULATE ||
           op == D3DTOP_MODULATE2X || op == D3DTOP_ADD;
}

bool KnownArg(DWORD arg) { return arg == D3DTA_DIFFUSE || arg == D3DTA_CURRENT || arg == D3DTA_TEXTURE || arg == D3DTA_TFACTOR; }

Range Operate(DWORD op, const Range& a, const Range& b) {
    switch (op) {
    case D3DTOP_SELECTARG1: return a;
    case D3DTOP_SELECTARG2: return b;
    case D3DTOP_MODULATE: return {a.lo * b.lo / 255, a.hi * b.hi / 255};
    case D3DTOP_MODULATE2X: return Range{2 * a.lo * b.lo / 255, 2 * a.hi * b.hi / 255}.Clamped(0, 255);
    default: return Range{a.lo + b.lo, a.hi + b.hi}.Clamped(0, 255);  // D3DTOP_ADD
    }
}

}  // namespace

std::string CheckStage(const StageState& t) {
    if (!KnownOp(t.colorOp) || !KnownOp(t.alphaOp)) return "a stage 0 operation the reference does not model";
    for (DWORD arg : {t.colorArg1, t.colorArg2, t.alphaArg1, t.alphaArg2})
        if (!KnownArg(arg)) return "a stage 0 argument the reference does not model";
    for (DWORD mode : {t.addressU, t.addressV})
        if (mode < D3DTADDRESS_WRAP || mode > D3DTADDRESS_MIRRORONCE) return "an address mode out of range";
    for (DWORD filter : {t.magFilter, t.minFilter})
        if (filter != D3DTEXF_POINT && filter != D3DTEXF_LINEAR) return "a magnification or minification filter other than point or linear";
    if (t.mipFilter > D3DTEXF_LINEAR) return "a mip filter other than none, point or linear";
    return {};
}

ColorRange ShadePixel(const Snapshot& s, const PixelSample& p) {
    const StageState& t = s.stage;
    ColorRange diffuse;
    for (int c = 0; c < 4; ++c) diffuse.channel[c] = p.attribute[kAlpha + c].Clamped(0, 255);
    ColorRange texture = ColorRange::Of(0xFFFFFFFFu);
    if (UsesTexture(t.colorOp, t.colorArg1, t.colorArg2) || UsesTexture(t.alphaOp, t.alphaArg1, t.alphaArg2)) {
        Range lod = Range::Of(-HUGE_VAL);
        if (!t.levels.empty()) {
            const double w = t.levels[0].width, h = t.levels[0].height;
            const double along_x = std::hypot(p.dudx * w, p.dvdx * h), along_y = std::hypot(p.dudy * w, p.dvdy * h);
            const double scale = std::max(along_x, along_y);
            if (scale > 0) lod = Range::Of(std::log2(scale) + t.lodBias);
            lod = lod.Widened(p.uncertain ? kUncertainLod : kLodAllowance);
        }
        texture = SampleTexture(t, p.attribute[kU], p.attribute[kV], lod);
    }
    const ColorRange factor = ColorRange::Of(s.textureFactor);
    auto argument = [&](DWORD arg, int c) -> Range {
        switch (arg) {
        case D3DTA_TEXTURE: return texture.channel[c];
        case D3DTA_TFACTOR: return factor.channel[c];
        default: return diffuse.channel[c];  // D3DTA_DIFFUSE, and D3DTA_CURRENT on stage 0
        }
    };
    ColorRange out;
    for (int c = 0; c < 4; ++c) {
        const bool alpha = c == 0;
        const DWORD op = alpha ? t.alphaOp : t.colorOp;
        const DWORD arg1 = alpha ? t.alphaArg1 : t.colorArg1, arg2 = alpha ? t.alphaArg2 : t.colorArg2;
        // A disabled stage 0 passes the diffuse colour on.
        out.channel[c] = op == D3DTOP_DISABLE ? diffuse.channel[c] : Operate(op, argument(arg1, c), argument(arg2, c));
    }
    return out;
}

}  // namespace valmere::reference
