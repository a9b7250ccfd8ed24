// 2D, cube and volume textures: mip chains of surfaces (six faces of them
// for a cube) or volumes, all of one format, usage and pool.
#pragma once

#include <memory>
#include <vector>

#include "platform/d3d8/Surfaces.h"
#include "platform/d3d8/raster/Raster.h"

namespace valmere::d3d8 {

// The size of mip level `level` of an extent (halved per level, at least 1).
inline UINT LevelExtent(UINT extent, UINT level) { return extent >> level > 0 ? extent >> level : 1; }

// What the device needs of any texture: its levels' memory.
class TextureResource : public DeviceResource {
public:
    TextureResource(Device* device, D3DRESOURCETYPE type, DWORD usage, D3DPOOL pool, UINT levelCount);

    UINT LevelCount() const { return levelCount_; }
    UINT FaceCount() const { return static_cast<UINT>(storages_.size()) / levelCount_; }
    D3DFORMAT Format() const { return storages_.front()->Format(); }
    PixelStorage& LevelStorage(UINT face, UINT level) { return *storages_[face * levelCount_ + level]; }
    bool AnyLevelLocked() const;

    // The 32-bit sampling copy of the texture for the rasterizer, rebuilt
    // for the levels whose contents changed; null when the texture cannot be
    // sampled (cube and volume textures, unreadable formats).
    virtual const raster::SampledTexture* PrepareSampling() { return nullptr; }
    // Whether PrepareSampling would leave the sampling copy as it is.
    virtual bool SamplingCurrent() const { return true; }

    void OnDeviceReset() override;
    void DetachFromDevice() override;

protected:
    // Derived classes register each level (face-major) as they build it.
    void AddLevel(DeviceResource& level, PixelStorage& storage);

    DWORD lod_ = 0;

private:
    UINT levelCount_;
    std::vector<DeviceResource*> subresources_;
    std::vector<PixelStorage*> storages_;
};

// SetLOD, GetLOD and GetLevelCount of IDirect3DBaseTexture8.
template <class Interface>
class TextureObject : public ResourceObject<Interface, TextureResource> {
public:
    using ResourceObject<Interface, TextureResource>::ResourceObject;

    // Only managed textures have a level of detail; others answer 0.
    DWORD SetLOD(DWORD lod) override {
        if (this->Pool() != D3DPOOL_MANAGED) return 0;
        const DWORD old = this->lod_;
        this->lod_ = lod < this->LevelCount() ? lod : this->LevelCount() - 1;
        return old;
    }
    DWORD GetLOD() override { return this->Pool() == D3DPOOL_MANAGED ? this->lod_ : 0; }
    DWORD GetLevelCount() override { return this->LevelCount(); }

protected:
    bool ImplementsInterface(REFIID riid) const override {
        return riid == IID_IDirect3DResource8 || riid == IID_IDirect3DBaseTexture8 || riid == OwnInterface();
    }
    virtual const IID& OwnInterface() const = 0;
};

class Texture final : public TextureObject<IDirect3DTexture8> {
public:
    // Throws std::bad_alloc when the memory cannot be had.
    Texture(Device* device, const FormatLayout& layout, UINT width, UINT height, UINT levels, DWORD usage,
            D3DPOOL pool);

    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface8** surfaceLevel) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;
    HRESULT AddDirtyRect(const RECT* dirtyRect) override;

    Surface& Level(UINT level) { return *levels_[level]; }
    const raster::SampledTexture* PrepareSampling() override;
    bool SamplingCurrent() const override;

private:
    const IID& OwnInterface() const override { return IID_IDirect3DTexture8; }

    std::vector<std::unique_ptr<Surface>> levels_;
    // Sampling copies: one 0xAARRGGBB image per level and the storage
    // generation it was built from.
    raster::SampledTexture sampled_;
    std::vector<std::vector<std::uint32_t>> texels_;
    std::vector<std::uint64_t> sampledGeneration_;
    bool sampleable_ = true;
};

class CubeTexture final : public TextureObject<IDirect3DCubeTexture8> {
public:
    CubeTexture(Device* device, const FormatLayout& layout, UINT edgeLength, UINT levels, DWORD usage, D3DPOOL pool);

    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level, IDirect3DSurface8** cubeMapSurface) override;
    HRESULT LockRect(D3DCUBEMAP_FACES face, UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect,
                     DWORD flags) override;
    HRESULT UnlockRect(D3DCUBEMAP_FACES face, UINT level) override;
    HRESULT AddDirtyRect(D3DCUBEMAP_FACES face, const RECT* dirtyRect) override;

private:
    const IID& OwnInterface() const override { return IID_IDirect3DCubeTexture8; }
    Surface* Face(D3DCUBEMAP_FACES face, UINT level);

    std::vector<std::unique_ptr<Surface>> surfaces_;  // face-major
};

class VolumeTexture final : public TextureObject<IDirect3DVolumeTexture8> {
public:
    VolumeTexture(Device* device, const FormatLayout& layout, UINT width, UINT height, UINT depth, UINT levels,
                  DWORD usage, D3DPOOL pool);

    HRESULT GetLevelDesc(UINT level, D3DVOLUME_DESC* desc) override;
    HRESULT GetVolumeLevel(UINT level, IDirect3DVolume8** volumeLevel) override;
    HRESULT LockBox(UINT level, D3DLOCKED_BOX* lockedVolume, const D3DBOX* box, DWORD flags) override;
    HRESULT UnlockBox(UINT level) override;
    HRESULT AddDirtyBox(const D3DBOX* dirtyBox) override;

private:
    const IID& OwnInterface() const override { return IID_IDirect3DVolumeTexture8; }

    std::vector<std::unique_ptr<Volume>> volumes_;
};

}  // namespace valmere::d3d8
