// Test controls for the version and processor queries. By default
// GetVersionExA reports Windows NT 5.1 (platform 2) and
// IsProcessorFeaturePresent answers from CPUID.
#pragma once

#include "platform/win32/Win32.h"

namespace valmere::win32 {

// Makes GetVersionExA report these fields (size field ignored); null
// restores the default answer.
void OverrideVersionInfo(const OSVERSIONINFOA* info);
// Makes GetVersionExA fail (return FALSE) while set.
void SetVersionQueryFails(bool fails);
// Makes IsProcessorFeaturePresent(feature) answer `present`.
void OverrideProcessorFeature(DWORD feature, bool present);
// Restores every default answer.
void ResetSystemInfoOverrides();

}  // namespace valmere::win32
