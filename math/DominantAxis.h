// The rotation-matrix-to-quaternion step shared by the portable and SSE
// code when the trace is not positive: the axis whose diagonal term
// dominates (the first on ties) and the next two axes cyclically.
#pragma once

#include "math/D3DXMatrix.h"

namespace valmere::math {

struct DominantAxis {
    int i, j, k;
    float value;  // M[i][i] − M[j][j] − M[k][k]
};

inline DominantAxis FindDominantAxis(const D3DXMATRIX& matrix) {
    const auto& m = matrix.m;
    const float candidates[3] = {m[0][0] - m[1][1] - m[2][2], m[1][1] - m[0][0] - m[2][2],
                                 m[2][2] - m[0][0] - m[1][1]};
    int i = 0;
    if (candidates[1] > candidates[i]) i = 1;
    if (candidates[2] > candidates[i]) i = 2;
    return {i, (i + 1) % 3, (i + 2) % 3, candidates[i]};
}

}  // namespace valmere::math
