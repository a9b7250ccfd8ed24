// mathbench: the dispatched operations in every variant set, and, as
// "public-state-N", through the public entries after the first-call
// selection (what a program calls), next to the same operations in glm.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/math/BenchInputs.h"
#include "bench/math/BenchLoops.h"
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

// One call per point, as the API offers no array form.
template <std::size_t Slot, typename In, typename Out>
void OverPoints(benchmark::State& state, const MathFunctionTable& table, int components) {
    const auto transform = std::get<Slot>(table);
    const D3DXMATRIX m = Matrix(0.0f);
    const std::vector<In> in = SamplePoints<In>(components);
    std::vector<Out> out(kPointCount);
    RunOverPoints(state, in, out, [&](Out& o, const In& v) { transform(&o, &v, &m); });
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

// The public entries of the measured operations, each a jump through its
// slot of MathDispatchTable.
MathFunctionTable PublicEntries() {
    MathFunctionTable table = math::PortableMathTable;
    std::get<math::kMatrixMultiply>(table) = &D3DXMatrixMultiply;
    std::get<math::kMatrixInverse>(table) = &D3DXMatrixInverse;
    std::get<math::kVec3TransformCoord>(table) = &D3DXVec3TransformCoord;
    std::get<math::kVec3Transform>(table) = &D3DXVec3Transform;
    std::get<math::kVec3TransformNormal>(table) = &D3DXVec3TransformNormal;
    std::get<math::kVec4Transform>(table) = &D3DXVec4Transform;
    std::get<math::kVec3Normalize>(table) = &D3DXVec3Normalize;
    std::get<math::kQuaternionSlerp>(table) = &D3DXQuaternionSlerp;
    return table;
}

struct Variant {
    std::string name;
    MathFunctionTable table;
};

void RegisterVariant(const Variant& v) {
    using namespace math;
    const auto name = [&](const char* operation) { return std::string(operation) + "/" + v.name; };
    benchmark::RegisterBenchmark(name("MatrixMultiply").c_str(), Multiply, v.table);
    benchmark::RegisterBenchmark(name("MatrixInverse").c_str(), Inverse, v.table);
    benchmark::RegisterBenchmark(name("Vec3TransformCoordArray").c_str(),
                                 OverPoints<kVec3TransformCoord, D3DXVECTOR3, D3DXVECTOR3>, v.table, 3);
    benchmark::RegisterBenchmark(name("Vec3TransformArray").c_str(),
                                 OverPoints<kVec3Transform, D3DXVECTOR3, D3DXVECTOR4>, v.table, 3);
    benchmark::RegisterBenchmark(name("Vec3TransformNormalArray").c_str(),
                                 OverPoints<kVec3TransformNormal, D3DXVECTOR3, D3DXVECTOR3>, v.table, 3);
    benchmark::RegisterBenchmark(name("Vec4TransformArray").c_str(),
                                 OverPoints<kVec4Transform, D3DXVECTOR4, D3DXVECTOR4>, v.table, 4);
    benchmark::RegisterBenchmark(name("Vec3Normalize").c_str(), Normalize, v.table);
    benchmark::RegisterBenchmark(name("QuaternionSlerp").c_str(), Slerp, v.table);
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
        {"public-state-" + std::to_string(state), bench::PublicEntries()},
    };
    for (const auto& v : variants) bench::RegisterVariant(v);
    bench::glm_default::RegisterBenchmarks();
    bench::glm_simd::RegisterBenchmarks();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
