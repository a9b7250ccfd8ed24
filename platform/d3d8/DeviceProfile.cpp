#include "platform/d3d8/DeviceProfile.h"

#include <algorithm>

namespace valmere::d3d8 {
namespace {

constexpr DWORD kAllTextureTypes = ResourceBit(D3DRTYPE_TEXTURE) | ResourceBit(D3DRTYPE_CUBETEXTURE) |
                                   ResourceBit(D3DRTYPE_VOLUMETEXTURE) | ResourceBit(D3DRTYPE_SURFACE) |
                                   ResourceBit(D3DRTYPE_VOLUME);
constexpr DWORD kPlanarTypes =
    ResourceBit(D3DRTYPE_TEXTURE) | ResourceBit(D3DRTYPE_CUBETEXTURE) | ResourceBit(D3DRTYPE_SURFACE);
// Every usage bit a profile can restrict; the others (write-only, software
// processing...) are always accepted.
constexpr DWORD kRestrictedUsages = D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL | D3DUSAGE_DYNAMIC;

D3DCAPS8 CapableAdapterCaps() {
    D3DCAPS8 caps{};
    caps.DeviceType = D3DDEVTYPE_HAL;
    caps.AdapterOrdinal = 0;
    caps.Caps2 = D3DCAPS2_FULLSCREENGAMMA;
    caps.PresentationIntervals = D3DPRESENT_INTERVAL_ONE | D3DPRESENT_INTERVAL_IMMEDIATE;
    caps.PrimitiveMiscCaps =
        D3DPMISCCAPS_MASKZ | D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW | D3DPMISCCAPS_BLENDOP;
    caps.ZCmpCaps = 0xFF;
    caps.AlphaCmpCaps = 0xFF;
    caps.SrcBlendCaps = 0x1FFF;
    caps.DestBlendCaps = 0x1FFF;
    caps.TextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_CUBEMAP |
                       D3DPTEXTURECAPS_VOLUMEMAP | D3DPTEXTURECAPS_MIPMAP | D3DPTEXTURECAPS_MIPVOLUMEMAP |
                       D3DPTEXTURECAPS_MIPCUBEMAP;
    const DWORD filters = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MIPFPOINT |
                          D3DPTFILTERCAPS_MIPFLINEAR | D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR;
    caps.TextureFilterCaps = filters;
    caps.CubeTextureFilterCaps = filters;
    caps.VolumeTextureFilterCaps = filters;
    const DWORD addressing =
        D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_MIRROR | D3DPTADDRESSCAPS_CLAMP | D3DPTADDRESSCAPS_BORDER;
    caps.TextureAddressCaps = addressing;
    caps.VolumeTextureAddressCaps = addressing;
    caps.MaxTextureWidth = 4096;
    caps.MaxTextureHeight = 4096;
    caps.MaxVolumeExtent = 512;
    caps.MaxTextureRepeat = 8192;
    caps.MaxTextureAspectRatio = 0;  // no limit
    caps.MaxAnisotropy = 1;
    caps.MaxVertexW = 1.0e10f;
    caps.GuardBandLeft = -1.0e8f;
    caps.GuardBandTop = -1.0e8f;
    caps.GuardBandRight = 1.0e8f;
    caps.GuardBandBottom = 1.0e8f;
    caps.FVFCaps = 8;  // texture coordinate sets
    caps.MaxTextureBlendStages = D3DMAXTEXTURESTAGES;
    caps.MaxSimultaneousTextures = D3DMAXTEXTURESTAGES;
    caps.MaxActiveLights = 8;
    caps.MaxPointSize = 1.0f;
    caps.MaxPrimitiveCount = 0xFFFFF;
    caps.MaxVertexIndex = 0xFFFFF;
    caps.MaxStreams = 1;
    caps.MaxStreamStride = 255;
    return caps;
}

std::vector<FormatSupport> CapableAdapterFormats() {
    std::vector<FormatSupport> formats;
    for (D3DFORMAT format : {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_R5G6B5})
        formats.push_back({format, kAllTextureTypes, D3DUSAGE_RENDERTARGET | D3DUSAGE_DYNAMIC});
    for (D3DFORMAT format : {D3DFMT_X1R5G5B5, D3DFMT_A1R5G5B5, D3DFMT_A4R4G4B4, D3DFMT_X4R4G4B4, D3DFMT_R3G3B2,
                             D3DFMT_A8R3G3B2, D3DFMT_A8, D3DFMT_L8, D3DFMT_A8L8, D3DFMT_A4L4})
        formats.push_back({format, kAllTextureTypes, D3DUSAGE_DYNAMIC});
    for (D3DFORMAT format : {D3DFMT_DXT1, D3DFMT_DXT2, D3DFMT_DXT3, D3DFMT_DXT4, D3DFMT_DXT5})
        formats.push_back({format, kPlanarTypes, D3DUSAGE_DYNAMIC});
    for (D3DFORMAT format : {D3DFMT_D16, D3DFMT_D24S8, D3DFMT_D24X8, D3DFMT_D32})
        formats.push_back({format, ResourceBit(D3DRTYPE_SURFACE), D3DUSAGE_DEPTHSTENCIL});
    return formats;
}

std::vector<D3DDISPLAYMODE> CapableAdapterModes() {
    std::vector<D3DDISPLAYMODE> modes;
    for (D3DFORMAT format : {D3DFMT_R5G6B5, D3DFMT_X8R8G8B8})
        for (auto [width, height] : {std::pair{640u, 480u}, {800u, 600u}, {1024u, 768u}})
            modes.push_back({width, height, 60, format});
    return modes;
}

DeviceProfile& Selected() {
    static DeviceProfile profile = DefaultDeviceProfile();
    return profile;
}

}  // namespace

DeviceProfile DefaultDeviceProfile() {
    DeviceProfile profile;
    profile.caps = CapableAdapterCaps();
    profile.formats = CapableAdapterFormats();
    profile.fullscreenModes = CapableAdapterModes();
    profile.desktopMode = {800, 600, 60, D3DFMT_R5G6B5};
    profile.availableTextureMemory = 64u << 20;
    return profile;
}

DeviceProfile PowerOfTwoOnly(DeviceProfile profile) {
    profile.caps.TextureCaps |= D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_CUBEMAP_POW2 | D3DPTEXTURECAPS_VOLUMEMAP_POW2;
    return profile;
}

DeviceProfile ConditionalNonPowerOfTwo(DeviceProfile profile) {
    profile = PowerOfTwoOnly(std::move(profile));
    profile.caps.TextureCaps |= D3DPTEXTURECAPS_NONPOW2CONDITIONAL;
    return profile;
}

DeviceProfile SquareOnly(DeviceProfile profile) {
    profile.caps.TextureCaps |= D3DPTEXTURECAPS_SQUAREONLY;
    return profile;
}

DeviceProfile WithoutMipmaps(DeviceProfile profile) {
    profile.caps.TextureCaps &=
        ~(D3DPTEXTURECAPS_MIPMAP | D3DPTEXTURECAPS_MIPCUBEMAP | D3DPTEXTURECAPS_MIPVOLUMEMAP);
    return profile;
}

DeviceProfile WithDynamicTextures(DeviceProfile profile) {
    profile.caps.Caps2 |= D3DCAPS2_DYNAMICTEXTURES;
    return profile;
}

DeviceProfile WithClippedTransformedVertices(DeviceProfile profile) {
    profile.caps.PrimitiveMiscCaps |= D3DPMISCCAPS_CLIPTLVERTS;
    return profile;
}

DeviceProfile WithoutFormat(DeviceProfile profile, D3DFORMAT format) {
    std::erase_if(profile.formats, [format](const FormatSupport& row) { return row.format == format; });
    return profile;
}

DeviceProfile WithoutFullscreenMode(DeviceProfile profile, UINT width, UINT height, D3DFORMAT format) {
    std::erase_if(profile.fullscreenModes, [&](const D3DDISPLAYMODE& mode) {
        return mode.Width == width && mode.Height == height && mode.Format == format;
    });
    return profile;
}

void SelectDeviceProfile(const DeviceProfile& profile) { Selected() = profile; }
void ResetDeviceProfile() { Selected() = DefaultDeviceProfile(); }
const DeviceProfile& SelectedDeviceProfile() { return Selected(); }

bool ProfileAcceptsFormat(const DeviceProfile& profile, D3DRESOURCETYPE type, DWORD usage, D3DFORMAT format) {
    if ((usage & D3DUSAGE_DYNAMIC) != 0 && (profile.caps.Caps2 & D3DCAPS2_DYNAMICTEXTURES) == 0 &&
        type != D3DRTYPE_VERTEXBUFFER)
        return false;
    const auto row = std::find_if(profile.formats.begin(), profile.formats.end(),
                                  [format](const FormatSupport& entry) { return entry.format == format; });
    if (row == profile.formats.end()) return false;
    if (type > 31 || (row->resourceTypes & ResourceBit(type)) == 0) return false;
    return (usage & kRestrictedUsages & ~row->usages) == 0;
}

bool IsDisplayFormat(const DeviceProfile& profile, D3DFORMAT format) {
    return std::any_of(profile.fullscreenModes.begin(), profile.fullscreenModes.end(),
                       [format](const D3DDISPLAYMODE& mode) { return mode.Format == format; }) ||
           profile.desktopMode.Format == format;
}

}  // namespace valmere::d3d8
