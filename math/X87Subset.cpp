// The x87 subset (slots 0 to 7): the transforms keep their sums in double,
// as the FPU stack keeps them in extended precision, and round once on the
// store; Vec3Normalize scales by the piecewise-linear 1/√q of InvSqrtTable.
// Its zero test covers q = 0 and the denormal q below 2⁻¹²⁶, for which the
// table's exponent trick gives nonsense.
#include <cmath>

#include "math/InvSqrtTable.h"
#include "math/MathDispatch.h"
#include "math/MathTolerances.h"
#include "math/TransformKernels.h"

namespace valmere::math {
namespace {

// |q − 1| up to this counts as unit length for the x87 normalisation.
constexpr float kX87UnitTolerance = 9.9999997e-6f;

D3DXVECTOR3* Vec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v) {
    const float q = v->x * v->x + v->y * v->y + v->z * v->z;
    // A denormal q has no exponent for the table's power of two to restore;
    // it is as good as zero.
    if (q < kTinyLengthSq) {
        *out = D3DXVECTOR3(0, 0, 0);
    } else if (std::fabs(q - 1.0f) <= kX87UnitTolerance) {
        if (out != v) *out = *v;
    } else {
        const float r = TableInvSqrt(q);
        *out = D3DXVECTOR3(v->x * r, v->y * r, v->z * r);
    }
    return out;
}

}  // namespace

void InstallX87Subset(MathFunctionTable& table) {
    using X87 = RowTransforms<double>;
    std::get<kVec2Transform>(table) = &X87::Vec2Transform;
    std::get<kVec3Transform>(table) = &X87::Vec3Transform;
    std::get<kVec4Transform>(table) = &X87::Vec4Transform;
    std::get<kMatrixMultiply>(table) = &X87::MatrixMultiply;
    std::get<kMatrixMultiplyTranspose>(table) = &X87::MatrixMultiplyTranspose;
    std::get<kVec2TransformNormal>(table) = &X87::Vec2TransformNormal;
    std::get<kVec3TransformNormal>(table) = &X87::Vec3TransformNormal;
    std::get<kVec3Normalize>(table) = &Vec3Normalize;
}

}  // namespace valmere::math
