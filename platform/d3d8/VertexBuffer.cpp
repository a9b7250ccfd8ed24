#include "platform/d3d8/VertexBuffer.h"

#include <algorithm>

#include "platform/d3d8/FailureInjection.h"

namespace valmere::d3d8 {

VertexBuffer::VertexBuffer(Device* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
    : ResourceObject(device, D3DRTYPE_VERTEXBUFFER, usage, pool, Tracking::Tracked), bytes_(length), fvf_(fvf) {}

// Discarding and no-overwrite locks are for dynamic buffers only, as in
// Direct3D 8.
HRESULT VertexBuffer::Lock(UINT offsetToLock, UINT sizeToLock, BYTE** data, DWORD flags) {
    constexpr DWORD kAllowed =
        D3DLOCK_READONLY | D3DLOCK_NOSYSLOCK | D3DLOCK_NOOVERWRITE | D3DLOCK_DISCARD | D3DLOCK_NO_DIRTY_UPDATE;
    if (InjectedFailure("Lock")) return D3DERR_INVALIDCALL;
    if (data == nullptr || (flags & ~kAllowed) != 0) return D3DERR_INVALIDCALL;
    if ((flags & (D3DLOCK_DISCARD | D3DLOCK_NOOVERWRITE)) != 0 && (Usage() & D3DUSAGE_DYNAMIC) == 0)
        return D3DERR_INVALIDCALL;
    if (offsetToLock > bytes_.size() || sizeToLock > bytes_.size() - offsetToLock) return D3DERR_INVALIDCALL;
    ++lockCount_;
    *data = bytes_.data() + offsetToLock;
    return D3D_OK;
}

HRESULT VertexBuffer::Unlock() {
    if (lockCount_ == 0) return D3DERR_INVALIDCALL;
    --lockCount_;
    return D3D_OK;
}

HRESULT VertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* desc) {
    if (desc == nullptr) return D3DERR_INVALIDCALL;
    *desc = D3DVERTEXBUFFER_DESC{D3DFMT_VERTEXDATA, D3DRTYPE_VERTEXBUFFER, Usage(), Pool(), Length(), fvf_};
    return D3D_OK;
}

void VertexBuffer::OnDeviceReset() {
    if (Pool() != D3DPOOL_DEFAULT) return;
    lockCount_ = 0;
    std::fill(bytes_.begin(), bytes_.end(), std::uint8_t{0});
}

}  // namespace valmere::d3d8
