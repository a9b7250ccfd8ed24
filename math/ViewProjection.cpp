// View and projection matrices. Projections map z from the near plane zn to
// 0 and from the far plane zf to 1; the RH forms look down −z.
#include <cmath>

#include "math/D3DXMath.h"

namespace {

// Columns 0, 1, 2 of the upper 3 × 3 hold the camera axes x, y, z; row 3
// moves the eye to the origin.
D3DXMATRIX* LookAt(D3DXMATRIX* out, const D3DXVECTOR3& eye, const D3DXVECTOR3& forward, const D3DXVECTOR3& up) {
    D3DXVECTOR3 z, x, y;
    D3DXVec3Normalize(&z, &forward);
    D3DXVec3Cross(&x, &up, &z);
    D3DXVec3Normalize(&x, &x);
    D3DXVec3Cross(&y, &z, &x);
    *out = D3DXMATRIX(x.x, y.x, z.x, 0, x.y, y.y, z.y, 0, x.z, y.z, z.z, 0, -D3DXVec3Dot(&x, &eye),
                      -D3DXVec3Dot(&y, &eye), -D3DXVec3Dot(&z, &eye), 1);
    return out;
}

// The perspective forms, from the scales of x and y, the offsets of the
// off-centre forms (row 2) and the handedness (+1 LH, −1 RH).
D3DXMATRIX* Perspective(D3DXMATRIX* out, float xScale, float yScale, float xOffset, float yOffset, float zn,
                        float zf, float hand) {
    const float q = hand > 0 ? zf / (zf - zn) : zf / (zn - zf);
    *out = D3DXMATRIX(xScale, 0, 0, 0, 0, yScale, 0, 0, xOffset, yOffset, q, hand, 0, 0, -hand * zn * q, 0);
    return out;
}

D3DXMATRIX* Ortho(D3DXMATRIX* out, float l, float r, float b, float t, float zn, float zf, float hand) {
    const float depth = hand > 0 ? 1.0f / (zf - zn) : 1.0f / (zn - zf);
    *out = D3DXMATRIX(2.0f / (r - l), 0, 0, 0, 0, 2.0f / (t - b), 0, 0, 0, 0, depth, 0, -(l + r) / (r - l),
                      -(t + b) / (t - b), -hand * zn * depth, 1);
    return out;
}

}  // namespace

D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up) {
    return LookAt(out, *eye, *at - *eye, *up);
}
D3DXMATRIX* D3DXMatrixLookAtRH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up) {
    return LookAt(out, *eye, *eye - *at, *up);
}

D3DXMATRIX* D3DXMatrixPerspectiveLH(D3DXMATRIX* out, float w, float h, float zn, float zf) {
    return Perspective(out, 2.0f * zn / w, 2.0f * zn / h, 0, 0, zn, zf, 1.0f);
}
D3DXMATRIX* D3DXMatrixPerspectiveRH(D3DXMATRIX* out, float w, float h, float zn, float zf) {
    return Perspective(out, 2.0f * zn / w, 2.0f * zn / h, 0, 0, zn, zf, -1.0f);
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovY, float aspect, float zn, float zf) {
    const float h = std::cos(fovY * 0.5f) / std::sin(fovY * 0.5f);
    return Perspective(out, h / aspect, h, 0, 0, zn, zf, 1.0f);
}
D3DXMATRIX* D3DXMatrixPerspectiveFovRH(D3DXMATRIX* out, float fovY, float aspect, float zn, float zf) {
    const float h = std::cos(fovY * 0.5f) / std::sin(fovY * 0.5f);
    return Perspective(out, h / aspect, h, 0, 0, zn, zf, -1.0f);
}

D3DXMATRIX* D3DXMatrixPerspectiveOffCenterLH(D3DXMATRIX* out, float l, float r, float b, float t, float zn,
                                             float zf) {
    return Perspective(out, 2.0f * zn / (r - l), 2.0f * zn / (t - b), -(l + r) / (r - l), -(t + b) / (t - b), zn, zf,
                       1.0f);
}
D3DXMATRIX* D3DXMatrixPerspectiveOffCenterRH(D3DXMATRIX* out, float l, float r, float b, float t, float zn,
                                             float zf) {
    return Perspective(out, 2.0f * zn / (r - l), 2.0f * zn / (t - b), (l + r) / (r - l), (t + b) / (t - b), zn, zf,
                       -1.0f);
}

D3DXMATRIX* D3DXMatrixOrthoLH(D3DXMATRIX* out, float w, float h, float zn, float zf) {
    return Ortho(out, -0.5f * w, 0.5f * w, -0.5f * h, 0.5f * h, zn, zf, 1.0f);
}
D3DXMATRIX* D3DXMatrixOrthoRH(D3DXMATRIX* out, float w, float h, float zn, float zf) {
    return Ortho(out, -0.5f * w, 0.5f * w, -0.5f * h, 0.5f * h, zn, zf, -1.0f);
}
D3DXMATRIX* D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* out, float l, float r, float b, float t, float zn, float zf) {
    return Ortho(out, l, r, b, t, zn, zf, 1.0f);
}
D3DXMATRIX* D3DXMatrixOrthoOffCenterRH(D3DXMATRIX* out, float l, float r, float b, float t, float zn, float zf) {
    return Ortho(out, l, r, b, t, zn, zf, -1.0f);
}
