// Version and processor queries, with answers that tests can override.
#include "platform/win32/SystemInfo.h"

#include <cstring>
#include <map>
#include <mutex>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace valmere::win32 {
namespace {

struct Overrides {
    std::mutex mutex;
    bool versionOverridden = false;
    OSVERSIONINFOA version{};
    bool versionFails = false;
    std::map<DWORD, bool> features;
};

Overrides& State() {
    static Overrides overrides;
    return overrides;
}

// The default answer: the NT family, version 5.1 build 2600.
OSVERSIONINFOA DefaultVersion() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    info.dwMajorVersion = 5;
    info.dwMinorVersion = 1;
    info.dwBuildNumber = 2600;
    info.dwPlatformId = VER_PLATFORM_WIN32_NT;
    return info;
}

struct CpuidRegisters {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
};

bool Cpuid(unsigned leaf, CpuidRegisters& out) {
#if defined(__x86_64__) || defined(__i386__)
    return __get_cpuid(leaf, &out.eax, &out.ebx, &out.ecx, &out.edx) != 0;
#else
    (void)leaf;
    (void)out;
    return false;
#endif
}

bool FeatureFromCpuid(DWORD feature) {
    CpuidRegisters standard;
    CpuidRegisters extended;
    switch (feature) {
    case PF_MMX_INSTRUCTIONS_AVAILABLE:
        return Cpuid(1, standard) && (standard.edx & (1u << 23));
    case PF_XMMI_INSTRUCTIONS_AVAILABLE:
        return Cpuid(1, standard) && (standard.edx & (1u << 25));
    case PF_XMMI64_INSTRUCTIONS_AVAILABLE:
        return Cpuid(1, standard) && (standard.edx & (1u << 26));
    case PF_3DNOW_INSTRUCTIONS_AVAILABLE:
        return Cpuid(0x80000001u, extended) && (extended.edx & (1u << 31));
    default:
        return false;
    }
}

}  // namespace

void OverrideVersionInfo(const OSVERSIONINFOA* info) {
    std::lock_guard lock(State().mutex);
    State().versionOverridden = info != nullptr;
    if (info) State().version = *info;
}

void SetVersionQueryFails(bool fails) {
    std::lock_guard lock(State().mutex);
    State().versionFails = fails;
}

void OverrideProcessorFeature(DWORD feature, bool present) {
    std::lock_guard lock(State().mutex);
    State().features[feature] = present;
}

void ResetSystemInfoOverrides() {
    std::lock_guard lock(State().mutex);
    State().versionOverridden = false;
    State().versionFails = false;
    State().features.clear();
}

}  // namespace valmere::win32

using valmere::win32::State;

BOOL GetVersionExA(LPOSVERSIONINFOA info) {
    if (!info || info->dwOSVersionInfoSize < sizeof(OSVERSIONINFOA)) return FALSE;
    std::lock_guard lock(State().mutex);
    if (State().versionFails) return FALSE;
    const OSVERSIONINFOA answer = State().versionOverridden ? State().version : valmere::win32::DefaultVersion();
    const DWORD size = info->dwOSVersionInfoSize;
    *info = answer;
    info->dwOSVersionInfoSize = size;
    return TRUE;
}

BOOL IsProcessorFeaturePresent(DWORD feature) {
    {
        std::lock_guard lock(State().mutex);
        const auto found = State().features.find(feature);
        if (found != State().features.end()) return found->second ? TRUE : FALSE;
    }
    return valmere::win32::FeatureFromCpuid(feature) ? TRUE : FALSE;
}
