// The process globals of the viewer. They are defined, in this order, only
// in app/Main.cpp (and, for tests, in tests/support/GameGlobals.cpp), so
// their constructors run in the order camera, application, input, world and
// their destructors in the reverse order.
#pragma once

#include "platform/win32/Win32.h"

class CCamera;
class CApplication;
class CInput;
class CWorld;
struct ID3DXFont;

extern CCamera g_camera;
extern CApplication g_application;
extern CInput g_input;
extern CWorld g_world;

// The frame loop runs while this is non-zero. Cleared by a failing start-up
// step, a failing font creation and the main window's destruction.
extern BYTE g_running;
// The module handle, set by the CApplication constructor.
extern HINSTANCE g_instance;
// The overlay font, null until WinMain creates it.
extern ID3DXFont* g_font;
