// Clear, the draw calls and Present: the device checks the call, snapshots
// its state for the rasterizer and hands the finished back buffer to the
// host. Point and line primitives are accepted and checked but the
// rasterizer does not draw them.
#include <algorithm>
#include <cstring>

#include "platform/d3d8/Device.h"
#include "platform/d3d8/FailureInjection.h"
#include "platform/d3d8/Textures.h"
#include "platform/d3d8/VertexBuffer.h"
#include "platform/d3d8/raster/Raster.h"
#include "platform/d3d8/raster/TiledRasterizer.h"
#include "platform/host/Host.h"

namespace valmere::d3d8 {
namespace {

// Vertices that primitiveCount primitives of a type use; 0 for an unknown type.
std::uint64_t VerticesOfPrimitives(D3DPRIMITIVETYPE type, UINT primitiveCount) {
    const std::uint64_t count = primitiveCount;
    switch (type) {
        case D3DPT_POINTLIST:
            return count;
        case D3DPT_LINELIST:
            return 2 * count;
        case D3DPT_LINESTRIP:
            return count + 1;
        case D3DPT_TRIANGLELIST:
            return 3 * count;
        case D3DPT_TRIANGLESTRIP:
        case D3DPT_TRIANGLEFAN:
            return count + 2;
        default:
            return 0;
    }
}

raster::ColorTarget ColorTargetOf(PixelStorage& storage) {
    return raster::ColorTarget{storage.Bits(), static_cast<int>(storage.Pitch()), static_cast<int>(storage.Width()),
                               static_cast<int>(storage.Height()), storage.Format()};
}

raster::DepthTarget DepthTargetOf(Surface* surface) {
    if (surface == nullptr) return {};
    PixelStorage& storage = surface->Storage();
    return raster::DepthTarget{storage.Bits(), static_cast<int>(storage.Pitch()), static_cast<int>(storage.Width()),
                               static_cast<int>(storage.Height()), storage.Format()};
}

}  // namespace

HRESULT Device::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) {
    constexpr DWORD kClearFlags = D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL;
    if (InjectedFailure("Clear")) return D3DERR_INVALIDCALL;
    if (flags == 0 || (flags & ~kClearFlags) != 0 || (count != 0 && rects == nullptr)) return D3DERR_INVALIDCALL;
    if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) != 0 && !depthStencil_) return D3DERR_INVALIDCALL;
    if ((flags & D3DCLEAR_STENCIL) != 0 && !depthStencil_->Storage().Layout().hasStencil) return D3DERR_INVALIDCALL;
    if ((flags & D3DCLEAR_ZBUFFER) != 0 && !(z >= 0.0f && z <= 1.0f)) return D3DERR_INVALIDCALL;
    if (cooperation_ != Cooperation::Operational) return D3D_OK;
    if (tiled_) {
        tiled_->Clear(state_.viewport, count, rects, flags, color, z, stencil, ColorTargetOf(renderTarget_->Storage()),
                      DepthTargetOf(depthStencil_.Get()));
    } else {
        raster::Clear(state_.viewport, count, rects, flags, color, z, stencil, ColorTargetOf(renderTarget_->Storage()),
                      DepthTargetOf(depthStencil_.Get()));
    }
    renderTarget_->Storage().MarkChanged();
    return D3D_OK;
}

HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE primitiveType, UINT startVertex, UINT primitiveCount) {
    if (InjectedFailure("DrawPrimitive")) return D3DERR_INVALIDCALL;
    const auto* buffer = dynamic_cast<VertexBuffer*>(state_.streamSource.Get());
    if (buffer == nullptr || state_.streamStride == 0) return D3DERR_INVALIDCALL;
    const UINT vertexCount = buffer->Length() / state_.streamStride;
    return Draw(primitiveType, startVertex, primitiveCount, buffer->Bytes(), vertexCount, state_.streamStride);
}

// Stream 0 is unset afterwards, as in Direct3D 8.
HRESULT Device::DrawPrimitiveUP(D3DPRIMITIVETYPE primitiveType, UINT primitiveCount, const void* vertexStreamZeroData,
                                UINT vertexStreamZeroStride) {
    if (InjectedFailure("DrawPrimitiveUP")) return D3DERR_INVALIDCALL;
    if (vertexStreamZeroData == nullptr || vertexStreamZeroStride == 0) return D3DERR_INVALIDCALL;
    const std::uint64_t vertexCount = VerticesOfPrimitives(primitiveType, primitiveCount);
    if (vertexCount > Profile().caps.MaxVertexIndex + std::uint64_t{1}) return D3DERR_INVALIDCALL;
    const HRESULT result = Draw(primitiveType, 0, primitiveCount, static_cast<const std::uint8_t*>(vertexStreamZeroData),
                                static_cast<UINT>(vertexCount), vertexStreamZeroStride);
    if (SUCCEEDED(result)) {
        state_.streamSource.Reset();
        state_.streamStride = 0;
    }
    return result;
}

HRESULT Device::Draw(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount, const std::uint8_t* vertices,
                     UINT vertexCount, UINT stride) {
    const UINT vertexSize = FvfVertexSize(state_.vertexShader);
    if (vertexSize == 0 || stride < vertexSize) return D3DERR_INVALIDCALL;
    if (type < D3DPT_POINTLIST || type > D3DPT_TRIANGLEFAN) return D3DERR_INVALIDCALL;
    if (primitiveCount > Profile().caps.MaxPrimitiveCount) return D3DERR_INVALIDCALL;
    if (std::uint64_t{startVertex} + VerticesOfPrimitives(type, primitiveCount) > vertexCount)
        return D3DERR_INVALIDCALL;
    if (primitiveCount == 0 || cooperation_ != Cooperation::Operational) return D3D_OK;
    FillPipelineState();
    const raster::VertexStream stream{vertices, stride, vertexCount};
    if (tiled_) {
        tiled_->Draw(*pipeline_, type, startVertex, primitiveCount, stream, ColorTargetOf(renderTarget_->Storage()),
                     DepthTargetOf(depthStencil_.Get()));
    } else {
        raster::DrawPrimitives(*pipeline_, type, startVertex, primitiveCount, stream,
                               ColorTargetOf(renderTarget_->Storage()), DepthTargetOf(depthStencil_.Get()));
    }
    renderTarget_->Storage().MarkChanged();
    return D3D_OK;
}

void Device::FillPipelineState() {
    raster::PipelineState& pipeline = *pipeline_;
    CopyToPipelineState(state_, pipeline);
    for (std::size_t stage = 0; stage < D3DMAXTEXTURESTAGES; ++stage) {
        const ComPtr<IDirect3DBaseTexture8>& bound = state_.textures[stage];
        TextureResource* texture = bound ? OwnTexture(bound.Get()) : nullptr;
        if (texture != nullptr && tiled_) {
            const auto queued = std::find(queuedTextures_.begin(), queuedTextures_.end(), bound);
            if (queued == queuedTextures_.end()) {
                queuedTextures_.push_back(bound);
            } else if (!texture->SamplingCurrent()) {
                // Queued draws read the sampling copy this one would rebuild.
                FinishRendering();
                queuedTextures_.push_back(bound);
            }
        }
        pipeline.textures[stage] = texture != nullptr ? texture->PrepareSampling() : nullptr;
    }
}

void Device::FinishRendering() {
    if (tiled_) tiled_->Flush();
    queuedTextures_.clear();
}

void Device::FinishRenderingInto(const PixelStorage& storage) {
    if (tiled_ && tiled_->Writes(storage.Bits())) FinishRendering();
}

// Source and destination rectangles are for copying swap effects only; the
// whole back buffer is presented.
HRESULT Device::Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                        const void* dirtyRegion) {
    static_cast<void>(destWindowOverride);
    static_cast<void>(dirtyRegion);
    if (InjectedFailure("Present")) return D3DERR_INVALIDCALL;
    const bool copies = present_.SwapEffect == D3DSWAPEFFECT_COPY || present_.SwapEffect == D3DSWAPEFFECT_COPY_VSYNC;
    if ((sourceRect != nullptr || destRect != nullptr) && !copies) return D3DERR_INVALIDCALL;
    if (cooperation_ != Cooperation::Operational) return D3DERR_DEVICELOST;
    PixelStorage& back = backBuffer_->Storage();
    const int width = static_cast<int>(back.Width()), height = static_cast<int>(back.Height());
    host::Host& host = host::CurrentHost();
    // Straight into the host's memory where it offers some, else through our own.
    std::uint32_t* pixels = host.FrameMemory(width, height);
    if (pixels == nullptr) {
        presentedPixels_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        pixels = presentedPixels_.data();
    }
    if (tiled_) {
        // Finishes the queue, reading each tile's rows as it is done.
        tiled_->ReadColorTarget(ColorTargetOf(back), pixels);
        FinishRendering();
    } else {
        raster::ReadColorTarget(ColorTargetOf(back), pixels);
    }
    host.Present(host::FrameView{pixels, width, height, width});
    return D3D_OK;
}

}  // namespace valmere::d3d8
