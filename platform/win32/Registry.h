// The in-memory registry behind RegOpenKeyA / RegQueryValueExA. At start it
// holds HKEY_LOCAL_MACHINE "Software\Direct3D" with the values seeded from
// the environment: VALMERE_DISABLE_MMX=<n> gives "DisableMMX" and
// VALMERE_DISABLE_D3DXPSGP=<n> gives "DisableD3DXPSGP", both REG_DWORD.
// Tests write values directly through these functions.
#pragma once

#include <cstddef>
#include <string>

#include "platform/win32/Win32.h"

namespace valmere::win32 {

// Key paths are compared without regard to case, as Win32 does.
void SetRegistryValue(HKEY root, const std::string& keyPath, const std::string& valueName, DWORD type,
                      const void* data, std::size_t bytes);
void SetRegistryDword(HKEY root, const std::string& keyPath, const std::string& valueName, DWORD value);
void DeleteRegistryValue(HKEY root, const std::string& keyPath, const std::string& valueName);
// Removes a whole key, so that opening it fails.
void DeleteRegistryKey(HKEY root, const std::string& keyPath);
// Back to the state seeded from the environment.
void ResetRegistry();

}  // namespace valmere::win32
