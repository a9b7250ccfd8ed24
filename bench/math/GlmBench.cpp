// Compiled twice, with GLM_BENCH_NAMESPACE and GLM_BENCH_LABEL naming the
// build; the SIMD build also defines GLM_FORCE_INTRINSICS and
// GLM_FORCE_DEFAULT_ALIGNED_GENTYPES (see CMakeLists.txt).
#include <benchmark/benchmark.h>

#include <cstring>
#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>
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

// The point transforms over an array; `Matrix` is the transpose of the
// project's matrix, so m · v here is v · M there.
template <typename In, typename Out, typename PointOp>
void OverPoints(benchmark::State& state, int components, PointOp op) {
    const glm::mat4 m = Matrix(0.0f);
    const std::vector<In> in = SamplePoints<In>(components);
    std::vector<Out> out(kPointCount);
    RunOverPoints(state, in, out, [&](Out& o, const In& v) { o = op(m, v); });
}

void TransformCoordArray(benchmark::State& state) {
    OverPoints<glm::vec3, glm::vec3>(state, 3, [](const glm::mat4& m, const glm::vec3& v) {
        const glm::vec4 r = m * glm::vec4(v, 1.0f);
        return glm::vec3(r) / r.w;
    });
}

void TransformArray(benchmark::State& state) {
    OverPoints<glm::vec3, glm::vec4>(state, 3, [](const glm::mat4& m, const glm::vec3& v) {
        return m * glm::vec4(v, 1.0f);
    });
}

void TransformNormalArray(benchmark::State& state) {
    OverPoints<glm::vec3, glm::vec3>(state, 3, [](const glm::mat4& m, const glm::vec3& v) {
        return glm::vec3(m * glm::vec4(v, 0.0f));
    });
}

void Transform4Array(benchmark::State& state) {
    OverPoints<glm::vec4, glm::vec4>(state, 4, [](const glm::mat4& m, const glm::vec4& v) { return m * v; });
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
    benchmark::RegisterBenchmark(("Vec3TransformCoordArray/" + label).c_str(), TransformCoordArray);
    benchmark::RegisterBenchmark(("Vec3TransformArray/" + label).c_str(), TransformArray);
    benchmark::RegisterBenchmark(("Vec3TransformNormalArray/" + label).c_str(), TransformNormalArray);
    benchmark::RegisterBenchmark(("Vec4TransformArray/" + label).c_str(), Transform4Array);
    benchmark::RegisterBenchmark(("Vec3Normalize/" + label).c_str(), Normalize);
    benchmark::RegisterBenchmark(("QuaternionSlerp/" + label).c_str(), Slerp);
}

}  // namespace valmere::bench::GLM_BENCH_NAMESPACE
