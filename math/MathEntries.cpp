// The public entries of the dispatched operations: each jumps through its
// slot of MathDispatchTable. Ln and Exp (slots 55 and 56) start empty, so
// their entries run the selection on every call first.
#include "math/MathDispatch.h"

using namespace valmere::math;

namespace {

template <std::size_t S, typename... A>
auto CallSlot(A... args) {
    return LoadSlot<S>()(args...);
}

}  // namespace

D3DXVECTOR4* D3DXVec2Transform(D3DXVECTOR4* out, const D3DXVECTOR2* v, const D3DXMATRIX* m) {
    return CallSlot<kVec2Transform>(out, v, m);
}
D3DXVECTOR4* D3DXVec3Transform(D3DXVECTOR4* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    return CallSlot<kVec3Transform>(out, v, m);
}
D3DXVECTOR4* D3DXVec4Transform(D3DXVECTOR4* out, const D3DXVECTOR4* v, const D3DXMATRIX* m) {
    return CallSlot<kVec4Transform>(out, v, m);
}
D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b) {
    return CallSlot<kMatrixMultiply>(out, a, b);
}
D3DXMATRIX* D3DXMatrixMultiplyTranspose(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b) {
    return CallSlot<kMatrixMultiplyTranspose>(out, a, b);
}
D3DXVECTOR2* D3DXVec2TransformNormal(D3DXVECTOR2* out, const D3DXVECTOR2* v, const D3DXMATRIX* m) {
    return CallSlot<kVec2TransformNormal>(out, v, m);
}
D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    return CallSlot<kVec3TransformNormal>(out, v, m);
}
D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v) {
    return CallSlot<kVec3Normalize>(out, v);
}
D3DXVECTOR4* D3DXVec4Normalize(D3DXVECTOR4* out, const D3DXVECTOR4* v) {
    return CallSlot<kVec4Normalize>(out, v);
}
D3DXVECTOR2* D3DXVec2TransformCoord(D3DXVECTOR2* out, const D3DXVECTOR2* v, const D3DXMATRIX* m) {
    return CallSlot<kVec2TransformCoord>(out, v, m);
}
D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    return CallSlot<kVec3TransformCoord>(out, v, m);
}
float D3DXMatrixfDeterminant(const D3DXMATRIX* m) {
    return CallSlot<kMatrixfDeterminant>(m);
}
D3DXPLANE* D3DXPlaneFromPointNormal(D3DXPLANE* out, const D3DXVECTOR3* point, const D3DXVECTOR3* normal) {
    return CallSlot<kPlaneFromPointNormal>(out, point, normal);
}
D3DXPLANE* D3DXPlaneFromPoints(D3DXPLANE* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b, const D3DXVECTOR3* c) {
    return CallSlot<kPlaneFromPoints>(out, a, b, c);
}
D3DXVECTOR3* D3DXVec3Project(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DVIEWPORT8* viewport, const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world) {
    return CallSlot<kVec3Project>(out, v, viewport, projection, view, world);
}
D3DXVECTOR3* D3DXVec3Unproject(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DVIEWPORT8* viewport, const D3DXMATRIX* projection, const D3DXMATRIX* view, const D3DXMATRIX* world) {
    return CallSlot<kVec3Unproject>(out, v, viewport, projection, view, world);
}
D3DXVECTOR4* D3DXVec4Cross(D3DXVECTOR4* out, const D3DXVECTOR4* u, const D3DXVECTOR4* v, const D3DXVECTOR4* w) {
    return CallSlot<kVec4Cross>(out, u, v, w);
}
D3DXVECTOR2* D3DXVec2Hermite(D3DXVECTOR2* out, const D3DXVECTOR2* p1, const D3DXVECTOR2* t1, const D3DXVECTOR2* p2, const D3DXVECTOR2* t2, float s) {
    return CallSlot<kVec2Hermite>(out, p1, t1, p2, t2, s);
}
D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* m) {
    return CallSlot<kMatrixInverse>(out, determinant, m);
}
D3DXQUATERNION* D3DXQuaternionMultiply(D3DXQUATERNION* out, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2) {
    return CallSlot<kQuaternionMultiply>(out, q1, q2);
}
D3DXQUATERNION* D3DXQuaternionNormalize(D3DXQUATERNION* out, const D3DXQUATERNION* q) {
    return CallSlot<kQuaternionNormalize>(out, q);
}
D3DXPLANE* D3DXPlaneNormalize(D3DXPLANE* out, const D3DXPLANE* p) {
    return CallSlot<kPlaneNormalize>(out, p);
}
D3DXVECTOR3* D3DXPlaneIntersectLine(D3DXVECTOR3* out, const D3DXPLANE* p, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    return CallSlot<kPlaneIntersectLine>(out, p, a, b);
}
void D3DXQuaternionToAxisAngle(const D3DXQUATERNION* q, D3DXVECTOR3* axis, float* angle) {
    CallSlot<kQuaternionToAxisAngle>(q, axis, angle);
}
D3DXQUATERNION* D3DXQuaternionRotationMatrix(D3DXQUATERNION* out, const D3DXMATRIX* m) {
    return CallSlot<kQuaternionRotationMatrix>(out, m);
}
D3DXQUATERNION* D3DXQuaternionRotationYawPitchRoll(D3DXQUATERNION* out, float yaw, float pitch, float roll) {
    return CallSlot<kQuaternionRotationYawPitchRoll>(out, yaw, pitch, roll);
}
D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z) {
    return CallSlot<kMatrixTranslation>(out, x, y, z);
}
D3DXMATRIX* D3DXMatrixShadow(D3DXMATRIX* out, const D3DXVECTOR4* light, const D3DXPLANE* plane) {
    return CallSlot<kMatrixShadow>(out, light, plane);
}
D3DXMATRIX* D3DXMatrixReflect(D3DXMATRIX* out, const D3DXPLANE* plane) {
    return CallSlot<kMatrixReflect>(out, plane);
}
D3DXQUATERNION* D3DXQuaternionRotationAxis(D3DXQUATERNION* out, const D3DXVECTOR3* axis, float angle) {
    return CallSlot<kQuaternionRotationAxis>(out, axis, angle);
}
D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, float angle) {
    return CallSlot<kMatrixRotationX>(out, angle);
}
D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle) {
    return CallSlot<kMatrixRotationY>(out, angle);
}
D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle) {
    return CallSlot<kMatrixRotationZ>(out, angle);
}
D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz) {
    return CallSlot<kMatrixScaling>(out, sx, sy, sz);
}
D3DXPLANE* D3DXPlaneTransform(D3DXPLANE* out, const D3DXPLANE* p, const D3DXMATRIX* m) {
    return CallSlot<kPlaneTransform>(out, p, m);
}
D3DXQUATERNION* D3DXQuaternionSlerp(D3DXQUATERNION* out, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2, float t) {
    return CallSlot<kQuaternionSlerp>(out, q1, q2, t);
}
D3DXQUATERNION* D3DXQuaternionBaryCentric(D3DXQUATERNION* out, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2, const D3DXQUATERNION* q3, float f, float g) {
    return CallSlot<kQuaternionBaryCentric>(out, q1, q2, q3, f, g);
}
D3DXMATRIX* D3DXMatrixTranspose(D3DXMATRIX* out, const D3DXMATRIX* m) {
    return CallSlot<kMatrixTranspose>(out, m);
}
D3DXMATRIX* D3DXMatrixRotationQuaternion(D3DXMATRIX* out, const D3DXQUATERNION* q) {
    return CallSlot<kMatrixRotationQuaternion>(out, q);
}
D3DXMATRIX* D3DXMatrixTransformation(D3DXMATRIX* out, const D3DXVECTOR3* scalingCenter, const D3DXQUATERNION* scalingRotation, const D3DXVECTOR3* scaling, const D3DXVECTOR3* rotationCenter, const D3DXQUATERNION* rotation, const D3DXVECTOR3* translation) {
    return CallSlot<kMatrixTransformation>(out, scalingCenter, scalingRotation, scaling, rotationCenter, rotation, translation);
}
D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* out, float yaw, float pitch, float roll) {
    return CallSlot<kMatrixRotationYawPitchRoll>(out, yaw, pitch, roll);
}
D3DXMATRIX* D3DXMatrixAffineTransformation(D3DXMATRIX* out, float scaling, const D3DXVECTOR3* rotationCenter, const D3DXQUATERNION* rotation, const D3DXVECTOR3* translation) {
    return CallSlot<kMatrixAffineTransformation>(out, scaling, rotationCenter, rotation, translation);
}
D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* out, const D3DXVECTOR3* axis, float angle) {
    return CallSlot<kMatrixRotationAxis>(out, axis, angle);
}
D3DXQUATERNION* D3DXQuaternionSquad(D3DXQUATERNION* out, const D3DXQUATERNION* q1, const D3DXQUATERNION* a, const D3DXQUATERNION* b, const D3DXQUATERNION* c, float t) {
    return CallSlot<kQuaternionSquad>(out, q1, a, b, c, t);
}
D3DXQUATERNION* D3DXQuaternionInverse(D3DXQUATERNION* out, const D3DXQUATERNION* q) {
    return CallSlot<kQuaternionInverse>(out, q);
}
void D3DXQuaternionSquadSetup(D3DXQUATERNION* outA, D3DXQUATERNION* outB, D3DXQUATERNION* outC, const D3DXQUATERNION* q0, const D3DXQUATERNION* q1, const D3DXQUATERNION* q2, const D3DXQUATERNION* q3) {
    CallSlot<kQuaternionSquadSetup>(outA, outB, outC, q0, q1, q2, q3);
}
D3DXVECTOR2* D3DXVec2Normalize(D3DXVECTOR2* out, const D3DXVECTOR2* v) {
    return CallSlot<kVec2Normalize>(out, v);
}
D3DXVECTOR2* D3DXVec2CatmullRom(D3DXVECTOR2* out, const D3DXVECTOR2* p0, const D3DXVECTOR2* p1, const D3DXVECTOR2* p2, const D3DXVECTOR2* p3, float s) {
    return CallSlot<kVec2CatmullRom>(out, p0, p1, p2, p3, s);
}
D3DXVECTOR2* D3DXVec2BaryCentric(D3DXVECTOR2* out, const D3DXVECTOR2* p1, const D3DXVECTOR2* p2, const D3DXVECTOR2* p3, float f, float g) {
    return CallSlot<kVec2BaryCentric>(out, p1, p2, p3, f, g);
}
D3DXVECTOR3* D3DXVec3Hermite(D3DXVECTOR3* out, const D3DXVECTOR3* p1, const D3DXVECTOR3* t1, const D3DXVECTOR3* p2, const D3DXVECTOR3* t2, float s) {
    return CallSlot<kVec3Hermite>(out, p1, t1, p2, t2, s);
}
D3DXVECTOR3* D3DXVec3CatmullRom(D3DXVECTOR3* out, const D3DXVECTOR3* p0, const D3DXVECTOR3* p1, const D3DXVECTOR3* p2, const D3DXVECTOR3* p3, float s) {
    return CallSlot<kVec3CatmullRom>(out, p0, p1, p2, p3, s);
}
D3DXVECTOR3* D3DXVec3BaryCentric(D3DXVECTOR3* out, const D3DXVECTOR3* p1, const D3DXVECTOR3* p2, const D3DXVECTOR3* p3, float f, float g) {
    return CallSlot<kVec3BaryCentric>(out, p1, p2, p3, f, g);
}
D3DXVECTOR4* D3DXVec4Hermite(D3DXVECTOR4* out, const D3DXVECTOR4* p1, const D3DXVECTOR4* t1, const D3DXVECTOR4* p2, const D3DXVECTOR4* t2, float s) {
    return CallSlot<kVec4Hermite>(out, p1, t1, p2, t2, s);
}
D3DXVECTOR4* D3DXVec4CatmullRom(D3DXVECTOR4* out, const D3DXVECTOR4* p0, const D3DXVECTOR4* p1, const D3DXVECTOR4* p2, const D3DXVECTOR4* p3, float s) {
    return CallSlot<kVec4CatmullRom>(out, p0, p1, p2, p3, s);
}
D3DXVECTOR4* D3DXVec4BaryCentric(D3DXVECTOR4* out, const D3DXVECTOR4* p1, const D3DXVECTOR4* p2, const D3DXVECTOR4* p3, float f, float g) {
    return CallSlot<kVec4BaryCentric>(out, p1, p2, p3, f, g);
}
D3DXQUATERNION* D3DXQuaternionLn(D3DXQUATERNION* out, const D3DXQUATERNION* q) {
    D3DXCpuOptimizations(TRUE);
    return CallSlot<kQuaternionLn>(out, q);
}
D3DXQUATERNION* D3DXQuaternionExp(D3DXQUATERNION* out, const D3DXQUATERNION* q) {
    D3DXCpuOptimizations(TRUE);
    return CallSlot<kQuaternionExp>(out, q);
}
