// The jump: the eye rises along a sine arc 2 units high and comes down
// again, counted in frames (the arc parameter advances by 1/120 a frame).
// UpdateControls, every frame while jumpRequested is 1.0:
//   BeginJump(); h = StepJump(); camera.SetHeight(h); jumpRequested = JumpContinues();
#pragma once

#include "app/Globals.h"
#include "world/Camera.h"

// 1 while a jump is under way, else 0.
extern int jumpActive;
// The arc's length in frames, 120 from the start of a jump.
extern float jumpFrames;
// The arc parameter t, from 1/120 upwards.
extern float jumpParameter;
// The eye height when the jump began.
extern float jumpBase;
// The height computed by the last step.
extern float jumpHeight;

// Starts a jump from the camera's eye height unless one is under way.
void BeginJump(const CCamera& camera = g_camera);
// This frame's eye height; advances the parameter while it is below 1.
float StepJump();
// 1.0 while the jump goes on. On the frame it ends (the advanced parameter
// reaches 0.99, frame 118) the jump goes idle, the eye is put at the
// standing height 1.2 and the result is 0.0.
float JumpContinues(CCamera& camera = g_camera);
