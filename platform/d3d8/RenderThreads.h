// How many threads the software device rasterizes on: VALMERE_RENDER_THREADS
// when it holds a count above 0, else one per processor. 1 draws everything
// at once on the calling thread. Each device reads it once, when it is
// created.
#pragma once

namespace valmere::d3d8 {

int RenderThreads();

}  // namespace valmere::d3d8
