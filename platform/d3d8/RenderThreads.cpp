#include "platform/d3d8/RenderThreads.h"

#include <algorithm>
#include <cstdlib>
#include <thread>

namespace valmere::d3d8 {

int RenderThreads() {
    const char* text = std::getenv("VALMERE_RENDER_THREADS");
    char* end = nullptr;
    const long asked = text != nullptr ? std::strtol(text, &end, 10) : 0;
    // Far more threads than tiles would only wait.
    if (text != nullptr && end != text && *end == '\0' && asked > 0) return static_cast<int>(std::min(asked, 256L));
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

}  // namespace valmere::d3d8
