// Portable quaternion operations.
#include <cmath>

#include "math/DominantAxis.h"
#include "math/MathDispatch.h"
#include "math/MathTolerances.h"
#include "math/PortableMath.h"

namespace valmere::math::portable {
namespace {

// 2⁻⁶³: below this squared length a quaternion has no usable inverse.
constexpr float kInverseThreshold = 1.0842022e-19f;

// Ln and Exp jump through slots 55 and 56 directly; before any selection
// those slots are empty, so the portable code stands in.
template <std::size_t S>
SlotFunction<S> SlotOrPortable() {
    const SlotFunction<S> f = LoadSlot<S>();
    return f ? f : std::get<S>(PortableMathTable);
}

// Negates q when it lies farther from the reference than its negation does,
// so that both lie in the same hemisphere.
void BringCloser(const D3DXQUATERNION& reference, D3DXQUATERNION& q) {
    const D3DXQUATERNION difference = reference - q;
    const D3DXQUATERNION sum = reference + q;
    if (D3DXQuaternionLengthSq(&difference) > D3DXQuaternionLengthSq(&sum)) q = -q;
}

// The control point at q between its neighbours: q·Exp(−¼·(Ln(q⁻¹·prev) + Ln(q⁻¹·next))).
D3DXQUATERNION SquadControl(const D3DXQUATERNION& q, const D3DXQUATERNION& previous, const D3DXQUATERNION& next) {
    const auto ln = SlotOrPortable<kQuaternionLn>();
    const auto exp = SlotOrPortable<kQuaternionExp>();
    D3DXQUATERNION inverse, toPrevious, toNext, lnPrevious, lnNext;
    D3DXQuaternionInverse(&inverse, &q);
    // Mul(a, b) is "a, then b": the Hamilton product b·a.
    D3DXQuaternionMultiply(&toPrevious, &inverse, &previous);
    D3DXQuaternionMultiply(&toNext, &inverse, &next);
    ln(&lnPrevious, &toPrevious);
    ln(&lnNext, &toNext);
    const D3DXQUATERNION tangent = (lnPrevious + lnNext) * -0.25f;
    D3DXQUATERNION e, result;
    exp(&e, &tangent);
    D3DXQuaternionMultiply(&result, &q, &e);
    return result;
}

}  // namespace

D3DXQUATERNION* QuaternionMultiply(D3DXQUATERNION* out, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2) {
    const D3DXQUATERNION a = *q1;
    const D3DXQUATERNION b = *q2;
    // b·a: (b.w·a.v + a.w·b.v + b.v × a.v, b.w·a.w − b.v·a.v)
    *out = D3DXQUATERNION(b.w * a.x + a.w * b.x + (b.y * a.z - b.z * a.y),
                          b.w * a.y + a.w * b.y + (b.z * a.x - b.x * a.z),
                          b.w * a.z + a.w * b.z + (b.x * a.y - b.y * a.x),
                          b.w * a.w - (b.x * a.x + b.y * a.y + b.z * a.z));
    return out;
}

D3DXQUATERNION* QuaternionNormalize(D3DXQUATERNION* out, const D3DXQUATERNION* q) {
    NormalizeComponents(out->Data(), q->Data(), 4, 4);
    return out;
}

D3DXQUATERNION* QuaternionInverse(D3DXQUATERNION* out, const D3DXQUATERNION* q) {
    const float n = D3DXQuaternionLengthSq(q);
    if (!(n > kInverseThreshold)) {
        *out = D3DXQUATERNION(0, 0, 0, 0);
        return out;
    }
    D3DXQUATERNION conjugate;
    D3DXQuaternionConjugate(&conjugate, q);
    *out = IsNear(n, 1.0f) ? conjugate : conjugate * (1.0f / n);
    return out;
}

void QuaternionToAxisAngle(const D3DXQUATERNION* q, D3DXVECTOR3* axis, float* angle) {
    const float lengthSq = D3DXQuaternionLengthSq(q);
    const bool usable = lengthSq > kTinyLengthSq;
    if (axis) {
        if (usable) {
            const float r = 1.0f / std::sqrt(lengthSq);
            *axis = D3DXVECTOR3(q->x * r, q->y * r, q->z * r);
        } else {
            *axis = D3DXVECTOR3(1, 0, 0);
        }
    }
    if (angle) *angle = usable ? 2.0f * std::acos(q->w) : 0.0f;
}

D3DXQUATERNION* QuaternionRotationMatrix(D3DXQUATERNION* out, const D3DXMATRIX* matrix) {
    const auto& m = matrix->m;
    const float trace = m[0][0] + m[1][1] + m[2][2];
    D3DXQUATERNION q;
    if (trace > 0.0f) {
        q.w = std::sqrt(trace + 1.0f) * 0.5f;
        const float f = 0.25f / q.w;
        q.x = (m[1][2] - m[2][1]) * f;
        q.y = (m[2][0] - m[0][2]) * f;
        q.z = (m[0][1] - m[1][0]) * f;
    } else {
        const auto [i, j, k, value] = FindDominantAxis(*matrix);
        float* v = q.Data();
        v[i] = std::sqrt(value + 1.0f) * 0.5f;
        const float f = 0.25f / v[i];
        v[j] = (m[i][j] + m[j][i]) * f;
        v[k] = (m[i][k] + m[k][i]) * f;
        q.w = (m[j][k] - m[k][j]) * f;
    }
    *out = q;
    return out;
}

D3DXQUATERNION* QuaternionRotationAxis(D3DXQUATERNION* out, const D3DXVECTOR3* axis, float angle) {
    D3DXVECTOR3 n;
    D3DXVec3Normalize(&n, axis);
    const float s = std::sin(angle * 0.5f);
    *out = D3DXQUATERNION(s * n.x, s * n.y, s * n.z, std::cos(angle * 0.5f));
    return out;
}

D3DXQUATERNION* QuaternionRotationYawPitchRoll(D3DXQUATERNION* out, float yaw, float pitch, float roll) {
    const float cy = std::cos(yaw * 0.5f), sy = std::sin(yaw * 0.5f);
    const float cp = std::cos(pitch * 0.5f), sp = std::sin(pitch * 0.5f);
    const float cr = std::cos(roll * 0.5f), sr = std::sin(roll * 0.5f);
    *out = D3DXQUATERNION(cy * sp * cr + sy * cp * sr, sy * cp * cr - cy * sp * sr, cy * cp * sr - sy * sp * cr,
                          cy * cp * cr + sy * sp * sr);
    return out;
}

D3DXQUATERNION* QuaternionLn(D3DXQUATERNION* out, const D3DXQUATERNION* q) {
    float scale = 1.0f;
    if (q->w < 1.0f) {
        const float theta = std::acos(q->w);
        const float s = std::sin(theta);
        if (std::fabs(s) > kNearTolerance) scale = theta / s;
    }
    *out = D3DXQUATERNION(q->x * scale, q->y * scale, q->z * scale, 0.0f);
    return out;
}

D3DXQUATERNION* QuaternionExp(D3DXQUATERNION* out, const D3DXQUATERNION* q) {
    const float theta = std::sqrt(q->x * q->x + q->y * q->y + q->z * q->z);
    const float s = std::sin(theta);
    const float scale = std::fabs(s) > kNearTolerance ? s / theta : 1.0f;
    *out = D3DXQUATERNION(q->x * scale, q->y * scale, q->z * scale, std::cos(theta));
    return out;
}

D3DXQUATERNION* QuaternionSlerp(D3DXQUATERNION* out, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2, float t) {
    const float dot = D3DXQuaternionDot(q1, q2);
    const float sign = dot >= 0.0f ? 1.0f : -1.0f;
    const float c = sign * dot;
    float k1 = 1.0f - t;
    float k2 = t;
    if (1.0f - c > kNearTolerance) {
        const float theta = std::atan2(std::sqrt(1.0f - c * c), c);
        const float s = std::sin(theta);
        k1 = std::sin((1.0f - t) * theta) / s;
        k2 = std::sin(t * theta) / s;
    }
    *out = *q1 * k1 + *q2 * (sign * k2);
    return out;
}

D3DXQUATERNION* QuaternionSquad(D3DXQUATERNION* out, const D3DXQUATERNION* q1, const D3DXQUATERNION* a,
                                const D3DXQUATERNION* b, const D3DXQUATERNION* c, float t) {
    D3DXQUATERNION outer, inner;
    D3DXQuaternionSlerp(&outer, q1, c, t);
    D3DXQuaternionSlerp(&inner, a, b, t);
    return D3DXQuaternionSlerp(out, &outer, &inner, 2.0f * t * (1.0f - t));
}

D3DXQUATERNION* QuaternionBaryCentric(D3DXQUATERNION* out, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2,
                                      const D3DXQUATERNION* q3, float f, float g) {
    const float s = f + g;
    if (IsNear(s, 0.0f)) {
        *out = *q1;
        return out;
    }
    D3DXQUATERNION toSecond, toThird;
    D3DXQuaternionSlerp(&toSecond, q1, q2, s);
    D3DXQuaternionSlerp(&toThird, q1, q3, s);
    return D3DXQuaternionSlerp(out, &toSecond, &toThird, g / s);
}

void QuaternionSquadSetup(D3DXQUATERNION* outA, D3DXQUATERNION* outB, D3DXQUATERNION* outC,
                          const D3DXQUATERNION* q0, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2,
                          const D3DXQUATERNION* q3) {
    D3DXQUATERNION p0 = *q0, p1 = *q1, p2 = *q2, p3 = *q3;
    BringCloser(p1, p0);
    BringCloser(p1, p2);
    BringCloser(p2, p3);
    *outA = SquadControl(p1, p0, p2);
    *outB = SquadControl(p2, p1, p3);
    *outC = p2;
}

}  // namespace valmere::math::portable
