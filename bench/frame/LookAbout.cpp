#include "bench/frame/LookAbout.h"

#include "platform/host/ScanCodes.h"

namespace valmere::bench {

void ScriptLookAbout(host::HeadlessHost& host, int frames) {
    host.PressKey(0, DIK_X);
    host.ReleaseKey(1, DIK_X);
    for (int frame = 2; frame < frames; ++frame) host.MoveMouse(frame, (frame / 120) % 2 == 0 ? 1 : -1, 0);
}

}  // namespace valmere::bench
