// The adjugate and determinant of a 4 × 4 matrix from 2 × 2 minors: the
// minors of rows 0 and 1 (s) and of rows 2 and 3 (c) give every cofactor;
// the determinant is the expansion along row 0.
#pragma once

#include "math/D3DXMatrix.h"

namespace valmere::math {

struct MatrixCofactors {
    float adjugate[4][4];  // the inverse times the determinant
    float determinant;

    explicit MatrixCofactors(const D3DXMATRIX& m) {
        const float* a = m.m[0];
        const float* b = m.m[1];
        const float* c = m.m[2];
        const float* d = m.m[3];
        const float s0 = a[0] * b[1] - b[0] * a[1], s1 = a[0] * b[2] - b[0] * a[2];
        const float s2 = a[0] * b[3] - b[0] * a[3], s3 = a[1] * b[2] - b[1] * a[2];
        const float s4 = a[1] * b[3] - b[1] * a[3], s5 = a[2] * b[3] - b[2] * a[3];
        const float c0 = c[0] * d[1] - d[0] * c[1], c1 = c[0] * d[2] - d[0] * c[2];
        const float c2 = c[0] * d[3] - d[0] * c[3], c3 = c[1] * d[2] - d[1] * c[2];
        const float c4 = c[1] * d[3] - d[1] * c[3], c5 = c[2] * d[3] - d[2] * c[3];
        const float rows[4][4] = {
            {b[1] * c5 - b[2] * c4 + b[3] * c3, -a[1] * c5 + a[2] * c4 - a[3] * c3,
             d[1] * s5 - d[2] * s4 + d[3] * s3, -c[1] * s5 + c[2] * s4 - c[3] * s3},
            {-b[0] * c5 + b[2] * c2 - b[3] * c1, a[0] * c5 - a[2] * c2 + a[3] * c1,
             -d[0] * s5 + d[2] * s2 - d[3] * s1, c[0] * s5 - c[2] * s2 + c[3] * s1},
            {b[0] * c4 - b[1] * c2 + b[3] * c0, -a[0] * c4 + a[1] * c2 - a[3] * c0,
             d[0] * s4 - d[1] * s2 + d[3] * s0, -c[0] * s4 + c[1] * s2 - c[3] * s0},
            {-b[0] * c3 + b[1] * c1 - b[2] * c0, a[0] * c3 - a[1] * c1 + a[2] * c0,
             -d[0] * s3 + d[1] * s1 - d[2] * s0, c[0] * s3 - c[1] * s1 + c[2] * s0}};
        for (int i = 0; i < 4; ++i) {
            for (int j = 0; j < 4; ++j) adjugate[i][j] = rows[i][j];
        }
        // Row 0 of M times column 0 of the adjugate: the cofactors of row 0.
        determinant = a[0] * adjugate[0][0] + a[1] * adjugate[1][0] + a[2] * adjugate[2][0] + a[3] * adjugate[3][0];
    }
};

}  // namespace valmere::math
