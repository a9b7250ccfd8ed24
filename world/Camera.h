// CCamera: a free-flying camera held as an orthonormal frame. The angles and
// the movement are per-frame amounts written by the controls; the
// orientation itself lives in the axes alone.
#pragma once

#include "app/Application.h"
#include "app/Globals.h"
#include "math/D3DXMath.h"

class CCamera {
public:
    // At the origin, looking along +z, up +y, right +x, at rest.
    CCamera();

    void SetPosition(float x, float y, float z);
    void GetPosition(float& x, float& y, float& z) const;
    // The eye height: position.y alone.
    void SetHeight(float y);
    void GetHeight(float& y) const;

    void SetYaw(float angle);
    void SetPitch(float angle);
    void SetRoll(float angle);
    void GetYaw(float& angle) const;
    void GetPitch(float& angle) const;
    void GetRoll(float& angle) const;

    void SetLook(float x, float y, float z);
    void SetUp(float x, float y, float z);
    void SetRight(float x, float y, float z);
    void GetLook(float& x, float& y, float& z) const;
    void GetUp(float& x, float& y, float& z) const;
    void GetRight(float& x, float& y, float& z) const;

    // x along right, y along up, z along look, in world units per frame.
    void SetMovement(float x, float y, float z);
    void GetMovement(float& x, float& y, float& z) const;
    void Translate(float dx, float dy, float dz);

    // up = (0, 1, 0).
    void ResetUp();
    // Back to the origin looking along -z with no turn; the movement stays.
    void ResetPose();

    // One frame: moves along the axes as they stand, re-orthonormalises
    // them, turns them by yaw, pitch and roll, builds the view matrix into
    // `view`. Touches no device.
    void Update(D3DXMATRIX& view);
    // Update, then sets the view matrix as the device's D3DTS_VIEW
    // transform. Without a device (start-up failed) the transform is skipped.
    void Apply(IDirect3DDevice8* device = g_application.device);

    float roll;
    float pitch;
    float yaw;
    D3DXVECTOR3 position;
    D3DXVECTOR3 look;
    D3DXVECTOR3 up;
    D3DXVECTOR3 right;
    D3DXVECTOR3 movement;
};
