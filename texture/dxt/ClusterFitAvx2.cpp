// The eight-lane variant of the cluster fit, compiled with -mavx2 (x86-64
// only) and run only where the processor has AVX2 (ClusterFit.h).
#include "texture/dxt/ClusterFit.h"
#include "texture/dxt/ClusterFitLanes.h"

namespace valmere {
namespace {

using EightLanes = float __attribute__((vector_size(32)));
using EightLanesInt = std::int32_t __attribute__((vector_size(32)));

}  // namespace

void PackClusterFitColoursAvx2(std::uint8_t* out, int stride, const float* pixels, unsigned count,
                               bool transparency) {
    PackClusterFitColoursWith<EightLanes, EightLanesInt>(out, stride, pixels, count, transparency);
}

}  // namespace valmere
