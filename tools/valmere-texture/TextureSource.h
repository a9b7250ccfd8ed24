// The images one texture is made of: a file as it is (a 2D image, or the
// cube or volume a DDS file holds), six face files (--cube) or a cross
// (--cross), each face with the levels its file holds, described for the
// blitter.
#pragma once

#include "tools/valmere-texture/Options.h"
#include "tools/valmere-texture/SourceImage.h"

#include <memory>
#include <string>
#include <vector>

namespace valmere::tools {

struct TextureSource {
    D3DRESOURCETYPE type = D3DRTYPE_TEXTURE;
    // faces[face][level]: 1 face, or 6 in the order +X, -X, +Y, -Y, +Z, -Z.
    std::vector<std::vector<LockedPixels>> faces;
    // The files read; the first gives the format, palette and colour key.
    std::vector<std::unique_ptr<SourceImage>> files;
    // Face pixels the assembly had to copy (a turned face of a cross).
    std::vector<std::vector<BYTE>> copies;

    const SourceImage& First() const { return *files.front(); }
    UINT Width() const { return Extent(faces[0][0], 0); }
    UINT Height() const { return Extent(faces[0][0], 1); }
    UINT Depth() const { return Extent(faces[0][0], 2); }
    UINT LevelsInFile() const { return static_cast<UINT>(faces[0].size()); }
    static UINT Extent(const LockedPixels& l, int axis) {
        const D3DBOX& b = l.region;
        return axis == 0 ? b.Right - b.Left : axis == 1 ? b.Bottom - b.Top : b.Back - b.Front;
    }
};

// Reads the inputs of one texture. False with the file at fault in
// `failedFile` and the reason in `error`.
bool OpenTextureSource(const std::vector<std::string>& inputs, const ToolOptions& options, TextureSource& source,
                       std::string& failedFile, std::string& error);

}  // namespace valmere::tools
