// Image files for the DXT benchmark's file mode: read with the project's
// readers, decoded to opaque 8-bit RGBA and cropped to whole 4x4 blocks.
#pragma once

#include "TestImages.h"

#include <string>
#include <vector>

namespace valmere::bench {

// One Image per file, named by the file; false with the reason in `error`
// when a file cannot be read.
bool LoadImageFiles(const std::vector<std::string>& paths, std::vector<Image>& images, std::string& error);

}  // namespace valmere::bench
