// Portable matrix operations.
#include <cmath>

#include "math/MatrixCofactors.h"
#include "math/PortableMath.h"
#include "math/TransformKernels.h"

namespace valmere::math::portable {
namespace {

D3DXMATRIX Rotation(float c, float s, int axis) {
    // The two coordinates that turn: (1, 2) about x, (2, 0) about y, (0, 1)
    // about z; row i gains +s in column j and row j gains −s in column i.
    const int i = (axis + 1) % 3;
    const int j = (axis + 2) % 3;
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    m.m[i][i] = c;
    m.m[j][j] = c;
    m.m[i][j] = s;
    m.m[j][i] = -s;
    return m;
}

void AddToTranslation(D3DXMATRIX& m, const D3DXVECTOR3& v, float sign) {
    m.m[3][0] += sign * v.x;
    m.m[3][1] += sign * v.y;
    m.m[3][2] += sign * v.z;
}

// The common tail of the transformation builders: m, then the rotation about
// the centre, then the translation; null parts are left out.
D3DXMATRIX* RotateAndTranslate(D3DXMATRIX* out, D3DXMATRIX m, const D3DXVECTOR3* rotationCenter,
                               const D3DXQUATERNION* rotation, const D3DXVECTOR3* translation) {
    if (rotation) {
        if (rotationCenter) AddToTranslation(m, *rotationCenter, -1.0f);
        D3DXMATRIX turn;
        D3DXMatrixRotationQuaternion(&turn, rotation);
        D3DXMatrixMultiply(&m, &m, &turn);
        if (rotationCenter) AddToTranslation(m, *rotationCenter, 1.0f);
    }
    if (translation) AddToTranslation(m, *translation, 1.0f);
    *out = m;
    return out;
}

}  // namespace

D3DXMATRIX* MatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b) {
    return RowTransforms<float>::MatrixMultiply(out, a, b);
}
D3DXMATRIX* MatrixMultiplyTranspose(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b) {
    return RowTransforms<float>::MatrixMultiplyTranspose(out, a, b);
}

D3DXMATRIX* MatrixTranspose(D3DXMATRIX* out, const D3DXMATRIX* m) {
    const D3DXMATRIX source = *m;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) out->m[i][j] = source.m[j][i];
    }
    return out;
}

float MatrixfDeterminant(const D3DXMATRIX* m) { return MatrixCofactors(*m).determinant; }

D3DXMATRIX* MatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* m) {
    const MatrixCofactors cofactors(*m);
    if (determinant) *determinant = cofactors.determinant;
    const float r = 1.0f / cofactors.determinant;
    if (!std::isfinite(r)) return nullptr;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) out->m[i][j] = cofactors.adjugate[i][j] * r;
    }
    return out;
}

D3DXMATRIX* MatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz) {
    *out = D3DXMATRIX(sx, 0, 0, 0, 0, sy, 0, 0, 0, 0, sz, 0, 0, 0, 0, 1);
    return out;
}
D3DXMATRIX* MatrixTranslation(D3DXMATRIX* out, float x, float y, float z) {
    *out = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1);
    return out;
}
D3DXMATRIX* MatrixRotationX(D3DXMATRIX* out, float angle) {
    *out = Rotation(std::cos(angle), std::sin(angle), 0);
    return out;
}
D3DXMATRIX* MatrixRotationY(D3DXMATRIX* out, float angle) {
    *out = Rotation(std::cos(angle), std::sin(angle), 1);
    return out;
}
D3DXMATRIX* MatrixRotationZ(D3DXMATRIX* out, float angle) {
    *out = Rotation(std::cos(angle), std::sin(angle), 2);
    return out;
}

D3DXMATRIX* MatrixRotationAxis(D3DXMATRIX* out, const D3DXVECTOR3* axis, float angle) {
    D3DXVECTOR3 n;
    D3DXVec3Normalize(&n, axis);
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const float t = 1.0f - c;
    *out = D3DXMATRIX(t * n.x * n.x + c, t * n.x * n.y + s * n.z, t * n.x * n.z - s * n.y, 0,
                      t * n.x * n.y - s * n.z, t * n.y * n.y + c, t * n.y * n.z + s * n.x, 0,
                      t * n.x * n.z + s * n.y, t * n.y * n.z - s * n.x, t * n.z * n.z + c, 0,
                      0, 0, 0, 1);
    return out;
}

D3DXMATRIX* MatrixRotationQuaternion(D3DXMATRIX* out, const D3DXQUATERNION* q) {
    const float x = q->x, y = q->y, z = q->z, w = q->w;
    *out = D3DXMATRIX(1 - 2 * y * y - 2 * z * z, 2 * x * y + 2 * z * w, 2 * x * z - 2 * y * w, 0,
                      2 * x * y - 2 * z * w, 1 - 2 * x * x - 2 * z * z, 2 * y * z + 2 * x * w, 0,
                      2 * x * z + 2 * y * w, 2 * y * z - 2 * x * w, 1 - 2 * x * x - 2 * y * y, 0,
                      0, 0, 0, 1);
    return out;
}

D3DXMATRIX* MatrixRotationYawPitchRoll(D3DXMATRIX* out, float yaw, float pitch, float roll) {
    D3DXQUATERNION q;
    D3DXQuaternionRotationYawPitchRoll(&q, yaw, pitch, roll);
    return D3DXMatrixRotationQuaternion(out, &q);
}

// M = Tsc⁻¹ · Rsr⁻¹ · S · Rsr · Tsc · Trc⁻¹ · R · Trc · T. Every factor is
// affine, so the translations only add to row 3; the inverse of a rotation
// matrix is its transpose.
D3DXMATRIX* MatrixTransformation(D3DXMATRIX* out, const D3DXVECTOR3* scalingCenter,
                                 const D3DXQUATERNION* scalingRotation, const D3DXVECTOR3* scaling,
                                 const D3DXVECTOR3* rotationCenter, const D3DXQUATERNION* rotation,
                                 const D3DXVECTOR3* translation) {
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    if (scaling) {
        if (scalingCenter) AddToTranslation(m, *scalingCenter, -1.0f);
        D3DXMATRIX turn;
        if (scalingRotation) {
            D3DXMatrixRotationQuaternion(&turn, scalingRotation);
            D3DXMATRIX back;
            D3DXMatrixTranspose(&back, &turn);
            D3DXMatrixMultiply(&m, &m, &back);
        }
        D3DXMATRIX scale;
        D3DXMatrixScaling(&scale, scaling->x, scaling->y, scaling->z);
        D3DXMatrixMultiply(&m, &m, &scale);
        if (scalingRotation) D3DXMatrixMultiply(&m, &m, &turn);
        if (scalingCenter) AddToTranslation(m, *scalingCenter, 1.0f);
    }
    return RotateAndTranslate(out, m, rotationCenter, rotation, translation);
}

D3DXMATRIX* MatrixAffineTransformation(D3DXMATRIX* out, float scaling, const D3DXVECTOR3* rotationCenter,
                                       const D3DXQUATERNION* rotation, const D3DXVECTOR3* translation) {
    D3DXMATRIX m;
    D3DXMatrixScaling(&m, scaling, scaling, scaling);
    return RotateAndTranslate(out, m, rotationCenter, rotation, translation);
}

D3DXMATRIX* MatrixShadow(D3DXMATRIX* out, const D3DXVECTOR4* light, const D3DXPLANE* plane) {
    D3DXPLANE p;
    D3DXPlaneNormalize(&p, plane);
    const float l[4] = {light->x, light->y, light->z, light->w};
    const float n[4] = {p.a, p.b, p.c, p.d};
    const float d = n[0] * l[0] + n[1] * l[1] + n[2] * l[2] + n[3] * l[3];
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) out->m[i][j] = (i == j ? d : 0.0f) - l[j] * n[i];
    }
    return out;
}

D3DXMATRIX* MatrixReflect(D3DXMATRIX* out, const D3DXPLANE* plane) {
    D3DXPLANE p;
    D3DXPlaneNormalize(&p, plane);
    const float n[3] = {p.a, p.b, p.c};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) out->m[i][j] = (i == j ? 1.0f : 0.0f) - 2.0f * n[i] * n[j];
        out->m[i][3] = 0.0f;
        out->m[3][i] = -2.0f * p.d * n[i];
    }
    out->m[3][3] = 1.0f;
    return out;
}

}  // namespace valmere::math::portable
