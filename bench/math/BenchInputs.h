// Inputs shared by the math benchmarks, the same for every implementation.
#pragma once

#include <array>
#include <cstddef>

namespace valmere::bench {

inline constexpr std::size_t kPointCount = 1024;

// A well-conditioned transform with a perspective column, so that
// TransformCoord divides.
inline std::array<float, 16> SampleMatrix(float seed) {
    return {1.5f + seed, 0.1f, -0.2f, 0.01f, 0.2f, 1.25f, 0.3f, 0.02f, -0.1f, 0.4f, 0.9f + seed, 0.5f,
            3.0f, -2.0f, 5.0f, 1.0f + seed};
}

inline float SamplePoint(std::size_t i, int component) {
    return static_cast<float>((i * 7 + static_cast<std::size_t>(component) * 13) % 101) * 0.05f - 2.5f;
}

}  // namespace valmere::bench
