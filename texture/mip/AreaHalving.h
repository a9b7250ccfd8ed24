// The downsampling step of the mip chains: each extent halved (rounded
// down, at least 1), each destination pixel the mean of the area of the
// source it covers.
//
// Along an axis of n source pixels and m = max(1, n / 2) destination ones,
// destination pixel d covers [d n / m, (d + 1) n / m) in source pixels and
// takes each source pixel by its share of that span:
//
//   n even:  d <- (s[2d] + s[2d + 1]) / 2
//   n = 5:   d0 <- (2 s0 + 2 s1 + s2) / 5      (spans of 2.5 pixels)
//            d1 <- (s2 + 2 s3 + 2 s4) / 5
//
// so no source pixel is dropped (the standard box halving leaves out the
// last row and column of an odd extent). The axes are filtered one after
// the other: x, y, then z.
#pragma once

#include "texture/ValmereTexture.h"

namespace valmere {

// The next level of `image` (width x height x depth pixels). Throws
// std::bad_alloc when memory runs out.
ColorImage HalveArea(const ColorImage& image);

}  // namespace valmere
