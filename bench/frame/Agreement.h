// Whether the llvmpipe peer's frame and the viewer's frame of the same
// script agree: the mean colour of every compared box, channel by channel.
#pragma once

#include <vector>

#include "bench/frame/FrameBoxes.h"

namespace valmere::bench {

// Largest allowed difference of a box's mean, per channel on 0..255. Both
// frames are RGB565, whose red and blue steps are 8 apart when widened to
// 8 bits: two renderers that round or filter a texel differently may land a
// step apart on any pixel, which moves a mean by up to one step. 10 allows
// that step and a little filtering difference on top, while a wrong
// texture, mip level, mesh, camera, blend or missing text line moves the
// means of the boxes by tens.
inline constexpr double kMeanTolerance = 10.0;

// Prints one line per box of `ours` found in `peer` ("<label> <box>:
// ours r g b, peer r g b, largest difference d"), the text boxes only when
// `withText`, and returns the largest difference of all (a box missing from
// the peer counts as 255).
double CompareMeans(const char* label, const std::vector<BoxMean>& ours, const std::vector<BoxMean>& peer,
                    bool withText);

}  // namespace valmere::bench
