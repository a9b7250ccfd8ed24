// D3DXCOLOR: four 32-bit floats r, g, b, a. Also the intermediate pixel form
// of the texture pipeline: unsigned formats decode to 0..1 per channel,
// signed formats to -1..1.
#pragma once

#include "platform/d3d8/D3D8Types.h"

struct D3DXCOLOR {
    float r, g, b, a;

    D3DXCOLOR() = default;  // components left unset
    D3DXCOLOR(float red, float green, float blue, float alpha) : r(red), g(green), b(blue), a(alpha) {}
    // From a packed 0xAARRGGBB colour.
    explicit D3DXCOLOR(DWORD argb)
        : r(static_cast<float>((argb >> 16) & 0xFF) * (1.0f / 255.0f)),
          g(static_cast<float>((argb >> 8) & 0xFF) * (1.0f / 255.0f)),
          b(static_cast<float>(argb & 0xFF) * (1.0f / 255.0f)),
          a(static_cast<float>((argb >> 24) & 0xFF) * (1.0f / 255.0f)) {}
    explicit D3DXCOLOR(const D3DCOLORVALUE& c) : r(c.r), g(c.g), b(c.b), a(c.a) {}

    // To 0xAARRGGBB, each channel clamped to 0..1 and rounded to nearest.
    explicit operator DWORD() const {
        auto channel = [](float v) -> DWORD {
            v = v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
            return static_cast<DWORD>(v * 255.0f + 0.5f);
        };
        return (channel(a) << 24) | (channel(r) << 16) | (channel(g) << 8) | channel(b);
    }
    explicit operator D3DCOLORVALUE() const { return D3DCOLORVALUE{r, g, b, a}; }

    float* Data() { return &r; }
    const float* Data() const { return &r; }

    D3DXCOLOR& operator+=(const D3DXCOLOR& c) { r += c.r; g += c.g; b += c.b; a += c.a; return *this; }
    D3DXCOLOR& operator-=(const D3DXCOLOR& c) { r -= c.r; g -= c.g; b -= c.b; a -= c.a; return *this; }
    D3DXCOLOR& operator*=(float s) { r *= s; g *= s; b *= s; a *= s; return *this; }
    D3DXCOLOR& operator/=(float s) { return *this *= 1.0f / s; }

    D3DXCOLOR operator+() const { return *this; }
    D3DXCOLOR operator-() const { return D3DXCOLOR(-r, -g, -b, -a); }
    D3DXCOLOR operator+(const D3DXCOLOR& c) const { return D3DXCOLOR(r + c.r, g + c.g, b + c.b, a + c.a); }
    D3DXCOLOR operator-(const D3DXCOLOR& c) const { return D3DXCOLOR(r - c.r, g - c.g, b - c.b, a - c.a); }
    D3DXCOLOR operator*(float s) const { return D3DXCOLOR(r * s, g * s, b * s, a * s); }
    D3DXCOLOR operator/(float s) const { return *this * (1.0f / s); }
    friend D3DXCOLOR operator*(float s, const D3DXCOLOR& c) { return c * s; }

    bool operator==(const D3DXCOLOR& c) const { return r == c.r && g == c.g && b == c.b && a == c.a; }
    bool operator!=(const D3DXCOLOR& c) const { return !(*this == c); }
};
static_assert(sizeof(D3DXCOLOR) == 16, "D3DXCOLOR is four floats");

// Colour helpers. Each writes out and returns it; out may alias an input.
inline D3DXCOLOR* D3DXColorNegative(D3DXCOLOR* out, const D3DXCOLOR* c) {
    *out = D3DXCOLOR(1.0f - c->r, 1.0f - c->g, 1.0f - c->b, c->a);  // alpha kept
    return out;
}
inline D3DXCOLOR* D3DXColorAdd(D3DXCOLOR* out, const D3DXCOLOR* c1, const D3DXCOLOR* c2) {
    *out = *c1 + *c2;
    return out;
}
inline D3DXCOLOR* D3DXColorSubtract(D3DXCOLOR* out, const D3DXCOLOR* c1, const D3DXCOLOR* c2) {
    *out = *c1 - *c2;
    return out;
}
inline D3DXCOLOR* D3DXColorScale(D3DXCOLOR* out, const D3DXCOLOR* c, float s) {
    *out = *c * s;
    return out;
}
// Component-wise product, alpha included.
inline D3DXCOLOR* D3DXColorModulate(D3DXCOLOR* out, const D3DXCOLOR* c1, const D3DXCOLOR* c2) {
    *out = D3DXCOLOR(c1->r * c2->r, c1->g * c2->g, c1->b * c2->b, c1->a * c2->a);
    return out;
}
// c1 + s·(c2 − c1)
inline D3DXCOLOR* D3DXColorLerp(D3DXCOLOR* out, const D3DXCOLOR* c1, const D3DXCOLOR* c2, float s) {
    *out = *c1 + (*c2 - *c1) * s;
    return out;
}

// Saturation: grey = 0.2125·r + 0.7154·g + 0.0721·b; each of r, g, b becomes
// grey + s·(component − grey); alpha is kept. s = 0 gives grey, 1 the input.
D3DXCOLOR* D3DXColorAdjustSaturation(D3DXCOLOR* out, const D3DXCOLOR* c, float s);
// Contrast: each of r, g, b becomes 0.5 + k·(component − 0.5); alpha is kept.
D3DXCOLOR* D3DXColorAdjustContrast(D3DXCOLOR* out, const D3DXCOLOR* c, float k);
