// The integer forms of the box halving: one destination row from two source
// rows of raw pixels of the same format, each destination pixel the rounded
// mean (c1 + c2 + c3 + c4 + 2) / 4 of every channel of its 2x2 source block,
// computed on the raw channel values in their own width.
#pragma once

#include "platform/d3d8/D3D8Types.h"

#include <cstddef>

namespace valmere {

// Halves `width` destination pixels from source pixels 0 .. 2 * width - 1 of
// the rows `top` and `bottom`.
using BoxRowFn = void (*)(std::byte* to, const std::byte* top, const std::byte* bottom, UINT width);

// The row function of a format with an integer form, or null. For
// D3DFMT_A8R8G8B8 and D3DFMT_X8R8G8B8 the form is chosen once: on a processor
// with MMX the SIMD form (all four bytes averaged, the X8 byte too) when the
// source width is a multiple of 4, otherwise the plain A8R8G8B8 form; without
// MMX the plain forms (X8R8G8B8 writes 0 to its top byte).
BoxRowFn SelectBoxRow(D3DFORMAT format, UINT sourceWidth);

// The 32-bit forms on their own, for holding them against each other.
void HalveRowArgbPlain(std::byte* to, const std::byte* top, const std::byte* bottom, UINT width);
void HalveRowXrgbPlain(std::byte* to, const std::byte* top, const std::byte* bottom, UINT width);
// SSE2: four destination pixels per step, two for the rest; `width` even.
void HalveRowArgbSimd(std::byte* to, const std::byte* top, const std::byte* bottom, UINT width);

}  // namespace valmere
