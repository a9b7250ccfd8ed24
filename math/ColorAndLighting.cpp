// Colour adjustments and the Fresnel term.
#include <algorithm>
#include <cmath>

#include "math/D3DXMath.h"
#include "math/MathTolerances.h"

D3DXCOLOR* D3DXColorAdjustSaturation(D3DXCOLOR* out, const D3DXCOLOR* c, float s) {
    // Luminance weights of the Rec. 709 primaries.
    const float grey = 0.2125f * c->r + 0.7154f * c->g + 0.0721f * c->b;
    *out = D3DXCOLOR(grey + s * (c->r - grey), grey + s * (c->g - grey), grey + s * (c->b - grey), c->a);
    return out;
}

D3DXCOLOR* D3DXColorAdjustContrast(D3DXCOLOR* out, const D3DXCOLOR* c, float k) {
    *out = D3DXCOLOR(0.5f + k * (c->r - 0.5f), 0.5f + k * (c->g - 0.5f), 0.5f + k * (c->b - 0.5f), c->a);
    return out;
}

float D3DXFresnelTerm(float cosTheta, float refractionIndex) {
    if (cosTheta < valmere::math::kTinyLengthSq) return 1.0f;
    const float c = cosTheta;
    const float g = std::sqrt(std::fabs(refractionIndex * refractionIndex + c * c - 1.0f));
    const float a = (g - c) / (g + c);
    const float b = (c * (g + c) - 1.0f) / (c * (g - c) + 1.0f);
    return std::clamp(0.5f * a * a * (1.0f + b * b), 0.0f, 1.0f);
}
