// Portable vector operations: transforms, normalisation, splines,
// projection and the 4D cross product.
#include "math/MathTolerances.h"
#include "math/PortableMath.h"
#include "math/SplineWeights.h"
#include "math/TransformKernels.h"

namespace valmere::math::portable {
namespace {

// Σ weight[i]·point[i] for any of the vector types.
template <typename V>
V WeightedSum(const std::array<float, 4>& weight, const V& a, const V& b, const V& c, const V& d) {
    return a * weight[0] + b * weight[1] + c * weight[2] + d * weight[3];
}

template <typename V>
V* Hermite(V* out, const V* p1, const V* t1, const V* p2, const V* t2, float s) {
    *out = WeightedSum(HermiteWeights(s), *p1, *t1, *p2, *t2);
    return out;
}

template <typename V>
V* CatmullRom(V* out, const V* p0, const V* p1, const V* p2, const V* p3, float s) {
    *out = WeightedSum(CatmullRomWeights(s), *p0, *p1, *p2, *p3);
    return out;
}

template <typename V>
V* BaryCentric(V* out, const V* p1, const V* p2, const V* p3, float f, float g) {
    *out = *p1 + (*p2 - *p1) * f + (*p3 - *p1) * g;
    return out;
}

template <typename V, int N>
V* Normalize(V* out, const V* v) {
    NormalizeComponents(out->Data(), v->Data(), N, N);
    return out;
}

// World·view·projection, leaving out the null matrices; the identity when all
// are null (then `any` is false).
D3DXMATRIX CombinedMatrix(const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world,
                          bool& any) {
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    any = false;
    for (const D3DXMATRIX* part : {world, view, projection}) {
        if (!part) continue;
        if (any) {
            D3DXMatrixMultiply(&m, &m, part);
        } else {
            m = *part;
            any = true;
        }
    }
    return m;
}

}  // namespace

D3DXVECTOR4* Vec2Transform(D3DXVECTOR4* out, const D3DXVECTOR2* v, const D3DXMATRIX* m) {
    return RowTransforms<float>::Vec2Transform(out, v, m);
}
D3DXVECTOR4* Vec3Transform(D3DXVECTOR4* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    return RowTransforms<float>::Vec3Transform(out, v, m);
}
D3DXVECTOR4* Vec4Transform(D3DXVECTOR4* out, const D3DXVECTOR4* v, const D3DXMATRIX* m) {
    return RowTransforms<float>::Vec4Transform(out, v, m);
}
D3DXVECTOR2* Vec2TransformNormal(D3DXVECTOR2* out, const D3DXVECTOR2* v, const D3DXMATRIX* m) {
    return RowTransforms<float>::Vec2TransformNormal(out, v, m);
}
D3DXVECTOR3* Vec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    return RowTransforms<float>::Vec3TransformNormal(out, v, m);
}
D3DXVECTOR2* Vec2TransformCoord(D3DXVECTOR2* out, const D3DXVECTOR2* v, const D3DXMATRIX* m) {
    TransformCoordinate<float>(out->Data(), v->x, v->y, 0.0f, *m, 2);
    return out;
}
D3DXVECTOR3* Vec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    TransformCoordinate<float>(out->Data(), v->x, v->y, v->z, *m, 3);
    return out;
}

D3DXVECTOR2* Vec2Normalize(D3DXVECTOR2* out, const D3DXVECTOR2* v) { return Normalize<D3DXVECTOR2, 2>(out, v); }
D3DXVECTOR3* Vec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v) { return Normalize<D3DXVECTOR3, 3>(out, v); }
D3DXVECTOR4* Vec4Normalize(D3DXVECTOR4* out, const D3DXVECTOR4* v) { return Normalize<D3DXVECTOR4, 4>(out, v); }

D3DXVECTOR2* Vec2Hermite(D3DXVECTOR2* out, const D3DXVECTOR2* p1, const D3DXVECTOR2* t1, const D3DXVECTOR2* p2,
                         const D3DXVECTOR2* t2, float s) {
    return Hermite(out, p1, t1, p2, t2, s);
}
D3DXVECTOR3* Vec3Hermite(D3DXVECTOR3* out, const D3DXVECTOR3* p1, const D3DXVECTOR3* t1, const D3DXVECTOR3* p2,
                         const D3DXVECTOR3* t2, float s) {
    return Hermite(out, p1, t1, p2, t2, s);
}
D3DXVECTOR4* Vec4Hermite(D3DXVECTOR4* out, const D3DXVECTOR4* p1, const D3DXVECTOR4* t1, const D3DXVECTOR4* p2,
                         const D3DXVECTOR4* t2, float s) {
    return Hermite(out, p1, t1, p2, t2, s);
}
D3DXVECTOR2* Vec2CatmullRom(D3DXVECTOR2* out, const D3DXVECTOR2* p0, const D3DXVECTOR2* p1, const D3DXVECTOR2* p2,
                            const D3DXVECTOR2* p3, float s) {
    return CatmullRom(out, p0, p1, p2, p3, s);
}
D3DXVECTOR3* Vec3CatmullRom(D3DXVECTOR3* out, const D3DXVECTOR3* p0, const D3DXVECTOR3* p1, const D3DXVECTOR3* p2,
                            const D3DXVECTOR3* p3, float s) {
    return CatmullRom(out, p0, p1, p2, p3, s);
}
D3DXVECTOR4* Vec4CatmullRom(D3DXVECTOR4* out, const D3DXVECTOR4* p0, const D3DXVECTOR4* p1, const D3DXVECTOR4* p2,
                            const D3DXVECTOR4* p3, float s) {
    return CatmullRom(out, p0, p1, p2, p3, s);
}
D3DXVECTOR2* Vec2BaryCentric(D3DXVECTOR2* out, const D3DXVECTOR2* p1, const D3DXVECTOR2* p2,
                             const D3DXVECTOR2* p3, float f, float g) {
    return BaryCentric(out, p1, p2, p3, f, g);
}
D3DXVECTOR3* Vec3BaryCentric(D3DXVECTOR3* out, const D3DXVECTOR3* p1, const D3DXVECTOR3* p2,
                             const D3DXVECTOR3* p3, float f, float g) {
    return BaryCentric(out, p1, p2, p3, f, g);
}
D3DXVECTOR4* Vec4BaryCentric(D3DXVECTOR4* out, const D3DXVECTOR4* p1, const D3DXVECTOR4* p2,
                             const D3DXVECTOR4* p3, float f, float g) {
    return BaryCentric(out, p1, p2, p3, f, g);
}

D3DXVECTOR3* Vec3Project(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DVIEWPORT8* viewport,
                         const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world) {
    bool any = false;
    const D3DXMATRIX m = CombinedMatrix(projection, view, world, any);
    D3DXVECTOR3 p;
    D3DXVec3TransformCoord(&p, v, &m);
    if (viewport) {
        const auto width = static_cast<float>(viewport->Width);
        const auto height = static_cast<float>(viewport->Height);
        p = D3DXVECTOR3(static_cast<float>(viewport->X) + width * (1.0f + p.x) * 0.5f,
                        static_cast<float>(viewport->Y) + height * (1.0f - p.y) * 0.5f,
                        viewport->MinZ + p.z * (viewport->MaxZ - viewport->MinZ));
    }
    *out = p;
    return out;
}

D3DXVECTOR3* Vec3Unproject(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DVIEWPORT8* viewport,
                           const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world) {
    bool any = false;
    D3DXMATRIX m = CombinedMatrix(projection, view, world, any);
    // A singular combination keeps m: its inverse does not exist.
    if (any) D3DXMatrixInverse(&m, nullptr, &m);
    D3DXVECTOR3 p = *v;
    if (viewport) {
        p = D3DXVECTOR3((v->x - static_cast<float>(viewport->X)) / static_cast<float>(viewport->Width) * 2.0f - 1.0f,
                        -((v->y - static_cast<float>(viewport->Y)) / static_cast<float>(viewport->Height) * 2.0f - 1.0f),
                        (v->z - viewport->MinZ) / (viewport->MaxZ - viewport->MinZ));
    }
    D3DXVec3TransformCoord(out, &p, &m);
    return out;
}

// The cofactors of the 4 × 4 matrix whose rows are (basis, u, v, w), from the
// 2 × 2 minors of v and w: out·t = det(t; u; v; w) for any t.
D3DXVECTOR4* Vec4Cross(D3DXVECTOR4* out, const D3DXVECTOR4* u, const D3DXVECTOR4* v, const D3DXVECTOR4* w) {
    const float a = v->x * w->y - v->y * w->x;
    const float b = v->x * w->z - v->z * w->x;
    const float c = v->x * w->w - v->w * w->x;
    const float d = v->y * w->z - v->z * w->y;
    const float e = v->y * w->w - v->w * w->y;
    const float f = v->z * w->w - v->w * w->z;
    *out = D3DXVECTOR4(f * u->y - e * u->z + d * u->w, -(f * u->x - c * u->z + b * u->w),
                       e * u->x - c * u->y + a * u->w, -(d * u->x - b * u->y + a * u->z));
    return out;
}

}  // namespace valmere::math::portable
