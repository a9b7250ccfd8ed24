// An image file read whole and decoded by the project's readers, with what
// the loads take from it: the working palette and the colour key left once
// a palette has taken it (as D3DXCreateTextureFromFileEx has them).
#pragma once

#include "texture/codec/LockedPixels.h"
#include "texture/image/DecodedImage.h"
#include "texture/load/ImageDefaults.h"

#include <string>
#include <vector>

namespace valmere::tools {

class SourceImage {
public:
    // False with the reason in `error` ("cannot open: No such file or
    // directory", "not an image file that the readers accept: ...").
    bool Read(const std::string& path, D3DCOLOR colorKey, std::string& error);

    const std::string& Path() const { return path_; }
    // The first face's first level; levels and faces follow its links.
    const DecodedImage& Image() const { return image_; }
    const D3DXIMAGE_INFO& Info() const { return info_; }
    const PALETTEENTRY (&Palette() const)[kPaletteEntries] { return palette_; }
    D3DCOLOR ColorKey() const { return colorKey_; }
    // The description of one decoded level for a blit, its box the given
    // part of the level (the whole level by default).
    LockedPixels Describe(const DecodedImage& level) const;
    LockedPixels Describe(const DecodedImage& level, const D3DBOX& box) const;

private:
    std::string path_;
    std::vector<BYTE> bytes_;  // the decoded records may point into them
    DecodedImage image_;
    D3DXIMAGE_INFO info_{};
    PALETTEENTRY palette_[kPaletteEntries]{};
    D3DCOLOR colorKey_ = 0;
};

}  // namespace valmere::tools
