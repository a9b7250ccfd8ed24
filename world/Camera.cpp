#include "world/Camera.h"

CCamera::CCamera()
    : roll(0.0f), pitch(0.0f), yaw(0.0f), position(0.0f, 0.0f, 0.0f), look(0.0f, 0.0f, 1.0f), up(0.0f, 1.0f, 0.0f),
      right(1.0f, 0.0f, 0.0f), movement(0.0f, 0.0f, 0.0f) {}

namespace {

void Store(D3DXVECTOR3& vector, float x, float y, float z) {
    vector.x = x;
    vector.y = y;
    vector.z = z;
}

void Load(const D3DXVECTOR3& vector, float& x, float& y, float& z) {
    x = vector.x;
    y = vector.y;
    z = vector.z;
}

// Turns both vectors about `axis` by `angle`, as points.
void Turn(const D3DXVECTOR3& axis, float angle, D3DXVECTOR3& first, D3DXVECTOR3& second) {
    D3DXMATRIX rotation;
    D3DXMatrixRotationAxis(&rotation, &axis, angle);
    D3DXVec3TransformCoord(&first, &first, &rotation);
    D3DXVec3TransformCoord(&second, &second, &rotation);
}

} // namespace

void CCamera::SetPosition(float x, float y, float z) { Store(position, x, y, z); }
void CCamera::GetPosition(float& x, float& y, float& z) const { Load(position, x, y, z); }
void CCamera::SetHeight(float y) { position.y = y; }
void CCamera::GetHeight(float& y) const { y = position.y; }

void CCamera::SetYaw(float angle) { yaw = angle; }
void CCamera::SetPitch(float angle) { pitch = angle; }
void CCamera::SetRoll(float angle) { roll = angle; }
void CCamera::GetYaw(float& angle) const { angle = yaw; }
void CCamera::GetPitch(float& angle) const { angle = pitch; }
void CCamera::GetRoll(float& angle) const { angle = roll; }

void CCamera::SetLook(float x, float y, float z) { Store(look, x, y, z); }
void CCamera::SetUp(float x, float y, float z) { Store(up, x, y, z); }
void CCamera::SetRight(float x, float y, float z) { Store(right, x, y, z); }
void CCamera::GetLook(float& x, float& y, float& z) const { Load(look, x, y, z); }
void CCamera::GetUp(float& x, float& y, float& z) const { Load(up, x, y, z); }
void CCamera::GetRight(float& x, float& y, float& z) const { Load(right, x, y, z); }

void CCamera::SetMovement(float x, float y, float z) { Store(movement, x, y, z); }
void CCamera::GetMovement(float& x, float& y, float& z) const { Load(movement, x, y, z); }

void CCamera::Translate(float dx, float dy, float dz) {
    position.x += dx;
    position.y += dy;
    position.z += dz;
}

void CCamera::ResetUp() { Store(up, 0.0f, 1.0f, 0.0f); }

void CCamera::ResetPose() {
    Store(position, 0.0f, 0.0f, 0.0f);
    Store(look, 0.0f, 0.0f, -1.0f);
    Store(right, 1.0f, 0.0f, 0.0f);
    Store(up, 0.0f, 1.0f, 0.0f);
    yaw = pitch = roll = 0.0f;
}

void CCamera::Update(D3DXMATRIX& view) {
    // The move uses the axes of the previous frame.
    position = position + right * movement.x;
    position = position + up * movement.y;
    position = position + look * movement.z;

    // A look parallel to up makes right and then up the zero vector, which
    // normalising leaves at zero; the view then degenerates.
    D3DXVec3Normalize(&look, &look);
    D3DXVec3Cross(&right, &up, &look);
    D3DXVec3Normalize(&right, &right);
    D3DXVec3Cross(&up, &look, &right);
    D3DXVec3Normalize(&up, &up);

    // Each turn uses the axes already turned by the ones before it.
    Turn(up, yaw, look, right);
    Turn(right, pitch, look, up);
    Turn(look, roll, right, up);

    // Row-vector convention: the axes are the columns of the upper 3x3 and
    // the eye's translation, expressed along them, is the bottom row.
    D3DXMatrixIdentity(&view);
    const D3DXVECTOR3* const axes[3] = {&right, &up, &look};
    for (int column = 0; column < 3; ++column) {
        view(0, column) = axes[column]->x;
        view(1, column) = axes[column]->y;
        view(2, column) = axes[column]->z;
        view(3, column) = -D3DXVec3Dot(&position, axes[column]);
    }
}

void CCamera::Apply(IDirect3DDevice8* device) {
    D3DXMATRIX view;
    Update(view);
    if (device != nullptr) {
        device->SetTransform(D3DTS_VIEW, &view);
    }
}
