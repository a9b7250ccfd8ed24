#include "platform/d3d8/Textures.h"

namespace valmere::d3d8 {
namespace {

template <class Object, class Interface>
HRESULT HandOut(Object* object, Interface** out) {
    if (out == nullptr || object == nullptr) return D3DERR_INVALIDCALL;
    object->AddRef();
    *out = object;
    return D3D_OK;
}

}  // namespace

TextureResource::TextureResource(Device* device, D3DRESOURCETYPE type, DWORD usage, D3DPOOL pool, UINT levelCount)
    : DeviceResource(device, type, usage, pool, Tracking::Tracked), levelCount_(levelCount) {}

bool TextureResource::AnyLevelLocked() const {
    for (const PixelStorage* storage : storages_)
        if (storage->locked) return true;
    return false;
}

void TextureResource::OnDeviceReset() {
    for (DeviceResource* level : subresources_) level->OnDeviceReset();
}

void TextureResource::DetachFromDevice() {
    DeviceResource::DetachFromDevice();
    for (DeviceResource* level : subresources_) level->DetachFromDevice();
}

void TextureResource::AddLevel(DeviceResource& level, PixelStorage& storage) {
    subresources_.push_back(&level);
    storages_.push_back(&storage);
}

Texture::Texture(Device* device, const FormatLayout& layout, UINT width, UINT height, UINT levels, DWORD usage,
                 D3DPOOL pool)
    : TextureObject(device, D3DRTYPE_TEXTURE, usage, pool, levels) {
    for (UINT level = 0; level < levels; ++level) {
        PixelStorage storage(layout, LevelExtent(width, level), LevelExtent(height, level));
        levels_.push_back(std::make_unique<Surface>(device, static_cast<IDirect3DTexture8*>(this), std::move(storage),
                                                    usage, pool, IsLockablePool(pool, usage),
                                                    Tracking::Untracked));
        AddLevel(*levels_.back(), levels_.back()->Storage());
    }
    texels_.resize(levels);
    sampledGeneration_.assign(levels, 0);
}

HRESULT Texture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
    if (level >= LevelCount() || desc == nullptr) return D3DERR_INVALIDCALL;
    return levels_[level]->GetDesc(desc);
}

HRESULT Texture::GetSurfaceLevel(UINT level, IDirect3DSurface8** surfaceLevel) {
    if (level >= LevelCount()) return D3DERR_INVALIDCALL;
    return HandOut(levels_[level].get(), surfaceLevel);
}

HRESULT Texture::LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) {
    if (level >= LevelCount()) return D3DERR_INVALIDCALL;
    return levels_[level]->LockRect(lockedRect, rect, flags);
}

HRESULT Texture::UnlockRect(UINT level) {
    if (level >= LevelCount()) return D3DERR_INVALIDCALL;
    return levels_[level]->UnlockRect();
}

// Every level is copied whole by UpdateTexture, so dirty regions need no
// bookkeeping; the rectangle is still checked.
HRESULT Texture::AddDirtyRect(const RECT* dirtyRect) {
    D3DBOX box{};
    if (!BoxFromRect(levels_[0]->Storage(), dirtyRect, box)) return D3DERR_INVALIDCALL;
    return D3D_OK;
}

bool Texture::SamplingCurrent() const {
    if (!sampleable_) return true;
    const UINT count = LevelCount() < raster::kMaxTextureLevels ? LevelCount() : raster::kMaxTextureLevels;
    for (UINT level = 0; level < count; ++level) {
        if (sampledGeneration_[level] != levels_[level]->Storage().Generation()) return false;
    }
    return true;
}

const raster::SampledTexture* Texture::PrepareSampling() {
    if (!sampleable_) return nullptr;
    const UINT count = LevelCount() < raster::kMaxTextureLevels ? LevelCount() : raster::kMaxTextureLevels;
    for (UINT level = 0; level < count; ++level) {
        PixelStorage& storage = levels_[level]->Storage();
        if (sampledGeneration_[level] == storage.Generation()) continue;
        if (!raster::ConvertToSamplingLevel(storage.Format(), storage.Bits(), static_cast<int>(storage.Pitch()),
                                            static_cast<int>(storage.Width()), static_cast<int>(storage.Height()),
                                            nullptr, texels_[level])) {
            sampleable_ = false;
            return nullptr;
        }
        sampledGeneration_[level] = storage.Generation();
        sampled_.levels[level] = {texels_[level].data(), static_cast<int>(storage.Width()),
                                  static_cast<int>(storage.Height())};
    }
    sampled_.levelCount = static_cast<int>(count);
    return &sampled_;
}

CubeTexture::CubeTexture(Device* device, const FormatLayout& layout, UINT edgeLength, UINT levels, DWORD usage,
                         D3DPOOL pool)
    : TextureObject(device, D3DRTYPE_CUBETEXTURE, usage, pool, levels) {
    for (int face = 0; face < 6; ++face)
        for (UINT level = 0; level < levels; ++level) {
            const UINT edge = LevelExtent(edgeLength, level);
            surfaces_.push_back(std::make_unique<Surface>(device, static_cast<IDirect3DCubeTexture8*>(this),
                                                          PixelStorage(layout, edge, edge), usage, pool,
                                                          IsLockablePool(pool, usage), Tracking::Untracked));
            AddLevel(*surfaces_.back(), surfaces_.back()->Storage());
        }
}

Surface* CubeTexture::Face(D3DCUBEMAP_FACES face, UINT level) {
    if (face > D3DCUBEMAP_FACE_NEGATIVE_Z || level >= LevelCount()) return nullptr;
    return surfaces_[face * LevelCount() + level].get();
}

HRESULT CubeTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
    if (level >= LevelCount() || desc == nullptr) return D3DERR_INVALIDCALL;
    return surfaces_[level]->GetDesc(desc);
}

HRESULT CubeTexture::GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level, IDirect3DSurface8** cubeMapSurface) {
    return HandOut(Face(face, level), cubeMapSurface);
}

HRESULT CubeTexture::LockRect(D3DCUBEMAP_FACES face, UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect,
                              DWORD flags) {
    Surface* surface = Face(face, level);
    return surface != nullptr ? surface->LockRect(lockedRect, rect, flags) : D3DERR_INVALIDCALL;
}

HRESULT CubeTexture::UnlockRect(D3DCUBEMAP_FACES face, UINT level) {
    Surface* surface = Face(face, level);
    return surface != nullptr ? surface->UnlockRect() : D3DERR_INVALIDCALL;
}

HRESULT CubeTexture::AddDirtyRect(D3DCUBEMAP_FACES face, const RECT* dirtyRect) {
    Surface* surface = Face(face, 0);
    D3DBOX box{};
    if (surface == nullptr || !BoxFromRect(surface->Storage(), dirtyRect, box)) return D3DERR_INVALIDCALL;
    return D3D_OK;
}

VolumeTexture::VolumeTexture(Device* device, const FormatLayout& layout, UINT width, UINT height, UINT depth,
                             UINT levels, DWORD usage, D3DPOOL pool)
    : TextureObject(device, D3DRTYPE_VOLUMETEXTURE, usage, pool, levels) {
    for (UINT level = 0; level < levels; ++level) {
        PixelStorage storage(layout, LevelExtent(width, level), LevelExtent(height, level), LevelExtent(depth, level));
        volumes_.push_back(std::make_unique<Volume>(device, static_cast<IDirect3DVolumeTexture8*>(this),
                                                    std::move(storage), usage, pool, IsLockablePool(pool, usage)));
        AddLevel(*volumes_.back(), volumes_.back()->Storage());
    }
}

HRESULT VolumeTexture::GetLevelDesc(UINT level, D3DVOLUME_DESC* desc) {
    if (level >= LevelCount()) return D3DERR_INVALIDCALL;
    return volumes_[level]->GetDesc(desc);
}

HRESULT VolumeTexture::GetVolumeLevel(UINT level, IDirect3DVolume8** volumeLevel) {
    if (level >= LevelCount()) return D3DERR_INVALIDCALL;
    return HandOut(volumes_[level].get(), volumeLevel);
}

HRESULT VolumeTexture::LockBox(UINT level, D3DLOCKED_BOX* lockedVolume, const D3DBOX* box, DWORD flags) {
    if (level >= LevelCount()) return D3DERR_INVALIDCALL;
    return volumes_[level]->LockBox(lockedVolume, box, flags);
}

HRESULT VolumeTexture::UnlockBox(UINT level) {
    if (level >= LevelCount()) return D3DERR_INVALIDCALL;
    return volumes_[level]->UnlockBox();
}

HRESULT VolumeTexture::AddDirtyBox(const D3DBOX* dirtyBox) {
    if (dirtyBox != nullptr && !volumes_[0]->Storage().IsValidRegion(*dirtyBox)) return D3DERR_INVALIDCALL;
    return D3D_OK;
}

}  // namespace valmere::d3d8
