// D3DXQUATERNION: x, y, z (vector part) and w (scalar part), 32-bit floats.
#pragma once

#include "math/ComponentOperators.h"

struct D3DXQUATERNION;

// The rotation q1 followed by q2 (the Hamilton product q2·q1). out may be q1
// or q2. Returns out. Dispatched (see MathDispatch.h).
D3DXQUATERNION* D3DXQuaternionMultiply(D3DXQUATERNION* out, const D3DXQUATERNION* q1,
                                       const D3DXQUATERNION* q2);

struct D3DXQUATERNION : valmere::math::ComponentOperators<D3DXQUATERNION, 4> {
    float x, y, z, w;

    D3DXQUATERNION() = default;
    D3DXQUATERNION(float qx, float qy, float qz, float qw) : x(qx), y(qy), z(qz), w(qw) {}
    explicit D3DXQUATERNION(const float* q) : x(q[0]), y(q[1]), z(q[2]), w(q[3]) {}

    float* Data() { return &x; }
    const float* Data() const { return &x; }
    operator float*() { return &x; }
    operator const float*() const { return &x; }

    using ComponentOperators::operator*=;
    // this rotation followed by q
    D3DXQUATERNION& operator*=(const D3DXQUATERNION& q) {
        D3DXQuaternionMultiply(this, this, &q);
        return *this;
    }
    friend D3DXQUATERNION operator*(const D3DXQUATERNION& a, const D3DXQUATERNION& b) {
        D3DXQUATERNION r;
        D3DXQuaternionMultiply(&r, &a, &b);
        return r;
    }
};
static_assert(sizeof(D3DXQUATERNION) == 16, "quaternions are four floats");
