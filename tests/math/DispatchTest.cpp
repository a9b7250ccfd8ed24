#include <thread>

#include "tests/math/MathTestSupport.h"

namespace valmere::math::test {
namespace {

using DispatchTest = MathStateTest;

template <std::size_t S>
bool SlotHolds(const MathFunctionTable& table) {
    return LoadSlot<S>() == std::get<S>(table);
}

template <std::size_t... S>
bool TableEquals(const MathFunctionTable& table, std::index_sequence<S...>) {
    return (SlotHolds<S>(table) && ...);
}
bool TableEquals(const MathFunctionTable& table) {
    return TableEquals(table, std::make_index_sequence<kMathSlotCount>());
}

FakeProcessor WithSse2() {
    FakeProcessor p;
    p.sse = p.sse2 = true;
    return p;
}

TEST_F(DispatchTest, DisableD3DXPSGPOneKeepsTheX87Subset) {
    UseProcessor(WithSse2());
    win32::SetRegistryDword(HKEY_LOCAL_MACHINE, kDirect3DKey, "DisableD3DXPSGP", 1);
    EXPECT_EQ(D3DXCpuOptimizations(TRUE), kVariantPortable);
    EXPECT_TRUE(TableEquals(BuildVariantTable(kVariantPortable)));
    EXPECT_NE(LoadSlot<kVec3Normalize>(), std::get<kVec3Normalize>(PortableMathTable));
    EXPECT_EQ(LoadSlot<kVec4Normalize>(), std::get<kVec4Normalize>(PortableMathTable));
}

TEST_F(DispatchTest, DisableD3DXPSGPOfOtherValueOrTypeLetsSelectionProceed) {
    UseProcessor(WithSse2());
    win32::SetRegistryDword(HKEY_LOCAL_MACHINE, kDirect3DKey, "DisableD3DXPSGP", 2);
    EXPECT_EQ(D3DXCpuOptimizations(TRUE), kVariantSse2);

    D3DXCpuOptimizations(FALSE);
    const char text[] = "1";
    win32::SetRegistryValue(HKEY_LOCAL_MACHINE, kDirect3DKey, "DisableD3DXPSGP", REG_SZ, text, sizeof text);
    EXPECT_EQ(D3DXCpuOptimizations(TRUE), kVariantSse2);

    D3DXCpuOptimizations(FALSE);
    const DWORD one = 1;
    win32::SetRegistryValue(HKEY_LOCAL_MACHINE, kDirect3DKey, "DisableD3DXPSGP", REG_BINARY, &one, sizeof one);
    EXPECT_EQ(D3DXCpuOptimizations(TRUE), kVariantSse2);
}

TEST_F(DispatchTest, Sse2WithoutThreeDNowSelectsSse2AndKeepsPortableQuaternionInverse) {
    UseProcessor(WithSse2());
    EXPECT_EQ(D3DXCpuOptimizations(TRUE), kVariantSse2);
    EXPECT_TRUE(TableEquals(BuildVariantTable(kVariantSse2)));
    EXPECT_EQ(LoadSlot<kQuaternionInverse>(), std::get<kQuaternionInverse>(PortableMathTable));
    EXPECT_NE(LoadSlot<kMatrixRotationX>(), std::get<kMatrixRotationX>(PortableMathTable));
    EXPECT_NE(LoadSlot<kMatrixMultiply>(), std::get<kMatrixMultiply>(BuildVariantTable(kVariantPortable)));
}

TEST_F(DispatchTest, SseOnlySelectsSseAndKeepsPortableRotations) {
    FakeProcessor p;
    p.sse = true;
    UseProcessor(p);
    EXPECT_EQ(D3DXCpuOptimizations(TRUE), kVariantSse);
    EXPECT_TRUE(TableEquals(BuildVariantTable(kVariantSse)));
    EXPECT_EQ(LoadSlot<kMatrixRotationX>(), std::get<kMatrixRotationX>(PortableMathTable));
    EXPECT_EQ(LoadSlot<kMatrixRotationY>(), std::get<kMatrixRotationY>(PortableMathTable));
    EXPECT_NE(LoadSlot<kQuaternionInverse>(), std::get<kQuaternionInverse>(PortableMathTable));
}

TEST_F(DispatchTest, ThreeDNowWinsOverSse2AndKeepsPortableAndX87Code) {
    FakeProcessor p = WithSse2();
    p.vendor = "AuthenticAMD";
    p.threeDNow = p.threeDNowExtended = p.amdMmxExtensions = true;
    UseProcessor(p);
    EXPECT_EQ(D3DXCpuOptimizations(TRUE), kVariant3DNow);
    EXPECT_TRUE(TableEquals(BuildVariantTable(kVariantPortable)));
}

TEST_F(DispatchTest, NoFeaturesGivesPortableWithX87) {
    UseProcessor(FakeProcessor{});
    EXPECT_EQ(D3DXCpuOptimizations(TRUE), kVariantPortable);
    EXPECT_TRUE(TableEquals(BuildVariantTable(kVariantPortable)));
}

TEST_F(DispatchTest, LnEntrySelectsEvenAfterFalse) {
    UseProcessor(WithSse2());
    D3DXQUATERNION q(0, 0, 0, 1), out;
    D3DXQuaternionLn(&out, &q);
    EXPECT_EQ(MathVariantState.load(), kVariantSse2);
    EXPECT_EQ(D3DXCpuOptimizations(TRUE), kVariantSse2);
}

TEST_F(DispatchTest, FalseInstallsPortableAndLaterCallsDoNotSelect) {
    UseProcessor(WithSse2());
    EXPECT_EQ(D3DXCpuOptimizations(TRUE), kVariantSse2);
    EXPECT_EQ(D3DXCpuOptimizations(FALSE), kVariantNotSelected);
    EXPECT_TRUE(TableEquals(PortableMathTable));
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    D3DXMatrixMultiply(&m, &m, &m);
    D3DXVECTOR3 v(1, 2, 3);
    D3DXVec3Normalize(&v, &v);
    EXPECT_EQ(MathVariantState.load(), kVariantNotSelected);
    EXPECT_EQ(D3DXCpuOptimizations(TRUE), kVariantSse2);
}

TEST_F(DispatchTest, ConcurrentSelectionsAgree) {
    UseProcessor(WithSse2());
    std::vector<std::thread> threads;
    std::vector<D3DXVECTOR3> results(8);
    for (std::size_t i = 0; i < results.size(); ++i) {
        threads.emplace_back([&results, i] {
            D3DXCpuOptimizations(TRUE);
            D3DXVECTOR3 v(3, 4, 0);
            D3DXVec3Normalize(&results[i], &v);
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(MathVariantState.load(), kVariantSse2);
    EXPECT_TRUE(TableEquals(BuildVariantTable(kVariantSse2)));
    for (const auto& r : results) EXPECT_NEAR(r.x, 0.6f, 1e-6f);
}

TEST_F(DispatchTest, CpuidFeatureFlagsFollowTheLeaves) {
    FakeProcessor p;
    p.maxStandardLeaf = 0;
    UseProcessor(p);
    EXPECT_EQ(CpuidFeatureFlags(), kCpuFlagAlways);

    p = FakeProcessor{};
    p.threeDNow = p.threeDNowExtended = p.amdMmxExtensions = true;
    UseProcessor(p);  // not AMD: the two extension flags stay clear
    EXPECT_EQ(CpuidFeatureFlags(),
              kCpuFlagAlways | kCpuFlagStandardLeaves | kCpuFlagExtendedLeaves | kCpuFlagMmx | kCpuFlag3DNow);

    p.vendor = "AuthenticAMD";
    UseProcessor(p);
    EXPECT_EQ(CpuidFeatureFlags(), kCpuFlagAlways | kCpuFlagStandardLeaves | kCpuFlagExtendedLeaves | kCpuFlagMmx |
                                       kCpuFlag3DNow | kCpuFlag3DNowExtended | kCpuFlagAmdMmxExtensions);

    p.maxExtendedLeaf = 0x80000000u;
    UseProcessor(p);
    EXPECT_EQ(CpuidFeatureFlags(), kCpuFlagAlways | kCpuFlagStandardLeaves | kCpuFlagMmx);
}

OSVERSIONINFOA Version(DWORD platform, DWORD major, DWORD minor, DWORD build) {
    OSVERSIONINFOA info{};
    info.dwPlatformId = platform;
    info.dwMajorVersion = major;
    info.dwMinorVersion = minor;
    info.dwBuildNumber = build;
    return info;
}

TEST_F(DispatchTest, ProcessorHasFeatureJudgesTheOperatingSystem) {
    FakeProcessor p = WithSse2();
    p.threeDNow = true;
    UseProcessor(p);
    // NT: SSE2 from CPUID, the rest from IsProcessorFeaturePresent.
    win32::OverrideProcessorFeature(PF_XMMI64_INSTRUCTIONS_AVAILABLE, false);
    win32::OverrideProcessorFeature(PF_MMX_INSTRUCTIONS_AVAILABLE, true);
    EXPECT_TRUE(ProcessorHasFeature(PF_XMMI64_INSTRUCTIONS_AVAILABLE));
    EXPECT_TRUE(ProcessorHasFeature(PF_MMX_INSTRUCTIONS_AVAILABLE));

    // Windows 98 second edition (4.10.2222): new enough for SSE.
    OSVERSIONINFOA info = Version(1, 4, 10, 2222);
    win32::OverrideVersionInfo(&info);
    EXPECT_TRUE(ProcessorHasFeature(PF_XMMI_INSTRUCTIONS_AVAILABLE));
    EXPECT_TRUE(ProcessorHasFeature(PF_XMMI64_INSTRUCTIONS_AVAILABLE));
    EXPECT_TRUE(ProcessorHasFeature(PF_3DNOW_INSTRUCTIONS_AVAILABLE));
    EXPECT_FALSE(ProcessorHasFeature(PF_MMX_INSTRUCTIONS_AVAILABLE));

    // 4.10 before build 1373, Windows 95 (4.0) and older: too old for SSE,
    // 3DNow! still answered.
    for (const OSVERSIONINFOA& old : {Version(1, 4, 10, 1372), Version(1, 4, 0, 950), Version(1, 3, 95, 5000)}) {
        win32::OverrideVersionInfo(&old);
        EXPECT_FALSE(ProcessorHasFeature(PF_XMMI_INSTRUCTIONS_AVAILABLE));
        EXPECT_FALSE(ProcessorHasFeature(PF_XMMI64_INSTRUCTIONS_AVAILABLE));
        EXPECT_TRUE(ProcessorHasFeature(PF_3DNOW_INSTRUCTIONS_AVAILABLE));
    }
    // The build number counts by its low 16 bits.
    info = Version(1, 4, 10, 0x04000000u | 1373u);
    win32::OverrideVersionInfo(&info);
    EXPECT_TRUE(ProcessorHasFeature(PF_XMMI_INSTRUCTIONS_AVAILABLE));

    info = Version(3, 10, 0, 0);
    win32::OverrideVersionInfo(&info);
    EXPECT_FALSE(ProcessorHasFeature(PF_XMMI_INSTRUCTIONS_AVAILABLE));
    EXPECT_FALSE(ProcessorHasFeature(PF_3DNOW_INSTRUCTIONS_AVAILABLE));

    win32::OverrideVersionInfo(nullptr);
    win32::SetVersionQueryFails(true);
    EXPECT_FALSE(ProcessorHasFeature(PF_XMMI64_INSTRUCTIONS_AVAILABLE));
    EXPECT_EQ(D3DXCpuOptimizations(TRUE), kVariantPortable);
    win32::SetVersionQueryFails(false);
}

TEST_F(DispatchTest, HasMmxReadsDisableMmxOnEveryCall) {
    UseProcessor(FakeProcessor{});
    EXPECT_EQ(HasMmx(), 1);
    win32::SetRegistryDword(HKEY_LOCAL_MACHINE, kDirect3DKey, "DisableMMX", 1);
    EXPECT_EQ(HasMmx(), 0);
    win32::SetRegistryDword(HKEY_LOCAL_MACHINE, kDirect3DKey, "DisableMMX", 0);
    EXPECT_EQ(HasMmx(), 0);  // the switch left the state at "no MMX"

    ResetMmxState();
    FakeProcessor noMmx;
    noMmx.mmx = false;
    UseProcessor(noMmx);
    EXPECT_EQ(HasMmx(), 0);
}

TEST_F(DispatchTest, ReadDirect3DRegistryValueChecksKeyValueAndType) {
    DWORD value = 0;
    EXPECT_EQ(ReadDirect3DRegistryValue(REG_DWORD, "DisableMMX", &value, sizeof value), 0);
    win32::SetRegistryDword(HKEY_LOCAL_MACHINE, kDirect3DKey, "DisableMMX", 7);
    EXPECT_EQ(ReadDirect3DRegistryValue(REG_DWORD, "DisableMMX", &value, sizeof value), 1);
    EXPECT_EQ(value, 7u);
    EXPECT_EQ(ReadDirect3DRegistryValue(REG_SZ, "DisableMMX", &value, sizeof value), 0);
    win32::DeleteRegistryKey(HKEY_LOCAL_MACHINE, kDirect3DKey);
    EXPECT_EQ(ReadDirect3DRegistryValue(REG_DWORD, "DisableMMX", &value, sizeof value), 0);
}

}  // namespace
}  // namespace valmere::math::test
