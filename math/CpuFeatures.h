// Processor feature tests: the CPUID flags, the operating system's answers
// and the two registry switches under HKEY_LOCAL_MACHINE "Software\Direct3D".
// The CPUID instruction is reached through a replaceable function so that
// tests can play any processor; the operating system's answers come from
// GetVersionExA and IsProcessorFeaturePresent (see
// platform/win32/SystemInfo.h for their test controls).
#pragma once

#include <cstdint>

#include "platform/win32/Win32.h"

namespace valmere::math {

struct CpuidRegisters {
    std::uint32_t eax, ebx, ecx, edx;
};
using CpuidFunction = CpuidRegisters (*)(std::uint32_t leaf);

// Replaces the CPUID instruction; null restores it. Off x86 the instruction
// is replaced by one that reports no leaves.
void SetCpuidFunction(CpuidFunction cpuid);
CpuidRegisters Cpuid(std::uint32_t leaf);

// CpuidFeatureFlags bits.
inline constexpr std::uint32_t kCpuFlagAlways = 0x1;
inline constexpr std::uint32_t kCpuFlagStandardLeaves = 0x2;
inline constexpr std::uint32_t kCpuFlagExtendedLeaves = 0x4;
inline constexpr std::uint32_t kCpuFlagMmx = 0x20;
inline constexpr std::uint32_t kCpuFlag3DNow = 0x80;
inline constexpr std::uint32_t kCpuFlag3DNowExtended = 0x100;
inline constexpr std::uint32_t kCpuFlagAmdMmxExtensions = 0x200;

// The flags above from CPUID leaves 0, 1, 0x80000000 and 0x80000001; the
// two AMD extension flags only with the vendor "AuthenticAMD".
std::uint32_t CpuidFeatureFlags();

// Nonzero when the feature may be used: PF_XMMI_INSTRUCTIONS_AVAILABLE (6,
// SSE), PF_3DNOW_INSTRUCTIONS_AVAILABLE (7) or
// PF_XMMI64_INSTRUCTIONS_AVAILABLE (10, SSE2), judged with the
// operating system's version (NT family, or 95/98 recent enough for SSE).
BOOL ProcessorHasFeature(DWORD feature);

// 1 when MMX code may be used, else 0. A nonzero REG_DWORD "DisableMMX" says
// 0 (read on every call); otherwise CPUID leaf 1, tested once.
int HasMmx();

// Reads a value of HKEY_LOCAL_MACHINE "Software\Direct3D" into buffer.
// Returns 1 when the key opens, the value exists and has the expected type;
// otherwise 0.
int ReadDirect3DRegistryValue(DWORD expectedType, LPCSTR valueName, void* buffer, DWORD bufferBytes);

// Forgets the MMX answer, so that the next HasMmx tests CPUID again (tests).
void ResetMmxState();

}  // namespace valmere::math
