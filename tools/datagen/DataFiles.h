// The viewer's data files, each made deterministically from fixed seeds.
#pragma once

#include "tools/datagen/Bitmap.h"

#include <string>

namespace valmere::datagen {

// "image1.bmp": grass with patches of earth, tiling seamlessly (the terrain
// repeats it once per 4-unit patch).
Image MakeTerrainTexture();
// "image2.bmp": stone paving for the ground quad, tiling seamlessly.
Image MakeGroundTexture();
// "sky2.bmp": a sky wall with clouds; row 0 (v = 0) is the wall's top edge,
// the last row its bottom at eye level.
Image MakeSkyTexture();

// The terrain height at world (x, z): gentle hills that rise from 0 at the
// terrain's near and left edges.
float TerrainHeight(float x, float z);
// "test1024.txt": header word, block count, N = 1024, then 18 blocks of three
// labelled lines of N + 1 values; the first line of block b holds the heights
// along z = 4 b + 2. False when the file cannot be written.
bool WriteHeightFile(const std::string& path);

} // namespace valmere::datagen
