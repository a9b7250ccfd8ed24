// Resource creation, CopyRects and UpdateTexture.
#include <algorithm>
#include <new>
#include <utility>
#include <vector>

#include "platform/d3d8/Device.h"
#include "platform/d3d8/FailureInjection.h"
#include "platform/d3d8/Textures.h"
#include "platform/d3d8/VertexBuffer.h"

namespace valmere::d3d8 {
namespace {

constexpr DWORD kTextureUsages = D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL | D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC;
constexpr DWORD kVertexBufferUsages =
    D3DUSAGE_WRITEONLY | D3DUSAGE_SOFTWAREPROCESSING | D3DUSAGE_DONOTCLIP | D3DUSAGE_POINTS | D3DUSAGE_DYNAMIC;
// Largest side of memory that no caps limit (scratch textures, image surfaces).
constexpr UINT kUncheckedExtentLimit = 8192;

bool IsPowerOfTwo(UINT value) { return (value & (value - 1)) == 0; }

UINT BitLength(UINT value) {
    UINT bits = 0;
    for (; value != 0; value >>= 1) ++bits;
    return bits;
}

struct TypeCaps {
    DWORD present;  // 0 for 2D textures, which every adapter has
    DWORD powerOfTwo;
    DWORD mipmaps;
};

TypeCaps CapsBitsOf(D3DRESOURCETYPE type) {
    switch (type) {
        case D3DRTYPE_CUBETEXTURE:
            return {D3DPTEXTURECAPS_CUBEMAP, D3DPTEXTURECAPS_CUBEMAP_POW2, D3DPTEXTURECAPS_MIPCUBEMAP};
        case D3DRTYPE_VOLUMETEXTURE:
            return {D3DPTEXTURECAPS_VOLUMEMAP, D3DPTEXTURECAPS_VOLUMEMAP_POW2, D3DPTEXTURECAPS_MIPVOLUMEMAP};
        default:
            return {0, D3DPTEXTURECAPS_POW2, D3DPTEXTURECAPS_MIPMAP};
    }
}

bool IsKnownPool(D3DPOOL pool) { return pool <= D3DPOOL_SCRATCH; }

template <class Object, class Interface, class... Args>
HRESULT Construct(Interface** out, Args&&... args) {
    try {
        *out = new Object(std::forward<Args>(args)...);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}

}  // namespace

// Checks a texture request against the adapter and settles the level count
// (0 asks for the whole chain). Scratch textures are not limited by the
// adapter, only by kUncheckedExtentLimit.
HRESULT Device::CheckTextureRequest(D3DRESOURCETYPE type, UINT width, UINT height, UINT depth, UINT& levels,
                                    DWORD usage, D3DFORMAT format, D3DPOOL pool) const {
    const FormatLayout* layout = FindFormatLayout(format);
    if (layout == nullptr || layout->kind == FormatClass::Depth || !IsKnownPool(pool)) return D3DERR_INVALIDCALL;
    if ((usage & ~kTextureUsages) != 0) return D3DERR_INVALIDCALL;
    if ((usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL)) != 0 && pool != D3DPOOL_DEFAULT)
        return D3DERR_INVALIDCALL;
    if ((usage & D3DUSAGE_DYNAMIC) != 0 && pool == D3DPOOL_MANAGED) return D3DERR_INVALIDCALL;
    if (width == 0 || height == 0 || depth == 0) return D3DERR_INVALIDCALL;
    if (IsBlockFormat(*layout) && (width % 4 != 0 || height % 4 != 0)) return D3DERR_INVALIDCALL;

    const UINT fullChain = BitLength(std::max({width, height, depth}));
    if (pool == D3DPOOL_SCRATCH) {
        if (std::max({width, height, depth}) > kUncheckedExtentLimit || levels > fullChain) return D3DERR_INVALIDCALL;
        if (levels == 0) levels = fullChain;
        return D3D_OK;
    }

    const D3DCAPS8& caps = Profile().caps;
    const TypeCaps bits = CapsBitsOf(type);
    if (!ProfileAcceptsFormat(Profile(), type, usage, format)) return D3DERR_INVALIDCALL;
    if (bits.present != 0 && (caps.TextureCaps & bits.present) == 0) return D3DERR_INVALIDCALL;
    if (type == D3DRTYPE_VOLUMETEXTURE) {
        if (std::max({width, height, depth}) > caps.MaxVolumeExtent) return D3DERR_INVALIDCALL;
    } else if (width > caps.MaxTextureWidth || height > caps.MaxTextureHeight) {
        return D3DERR_INVALIDCALL;
    }
    if (type == D3DRTYPE_TEXTURE) {
        if ((caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY) != 0 && width != height) return D3DERR_INVALIDCALL;
        const DWORD ratio = caps.MaxTextureAspectRatio;
        if (ratio != 0 && (width > ratio * height || height > ratio * width)) return D3DERR_INVALIDCALL;
    }

    const bool mipmaps = (caps.TextureCaps & bits.mipmaps) != 0;
    if (levels == 0) levels = mipmaps ? fullChain : 1;
    if (levels > fullChain || (levels > 1 && !mipmaps)) return D3DERR_INVALIDCALL;

    const bool powerOfTwo = IsPowerOfTwo(width) && IsPowerOfTwo(height) && IsPowerOfTwo(depth);
    if ((caps.TextureCaps & bits.powerOfTwo) != 0 && !powerOfTwo) {
        // Conditional support: 2D textures of one level only.
        const bool conditional = type == D3DRTYPE_TEXTURE && (caps.TextureCaps & D3DPTEXTURECAPS_NONPOW2CONDITIONAL) != 0;
        if (!conditional || levels != 1) return D3DERR_INVALIDCALL;
    }
    return D3D_OK;
}

HRESULT Device::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DTexture8** texture) {
    if (InjectedFailure("CreateTexture")) return D3DERR_OUTOFVIDEOMEMORY;
    if (texture == nullptr) return D3DERR_INVALIDCALL;
    const HRESULT check = CheckTextureRequest(D3DRTYPE_TEXTURE, width, height, 1, levels, usage, format, pool);
    if (FAILED(check)) return check;
    return Construct<Texture>(texture, this, *FindFormatLayout(format), width, height, levels, usage, pool);
}

HRESULT Device::CreateCubeTexture(UINT edgeLength, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DCubeTexture8** cubeTexture) {
    if (InjectedFailure("CreateCubeTexture")) return D3DERR_OUTOFVIDEOMEMORY;
    if (cubeTexture == nullptr) return D3DERR_INVALIDCALL;
    const HRESULT check =
        CheckTextureRequest(D3DRTYPE_CUBETEXTURE, edgeLength, edgeLength, 1, levels, usage, format, pool);
    if (FAILED(check)) return check;
    return Construct<CubeTexture>(cubeTexture, this, *FindFormatLayout(format), edgeLength, levels, usage, pool);
}

HRESULT Device::CreateVolumeTexture(UINT width, UINT height, UINT depth, UINT levels, DWORD usage, D3DFORMAT format,
                                    D3DPOOL pool, IDirect3DVolumeTexture8** volumeTexture) {
    if (InjectedFailure("CreateVolumeTexture")) return D3DERR_OUTOFVIDEOMEMORY;
    if (volumeTexture == nullptr || (usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL)) != 0)
        return D3DERR_INVALIDCALL;
    const HRESULT check =
        CheckTextureRequest(D3DRTYPE_VOLUMETEXTURE, width, height, depth, levels, usage, format, pool);
    if (FAILED(check)) return check;
    return Construct<VolumeTexture>(volumeTexture, this, *FindFormatLayout(format), width, height, depth, levels,
                                    usage, pool);
}

HRESULT Device::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                   IDirect3DVertexBuffer8** vertexBuffer) {
    if (InjectedFailure("CreateVertexBuffer")) return D3DERR_OUTOFVIDEOMEMORY;
    if (vertexBuffer == nullptr || length == 0 || (usage & ~kVertexBufferUsages) != 0) return D3DERR_INVALIDCALL;
    if (pool != D3DPOOL_DEFAULT && pool != D3DPOOL_MANAGED && pool != D3DPOOL_SYSTEMMEM) return D3DERR_INVALIDCALL;
    if ((usage & D3DUSAGE_DYNAMIC) != 0 && pool == D3DPOOL_MANAGED) return D3DERR_INVALIDCALL;
    if (fvf != 0 && (FvfVertexSize(fvf) == 0 || length < FvfVertexSize(fvf))) return D3DERR_INVALIDCALL;
    return Construct<VertexBuffer>(vertexBuffer, this, length, usage, fvf, pool);
}

HRESULT Device::CreateFreeSurface(UINT width, UINT height, D3DFORMAT format, DWORD usage, D3DPOOL pool, bool lockable,
                                  IDirect3DSurface8** surface) {
    return Construct<Surface>(surface, this, nullptr, PixelStorage(*FindFormatLayout(format), width, height), usage, pool,
                              lockable, DeviceResource::Tracking::Tracked);
}

// Render targets and depth buffers: default-pool surfaces of a format the
// adapter accepts for that usage, no larger than its textures.
bool Device::AcceptsTargetSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                  DWORD usage) const {
    return multiSample == D3DMULTISAMPLE_NONE && width != 0 && height != 0 &&
           width <= Profile().caps.MaxTextureWidth && height <= Profile().caps.MaxTextureHeight &&
           ProfileAcceptsFormat(Profile(), D3DRTYPE_SURFACE, usage, format);
}

HRESULT Device::CreateRenderTarget(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                   BOOL lockable, IDirect3DSurface8** surface) {
    if (InjectedFailure("CreateRenderTarget")) return D3DERR_OUTOFVIDEOMEMORY;
    if (surface == nullptr || !AcceptsTargetSurface(width, height, format, multiSample, D3DUSAGE_RENDERTARGET))
        return D3DERR_INVALIDCALL;
    return CreateFreeSurface(width, height, format, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT, lockable != FALSE, surface);
}

HRESULT Device::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                          IDirect3DSurface8** surface) {
    if (InjectedFailure("CreateDepthStencilSurface")) return D3DERR_OUTOFVIDEOMEMORY;
    if (surface == nullptr || !AcceptsTargetSurface(width, height, format, multiSample, D3DUSAGE_DEPTHSTENCIL))
        return D3DERR_INVALIDCALL;
    return CreateFreeSurface(width, height, format, D3DUSAGE_DEPTHSTENCIL, D3DPOOL_DEFAULT,
                             format == D3DFMT_D16_LOCKABLE, surface);
}

// Image surfaces live in system memory and may have any format the device
// can store, whether or not the adapter could texture from it.
HRESULT Device::CreateImageSurface(UINT width, UINT height, D3DFORMAT format, IDirect3DSurface8** surface) {
    if (InjectedFailure("CreateImageSurface")) return E_OUTOFMEMORY;
    const FormatLayout* layout = FindFormatLayout(format);
    if (surface == nullptr || layout == nullptr || layout->kind == FormatClass::Depth || width == 0 || height == 0 ||
        width > kUncheckedExtentLimit || height > kUncheckedExtentLimit)
        return D3DERR_INVALIDCALL;
    if (IsBlockFormat(*layout) && (width % 4 != 0 || height % 4 != 0)) return D3DERR_INVALIDCALL;
    return CreateFreeSurface(width, height, format, 0, D3DPOOL_SYSTEMMEM, true, surface);
}

namespace {

// Compressed surfaces copy whole 4x4 blocks. A rectangle that ends inside a
// block at its own surface's right or bottom edge (a level smaller than a
// block, or the partial last blocks of one) carries that whole block, so
// the other rectangle may end inside the same block: at its own edge, or
// in the middle of a larger surface, whose block then takes the whole
// carried block. Rectangles otherwise start and end on block boundaries.
bool ValidRegions(const PixelStorage& from, D3DBOX region, const PixelStorage& to, D3DBOX target) {
    if (IsBlockFormat(from.Layout())) {
        const auto carry = [](UINT end, UINT size, UINT& otherEnd, UINT otherSize) {
            if (end % 4 != 0 && end == size) otherEnd = std::min((otherEnd + 3) & ~3u, otherSize);
        };
        const D3DBOX asked = region;
        carry(target.Right, to.Width(), region.Right, from.Width());
        carry(target.Bottom, to.Height(), region.Bottom, from.Height());
        carry(asked.Right, from.Width(), target.Right, to.Width());
        carry(asked.Bottom, from.Height(), target.Bottom, to.Height());
    }
    return from.IsValidRegion(region) && to.IsValidRegion(target);
}

}  // namespace

// Every rectangle is checked before any is copied, so a bad one copies
// nothing.
HRESULT Device::CopyRects(IDirect3DSurface8* sourceSurface, const RECT* sourceRects, UINT rectCount,
                          IDirect3DSurface8* destinationSurface, const POINT* destPoints) {
    if (InjectedFailure("CopyRects")) return D3DERR_INVALIDCALL;
    Surface* source = OwnSurface(sourceSurface);
    Surface* destination = OwnSurface(destinationSurface);
    if (source == nullptr || destination == nullptr || source == destination) return D3DERR_INVALIDCALL;
    PixelStorage& from = source->Storage();
    PixelStorage& to = destination->Storage();
    if (from.Format() != to.Format() || from.Layout().kind == FormatClass::Depth || from.locked || to.locked)
        return D3DERR_INVALIDCALL;
    FinishRenderingInto(from);
    FinishRenderingInto(to);

    const UINT count = sourceRects != nullptr ? rectCount : 1;
    struct Copy {
        D3DBOX region;
        UINT x, y;
    };
    std::vector<Copy> copies;
    copies.reserve(count);
    for (UINT i = 0; i < count; ++i) {
        D3DBOX region{};
        if (!BoxFromRect(from, sourceRects != nullptr ? &sourceRects[i] : nullptr, region) ||
            region.Right < region.Left || region.Bottom < region.Top)
            return D3DERR_INVALIDCALL;
        LONG x = static_cast<LONG>(region.Left);
        LONG y = static_cast<LONG>(region.Top);
        if (destPoints != nullptr) {
            x = destPoints[i].x;
            y = destPoints[i].y;
        }
        if (x < 0 || y < 0) return D3DERR_INVALIDCALL;
        const UINT left = static_cast<UINT>(x);
        const UINT top = static_cast<UINT>(y);
        const D3DBOX target{left, top, left + (region.Right - region.Left), top + (region.Bottom - region.Top), 0, 1};
        if (target.Right < left || target.Bottom < top || !ValidRegions(from, region, to, target))
            return D3DERR_INVALIDCALL;
        copies.push_back({region, left, top});
    }
    for (const Copy& copy : copies) CopyRegion(from, copy.region, to, copy.x, copy.y, 0);
    return D3D_OK;
}

// Copies a system-memory texture into a default-pool one of the same type
// and format. The source may have more levels: copying starts at the source
// level whose size is the destination's top level. Whole levels are copied.
HRESULT Device::UpdateTexture(IDirect3DBaseTexture8* sourceTexture, IDirect3DBaseTexture8* destinationTexture) {
    if (InjectedFailure("UpdateTexture")) return D3DERR_INVALIDCALL;
    TextureResource* source = OwnTexture(sourceTexture);
    TextureResource* destination = OwnTexture(destinationTexture);
    if (source == nullptr || destination == nullptr || source == destination) return D3DERR_INVALIDCALL;
    if (source->Pool() != D3DPOOL_SYSTEMMEM || destination->Pool() != D3DPOOL_DEFAULT ||
        source->ResourceType() != destination->ResourceType() || source->Format() != destination->Format() ||
        source->AnyLevelLocked() || destination->AnyLevelLocked())
        return D3DERR_INVALIDCALL;
    // A texture level may be a render target that queued work draws into.
    FinishRendering();
    const PixelStorage& top = destination->LevelStorage(0, 0);
    UINT offset = 0;
    while (offset < source->LevelCount() &&
           (source->LevelStorage(0, offset).Width() != top.Width() ||
            source->LevelStorage(0, offset).Height() != top.Height() ||
            source->LevelStorage(0, offset).Depth() != top.Depth()))
        ++offset;
    if (offset == source->LevelCount() || source->LevelCount() - offset < destination->LevelCount())
        return D3DERR_INVALIDCALL;
    for (UINT face = 0; face < destination->FaceCount(); ++face)
        for (UINT level = 0; level < destination->LevelCount(); ++level) {
            const PixelStorage& from = source->LevelStorage(face, level + offset);
            CopyRegion(from, from.WholeRegion(), destination->LevelStorage(face, level), 0, 0, 0);
        }
    return D3D_OK;
}

TextureResource* Device::OwnTexture(IDirect3DBaseTexture8* texture) const {
    auto* own = dynamic_cast<TextureResource*>(texture);
    return own != nullptr && own->OwningDevice() == this ? own : nullptr;
}

}  // namespace valmere::d3d8
