// The converting copy between the formats whose channels are whole bytes in
// the same places (R8G8B8, X8R8G8B8, A8R8G8B8), done on the bytes.
//
// It gives exactly what decoding and encoding through the codecs gives: an
// 8-bit channel decodes to x / 255 and encodes back to x whatever the dither
// bias (x / 255 * 255 is within 1e-5 of x and every bias lies in
// [1/32, 31/32]); a missing source alpha decodes to 1 and encodes to 255; an
// X8 byte encodes to 0.
#pragma once

#include "texture/load/BlitJob.h"

namespace valmere {

// False (nothing written) unless both formats are among the three and the
// source has no colour key.
bool CopyByteChannels(const BlitJob& job);

}  // namespace valmere
