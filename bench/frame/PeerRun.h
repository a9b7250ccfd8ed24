// Runs llvmpipe-peer as a child process with a chosen llvmpipe thread count
// and reads back what it prints.
#pragma once

#include <string>
#include <vector>

#include "bench/frame/FrameBoxes.h"
#include "bench/frame/SceneSize.h"

namespace valmere::bench {

struct PeerResult {
    int exitCode = -1;     // 77: OSMesa could not make its context
    std::string why;       // set when the run gave no timing
    std::string renderer;  // the peer's first line
    int frames = 0;
    double seconds = 0.0;  // the peer's frame loop alone
    std::vector<BoxMean> means;
};

// Runs `program [--size WxH] frames [png]` with GALLIUM_DRIVER=llvmpipe
// and LP_NUM_THREADS=threads (null: unset, llvmpipe's default). The child's
// standard error passes through.
PeerResult RunPeer(const std::string& program, const SceneSize& size, int frames, const char* threads,
                   const char* png);

}  // namespace valmere::bench
