// The same operations in glm, built twice from GlmBench.cpp: with glm's
// defaults (glm_default) and with its SIMD code (glm_simd).
#pragma once

namespace valmere::bench {
namespace glm_default {
void RegisterBenchmarks();
}
namespace glm_simd {
void RegisterBenchmarks();
}
}  // namespace valmere::bench
