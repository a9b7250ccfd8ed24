#include "platform/d3d8/raster/SimdKernels.h"

#include <atomic>

namespace valmere::raster {
namespace {

std::atomic<bool> simdAllowed{true};

// The build adds -mavx2 to the kernels' files on x86 only.
bool ProcessorHasAvx2() {
#if defined(__x86_64__) || defined(__i386__)
    return __builtin_cpu_supports("avx2") != 0;
#else
    return false;
#endif
}

}  // namespace

bool UseAvx2Kernels() {
    static const bool hasAvx2 = ProcessorHasAvx2();
    return hasAvx2 && simdAllowed.load(std::memory_order_relaxed);
}

void ForceSimdKernels(bool allowed) { simdAllowed.store(allowed, std::memory_order_relaxed); }

}  // namespace valmere::raster
