// Portable plane operations.
#include <cmath>

#include "math/MathTolerances.h"
#include "math/PortableMath.h"
#include "math/TransformKernels.h"

namespace valmere::math::portable {

D3DXPLANE* PlaneNormalize(D3DXPLANE* out, const D3DXPLANE* p) {
    NormalizeComponents(out->Data(), p->Data(), 4, 3);
    return out;
}

D3DXPLANE* PlaneFromPointNormal(D3DXPLANE* out, const D3DXVECTOR3* point, const D3DXVECTOR3* normal) {
    *out = D3DXPLANE(normal->x, normal->y, normal->z, -D3DXVec3Dot(normal, point));
    return out;
}

D3DXPLANE* PlaneFromPoints(D3DXPLANE* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b, const D3DXVECTOR3* c) {
    const D3DXVECTOR3 ab = *a - *b;
    const D3DXVECTOR3 ac = *a - *c;
    D3DXVECTOR3 n;
    D3DXVec3Cross(&n, &ab, &ac);
    D3DXVec3Normalize(&n, &n);
    *out = D3DXPLANE(n.x, n.y, n.z, -D3DXVec3Dot(&n, a));
    return out;
}

D3DXVECTOR3* PlaneIntersectLine(D3DXVECTOR3* out, const D3DXPLANE* p, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    const float atA = D3DXPlaneDotNormal(p, a);
    const float denominator = atA - D3DXPlaneDotNormal(p, b);
    if (denominator == 0.0f) return nullptr;
    const float t = (atA + p->d) / denominator;
    if (!std::isfinite(t)) return nullptr;
    *out = *a + (*b - *a) * t;
    return out;
}

D3DXPLANE* PlaneTransform(D3DXPLANE* out, const D3DXPLANE* p, const D3DXMATRIX* m) {
    TransformRow<float>(out->Data(), p->a, p->b, p->c, p->d, *m);
    return out;
}

}  // namespace valmere::math::portable
