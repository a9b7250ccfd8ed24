// D3DXVECTOR2, D3DXVECTOR3 and D3DXVECTOR4: 2, 3 and 4 contiguous 32-bit
// floats. The default constructor leaves the components unset; the
// operators work component by component (see ComponentOperators.h).
#pragma once

#include "math/ComponentOperators.h"
#include "platform/d3d8/D3D8Types.h"

struct D3DXVECTOR2 : valmere::math::ComponentOperators<D3DXVECTOR2, 2> {
    float x, y;

    D3DXVECTOR2() = default;
    D3DXVECTOR2(float vx, float vy) : x(vx), y(vy) {}
    explicit D3DXVECTOR2(const float* v) : x(v[0]), y(v[1]) {}

    float* Data() { return &x; }
    const float* Data() const { return &x; }
    operator float*() { return &x; }
    operator const float*() const { return &x; }
};

struct D3DXVECTOR3 : D3DVECTOR, valmere::math::ComponentOperators<D3DXVECTOR3, 3> {
    D3DXVECTOR3() = default;
    D3DXVECTOR3(float vx, float vy, float vz) : D3DVECTOR{vx, vy, vz} {}
    explicit D3DXVECTOR3(const float* v) : D3DVECTOR{v[0], v[1], v[2]} {}
    D3DXVECTOR3(const D3DVECTOR& v) : D3DVECTOR(v) {}  // NOLINT: implicit like the D3DX type

    float* Data() { return &x; }
    const float* Data() const { return &x; }
    operator float*() { return &x; }
    operator const float*() const { return &x; }
};

struct D3DXVECTOR4 : valmere::math::ComponentOperators<D3DXVECTOR4, 4> {
    float x, y, z, w;

    D3DXVECTOR4() = default;
    D3DXVECTOR4(float vx, float vy, float vz, float vw) : x(vx), y(vy), z(vz), w(vw) {}
    explicit D3DXVECTOR4(const float* v) : x(v[0]), y(v[1]), z(v[2]), w(v[3]) {}

    float* Data() { return &x; }
    const float* Data() const { return &x; }
    operator float*() { return &x; }
    operator const float*() const { return &x; }
};

static_assert(sizeof(D3DXVECTOR2) == 8 && sizeof(D3DXVECTOR3) == 12 && sizeof(D3DXVECTOR4) == 16,
              "vectors are packed floats");
