#include "tests/support/reference/Renderer.h"

#include <cstring>

#include "tests/support/reference/Geometry.h"
#include "tests/support/reference/Rasterize.h"
#include "tests/support/reference/Shade.h"

namespace valmere::reference {
namespace {

D3DSURFACE_DESC BackBufferDesc(IDirect3DDevice8* device) {
    D3DSURFACE_DESC desc{};
    IDirect3DSurface8* surface = nullptr;
    if (SUCCEEDED(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &surface))) {
        surface->GetDesc(&desc);
        surface->Release();
    }
    return desc;
}

D3DFORMAT DepthFormat(IDirect3DDevice8* device) {
    D3DSURFACE_DESC desc{};
    IDirect3DSurface8* surface = nullptr;
    if (FAILED(device->GetDepthStencilSurface(&surface)) || surface == nullptr) return D3DFMT_UNKNOWN;
    surface->GetDesc(&desc);
    surface->Release();
    return desc.Format;
}

std::string CheckTarget(D3DFORMAT color, D3DFORMAT depth) {
    if (color != D3DFMT_X8R8G8B8 && color != D3DFMT_A8R8G8B8 && color != D3DFMT_R5G6B5)
        return "back buffer format " + std::to_string(color);
    if (depth != D3DFMT_UNKNOWN && depth != D3DFMT_D16 && depth != D3DFMT_D16_LOCKABLE)
        return "depth format " + std::to_string(depth) + " (only 16-bit depth is modelled)";
    return {};
}

std::string CheckPixelState(const Snapshot& s) {
    if (s.zEnable > 1) return "D3DRS_ZENABLE other than false or true";
    for (DWORD f : {s.zFunc, s.alphaFunc})
        if (f < D3DCMP_NEVER || f > D3DCMP_ALWAYS) return "a comparison function out of range";
    if (s.alphaBlendEnable)
        for (DWORD f : {s.srcBlend, s.destBlend})
            if (f < D3DBLEND_ZERO || f > D3DBLEND_INVDESTCOLOR) return "blend factor " + std::to_string(f);
    return CheckStage(s.stage);
}

}  // namespace

Renderer::Renderer(IDirect3DDevice8* device, bool follow)
    : device_(device),
      follow_(follow),
      frame_(static_cast<int>(BackBufferDesc(device).Width), static_cast<int>(BackBufferDesc(device).Height),
             BackBufferDesc(device).Format, DepthFormat(device) == D3DFMT_UNKNOWN ? D3DFMT_UNKNOWN : D3DFMT_D16) {
    refused_ = CheckTarget(BackBufferDesc(device).Format, DepthFormat(device));
}

void Renderer::Clear(DWORD flags, D3DCOLOR color, float z) {
    if (!follow_) return;
    D3DVIEWPORT8 vp{};
    device_->GetViewport(&vp);
    frame_.Clear(static_cast<int>(vp.X), static_cast<int>(vp.Y), static_cast<int>(vp.X + vp.Width),
                 static_cast<int>(vp.Y + vp.Height), flags, color, z);
}

void Renderer::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
    if (!follow_) return;
    IDirect3DVertexBuffer8* buffer = nullptr;
    UINT stride = 0;
    if (FAILED(device_->GetStreamSource(0, &buffer, &stride)) || buffer == nullptr) {
        if (refused_.empty()) refused_ = "no vertex buffer on stream 0";
        return;
    }
    D3DVERTEXBUFFER_DESC desc{};
    BYTE* data = nullptr;
    if (SUCCEEDED(buffer->GetDesc(&desc)) && stride > 0 && SUCCEEDED(buffer->Lock(0, 0, &data, D3DLOCK_READONLY))) {
        const UINT count = desc.Size / stride;
        if (startVertex <= count)
            Draw(type, primitiveCount, data + static_cast<std::size_t>(startVertex) * stride, stride, count - startVertex);
        buffer->Unlock();
    } else if (refused_.empty()) {
        refused_ = "the vertex buffer cannot be read";
    }
    buffer->Release();
}

void Renderer::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride) {
    if (!follow_) return;
    const UINT count = type == D3DPT_TRIANGLELIST ? 3 * primitiveCount : primitiveCount + 2;
    Draw(type, primitiveCount, vertices, stride, count);
}

void Renderer::Draw(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride, UINT vertexCount) {
    Snapshot s;
    std::string error = CaptureSnapshot(device_, s);
    if (error.empty()) error = CheckPixelState(s);
    std::vector<ScreenPolygon> polygons;
    if (error.empty()) error = BuildPolygons(s, type, primitiveCount, vertices, stride, vertexCount, polygons);
    if (!error.empty()) {
        if (refused_.empty()) refused_ = "reference: " + error;
        return;
    }
    const D3DVIEWPORT8& vp = s.viewport;
    const int x1 = std::min<int>(frame_.Width(), static_cast<int>(vp.X + vp.Width));
    const int y1 = std::min<int>(frame_.Height(), static_cast<int>(vp.Y + vp.Height));
    for (const ScreenPolygon& polygon : polygons)
        RasterizePolygon(polygon, s.cullMode, static_cast<int>(vp.X), static_cast<int>(vp.Y), x1, y1, frame_.RowStep(),
                         frame_.RowPhase(),
                         [&](const PixelSample& p) {
                             Fragment f{ShadePixel(s, p), Frame::DepthCodes(p.depth), false};
                             for (int i = 0; i < p.times; ++i) {
                                 f.maybeMissed = i >= p.certainTimes;
                                 frame_.Merge(p.x, p.y, s, f);
                             }
                         });
}

}  // namespace valmere::reference
