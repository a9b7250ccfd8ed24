// OpenGL and OSMesa for the peer, after the platform's Win32 header: both
// define APIENTRY (empty here), GL's only when it is not yet defined.
#pragma once

#include "platform/win32/Win32.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/osmesa.h>
