// Row-vector products shared by the portable set and the x87 subset. Acc is
// the type the sums are kept in: float for the portable code, double for the
// x87 subset, whose FPU stack keeps sums in extended precision and rounds
// once when storing.
#pragma once

#include "math/D3DXMatrix.h"
#include "math/D3DXVector.h"
#include "math/MathTolerances.h"

namespace valmere::math {

// (x, y, z, w) · M into result[0..3].
template <typename Acc>
inline void TransformRow(float* result, float x, float y, float z, float w, const D3DXMATRIX& m) {
    float r[4];
    for (int j = 0; j < 4; ++j) {
        r[j] = static_cast<float>(Acc(x) * m.m[0][j] + Acc(y) * m.m[1][j] + Acc(z) * m.m[2][j] +
                                  Acc(w) * m.m[3][j]);
    }
    for (int j = 0; j < 4; ++j) result[j] = r[j];
}

// A·B, or its transpose; out may be a or b.
template <typename Acc>
inline void MultiplyMatrices(D3DXMATRIX& out, const D3DXMATRIX& a, const D3DXMATRIX& b, bool transpose) {
    D3DXMATRIX product;
    for (int i = 0; i < 4; ++i) {
        float row[4];
        TransformRow<Acc>(row, a.m[i][0], a.m[i][1], a.m[i][2], a.m[i][3], b);
        for (int j = 0; j < 4; ++j) (transpose ? product.m[j][i] : product.m[i][j]) = row[j];
    }
    out = product;
}

// TransformCoord: (x, y, z, 1) · M, divided by w′ unless w′ is near 1.
// Writes `count` components.
template <typename Acc>
inline void TransformCoordinate(float* out, float x, float y, float z, const D3DXMATRIX& m, int count) {
    float r[4];
    TransformRow<Acc>(r, x, y, z, 1.0f, m);
    const bool divide = !IsNear(r[3], 1.0f);
    for (int i = 0; i < count; ++i) out[i] = divide ? r[i] / r[3] : r[i];
}

// The transforms and products of slots 0 to 6 with sums kept in Acc.
template <typename Acc>
struct RowTransforms {
    static D3DXVECTOR4* Vec2Transform(D3DXVECTOR4* out, const D3DXVECTOR2* v, const D3DXMATRIX* m) {
        TransformRow<Acc>(out->Data(), v->x, v->y, 0.0f, 1.0f, *m);
        return out;
    }
    static D3DXVECTOR4* Vec3Transform(D3DXVECTOR4* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
        TransformRow<Acc>(out->Data(), v->x, v->y, v->z, 1.0f, *m);
        return out;
    }
    static D3DXVECTOR4* Vec4Transform(D3DXVECTOR4* out, const D3DXVECTOR4* v, const D3DXMATRIX* m) {
        TransformRow<Acc>(out->Data(), v->x, v->y, v->z, v->w, *m);
        return out;
    }
    static D3DXVECTOR2* Vec2TransformNormal(D3DXVECTOR2* out, const D3DXVECTOR2* v, const D3DXMATRIX* m) {
        float r[4];
        TransformRow<Acc>(r, v->x, v->y, 0.0f, 0.0f, *m);
        *out = D3DXVECTOR2(r[0], r[1]);
        return out;
    }
    static D3DXVECTOR3* Vec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
        float r[4];
        TransformRow<Acc>(r, v->x, v->y, v->z, 0.0f, *m);
        *out = D3DXVECTOR3(r[0], r[1], r[2]);
        return out;
    }
    static D3DXMATRIX* MatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b) {
        MultiplyMatrices<Acc>(*out, *a, *b, false);
        return out;
    }
    static D3DXMATRIX* MatrixMultiplyTranspose(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b) {
        MultiplyMatrices<Acc>(*out, *a, *b, true);
        return out;
    }
};

}  // namespace valmere::math
