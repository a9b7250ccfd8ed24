// The portable variant of the cluster fit (four lanes: SSE2 on x86-64, NEON
// on ARM) and the choice between the variants.
#include "texture/dxt/ClusterFit.h"
#include "texture/dxt/ClusterFitLanes.h"

#include <atomic>

namespace valmere {
namespace {

using FourLanes = float __attribute__((vector_size(16)));
using FourLanesInt = std::int32_t __attribute__((vector_size(16)));

std::atomic<bool> g_forcePortable{false};

}  // namespace

void PackClusterFitColoursPortable(std::uint8_t* out, int stride, const float* pixels, unsigned count,
                                   bool transparency) {
    PackClusterFitColoursWith<FourLanes, FourLanesInt>(out, stride, pixels, count, transparency);
}

bool ClusterFitAvx2Available() {
#if defined(VALMERE_CLUSTER_FIT_AVX2)
    static const bool available = __builtin_cpu_supports("avx2");
    return available;
#else
    return false;
#endif
}

void ForcePortableClusterFit(bool force) { g_forcePortable = force; }

void PackClusterFitColours(std::uint8_t* out, int stride, const D3DXCOLOR* pixels, UINT count, bool transparency) {
    static_assert(sizeof(D3DXCOLOR) == 4 * sizeof(float), "a pixel is r, g, b, a floats");
    const auto* floats = reinterpret_cast<const float*>(pixels);
#if defined(VALMERE_CLUSTER_FIT_AVX2)
    if (ClusterFitAvx2Available() && !g_forcePortable) {
        PackClusterFitColoursAvx2(out, stride, floats, count, transparency);
        return;
    }
#endif
    PackClusterFitColoursPortable(out, stride, floats, count, transparency);
}

}  // namespace valmere
