// The sRGB transfer functions (IEC 61966-2-1), in double precision inside.
#include "texture/ValmereTexture.h"

#include <algorithm>
#include <cmath>

namespace valmere {

float SrgbToLinear(float encoded) {
    const double x = std::clamp(static_cast<double>(encoded), 0.0, 1.0);
    return static_cast<float>(x <= 0.04045 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4));
}

float LinearToSrgb(float linear) {
    const double x = std::clamp(static_cast<double>(linear), 0.0, 1.0);
    return static_cast<float>(x <= 0.0031308 ? x * 12.92 : 1.055 * std::pow(x, 1.0 / 2.4) - 0.055);
}

}  // namespace valmere
