// Test controls and observations of the window and message stand-in.
#pragma once

#include <cstddef>

#include "platform/win32/Win32.h"

namespace valmere::win32 {

// Forgets every window (without messages), class and queued message, and
// the cursor count: a fresh process as far as user32 is concerned.
void ResetWindowManager();
// Messages waiting in the queue.
std::size_t QueuedMessageCount();
// ShowCursor's display count (the cursor shows while it is >= 0).
int CursorDisplayCount();

}  // namespace valmere::win32
