// Scenes for the reference tests: vertices, textures and matrices, made
// through the device's public interface, and the loop that draws each scene
// on both of the device's paths.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "platform/d3d8/raster/Raster.h"  // ForceGeneralPath only
#include "tests/support/reference/TestDevice.h"

namespace valmere::reference::test {

// Untransformed vertex with a colour and one texture set (FVF 0x142).
struct Vertex {
    float x, y, z;
    D3DCOLOR diffuse;
    float u, v;
};
constexpr DWORD kVertexFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// Pretransformed vertex (FVF 0x144).
struct ScreenVertex {
    float x, y, z, rhw;
    D3DCOLOR diffuse;
    float u, v;
};
constexpr DWORD kScreenFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

inline D3DMATRIX Identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1;
    return m;
}

// Left-handed perspective with a vertical field of view (row vectors).
inline D3DMATRIX Perspective(double fovY, double aspect, double zn, double zf) {
    const double y = 1 / std::tan(fovY / 2);
    D3DMATRIX m{};
    m._11 = static_cast<float>(y / aspect);
    m._22 = static_cast<float>(y);
    m._33 = static_cast<float>(zf / (zf - zn));
    m._34 = 1;
    m._43 = static_cast<float>(-zn * zf / (zf - zn));
    return m;
}

// A camera at `eye` turned by `yaw` about y (0 looks along +z, positive
// turns towards +x) and then by `pitch` (positive looks down).
inline D3DMATRIX View(double ex, double ey, double ez, double yaw, double pitch) {
    const double cy = std::cos(yaw), sy = std::sin(yaw), cp = std::cos(pitch), sp = std::sin(pitch);
    const double look[3] = {sy * cp, -sp, cy * cp}, right[3] = {cy, 0, -sy};
    const double up[3] = {look[1] * right[2] - look[2] * right[1], look[2] * right[0] - look[0] * right[2],
                          look[0] * right[1] - look[1] * right[0]};
    const double eye[3] = {ex, ey, ez};
    D3DMATRIX m = Identity();
    for (int i = 0; i < 3; ++i) {
        m.m[i][0] = static_cast<float>(right[i]);
        m.m[i][1] = static_cast<float>(up[i]);
        m.m[i][2] = static_cast<float>(look[i]);
    }
    auto dot = [&](const double* a) { return a[0] * eye[0] + a[1] * eye[1] + a[2] * eye[2]; };
    m._41 = static_cast<float>(-dot(right));
    m._42 = static_cast<float>(-dot(up));
    m._43 = static_cast<float>(-dot(look));
    return m;
}

// A managed texture whose level l, texel (x, y) is texel(l, x, y).
inline ComPtr<IDirect3DTexture8> MakeTexture(IDirect3DDevice8* device, UINT width, UINT height, UINT levels,
                                                   D3DFORMAT format,
                                                   const std::function<std::uint32_t(UINT, UINT, UINT)>& texel) {
    ComPtr<IDirect3DTexture8> texture;
    EXPECT_EQ(device->CreateTexture(width, height, levels, 0, format, D3DPOOL_MANAGED, texture.Receive()), D3D_OK);
    if (!texture) return texture;
    for (UINT l = 0; l < texture->GetLevelCount(); ++l) {
        D3DSURFACE_DESC desc{};
        D3DLOCKED_RECT locked{};
        texture->GetLevelDesc(l, &desc);
        EXPECT_EQ(texture->LockRect(l, &locked, nullptr, 0), D3D_OK);
        for (UINT y = 0; y < desc.Height; ++y)
            for (UINT x = 0; x < desc.Width; ++x) {
                auto* row = static_cast<std::uint8_t*>(locked.pBits) + static_cast<std::size_t>(y) * locked.Pitch;
                const std::uint32_t c = texel(l, x, y);
                if (format == D3DFMT_R5G6B5) {
                    const auto p = static_cast<std::uint16_t>(((c >> 8) & 0xF800) | ((c >> 5) & 0x07E0) | ((c >> 3) & 0x1F));
                    std::memcpy(row + 2 * x, &p, 2);
                } else {
                    std::memcpy(row + 4 * x, &c, 4);
                }
            }
        texture->UnlockRect(l);
    }
    return texture;
}

inline void SetStage(IDirect3DDevice8* device, DWORD filter, DWORD mipFilter, DWORD addressU, DWORD addressV) {
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, filter);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, filter);
    device->SetTextureStageState(0, D3DTSS_MIPFILTER, mipFilter);
    device->SetTextureStageState(0, D3DTSS_ADDRESSU, addressU);
    device->SetTextureStageState(0, D3DTSS_ADDRESSV, addressV);
}

inline DWORD FloatBits(float f) {
    DWORD d;
    std::memcpy(&d, &f, sizeof d);
    return d;
}

// Draws vertices on the device and the reference alike.
template <typename V>
void DrawBoth(IDirect3DDevice8* device, Renderer& reference, D3DPRIMITIVETYPE type, UINT count,
              const std::vector<V>& vertices) {
    EXPECT_EQ(device->DrawPrimitiveUP(type, count, vertices.data(), sizeof(V)), D3D_OK);
    reference.DrawPrimitiveUP(type, count, vertices.data(), sizeof(V));
}

// Draws a scene on the device's specialised path and then on its general
// path, each time on a new device drawing on one thread, and holds both
// pictures to the reference; the same scene drawn on 2 and 7 render threads
// must give the one-thread picture bit for bit. `draw` makes the device
// calls and mirrors them on the reference.
inline void ExpectMatchesOnBothPaths(const std::string& scene, const DeviceConfig& config,
                                     const std::function<void(IDirect3DDevice8*, Renderer&)>& draw) {
    for (bool general : {false, true}) {
        raster::ForceGeneralPath(general);
        const std::string path = general ? " (general path)" : " (specialised path)";
        std::vector<std::uint8_t> oneThread;
        for (int threads : {1, 2, 7}) {
            DeviceConfig threaded = config;
            threaded.renderThreads = threads;
            TestDevice device(threaded);
            ASSERT_TRUE(device) << scene;
            Renderer reference(device.Get(), threads == 1);
            device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF203040, 1.0f, 0);
            reference.Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF203040, 1.0f);
            device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);  // as the viewer draws; scenes may cull
            ASSERT_EQ(device->BeginScene(), D3D_OK);
            draw(device.Get(), reference);
            ASSERT_EQ(device->EndScene(), D3D_OK);
            if (threads == 1) {
                EXPECT_TRUE(MatchesReference(reference, scene + path));
                oneThread = BackBufferBytes(device.Get());
                ASSERT_FALSE(oneThread.empty()) << scene;
            } else {
                EXPECT_TRUE(BackBufferBytes(device.Get()) == oneThread) << scene << path << ": " << threads
                                                                       << " render threads differ from one";
            }
        }
    }
    raster::ForceGeneralPath(false);
}

}  // namespace valmere::reference::test
