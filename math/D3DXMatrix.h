// D3DXMATRIX: 16 floats row by row over D3DMATRIX; element (row, column) is
// m[row][column]. Row-vector convention: a point is the row (x, y, z, 1)
// times the matrix, the translation lies in row 3 and A·B applies A first.
#pragma once

#include "math/ComponentOperators.h"
#include "platform/d3d8/D3D8Types.h"

struct D3DXMATRIX;

// out = A·B. out may be A or B (the product is formed in a temporary).
// Returns out. Dispatched (see MathDispatch.h).
D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b);

struct D3DXMATRIX : D3DMATRIX, valmere::math::ComponentOperators<D3DXMATRIX, 16> {
    D3DXMATRIX() = default;
    D3DXMATRIX(const D3DMATRIX& matrix) : D3DMATRIX(matrix) {}  // NOLINT: implicit like the D3DX type
    explicit D3DXMATRIX(const float* v) {
        for (int i = 0; i < 16; ++i) Data()[i] = v[i];
    }
    D3DXMATRIX(float m11, float m12, float m13, float m14, float m21, float m22, float m23, float m24,
               float m31, float m32, float m33, float m34, float m41, float m42, float m43, float m44)
        : D3DMATRIX{{{m11, m12, m13, m14, m21, m22, m23, m24, m31, m32, m33, m34, m41, m42, m43, m44}}} {}

    float& operator()(unsigned row, unsigned column) { return m[row][column]; }
    float operator()(unsigned row, unsigned column) const { return m[row][column]; }

    float* Data() { return &m[0][0]; }
    const float* Data() const { return &m[0][0]; }
    operator float*() { return &m[0][0]; }
    operator const float*() const { return &m[0][0]; }

    using ComponentOperators::operator*=;
    D3DXMATRIX& operator*=(const D3DXMATRIX& other) {
        D3DXMatrixMultiply(this, this, &other);
        return *this;
    }
    friend D3DXMATRIX operator*(const D3DXMATRIX& a, const D3DXMATRIX& b) {
        D3DXMATRIX r;
        D3DXMatrixMultiply(&r, &a, &b);
        return r;
    }
};
static_assert(sizeof(D3DXMATRIX) == 64, "matrices are 16 floats");
