#include "tools/valmere-texture/OutputFormats.h"

#include "texture/codec/PixelCodec.h"
#include "texture/format/BlockFormat.h"
#include "texture/image/DdsLayout.h"

namespace valmere::tools {
namespace {

// A codec for the format exists (a 1 x 1 probe).
bool HasCodec(D3DFORMAT format) {
    BYTE pixel[16] = {};
    PALETTEENTRY palette[256] = {};
    LockedPixels probe;
    probe.pixels = pixel;
    probe.format = format;
    probe.rowPitch = sizeof pixel;
    probe.extent = probe.region = D3DBOX{0, 0, 1, 1, 0, 1};
    probe.palette = palette;
    return CreatePixelCodec(probe) != nullptr;
}

}  // namespace

bool IsBc4OrBc5(D3DFORMAT format) {
    return format == kFormatBc4U || format == kFormatBc4S || format == kFormatBc5U || format == kFormatBc5S;
}

bool OutputHolds(OutputKind kind, D3DFORMAT format) {
    if (IsBc4OrBc5(format)) return true;
    if (format == D3DFMT_UNKNOWN || !HasCodec(format)) return false;
    return kind != OutputKind::Dds || dds::FindPixelTemplate(format) != nullptr;
}

}  // namespace valmere::tools
