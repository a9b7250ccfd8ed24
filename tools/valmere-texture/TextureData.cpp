#include "tools/valmere-texture/TextureData.h"

#include "texture/image/DdsLayout.h"

#include <new>

namespace valmere::tools {

bool TextureData::Allocate() {
    try {
        images.assign(std::size_t{Faces()} * levels, {});
        for (UINT face = 0; face < Faces(); ++face) {
            for (UINT level = 0; level < levels; ++level) {
                UINT rowPitch = 0, sliceBytes = 0;
                if (!dds::LevelLayout(format, LevelWidth(level), LevelHeight(level), rowPitch, sliceBytes)) {
                    return false;
                }
                Image(face, level).assign(std::size_t{sliceBytes} * LevelDepth(level), 0);
            }
        }
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

LockedPixels TextureData::Describe(UINT face, UINT level) const {
    UINT rowPitch = 0, sliceBytes = 0;
    dds::LevelLayout(format, LevelWidth(level), LevelHeight(level), rowPitch, sliceBytes);
    LockedPixels locked;
    locked.pixels = const_cast<BYTE*>(Image(face, level).data());
    locked.format = format;
    locked.rowPitch = static_cast<INT>(rowPitch);
    locked.slicePitch = type == D3DRTYPE_VOLUMETEXTURE ? static_cast<INT>(sliceBytes) : 0;
    locked.extent = D3DBOX{0, 0, LevelWidth(level), LevelHeight(level), 0, LevelDepth(level)};
    locked.region = locked.extent;
    locked.palette = hasPalette ? palette.data() : nullptr;
    return locked;
}

}  // namespace valmere::tools
