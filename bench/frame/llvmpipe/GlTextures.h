// Textures for the GL peer: the viewer's own textures, every level as the
// device holds it, and the overlay's coverage as white with alpha.
#pragma once

#include "bench/frame/llvmpipe/Gl.h"

#include "bench/frame/OverlayText.h"
#include "platform/d3d8/Direct3D8.h"

namespace valmere::bench {

// A GL texture with the same levels and texels as `texture` (each level
// converted to 8-bit BGRA by the device's own surface load); 0 for a null
// texture or a level that cannot be read.
GLuint UploadTexture(IDirect3DDevice8* device, IDirect3DTexture8* texture);

// A one-level texture of the coverage's size: (255, 255, 255, coverage),
// linear filtering and clamped, as the sprite samples its tiles.
GLuint UploadCoverage(const OverlayCoverage& coverage);

}  // namespace valmere::bench
