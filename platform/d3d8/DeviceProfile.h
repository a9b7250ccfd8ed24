// Device profiles: the adapter that Direct3DCreate8 reports and that its
// devices honour: capabilities, the formats accepted per resource type and
// usage (CheckDeviceFormat and every Create call), the full-screen display
// modes and the desktop mode. Tests select a profile to emulate the adapters
// the texture code adapts to.
//
// The profile is copied when Direct3DCreate8 runs: the Direct3D object and
// every device it creates keep that copy, so selecting another profile
// affects only objects created afterwards.
#pragma once

#include <vector>

#include "platform/d3d8/D3D8Types.h"

namespace valmere::d3d8 {

// Bits of FormatSupport::resourceTypes.
constexpr DWORD ResourceBit(D3DRESOURCETYPE type) { return 1u << type; }

struct FormatSupport {
    D3DFORMAT format;
    DWORD resourceTypes;  // ResourceBit of every type that may have this format
    DWORD usages;         // D3DUSAGE_RENDERTARGET, D3DUSAGE_DEPTHSTENCIL, D3DUSAGE_DYNAMIC accepted
};

struct DeviceProfile {
    D3DCAPS8 caps{};
    std::vector<FormatSupport> formats;
    std::vector<D3DDISPLAYMODE> fullscreenModes;
    D3DDISPLAYMODE desktopMode{};
    UINT availableTextureMemory = 0;
};

// A capable adapter: no power-of-two or aspect limit, 4096 texels a side,
// mipmapped cube and volume maps; the common RGB, alpha and luminance
// formats and DXT1 to DXT5 as textures; R5G6B5, X8R8G8B8 and A8R8G8B8 render
// targets; D16, D24S8, D24X8 and D32 depth; every blend factor; 640x480,
// 800x600 and 1024x768 in R5G6B5 and X8R8G8B8, an 800x600 R5G6B5 desktop.
// No dynamic textures (see WithDynamicTextures).
DeviceProfile DefaultDeviceProfile();

// Variants of a profile that tests ask for.
DeviceProfile PowerOfTwoOnly(DeviceProfile profile);        // D3DPTEXTURECAPS_POW2 (and cube/volume POW2)
DeviceProfile ConditionalNonPowerOfTwo(DeviceProfile profile);  // POW2 with NONPOW2CONDITIONAL
DeviceProfile SquareOnly(DeviceProfile profile);
DeviceProfile WithoutMipmaps(DeviceProfile profile);
DeviceProfile WithDynamicTextures(DeviceProfile profile);
DeviceProfile WithClippedTransformedVertices(DeviceProfile profile);  // D3DPMISCCAPS_CLIPTLVERTS
DeviceProfile WithoutFormat(DeviceProfile profile, D3DFORMAT format);
DeviceProfile WithoutFullscreenMode(DeviceProfile profile, UINT width, UINT height, D3DFORMAT format);

// The profile that the next Direct3DCreate8 copies.
void SelectDeviceProfile(const DeviceProfile& profile);
// Back to DefaultDeviceProfile().
void ResetDeviceProfile();
const DeviceProfile& SelectedDeviceProfile();

// Whether the profile accepts a resource of this type, usage and format.
bool ProfileAcceptsFormat(const DeviceProfile& profile, D3DRESOURCETYPE type, DWORD usage, D3DFORMAT format);
// Whether the format is the format of one of the profile's display modes.
bool IsDisplayFormat(const DeviceProfile& profile, D3DFORMAT format);

}  // namespace valmere::d3d8
