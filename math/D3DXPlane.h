// D3DXPLANE: the plane a·x + b·y + c·z + d = 0, four 32-bit floats.
#pragma once

#include "math/ComponentOperators.h"

struct D3DXPLANE : valmere::math::ComponentOperators<D3DXPLANE, 4> {
    float a, b, c, d;

    D3DXPLANE() = default;
    D3DXPLANE(float pa, float pb, float pc, float pd) : a(pa), b(pb), c(pc), d(pd) {}
    explicit D3DXPLANE(const float* p) : a(p[0]), b(p[1]), c(p[2]), d(p[3]) {}

    float* Data() { return &a; }
    const float* Data() const { return &a; }
    operator float*() { return &a; }
    operator const float*() const { return &a; }
};
static_assert(sizeof(D3DXPLANE) == 16, "planes are four floats");
