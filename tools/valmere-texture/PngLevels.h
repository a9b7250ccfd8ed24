// Writing a texture as PNG pictures through the project's PNG writer
// (compressed, under a temporary name, renamed): one picture per level, and
// per cube face or volume slice, with the channels the format has:
//
//   grey          luminance formats without alpha, BC4, D16_LOCKABLE
//   grey, alpha   luminance formats with alpha (A8L8, A4L4)
//   RGB           colour formats without alpha (X8R8G8B8, R5G6B5, ...),
//                 BC5 (red, green, blue 0), signed formats of two or three
//                 channels (shown biased, (x + 1) / 2), P8 with an opaque
//                 palette
//   RGBA          colour formats with alpha (A8R8G8B8, DXT1 to DXT5, ...),
//                 signed formats of four channels, P8 with a translucent one
#pragma once

#include "tools/valmere-texture/TextureData.h"

#include <string>
#include <vector>

namespace valmere::tools {

// The file of one picture: `path` ("out.png") itself for a texture of one
// picture; else "out" with "_l<level>" when there is more than one level,
// "_f<face>" for cube textures and "_s<slice>" for volume textures.
std::string PicturePath(const std::string& path, const TextureData& texture, UINT level, UINT face, UINT slice);

// Writes every picture of `texture`, appending the names to `written`.
// False with the reason in `error` at the first picture that fails.
bool WritePngLevels(const TextureData& texture, const std::string& path, std::vector<std::string>& written,
                    std::string& error);

}  // namespace valmere::tools
