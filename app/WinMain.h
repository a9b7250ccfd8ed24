// The viewer's entry point: set-up, frame loop and clean-up.
#pragma once

#include "platform/win32/Win32.h"

// Runs after the four globals exist. Returns the wParam of the last message
// the frame loop retrieved (0 for the close that ends it); 0 when the loop
// ran without retrieving one, and 1 when start-up or the set-up's font
// creation failed so that the loop never ran.
int WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand);
