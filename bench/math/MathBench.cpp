// mathbench: the dispatched operations in every variant set, through the
// selected public entries, and the same operations in glm.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/math/BenchInputs.h"
#include "bench/math/GlmBench.h"
#include "math/MathDispatch.h"

namespace valmere::bench {
namespace {

using math::MathFunctionTable;

D3DXMATRIX Matrix(float seed) { return D3DXMATRIX(SampleMatrix(seed).data()); }

void Multiply(benchmark::State& state, const MathFunctionTable& table) {
    const auto multiply = std::get<math::kMatrixMultiply>(table);
    D3DXMATRIX a = Matrix(0.0f), b = Matrix(0.5f), out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(b);
        multiply(&out, &a, &b);
        benchmark::DoNotOptimize(out);
    }
}

void Inverse(benchmark::State& state, const MathFunctionTable& table) {
    const auto inverse = std::get<math::kMatrixInverse>(table);
    D3DXMATRIX a = Matrix(0.25f), out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(a);
        inverse(&out, nullptr, &a);
        benchmark::DoNotOptimize(out);
    }
}

void TransformCoordArray(benchmark::State& state, const MathFunctionTable& table) {
    const auto transform = std::get<math::kVec3TransformCoord>(table);
    const D3DXMATRIX m = Matrix(0.0f);
    std::vector<D3DXVECTOR3> in(kPointCount), out(kPointCount);
    for (std::size_t i = 0; i < kPointCount; ++i) in[i] = D3DXVECTOR3(SamplePoint(i, 0), SamplePoint(i, 1), SamplePoint(i, 2));
    for (auto _ : state) {
        for (std::size_t i = 0; i < kPointCount; ++i) transform(&out[i], &in[i], &m);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(kPointCount));
}

void Normalize(benchmark::State& state, const MathFunctionTable& table) {
    const auto normalize = std::get<math::kVec3Normalize>(table);
    D3DXVECTOR3 v(3.0f, -4.0f, 12.0f), out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(v);
        normalize(&out, &v);
        benchmark::DoNotOptimize(out);
    }
}

void Slerp(benchmark::State& state, const MathFunctionTable& table) {
    const auto slerp = std::get<math::kQuaternionSlerp>(table);
    D3DXQUATERNION a(0.1f, 0.3f, 0.2f, 0.9f), b(-0.5f, 0.4f, 0.7f, 0.2f), out;
    D3DXQuaternionNormalize(&a, &a);
    D3DXQuaternionNormalize(&b, &b);
    float t = 0.3f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(t);
        slerp(&out, &a, &b, t);
        benchmark::DoNotOptimize(out);
    }
}

// The table the selection installed, as the public entries see it.
template <std::size_t... S>
MathFunctionTable SelectedTable(std::index_sequence<S...>) {
    return MathFunctionTable(math::LoadSlot<S>()...);
}

struct Variant {
    std::string name;
    MathFunctionTable table;
};

void RegisterVariant(const Variant& v) {
    benchmark::RegisterBenchmark(("MatrixMultiply/" + v.name).c_str(), Multiply, v.table);
    benchmark::RegisterBenchmark(("MatrixInverse/" + v.name).c_str(), Inverse, v.table);
    benchmark::RegisterBenchmark(("Vec3TransformCoordArray/" + v.name).c_str(), TransformCoordArray, v.table);
    benchmark::RegisterBenchmark(("Vec3Normalize/" + v.name).c_str(), Normalize, v.table);
    benchmark::RegisterBenchmark(("QuaternionSlerp/" + v.name).c_str(), Slerp, v.table);
}

}  // namespace
}  // namespace valmere::bench

int main(int argc, char** argv) {
    using namespace valmere;
    const DWORD state = D3DXCpuOptimizations(TRUE);
    const bench::Variant variants[] = {
        {"portable", math::PortableMathTable},
        {"x87", math::BuildVariantTable(math::kVariantPortable)},
        {"sse", math::BuildVariantTable(math::kVariantSse)},
        {"sse2", math::BuildVariantTable(math::kVariantSse2)},
        {"selected-state-" + std::to_string(state),
         bench::SelectedTable(std::make_index_sequence<math::kMathSlotCount>())},
    };
    for (const auto& v : variants) bench::RegisterVariant(v);
    bench::glm_default::RegisterBenchmarks();
    bench::glm_simd::RegisterBenchmarks();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
