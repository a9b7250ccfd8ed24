// Run-length decoding of BI_RLE8 and BI_RLE4 bitmap data into one byte per
// pixel.
#pragma once

#include "platform/win32/Win32.h"

#include <cstddef>

namespace valmere {

// Decodes `data` into `pixels` (height rows of rowPitch bytes, already
// zeroed; the first line of the stream is the last buffer row). Runs and
// moves that leave a row are clipped at its end; decoding stops at the
// end-of-bitmap escape, when the position moves above the first buffer row or
// when the data ends (a truncated stream is read as far as it goes).
void DecodeBmpRle(const BYTE* data, std::size_t size, bool fourBit, BYTE* pixels, UINT width, UINT height,
                  UINT rowPitch);

}  // namespace valmere
