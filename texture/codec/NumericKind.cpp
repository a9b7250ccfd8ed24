#include "texture/codec/NumericKind.h"

namespace valmere {
namespace {

enum class ChannelMap { Copy, ToUnsigned, ToSigned };

ChannelMap MapFor(bool destinationSigned, bool sourceSigned) {
    if (destinationSigned == sourceSigned) return ChannelMap::Copy;
    return destinationSigned ? ChannelMap::ToSigned : ChannelMap::ToUnsigned;
}

float Apply(ChannelMap map, float x) {
    switch (map) {
        case ChannelMap::ToUnsigned: return (x + 1.0f) * 0.5f;
        case ChannelMap::ToSigned: return x * 2.0f - 1.0f;
        case ChannelMap::Copy: break;
    }
    return x;
}

bool ColourIsSigned(NumericKind k) { return k == NumericKind::SignedRgb || k == NumericKind::SignedRgba; }
bool AlphaIsSigned(NumericKind k) { return k == NumericKind::SignedRgba; }

}  // namespace

void RemapRowKind(D3DXCOLOR* out, const D3DXCOLOR* in, UINT count, NumericKind destination, NumericKind source) {
    const ChannelMap colour = MapFor(ColourIsSigned(destination), ColourIsSigned(source));
    const ChannelMap alpha = MapFor(AlphaIsSigned(destination), AlphaIsSigned(source));
    for (UINT i = 0; i < count; ++i) {
        const D3DXCOLOR c = in[i];
        out[i] = D3DXCOLOR(Apply(colour, c.r), Apply(colour, c.g), Apply(colour, c.b), Apply(alpha, c.a));
    }
}

}  // namespace valmere
