// Shared helpers of the math tests: random inputs, the variant tables to
// compare, a processor that tests can describe, and a fixture that restores
// the dispatch, registry and system-information state.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "math/CpuFeatures.h"
#include "math/D3DXMath.h"
#include "math/MathDispatch.h"
#include "platform/win32/Registry.h"
#include "platform/win32/SystemInfo.h"

namespace valmere::math::test {

class Random {
public:
    explicit Random(unsigned seed) : engine_(seed) {}
    float Uniform(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(engine_); }
    template <typename T>
    T Fill(float lo = -4.0f, float hi = 4.0f) {
        T v;
        float* d = v.Data();
        for (std::size_t i = 0; i < sizeof(T) / sizeof(float); ++i) d[i] = Uniform(lo, hi);
        return v;
    }
    // Diagonally dominant, so well conditioned for inversion.
    D3DXMATRIX Invertible() {
        D3DXMATRIX m = Fill<D3DXMATRIX>(-1.0f, 1.0f);
        for (int i = 0; i < 4; ++i) m.m[i][i] += Uniform(0.0f, 1.0f) < 0.5f ? 5.0f : -5.0f;
        return m;
    }

private:
    std::mt19937 engine_;
};

template <typename T>
bool SameBits(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

struct NamedTable {
    std::string name;
    MathFunctionTable table;
};

// Every table a selection can install on this build.
inline std::vector<NamedTable> AllVariantTables() {
    return {{"portable", PortableMathTable},
            {"x87", BuildVariantTable(kVariantPortable)},
            {"sse", BuildVariantTable(kVariantSse)},
            {"sse2", BuildVariantTable(kVariantSse2)}};
}

// A processor described by its CPUID answers; the operating system's
// IsProcessorFeaturePresent is made to agree.
struct FakeProcessor {
    const char* vendor = "GenuineIntel";
    std::uint32_t maxStandardLeaf = 1;
    std::uint32_t maxExtendedLeaf = 0x80000001u;
    bool mmx = true, sse = false, sse2 = false, threeDNow = false, threeDNowExtended = false,
         amdMmxExtensions = false;
};

inline FakeProcessor& CurrentFake() {
    static FakeProcessor fake;
    return fake;
}

inline CpuidRegisters FakeCpuid(std::uint32_t leaf) {
    const FakeProcessor& p = CurrentFake();
    CpuidRegisters r{0, 0, 0, 0};
    if (leaf == 0) {
        r.eax = p.maxStandardLeaf;
        std::memcpy(&r.ebx, p.vendor, 4);
        std::memcpy(&r.edx, p.vendor + 4, 4);
        std::memcpy(&r.ecx, p.vendor + 8, 4);
    } else if (leaf == 1 && p.maxStandardLeaf >= 1) {
        r.edx = (p.mmx ? 1u << 23 : 0) | (p.sse ? 1u << 25 : 0) | (p.sse2 ? 1u << 26 : 0);
    } else if (leaf == 0x80000000u) {
        r.eax = p.maxExtendedLeaf;
    } else if (leaf == 0x80000001u && p.maxExtendedLeaf >= leaf) {
        r.edx = (p.threeDNow ? 1u << 31 : 0) | (p.threeDNowExtended ? 1u << 30 : 0) |
                (p.amdMmxExtensions ? 1u << 22 : 0);
    }
    return r;
}

inline void UseProcessor(const FakeProcessor& processor) {
    CurrentFake() = processor;
    SetCpuidFunction(&FakeCpuid);
    win32::OverrideProcessorFeature(PF_XMMI_INSTRUCTIONS_AVAILABLE, processor.sse);
    win32::OverrideProcessorFeature(PF_XMMI64_INSTRUCTIONS_AVAILABLE, processor.sse2);
    win32::OverrideProcessorFeature(PF_3DNOW_INSTRUCTIONS_AVAILABLE, processor.threeDNow);
}

inline const char* kDirect3DKey = "Software\\Direct3D";

// Restores the real processor, the registry, the system answers and the
// unselected dispatch table around each test.
class MathStateTest : public ::testing::Test {
protected:
    void SetUp() override { Restore(); }
    void TearDown() override { Restore(); }
    static void Restore() {
        SetCpuidFunction(nullptr);
        win32::ResetSystemInfoOverrides();
        win32::ResetRegistry();
        win32::DeleteRegistryValue(HKEY_LOCAL_MACHINE, kDirect3DKey, "DisableD3DXPSGP");
        win32::DeleteRegistryValue(HKEY_LOCAL_MACHINE, kDirect3DKey, "DisableMMX");
        ResetMmxState();
        D3DXCpuOptimizations(FALSE);
    }
};

}  // namespace valmere::math::test
