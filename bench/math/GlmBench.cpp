// Compiled twice, with GLM_BENCH_NAMESPACE and GLM_BENCH_LABEL naming the
// build; the SIMD build also defines GLM_FORCE_INTRINSICS and
// GLM_FORCE_DEFAULT_ALIGNED_GENTYPES (see CMakeLists.txt).
#include <benchmark/benchmark.h>

#include <cstring>
#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>
#include <string>
#include <vector>

#include "bench/math/BenchInputs.h"
#include "bench/math/BenchLoops.h"
#include "bench/math/GlmBench.h"

namespace valmere::bench::GLM_BENCH_NAMESPACE {
namespace {

glm::mat4 Matrix(float seed) {
    const auto values = SampleMatrix(seed);
    glm::mat4 m;
    std::memcpy(&m[0][0], values.data(), sizeof(float) * 16);
    // Row-vector data read as columns: glm's M·v is then the row vector v·M.
    return m;
}

void Multiply(benchmark::State& state) {
    glm::mat4 a = Matrix(0.0f), b = Matrix(0.5f);
    for (auto _ : state) {
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(b);
        glm::mat4 out = b * a;
        benchmark::DoNotOptimize(out);
    }
}

void Inverse(benchmark::State& state) {
    glm::mat4 a = Matrix(0.25f);
    for (auto _ : state) {
        benchmark::DoNotOptimize(a);
        glm::mat4 out = glm::inverse(a);
        benchmark::DoNotOptimize(out);
    }
}

// The point transforms; `Matrix` is the transpose of the project's matrix,
// so m · v here is v · M there.
glm::vec3 TransformCoordPoint(const glm::mat4& m, const glm::vec3& v) {
    const glm::vec4 r = m * glm::vec4(v, 1.0f);
    return glm::vec3(r) / r.w;
}
glm::vec4 TransformPoint(const glm::mat4& m, const glm::vec3& v) { return m * glm::vec4(v, 1.0f); }
glm::vec3 TransformNormalPoint(const glm::mat4& m, const glm::vec3& v) { return glm::vec3(m * glm::vec4(v, 0.0f)); }
glm::vec4 Transform4Point(const glm::mat4& m, const glm::vec4& v) { return m * v; }

// Inlined into the loop, the matrix kept in registers: what glm's own
// users get.
template <typename In, typename Out, Out (*Op)(const glm::mat4&, const In&)>
void Inlined(benchmark::State& state, int components) {
    const glm::mat4 m = Matrix(0.0f);
    const std::vector<In> in = SamplePoints<In>(components);
    std::vector<Out> out(kPointCount);
    RunOverPoints(state, in, out, [&](Out& o, const In& v) { o = Op(m, v); });
}

// One call per point through a function pointer, as a D3DX caller makes
// one call through the dispatch table per point: the like-for-like cost.
template <typename In, typename Out, Out (*Op)(const glm::mat4&, const In&)>
void PerCall(benchmark::State& state, int components) {
    Out (*volatile opaque)(const glm::mat4&, const In&) = Op;
    const auto op = opaque;
    const glm::mat4 m = Matrix(0.0f);
    const std::vector<In> in = SamplePoints<In>(components);
    std::vector<Out> out(kPointCount);
    RunOverPoints(state, in, out, [&](Out& o, const In& v) { o = op(m, v); });
}

template <typename In, typename Out, Out (*Op)(const glm::mat4&, const In&)>
void RegisterOverPoints(const std::string& operation, const std::string& label, int components) {
    benchmark::RegisterBenchmark((operation + "/" + label).c_str(), Inlined<In, Out, Op>, components);
    benchmark::RegisterBenchmark((operation + "/" + label + "-call").c_str(), PerCall<In, Out, Op>, components);
}

void Normalize(benchmark::State& state) {
    glm::vec3 v(3.0f, -4.0f, 12.0f);
    for (auto _ : state) {
        benchmark::DoNotOptimize(v);
        glm::vec3 out = glm::normalize(v);
        benchmark::DoNotOptimize(out);
    }
}

void Slerp(benchmark::State& state) {
    glm::quat a = glm::normalize(glm::quat(0.9f, 0.1f, 0.3f, 0.2f));
    glm::quat b = glm::normalize(glm::quat(0.2f, -0.5f, 0.4f, 0.7f));
    float t = 0.3f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(t);
        glm::quat out = glm::slerp(a, b, t);
        benchmark::DoNotOptimize(out);
    }
}

}  // namespace

void RegisterBenchmarks() {
    const std::string label = GLM_BENCH_LABEL;
    benchmark::RegisterBenchmark(("MatrixMultiply/" + label).c_str(), Multiply);
    benchmark::RegisterBenchmark(("MatrixInverse/" + label).c_str(), Inverse);
    RegisterOverPoints<glm::vec3, glm::vec3, TransformCoordPoint>("Vec3TransformCoordArray", label, 3);
    RegisterOverPoints<glm::vec3, glm::vec4, TransformPoint>("Vec3TransformArray", label, 3);
    RegisterOverPoints<glm::vec3, glm::vec3, TransformNormalPoint>("Vec3TransformNormalArray", label, 3);
    RegisterOverPoints<glm::vec4, glm::vec4, Transform4Point>("Vec4TransformArray", label, 4);
    benchmark::RegisterBenchmark(("Vec3Normalize/" + label).c_str(), Normalize);
    benchmark::RegisterBenchmark(("QuaternionSlerp/" + label).c_str(), Slerp);
}

}  // namespace valmere::bench::GLM_BENCH_NAMESPACE
