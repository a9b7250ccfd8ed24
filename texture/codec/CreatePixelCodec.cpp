#include "texture/codec/BlockCodec.h"
#include "texture/codec/PaletteCodec.h"
#include "texture/codec/PixelCodec.h"
#include "texture/codec/PlainCodec.h"
#include "texture/codec/YuvCodec.h"

namespace valmere {

std::unique_ptr<PixelCodec> CreatePixelCodec(const LockedPixels& locked) {
    const D3DBOX& box = locked.region;
    if (locked.pixels == nullptr || box.Right < box.Left || box.Bottom < box.Top || box.Back < box.Front) {
        return nullptr;
    }
    using Factory = std::unique_ptr<PixelCodec> (*)(const LockedPixels&);
    for (Factory make : {CreatePlainCodec, CreatePaletteCodec, CreateYuvCodec, CreateBlockCodec}) {
        std::unique_ptr<PixelCodec> codec = make(locked);
        if (!codec) continue;
        if (codec->HasColorKey()) codec->SnapColorKey();
        return codec;
    }
    return nullptr;
}

}  // namespace valmere
