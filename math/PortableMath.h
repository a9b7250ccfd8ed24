// The portable implementations of the 57 dispatched operations, one per
// slot of MathDispatchTable, with the signatures of their public entries
// (documented in math/D3DXMath.h).
#pragma once

#include "math/D3DXMath.h"

namespace valmere::math::portable {

D3DXVECTOR4* Vec2Transform(D3DXVECTOR4* out, const D3DXVECTOR2* v, const D3DXMATRIX* m);
D3DXVECTOR4* Vec3Transform(D3DXVECTOR4* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);
D3DXVECTOR4* Vec4Transform(D3DXVECTOR4* out, const D3DXVECTOR4* v, const D3DXMATRIX* m);
D3DXMATRIX* MatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b);
D3DXMATRIX* MatrixMultiplyTranspose(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b);
D3DXVECTOR2* Vec2TransformNormal(D3DXVECTOR2* out, const D3DXVECTOR2* v, const D3DXMATRIX* m);
D3DXVECTOR3* Vec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);
D3DXVECTOR3* Vec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v);
D3DXVECTOR4* Vec4Normalize(D3DXVECTOR4* out, const D3DXVECTOR4* v);
D3DXVECTOR2* Vec2TransformCoord(D3DXVECTOR2* out, const D3DXVECTOR2* v, const D3DXMATRIX* m);
D3DXVECTOR3* Vec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m);
float MatrixfDeterminant(const D3DXMATRIX* m);
D3DXPLANE* PlaneFromPointNormal(D3DXPLANE* out, const D3DXVECTOR3* point, const D3DXVECTOR3* normal);
D3DXPLANE* PlaneFromPoints(D3DXPLANE* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b, const D3DXVECTOR3* c);
D3DXVECTOR3* Vec3Project(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DVIEWPORT8* viewport,
                         const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world);
D3DXVECTOR3* Vec3Unproject(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DVIEWPORT8* viewport,
                           const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world);
D3DXVECTOR4* Vec4Cross(D3DXVECTOR4* out, const D3DXVECTOR4* u, const D3DXVECTOR4* v, const D3DXVECTOR4* w);
D3DXVECTOR2* Vec2Hermite(D3DXVECTOR2* out, const D3DXVECTOR2* p1, const D3DXVECTOR2* t1, const D3DXVECTOR2* p2,
                         const D3DXVECTOR2* t2, float s);
D3DXMATRIX* MatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* m);
D3DXQUATERNION* QuaternionMultiply(D3DXQUATERNION* out, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2);
D3DXQUATERNION* QuaternionNormalize(D3DXQUATERNION* out, const D3DXQUATERNION* q);
D3DXPLANE* PlaneNormalize(D3DXPLANE* out, const D3DXPLANE* p);
D3DXVECTOR3* PlaneIntersectLine(D3DXVECTOR3* out, const D3DXPLANE* p, const D3DXVECTOR3* a, const D3DXVECTOR3* b);
void QuaternionToAxisAngle(const D3DXQUATERNION* q, D3DXVECTOR3* axis, float* angle);
D3DXQUATERNION* QuaternionRotationMatrix(D3DXQUATERNION* out, const D3DXMATRIX* m);
D3DXQUATERNION* QuaternionRotationYawPitchRoll(D3DXQUATERNION* out, float yaw, float pitch, float roll);
D3DXMATRIX* MatrixTranslation(D3DXMATRIX* out, float x, float y, float z);
D3DXMATRIX* MatrixShadow(D3DXMATRIX* out, const D3DXVECTOR4* light, const D3DXPLANE* plane);
D3DXMATRIX* MatrixReflect(D3DXMATRIX* out, const D3DXPLANE* plane);
D3DXQUATERNION* QuaternionRotationAxis(D3DXQUATERNION* out, const D3DXVECTOR3* axis, float angle);
D3DXMATRIX* MatrixRotationX(D3DXMATRIX* out, float angle);
D3DXMATRIX* MatrixRotationY(D3DXMATRIX* out, float angle);
D3DXMATRIX* MatrixRotationZ(D3DXMATRIX* out, float angle);
D3DXMATRIX* MatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz);
D3DXPLANE* PlaneTransform(D3DXPLANE* out, const D3DXPLANE* p, const D3DXMATRIX* m);
D3DXQUATERNION* QuaternionSlerp(D3DXQUATERNION* out, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2, float t);
D3DXQUATERNION* QuaternionBaryCentric(D3DXQUATERNION* out, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2,
                                      const D3DXQUATERNION* q3, float f, float g);
D3DXMATRIX* MatrixTranspose(D3DXMATRIX* out, const D3DXMATRIX* m);
D3DXMATRIX* MatrixRotationQuaternion(D3DXMATRIX* out, const D3DXQUATERNION* q);
D3DXMATRIX* MatrixTransformation(D3DXMATRIX* out, const D3DXVECTOR3* scalingCenter,
                                 const D3DXQUATERNION* scalingRotation, const D3DXVECTOR3* scaling,
                                 const D3DXVECTOR3* rotationCenter, const D3DXQUATERNION* rotation,
                                 const D3DXVECTOR3* translation);
D3DXMATRIX* MatrixRotationYawPitchRoll(D3DXMATRIX* out, float yaw, float pitch, float roll);
D3DXMATRIX* MatrixAffineTransformation(D3DXMATRIX* out, float scaling, const D3DXVECTOR3* rotationCenter,
                                       const D3DXQUATERNION* rotation, const D3DXVECTOR3* translation);
D3DXMATRIX* MatrixRotationAxis(D3DXMATRIX* out, const D3DXVECTOR3* axis, float angle);
D3DXQUATERNION* QuaternionSquad(D3DXQUATERNION* out, const D3DXQUATERNION* q1, const D3DXQUATERNION* a,
                                const D3DXQUATERNION* b, const D3DXQUATERNION* c, float t);
D3DXQUATERNION* QuaternionInverse(D3DXQUATERNION* out, const D3DXQUATERNION* q);
void QuaternionSquadSetup(D3DXQUATERNION* outA, D3DXQUATERNION* outB, D3DXQUATERNION* outC,
                          const D3DXQUATERNION* q0, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2,
                          const D3DXQUATERNION* q3);
D3DXVECTOR2* Vec2Normalize(D3DXVECTOR2* out, const D3DXVECTOR2* v);
D3DXVECTOR2* Vec2CatmullRom(D3DXVECTOR2* out, const D3DXVECTOR2* p0, const D3DXVECTOR2* p1, const D3DXVECTOR2* p2,
                            const D3DXVECTOR2* p3, float s);
D3DXVECTOR2* Vec2BaryCentric(D3DXVECTOR2* out, const D3DXVECTOR2* p1, const D3DXVECTOR2* p2,
                             const D3DXVECTOR2* p3, float f, float g);
D3DXVECTOR3* Vec3Hermite(D3DXVECTOR3* out, const D3DXVECTOR3* p1, const D3DXVECTOR3* t1, const D3DXVECTOR3* p2,
                         const D3DXVECTOR3* t2, float s);
D3DXVECTOR3* Vec3CatmullRom(D3DXVECTOR3* out, const D3DXVECTOR3* p0, const D3DXVECTOR3* p1, const D3DXVECTOR3* p2,
                            const D3DXVECTOR3* p3, float s);
D3DXVECTOR3* Vec3BaryCentric(D3DXVECTOR3* out, const D3DXVECTOR3* p1, const D3DXVECTOR3* p2,
                             const D3DXVECTOR3* p3, float f, float g);
D3DXVECTOR4* Vec4Hermite(D3DXVECTOR4* out, const D3DXVECTOR4* p1, const D3DXVECTOR4* t1, const D3DXVECTOR4* p2,
                         const D3DXVECTOR4* t2, float s);
D3DXVECTOR4* Vec4CatmullRom(D3DXVECTOR4* out, const D3DXVECTOR4* p0, const D3DXVECTOR4* p1, const D3DXVECTOR4* p2,
                            const D3DXVECTOR4* p3, float s);
D3DXVECTOR4* Vec4BaryCentric(D3DXVECTOR4* out, const D3DXVECTOR4* p1, const D3DXVECTOR4* p2,
                             const D3DXVECTOR4* p3, float f, float g);
D3DXQUATERNION* QuaternionLn(D3DXQUATERNION* out, const D3DXQUATERNION* q);
D3DXQUATERNION* QuaternionExp(D3DXQUATERNION* out, const D3DXQUATERNION* q);

}  // namespace valmere::math::portable
