// The per-frame controls: keyboard and mouse into camera turns, movement,
// eye height, the jump, the crouch and the quit request.
#pragma once

#include "app/Globals.h"

// 1.0 while a jump is under way, else 0.0 (compared with exactly 1.0).
extern float jumpRequested;
// Set to 1.0 by the crouch key, back to 0.0 by the frame that applies it.
extern float crouchRequested;

// Called once per frame after UpdateTerrain and UpdateSky. Reads the mouse
// and the keyboard through `input`, sets the camera's turn angles, movement
// and eye height, steps the jump and ends with the camera's Apply. Every
// amount is per frame. Returns true.
bool UpdateControls(CInput& input = g_input, CCamera& camera = g_camera);
