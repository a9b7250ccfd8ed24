// The description of the overlay font, shared by the viewer's frame and the
// benchmarks that draw its text.
#pragma once

#include "platform/win32/Win32.h"

// 12-pixel Arial, normal weight, TrueType output, proof quality.
LOGFONTA OverlayFontDescription();
