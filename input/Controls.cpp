#include "input/Controls.h"

#include "input/Input.h"
#include "platform/dinput8/DirectInput8.h"
#include "world/Camera.h"
#include "world/Jump.h"

float jumpRequested;
float crouchRequested;

namespace {

constexpr float StandingHeight = 1.2f;
constexpr float RaisedHeight = 50.0f;
constexpr float CrouchDrop = 0.4f;
// Mouse units per radian of turn.
constexpr float MouseUnitsPerRadian = 100.0f;
constexpr float WalkStep = 0.1f;
constexpr float ArrowSideStep = 0.5f;
constexpr DWORD DragButton = 1; // the right button

// The movement keys, in the order they are applied. An arrow to the side
// also turns the camera: yaw becomes the new sideways component.
struct MoveKey {
    DWORD code;
    float sideways;
    float forward;
    bool turns;
};

constexpr MoveKey MoveKeys[] = {
    {DIK_UP, 0.0f, +WalkStep, false},
    {DIK_DOWN, 0.0f, -WalkStep, false},
    {DIK_RIGHT, +ArrowSideStep, 0.0f, true},
    {DIK_LEFT, -ArrowSideStep, 0.0f, true},
    {DIK_W, 0.0f, +WalkStep, false},
    {DIK_S, 0.0f, -WalkStep, false},
    {DIK_D, +WalkStep, 0.0f, false},
    {DIK_A, -WalkStep, 0.0f, false},
};

void ReadKeys(const CInput& input, CCamera& camera) {
    float x, y, z;
    camera.GetMovement(x, y, z);
    const float startX = x, startY = y, startZ = z;
    for (const MoveKey& key : MoveKeys) {
        if (input.KeyDown(key.code)) {
            x += key.sideways;
            z += key.forward;
            if (key.turns) {
                camera.SetYaw(x);
            }
        }
    }
    if (input.KeyDown(DIK_Z)) {
        camera.SetHeight(RaisedHeight);
    }
    if (input.KeyDown(DIK_X)) {
        camera.SetHeight(StandingHeight);
    }
    if (input.KeyDown(DIK_R)) {
        camera.ResetPose();
    }
    // A held movement key drops the upward component (of a mouse drag).
    if (x != startX || z != startZ || y != startY) {
        camera.SetMovement(x, 0.0f, z);
    }
    if (input.KeyDown(DIK_SPACE)) {
        jumpRequested = 1.0f;
    }
    if (input.KeyDown(DIK_LCONTROL)) {
        crouchRequested = 1.0f;
    }
}

} // namespace

bool UpdateControls(CInput& input, CCamera& camera) {
    // The keyboard state here is the previous frame's read.
    if (input.KeyDown(DIK_ESCAPE)) {
        PostQuitMessage(0);
    }
    float eyeHeight = StandingHeight;

    // A failed mouse read leaves the state of the last good one.
    input.Poll();
    LONG mouseX = 0, mouseY = 0;
    input.GetMouseMovement(mouseX, mouseY);
    const float dx = static_cast<float>(mouseX);
    const float dy = static_cast<float>(mouseY);
    if (input.MouseButtonDown(DragButton)) {
        // Drag: slide sideways and up; the turn rates of the last frame with
        // the button up stay in force.
        camera.SetMovement(dx, -dy, 0.0f);
    } else {
        camera.SetYaw(dx / MouseUnitsPerRadian);
        camera.SetPitch(dy / MouseUnitsPerRadian);
        camera.ResetUp();
        camera.SetMovement(0.0f, 0.0f, 0.0f);
    }

    // A failed keyboard read (it shows its own message) skips the keys of
    // this frame only.
    if (input.Update()) {
        ReadKeys(input, camera);
    }

    if (jumpRequested == 1.0f) {
        BeginJump(camera);
        const float height = StepJump();
        camera.SetHeight(height);
        jumpRequested = JumpContinues(camera);
        eyeHeight = height;
    }
    // The crouch lowers this frame's eye height; nothing raises it again
    // when the key is released.
    if (crouchRequested == 1.0f) {
        camera.SetHeight(eyeHeight - CrouchDrop);
        crouchRequested = 0.0f;
    }
    camera.Apply();
    return true;
}
