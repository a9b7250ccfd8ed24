// Cube textures from six square face images, or from one image of the cube
// unfolded as a cross, faces in Direct3D's order +X, -X, +Y, -Y, +Z, -Z:
//
//   horizontal cross (4:3)          vertical cross (3:4)
//
//         +----+                          +----+
//         | +Y |                          | +Y |
//   +----+----+----+----+           +----+----+----+
//   | -X | +Z | +X | -Z |           | -X | +Z | +X |
//   +----+----+----+----+           +----+----+----+
//         | -Y |                          | -Y |
//         +----+                          +----+
//                                         | -Z |  upside down (the cube
//                                         +----+  rolled on over -Y)
#pragma once

#include "tools/valmere-texture/TextureSource.h"

namespace valmere::tools {

// The six files' first levels as the faces of `source` (its files are
// those six, in face order). Each must be a 2D image, square, of the first
// face's size; false with the face at fault in `failedFile` and the reason.
bool AssembleCubeFromFaces(TextureSource& source, std::string& failedFile, std::string& error);

// The six faces cut from the first level of source.files[0], a 2D image of
// 4 x 3 or 3 x 4 square faces; false with the reason.
bool AssembleCubeFromCross(TextureSource& source, std::string& error);

}  // namespace valmere::tools
