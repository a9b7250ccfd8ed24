// The D3DX math library: vectors, matrices, quaternions, planes and colours.
//
// Conventions shared by every function:
// - Row vectors: a point p is transformed as (p.x, p.y, p.z, 1) · M; the
//   translation lies in row 3; A·B applies A first, then B.
// - Left-handed rotations: a positive angle turns clockwise when looking
//   along the axis towards the origin (RotationY(π/2) maps +z to +x).
// - The output is the first argument and is returned; it may be the same
//   object as any input. D3DXMatrixInverse and D3DXPlaneIntersectLine return
//   null on failure and then leave the output untouched.
// - "Near" means |a − b| ≤ 2⁻²³ (FLT_EPSILON); a squared length is "tiny"
//   when it is not above 2⁻¹²⁶ (FLT_MIN).
// - Functions marked [slot n] are entered through MathDispatchTable
//   (math/MathDispatch.h): the first call of any of them selects the variant
//   set for the processor. Variants compute the same formulas in single
//   precision; their normalisation thresholds and reciprocal estimates are
//   described in MathDispatch.h.
#pragma once

#include <cmath>

#include "math/D3DXColor.h"
#include "math/D3DXMatrix.h"
#include "math/D3DXPlane.h"
#include "math/D3DXQuaternion.h"
#include "math/D3DXVector.h"
#include "platform/d3d8/D3D8Types.h"

inline constexpr float D3DX_PI = 3.141592654f;
inline constexpr float D3DX_1BYPI = 0.318309886f;
constexpr float D3DXToRadian(float degree) { return degree * (D3DX_PI / 180.0f); }
constexpr float D3DXToDegree(float radian) { return radian * (180.0f / D3DX_PI); }

// ---------------------------------------------------------------------------
// 2-component vectors

inline float D3DXVec2LengthSq(const D3DXVECTOR2* v) { return v->x * v->x + v->y * v->y; }
inline float D3DXVec2Length(const D3DXVECTOR2* v) { return std::sqrt(D3DXVec2LengthSq(v)); }
inline float D3DXVec2Dot(const D3DXVECTOR2* a, const D3DXVECTOR2* b) { return a->x * b->x + a->y * b->y; }
// z of the 3D cross product of (a, 0) and (b, 0): positive when b lies
// counter-clockwise from a.
inline float D3DXVec2CCW(const D3DXVECTOR2* a, const D3DXVECTOR2* b) { return a->x * b->y - a->y * b->x; }
inline D3DXVECTOR2* D3DXVec2Add(D3DXVECTOR2* out, const D3DXVECTOR2* a, const D3DXVECTOR2* b) {
    *out = *a + *b;
    return out;
}
inline D3DXVECTOR2* D3DXVec2Subtract(D3DXVECTOR2* out, const D3DXVECTOR2* a, const D3DXVECTOR2* b) {
    *out = *a - *b;
    return out;
}
// Component-wise minimum and maximum.
inline D3DXVECTOR2* D3DXVec2Minimize(D3DXVECTOR2* out, const D3DXVECTOR2* a, const D3DXVECTOR2* b) {
    *out = ComponentMin(*a, *b);
    return out;
}
inline D3DXVECTOR2* D3DXVec2Maximize(D3DXVECTOR2* out, const D3DXVECTOR2* a, const D3DXVECTOR2* b) {
    *out = ComponentMax(*a, *b);
    return out;
}
inline D3DXVECTOR2* D3DXVec2Scale(D3DXVECTOR2* out, const D3DXVECTOR2* v, float s) {
    *out = *v * s;
    return out;
}
// a + s·(b − a)
inline D3DXVECTOR2* D3DXVec2Lerp(D3DXVECTOR2* out, const D3DXVECTOR2* a, const D3DXVECTOR2* b, float s) {
    *out = *a + (*b - *a) * s;
    return out;
}

// [slot 46] v · (1/√L) with L = x² + y²; v unchanged when L is near 1; zero
// when L is tiny.
D3DXVECTOR2* D3DXVec2Normalize(D3DXVECTOR2* out, const D3DXVECTOR2* v);
// [slot 17] Hermite spline: (2s³−3s²+1)·p1 + (s³−2s²+s)·t1 + (−2s³+3s²)·p2 + (s³−s²)·t2.
D3DXVECTOR2* D3DXVec2Hermite(D3DXVECTOR2* out, const D3DXVECTOR2* p1, const D3DXVECTOR2* t1,
                             const D3DXVECTOR2* p2, const D3DXVECTOR2* t2, float s);
// [slot 47] Catmull-Rom spline through p1 (s = 0) and p2 (s = 1).
D3DXVECTOR2* D3DXVec2CatmullRom(D3DXVECTOR2* out, const D3DXVECTOR2* p0, const D3DXVECTOR2* p1,
                                const D3DXVECTOR2* p2, const D3DXVECTOR2* p3, float s);
// [slot 48] p1 + f·(p2 − p1) + g·(p3 − p1)
D3DXVECTOR2* D3DXVec2BaryCentric(D3DXVECTOR2* out, const D3DXVECTOR2* p1, const D3DXVECTOR2* p2,
                                 const D3DXVECTOR2* p3, float f, float g);
// [slot 0] (x, y, 0, 1) · M
D3DXVECTOR4* D3DXVec2Transform(D3DXVECTOR4* out, const D3DXVECTOR2* v, const D3DXMATRIX* m);
// [slot 9] (x, y, 0, 1) · M, x′ and y′ divided by w′ unless w′ is near 1.
D3DXVECTOR2* D3DXVec2TransformCoord(D3DXVECTOR2* out, const D3DXVECTOR2* v, const D3DXMATRIX* m);
// [slot 5] (x, y, 0, 0) · M
D3DXVECTOR2* D3DXVec2TransformNormal(D3DXVECTOR2* out, const D3DXVECTOR2* v, const D3DXMATRIX* m);

// ---------------------------------------------------------------------------
// 3-component vectors

inline float D3DXVec3LengthSq(const D3DXVECTOR3* v) { return v->x * v->x + v->y * v->y + v->z * v->z; }
inline float D3DXVec3Length(const D3DXVECTOR3* v) { return std::sqrt(D3DXVec3LengthSq(v)); }
inline float D3DXVec3Dot(const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    return a->x * b->x + a->y * b->y + a->z * b->z;
}
// a × b = (a.y·b.z − a.z·b.y, a.z·b.x − a.x·b.z, a.x·b.y − a.y·b.x)
inline D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    *out = D3DXVECTOR3(a->y * b->z - a->z * b->y, a->z * b->x - a->x * b->z, a->x * b->y - a->y * b->x);
    return out;
}
inline D3DXVECTOR3* D3DXVec3Add(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    *out = *a + *b;
    return out;
}
inline D3DXVECTOR3* D3DXVec3Subtract(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    *out = *a - *b;
    return out;
}
inline D3DXVECTOR3* D3DXVec3Minimize(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    *out = ComponentMin(*a, *b);
    return out;
}
inline D3DXVECTOR3* D3DXVec3Maximize(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    *out = ComponentMax(*a, *b);
    return out;
}
inline D3DXVECTOR3* D3DXVec3Scale(D3DXVECTOR3* out, const D3DXVECTOR3* v, float s) {
    *out = *v * s;
    return out;
}
inline D3DXVECTOR3* D3DXVec3Lerp(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b, float s) {
    *out = *a + (*b - *a) * s;
    return out;
}

// [slot 7] L = x² + y² + z²: v unchanged when L is near 1 (no copy when out
// is v), zero when L is tiny, otherwise v · (1/√L).
D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v);
// [slot 49] Hermite spline, as D3DXVec2Hermite.
D3DXVECTOR3* D3DXVec3Hermite(D3DXVECTOR3* out, const D3DXVECTOR3* p1, const D3DXVECTOR3* t1,
                             const D3DXVECTOR3* p2, const D3DXVECTOR3* t2, float s);
// [slot 50] Catmull-Rom spline, as D3DXVec2CatmullRom.
D3DXVECTOR3* D3DXVec3CatmullRom(D3DXVECTOR3* out, const D3DXVECTOR3* p0, const D3DXVECTOR3* p1,
                                const D3DXVECTOR3* p2, const D3DXVECTOR3* p3, float s);
// [slot 51] p1 + f·(p2 − p1) + g·(p3 − p1)
D3DXVECTOR3* D3DXVec3BaryCentric(D3DXVECTOR3* out, const D3DXVECTOR3* p1, const D3DXVECTOR3* p2,
                                 const D3DXVECTOR3* p3, float f, float g);
// [slot 1] (x, y, z, 1) · M
D3DXVECTOR4* D3DXVec3Transform(D3DXVECTOR4* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);
// [slot 10] (x′, y′, z′, w′) = (x, y, z, 1) · M; x′, y′, z′ divided by w′
// unless w′ is near 1. w′ = 0 is not tested and gives infinities or NaNs.
D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);
// [slot 6] (x, y, z, 0) · M: no translation, no division.
D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);
// [slot 14] Object space to screen: M = world·view·projection (null matrices
// left out), p = TransformCoord(v, M); with a viewport x = X + Width·(1 + p.x)/2,
// y = Y + Height·(1 − p.y)/2, z = MinZ + p.z·(MaxZ − MinZ); without one, p.
D3DXVECTOR3* D3DXVec3Project(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DVIEWPORT8* viewport,
                             const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world);
// [slot 15] The inverse of D3DXVec3Project. When the combined matrix has no
// inverse, the viewport-mapped point goes through the combined matrix itself.
D3DXVECTOR3* D3DXVec3Unproject(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DVIEWPORT8* viewport,
                               const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world);

// ---------------------------------------------------------------------------
// 4-component vectors

inline float D3DXVec4LengthSq(const D3DXVECTOR4* v) {
    return v->x * v->x + v->y * v->y + v->z * v->z + v->w * v->w;
}
inline float D3DXVec4Length(const D3DXVECTOR4* v) { return std::sqrt(D3DXVec4LengthSq(v)); }
inline float D3DXVec4Dot(const D3DXVECTOR4* a, const D3DXVECTOR4* b) {
    return a->x * b->x + a->y * b->y + a->z * b->z + a->w * b->w;
}
inline D3DXVECTOR4* D3DXVec4Add(D3DXVECTOR4* out, const D3DXVECTOR4* a, const D3DXVECTOR4* b) {
    *out = *a + *b;
    return out;
}
inline D3DXVECTOR4* D3DXVec4Subtract(D3DXVECTOR4* out, const D3DXVECTOR4* a, const D3DXVECTOR4* b) {
    *out = *a - *b;
    return out;
}
inline D3DXVECTOR4* D3DXVec4Minimize(D3DXVECTOR4* out, const D3DXVECTOR4* a, const D3DXVECTOR4* b) {
    *out = ComponentMin(*a, *b);
    return out;
}
inline D3DXVECTOR4* D3DXVec4Maximize(D3DXVECTOR4* out, const D3DXVECTOR4* a, const D3DXVECTOR4* b) {
    *out = ComponentMax(*a, *b);
    return out;
}
inline D3DXVECTOR4* D3DXVec4Scale(D3DXVECTOR4* out, const D3DXVECTOR4* v, float s) {
    *out = *v * s;
    return out;
}
inline D3DXVECTOR4* D3DXVec4Lerp(D3DXVECTOR4* out, const D3DXVECTOR4* a, const D3DXVECTOR4* b, float s) {
    *out = *a + (*b - *a) * s;
    return out;
}

// [slot 16] The 4D cross product: the vector orthogonal to u, v and w, from
// the cofactors of the 3 × 4 matrix of their components.
D3DXVECTOR4* D3DXVec4Cross(D3DXVECTOR4* out, const D3DXVECTOR4* u, const D3DXVECTOR4* v, const D3DXVECTOR4* w);
// [slot 8] The rule of D3DXVec3Normalize over four components.
D3DXVECTOR4* D3DXVec4Normalize(D3DXVECTOR4* out, const D3DXVECTOR4* v);
// [slot 52] Hermite spline, as D3DXVec2Hermite.
D3DXVECTOR4* D3DXVec4Hermite(D3DXVECTOR4* out, const D3DXVECTOR4* p1, const D3DXVECTOR4* t1,
                             const D3DXVECTOR4* p2, const D3DXVECTOR4* t2, float s);
// [slot 53] Catmull-Rom spline, as D3DXVec2CatmullRom.
D3DXVECTOR4* D3DXVec4CatmullRom(D3DXVECTOR4* out, const D3DXVECTOR4* p0, const D3DXVECTOR4* p1,
                                const D3DXVECTOR4* p2, const D3DXVECTOR4* p3, float s);
// [slot 54] p1 + f·(p2 − p1) + g·(p3 − p1)
D3DXVECTOR4* D3DXVec4BaryCentric(D3DXVECTOR4* out, const D3DXVECTOR4* p1, const D3DXVECTOR4* p2,
                                 const D3DXVECTOR4* p3, float f, float g);
// [slot 2] v · M
D3DXVECTOR4* D3DXVec4Transform(D3DXVECTOR4* out, const D3DXVECTOR4* v, const D3DXMATRIX* m);

// ---------------------------------------------------------------------------
// Matrices

inline D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out) {
    *out = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return out;
}
inline BOOL D3DXMatrixIsIdentity(const D3DXMATRIX* m) {
    return *m == D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1) ? TRUE : FALSE;
}

// [slot 11] The determinant, by cofactor expansion along row 0.
float D3DXMatrixfDeterminant(const D3DXMATRIX* m);
// [slot 4] The transpose of A·B.
D3DXMATRIX* D3DXMatrixMultiplyTranspose(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b);
// [slot 37] Rows become columns.
D3DXMATRIX* D3DXMatrixTranspose(D3DXMATRIX* out, const D3DXMATRIX* m);
// [slot 18] The inverse from the adjugate. The determinant goes to
// *determinant when that is not null, even when the inversion fails. Returns
// null, leaving out untouched, when 1/determinant is not finite.
D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* m);
// [slot 33] diagonal (sx, sy, sz, 1)
D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz);
// [slot 26] identity with row 3 = (x, y, z, 1)
D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z);
// [slots 30, 31, 32] Rotations about the x, y and z axes (left-handed).
D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle);
// [slot 42] Rotation about an axis of any non-zero length (normalised with
// D3DXVec3Normalize). A zero axis gives cos(angle)·I with 1 in the corner.
D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* out, const D3DXVECTOR3* axis, float angle);
// [slot 38] The rotation of a unit quaternion.
D3DXMATRIX* D3DXMatrixRotationQuaternion(D3DXMATRIX* out, const D3DXQUATERNION* q);
// [slot 40] Roll about z, then pitch about x, then yaw about y.
D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* out, float yaw, float pitch, float roll);
// [slot 39] Scaling by `scaling` along the axes of `scalingRotation` about
// `scalingCenter`, then the rotation `rotation` about `rotationCenter`, then
// the translation. Every pointer may be null: a null part is left out.
D3DXMATRIX* D3DXMatrixTransformation(D3DXMATRIX* out, const D3DXVECTOR3* scalingCenter,
                                     const D3DXQUATERNION* scalingRotation, const D3DXVECTOR3* scaling,
                                     const D3DXVECTOR3* rotationCenter, const D3DXQUATERNION* rotation,
                                     const D3DXVECTOR3* translation);
// [slot 41] Uniform scaling, then the rotation about the centre, then the
// translation. Null pointers leave their part out.
D3DXMATRIX* D3DXMatrixAffineTransformation(D3DXMATRIX* out, float scaling, const D3DXVECTOR3* rotationCenter,
                                           const D3DXQUATERNION* rotation, const D3DXVECTOR3* translation);
// View matrices: z = normalise(at − eye) (LH) or normalise(eye − at) (RH);
// x = normalise(up × z); y = z × x; row 3 = (−x·eye, −y·eye, −z·eye, 1).
D3DXMATRIX* D3DXMatrixLookAtRH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up);
D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up);
// Projections onto z in 0..1 from the near plane zn to the far plane zf.
D3DXMATRIX* D3DXMatrixPerspectiveRH(D3DXMATRIX* out, float w, float h, float zn, float zf);
D3DXMATRIX* D3DXMatrixPerspectiveLH(D3DXMATRIX* out, float w, float h, float zn, float zf);
D3DXMATRIX* D3DXMatrixPerspectiveFovRH(D3DXMATRIX* out, float fovY, float aspect, float zn, float zf);
D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovY, float aspect, float zn, float zf);
D3DXMATRIX* D3DXMatrixPerspectiveOffCenterRH(D3DXMATRIX* out, float l, float r, float b, float t, float zn,
                                             float zf);
D3DXMATRIX* D3DXMatrixPerspectiveOffCenterLH(D3DXMATRIX* out, float l, float r, float b, float t, float zn,
                                             float zf);
D3DXMATRIX* D3DXMatrixOrthoRH(D3DXMATRIX* out, float w, float h, float zn, float zf);
D3DXMATRIX* D3DXMatrixOrthoLH(D3DXMATRIX* out, float w, float h, float zn, float zf);
D3DXMATRIX* D3DXMatrixOrthoOffCenterRH(D3DXMATRIX* out, float l, float r, float b, float t, float zn, float zf);
D3DXMATRIX* D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* out, float l, float r, float b, float t, float zn, float zf);
// [slot 27] Flattens geometry onto the plane as seen from the light (w = 0:
// a directional light). Element (i, j) = d·δij − L[j]·P[i] with P the
// normalised plane, L the light and d = P·L.
D3DXMATRIX* D3DXMatrixShadow(D3DXMATRIX* out, const D3DXVECTOR4* light, const D3DXPLANE* plane);
// [slot 28] Reflection in the (normalised) plane.
D3DXMATRIX* D3DXMatrixReflect(D3DXMATRIX* out, const D3DXPLANE* plane);

// ---------------------------------------------------------------------------
// Quaternions

inline float D3DXQuaternionLengthSq(const D3DXQUATERNION* q) {
    return q->x * q->x + q->y * q->y + q->z * q->z + q->w * q->w;
}
inline float D3DXQuaternionLength(const D3DXQUATERNION* q) { return std::sqrt(D3DXQuaternionLengthSq(q)); }
inline float D3DXQuaternionDot(const D3DXQUATERNION* a, const D3DXQUATERNION* b) {
    return a->x * b->x + a->y * b->y + a->z * b->z + a->w * b->w;
}
inline D3DXQUATERNION* D3DXQuaternionIdentity(D3DXQUATERNION* out) {
    *out = D3DXQUATERNION(0, 0, 0, 1);
    return out;
}
inline BOOL D3DXQuaternionIsIdentity(const D3DXQUATERNION* q) {
    return *q == D3DXQUATERNION(0, 0, 0, 1) ? TRUE : FALSE;
}
// (−x, −y, −z, w)
inline D3DXQUATERNION* D3DXQuaternionConjugate(D3DXQUATERNION* out, const D3DXQUATERNION* q) {
    *out = D3DXQUATERNION(-q->x, -q->y, -q->z, q->w);
    return out;
}

// [slot 23] axis = (x, y, z)/√L and angle = 2·acos(w) with L over all four
// components; axis (1, 0, 0) and angle 0 when L is tiny. Either output may
// be null.
void D3DXQuaternionToAxisAngle(const D3DXQUATERNION* q, D3DXVECTOR3* axis, float* angle);
// [slot 24] The quaternion of the rotation in the upper 3 × 3 of M.
D3DXQUATERNION* D3DXQuaternionRotationMatrix(D3DXQUATERNION* out, const D3DXMATRIX* m);
// [slot 29] (sin(a/2)·n, cos(a/2)) with n the normalised axis.
D3DXQUATERNION* D3DXQuaternionRotationAxis(D3DXQUATERNION* out, const D3DXVECTOR3* axis, float angle);
// [slot 25] Roll about z, then pitch about x, then yaw about y.
D3DXQUATERNION* D3DXQuaternionRotationYawPitchRoll(D3DXQUATERNION* out, float yaw, float pitch, float roll);
// [slot 20] The rule of D3DXVec3Normalize over four components.
D3DXQUATERNION* D3DXQuaternionNormalize(D3DXQUATERNION* out, const D3DXQUATERNION* q);
// [slot 44] Conjugate / (x² + y² + z² + w²); zero when that is not above 2⁻⁶³.
D3DXQUATERNION* D3DXQuaternionInverse(D3DXQUATERNION* out, const D3DXQUATERNION* q);
// [slot 55] Natural logarithm of a unit quaternion: (θ/sin θ·v, 0) with θ = acos w.
D3DXQUATERNION* D3DXQuaternionLn(D3DXQUATERNION* out, const D3DXQUATERNION* q);
// [slot 56] Exponential of a pure quaternion: (sin θ/θ·v, cos θ) with θ = |v|.
D3DXQUATERNION* D3DXQuaternionExp(D3DXQUATERNION* out, const D3DXQUATERNION* q);
// [slot 35] Spherical interpolation from q1 (t = 0) to q2 (t = 1), the short
// way round (q2 is negated when q1·q2 < 0).
D3DXQUATERNION* D3DXQuaternionSlerp(D3DXQUATERNION* out, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2,
                                    float t);
// [slot 43] Slerp(Slerp(q1, c, t), Slerp(a, b, t), 2t(1 − t)).
D3DXQUATERNION* D3DXQuaternionSquad(D3DXQUATERNION* out, const D3DXQUATERNION* q1, const D3DXQUATERNION* a,
                                    const D3DXQUATERNION* b, const D3DXQUATERNION* c, float t);
// [slot 45] The control points a, b, c for D3DXQuaternionSquad between q1
// and q2, with q0 and q3 their neighbours.
void D3DXQuaternionSquadSetup(D3DXQUATERNION* outA, D3DXQUATERNION* outB, D3DXQUATERNION* outC,
                              const D3DXQUATERNION* q0, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2,
                              const D3DXQUATERNION* q3);
// [slot 36] Slerp(Slerp(q1, q2, f + g), Slerp(q1, q3, f + g), g/(f + g)); q1
// when f + g is near 0.
D3DXQUATERNION* D3DXQuaternionBaryCentric(D3DXQUATERNION* out, const D3DXQUATERNION* q1,
                                          const D3DXQUATERNION* q2, const D3DXQUATERNION* q3, float f, float g);

// ---------------------------------------------------------------------------
// Planes

// a·x + b·y + c·z + d·w
inline float D3DXPlaneDot(const D3DXPLANE* p, const D3DXVECTOR4* v) {
    return p->a * v->x + p->b * v->y + p->c * v->z + p->d * v->w;
}
// a·x + b·y + c·z + d: the signed distance of a point when the plane is normalised.
inline float D3DXPlaneDotCoord(const D3DXPLANE* p, const D3DXVECTOR3* v) {
    return p->a * v->x + p->b * v->y + p->c * v->z + p->d;
}
// a·x + b·y + c·z
inline float D3DXPlaneDotNormal(const D3DXPLANE* p, const D3DXVECTOR3* v) {
    return p->a * v->x + p->b * v->y + p->c * v->z;
}

// [slot 21] L = a² + b² + c²: unchanged near 1, zero when tiny, otherwise
// all four components times 1/√L.
D3DXPLANE* D3DXPlaneNormalize(D3DXPLANE* out, const D3DXPLANE* p);
// [slot 22] The point where the line through a and b meets the plane.
// Returns null (out untouched) when the line is parallel to the plane or the
// line parameter is not finite.
D3DXVECTOR3* D3DXPlaneIntersectLine(D3DXVECTOR3* out, const D3DXPLANE* p, const D3DXVECTOR3* a,
                                    const D3DXVECTOR3* b);
// [slot 12] (n, −n·point); n is not normalised.
D3DXPLANE* D3DXPlaneFromPointNormal(D3DXPLANE* out, const D3DXVECTOR3* point, const D3DXVECTOR3* normal);
// [slot 13] n = normalise((a − b) × (a − c)), d = −n·a.
D3DXPLANE* D3DXPlaneFromPoints(D3DXPLANE* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b, const D3DXVECTOR3* c);
// [slot 34] (a, b, c, d) · M, where M is the inverse transpose of the
// transform applied to the points.
D3DXPLANE* D3DXPlaneTransform(D3DXPLANE* out, const D3DXPLANE* p, const D3DXMATRIX* m);

// ---------------------------------------------------------------------------
// Lighting

// Fresnel reflectance of unpolarised light for the cosine of the incidence
// angle and the relative refraction index; 1 when cosTheta < 2⁻¹²⁶, clamped
// to 0..1.
float D3DXFresnelTerm(float cosTheta, float refractionIndex);

// ---------------------------------------------------------------------------
// Processor-specific code

// enable = FALSE: puts the portable code in every dispatched slot and forgets
// the selection (returns 0xFFFF). enable = TRUE: selects the variant set
// once, if not yet selected. Returns the state: 0xFFFF not selected, 0
// portable with the x87 subset, 1 3DNow!, 2 SSE2, 3 SSE.
DWORD D3DXCpuOptimizations(BOOL enable);
