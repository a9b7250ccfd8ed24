// The scripted user of framebench and of its llvmpipe peer: both run the
// viewer's own world update under this input, so that frame n shows the same
// camera in both.
#pragma once

#include "platform/host/HeadlessHost.h"

namespace valmere::bench {

// Stand at the start at eye height and look about slowly, swinging between
// the hills ahead and the sky to either side, for `frames` frames.
void ScriptLookAbout(host::HeadlessHost& host, int frames);

}  // namespace valmere::bench
