#include "world/Jump.h"

#include <cmath>

int jumpActive;
float jumpFrames;
float jumpParameter;
float jumpBase;
float jumpHeight;

namespace {

constexpr float StandingHeight = 1.2f;
constexpr float ArcHeight = 2.0f;
constexpr float FramesPerJump = 120.0f;
// t / 0.31835 runs just short of pi as t goes to 1, so the arc peaks near
// t = 0.5 (frame 60) and falls back towards the base.
constexpr double ArcScale = 0.31835;
constexpr float LastParameter = 0.99f;

} // namespace

void BeginJump(const CCamera& camera) {
    if (jumpActive == 1) {
        return;
    }
    jumpActive = 1;
    jumpFrames = FramesPerJump;
    // The first frame already uses t = 1/120, not 0.
    jumpParameter = 1.0f / FramesPerJump;
    camera.GetHeight(jumpBase);
}

float StepJump() {
    if (jumpParameter < 1.0f) {
        jumpHeight = static_cast<float>(jumpBase + ArcHeight * std::sin(jumpParameter / ArcScale));
        // Advanced in double precision, then stored as a float.
        jumpParameter = static_cast<float>(jumpParameter + 1.0 / jumpFrames);
    }
    return jumpHeight;
}

float JumpContinues(CCamera& camera) {
    if (jumpParameter < LastParameter) {
        return 1.0f;
    }
    jumpActive = 0;
    camera.SetHeight(StandingHeight);
    return 0.0f;
}
