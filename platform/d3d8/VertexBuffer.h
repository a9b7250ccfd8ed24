// Vertex buffers: plain memory of a flexible vertex format. A buffer may be
// locked several times at once (each Lock needs its Unlock).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/d3d8/DeviceResource.h"

namespace valmere::d3d8 {

class VertexBuffer final : public ResourceObject<IDirect3DVertexBuffer8, DeviceResource> {
public:
    // Throws std::bad_alloc when the memory cannot be had.
    VertexBuffer(Device* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);

    HRESULT Lock(UINT offsetToLock, UINT sizeToLock, BYTE** data, DWORD flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;

    const std::uint8_t* Bytes() const { return bytes_.data(); }
    UINT Length() const { return static_cast<UINT>(bytes_.size()); }
    void OnDeviceReset() override;

private:
    bool ImplementsInterface(REFIID riid) const override {
        return riid == IID_IDirect3DResource8 || riid == IID_IDirect3DVertexBuffer8;
    }

    std::vector<std::uint8_t> bytes_;
    DWORD fvf_;
    unsigned lockCount_ = 0;
};

}  // namespace valmere::d3d8
