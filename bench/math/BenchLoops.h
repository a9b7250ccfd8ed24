// The timing loop over an array of points, shared by the project's sets and
// glm so that both are measured the same way: every result is stored to the
// output array, which the benchmark then treats as read.
#pragma once

#include <benchmark/benchmark.h>

#include <vector>

#include "bench/math/BenchInputs.h"

namespace valmere::bench {

template <typename In, typename Out, typename PointOp>
void RunOverPoints(benchmark::State& state, const std::vector<In>& in, std::vector<Out>& out, PointOp op) {
    for (auto _ : state) {
        for (std::size_t i = 0; i < kPointCount; ++i) op(out[i], in[i]);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(kPointCount));
}

// kPointCount points with `components` coordinates from SamplePoint.
template <typename V>
std::vector<V> SamplePoints(int components) {
    std::vector<V> points(kPointCount);
    for (std::size_t i = 0; i < kPointCount; ++i) {
        for (int c = 0; c < components; ++c) points[i][c] = SamplePoint(i, c);
    }
    return points;
}

}  // namespace valmere::bench
