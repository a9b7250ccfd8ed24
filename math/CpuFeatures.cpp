#include "math/CpuFeatures.h"

#include <atomic>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace valmere::math {
namespace {

CpuidRegisters ProcessorCpuid(std::uint32_t leaf) {
    CpuidRegisters r{0, 0, 0, 0};
#if defined(__x86_64__) || defined(__i386__)
    __cpuid(leaf, r.eax, r.ebx, r.ecx, r.edx);
#else
    (void)leaf;
#endif
    return r;
}

std::atomic<CpuidFunction> g_cpuid{&ProcessorCpuid};
// -1 not tested, 0 no MMX, 1 MMX
std::atomic<int> g_mmxState{-1};

constexpr std::uint32_t kExtendedBase = 0x80000000u;
constexpr std::uint32_t kEdxMmx = 1u << 23;
constexpr std::uint32_t kEdxSse = 1u << 25;
constexpr std::uint32_t kEdxSse2 = 1u << 26;
constexpr std::uint32_t kEdx3DNow = 1u << 31;
constexpr std::uint32_t kEdx3DNowExtended = 1u << 30;
constexpr std::uint32_t kEdxAmdMmxExtensions = 1u << 22;

// Leaf 1 EDX, or 0 when the processor has no standard leaf above 0. On this
// platform CPUID cannot fault, so no guard is needed around it.
std::uint32_t StandardFeatureEdx() {
    if (Cpuid(0).eax == 0) return 0;
    return Cpuid(1).edx;
}

bool Cpuid3DNow() {
    if (Cpuid(kExtendedBase).eax < kExtendedBase + 1) return false;
    return (Cpuid(kExtendedBase + 1).edx & kEdx3DNow) != 0;
}

// Windows 95/98 before 4.10 build 1373 cannot save the SSE registers.
bool TooOldForSse(const OSVERSIONINFOA& info, bool queried) {
    if (!queried) return true;
    if (info.dwPlatformId != 1) return false;
    if (info.dwMajorVersion < 4) return true;
    if (info.dwMajorVersion == 4 && info.dwMinorVersion < 10) return true;
    return info.dwMajorVersion == 4 && (info.dwBuildNumber & 0xFFFF) < 1373;
}

}  // namespace

void SetCpuidFunction(CpuidFunction cpuid) { g_cpuid.store(cpuid ? cpuid : &ProcessorCpuid); }

CpuidRegisters Cpuid(std::uint32_t leaf) { return g_cpuid.load()(leaf); }

std::uint32_t CpuidFeatureFlags() {
    std::uint32_t flags = kCpuFlagAlways;
    const CpuidRegisters leaf0 = Cpuid(0);
    char vendor[12];
    std::memcpy(vendor, &leaf0.ebx, 4);
    std::memcpy(vendor + 4, &leaf0.edx, 4);
    std::memcpy(vendor + 8, &leaf0.ecx, 4);
    if (leaf0.eax == 0) return flags;

    flags |= kCpuFlagStandardLeaves;
    if (Cpuid(1).edx & kEdxMmx) flags |= kCpuFlagMmx;
    if (Cpuid(kExtendedBase).eax > kExtendedBase) {
        flags |= kCpuFlagExtendedLeaves;
        const std::uint32_t edx = Cpuid(kExtendedBase + 1).edx;
        if (edx & kEdx3DNow) flags |= kCpuFlag3DNow;
        if (std::memcmp(vendor, "AuthenticAMD", 12) == 0) {
            if (edx & kEdx3DNowExtended) flags |= kCpuFlag3DNowExtended;
            if (edx & kEdxAmdMmxExtensions) flags |= kCpuFlagAmdMmxExtensions;
        }
    }
    return flags;
}

BOOL ProcessorHasFeature(DWORD feature) {
    OSVERSIONINFOA info;
    std::memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    const bool queried = GetVersionExA(&info) != FALSE;
    const bool tooOld = TooOldForSse(info, queried);

    if (queried && info.dwPlatformId == 2) {
        if (feature == PF_XMMI64_INSTRUCTIONS_AVAILABLE) return (StandardFeatureEdx() & kEdxSse2) ? TRUE : FALSE;
        return IsProcessorFeaturePresent(feature) ? TRUE : FALSE;
    }
    if (queried && info.dwPlatformId == 1) {
        switch (feature) {
            case PF_XMMI_INSTRUCTIONS_AVAILABLE: return !tooOld && (StandardFeatureEdx() & kEdxSse) ? TRUE : FALSE;
            case PF_3DNOW_INSTRUCTIONS_AVAILABLE: return Cpuid3DNow() ? TRUE : FALSE;
            case PF_XMMI64_INSTRUCTIONS_AVAILABLE:
                return !tooOld && (StandardFeatureEdx() & kEdxSse2) ? TRUE : FALSE;
            default: return FALSE;
        }
    }
    return FALSE;
}

int ReadDirect3DRegistryValue(DWORD expectedType, LPCSTR valueName, void* buffer, DWORD bufferBytes) {
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Direct3D", &key) != ERROR_SUCCESS) return 0;
    DWORD type = REG_NONE;
    DWORD bytes = bufferBytes;
    const LONG result = RegQueryValueExA(key, valueName, nullptr, &type, static_cast<LPBYTE>(buffer), &bytes);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == expectedType ? 1 : 0;
}

int HasMmx() {
    DWORD disable = 0;
    if (ReadDirect3DRegistryValue(REG_DWORD, "DisableMMX", &disable, sizeof disable) && disable != 0) {
        g_mmxState.store(0);
        return 0;
    }
    if (g_mmxState.load() == -1) g_mmxState.store((StandardFeatureEdx() & kEdxMmx) ? 1 : 0);
    return g_mmxState.load();
}

void ResetMmxState() { g_mmxState.store(-1); }

}  // namespace valmere::math
