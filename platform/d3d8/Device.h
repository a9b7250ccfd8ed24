// The software Direct3D 8 device: resources, state, state blocks, drawing
// through the rasterizer, presenting to the host, and device loss.
//
// Device loss: a full-screen device is lost when the application loses the
// display (host::ApplicationHasDisplay: the window is minimised, or loses
// the focus while the host shows it full screen); a windowed device never
// is. The loss takes effect at the next TestCooperativeLevel or Reset, so a
// frame under way is still presented. TestCooperativeLevel then answers
// D3DERR_DEVICELOST, after waiting up to a tenth of a second for the window
// system, and D3DERR_DEVICENOTRESET once the display is back. While lost,
// Present answers D3DERR_DEVICELOST, while Clear and the draw calls succeed
// without drawing. Reset brings every state back to its default, recreates
// the back and depth buffers, deletes every state block and drops the
// contents of default-pool resources; managed, system-memory and scratch
// resources keep theirs.
//
// Render threads: VALMERE_RENDER_THREADS, read once when the device is
// created, sets how many threads rasterize (0 or unset: one per processor;
// 1: every draw at once on the calling thread). With more than one, draws
// and clears are queued and shaded in screen tiles on all of them
// (raster/TiledRasterizer.h), with the same pixels; the queue is finished
// wherever the application could see its results: Present, a lock or copy
// of a surface it draws into, a new render target, Reset, device loss, and
// before a texture it samples is sampled anew after a change.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "platform/d3d8/ComPtr.h"
#include "platform/d3d8/DeviceState.h"
#include "platform/d3d8/Direct3DObject.h"
#include "platform/d3d8/Surfaces.h"
#include "platform/host/InputDispatch.h"

namespace valmere::raster {
struct PipelineState;
class TiledRasterizer;
}

namespace valmere::d3d8 {

class TextureResource;
class VertexBuffer;

class Device final : public RefCounted<IDirect3DDevice8>, private host::InputListener {
public:
    // Creates a device after checking the parameters; the result code of
    // IDirect3D8::CreateDevice.
    static HRESULT Create(Direct3DObject& direct3D, UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow,
                          DWORD behaviorFlags, const D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice8** device);
    ~Device() override;

    // Device and frame (Device.cpp).
    HRESULT TestCooperativeLevel() override;
    UINT GetAvailableTextureMem() override;
    HRESULT GetDirect3D(IDirect3D8** direct3D) override;
    HRESULT GetDeviceCaps(D3DCAPS8* caps) override;
    HRESULT GetDisplayMode(D3DDISPLAYMODE* mode) override;
    HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* parameters) override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* presentationParameters) override;
    HRESULT GetBackBuffer(UINT backBuffer, D3DBACKBUFFER_TYPE type, IDirect3DSurface8** surface) override;
    HRESULT SetRenderTarget(IDirect3DSurface8* renderTarget, IDirect3DSurface8* newZStencil) override;
    HRESULT GetRenderTarget(IDirect3DSurface8** renderTarget) override;
    HRESULT GetDepthStencilSurface(IDirect3DSurface8** zStencilSurface) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;

    // Resources (DeviceResources.cpp).
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture8** texture) override;
    HRESULT CreateVolumeTexture(UINT width, UINT height, UINT depth, UINT levels, DWORD usage, D3DFORMAT format,
                                D3DPOOL pool, IDirect3DVolumeTexture8** volumeTexture) override;
    HRESULT CreateCubeTexture(UINT edgeLength, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DCubeTexture8** cubeTexture) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer8** vertexBuffer) override;
    HRESULT CreateRenderTarget(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                               BOOL lockable, IDirect3DSurface8** surface) override;
    HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                      IDirect3DSurface8** surface) override;
    HRESULT CreateImageSurface(UINT width, UINT height, D3DFORMAT format, IDirect3DSurface8** surface) override;
    HRESULT CopyRects(IDirect3DSurface8* sourceSurface, const RECT* sourceRects, UINT rectCount,
                      IDirect3DSurface8* destinationSurface, const POINT* destPoints) override;
    HRESULT UpdateTexture(IDirect3DBaseTexture8* sourceTexture, IDirect3DBaseTexture8* destinationTexture) override;

    // State (DeviceStateCalls.cpp).
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
    HRESULT MultiplyTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT SetViewport(const D3DVIEWPORT8* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT8* viewport) override;
    HRESULT SetMaterial(const D3DMATERIAL8* material) override;
    HRESULT GetMaterial(D3DMATERIAL8* material) override;
    HRESULT SetLight(DWORD index, const D3DLIGHT8* light) override;
    HRESULT GetLight(DWORD index, D3DLIGHT8* light) override;
    HRESULT LightEnable(DWORD index, BOOL enable) override;
    HRESULT GetLightEnable(DWORD index, BOOL* enable) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture8** texture) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) override;
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT SetVertexShader(DWORD handle) override;
    HRESULT GetVertexShader(DWORD* handle) override;
    HRESULT SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8* streamData, UINT stride) override;
    HRESULT GetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8** streamData, UINT* stride) override;
    HRESULT ValidateDevice(DWORD* numPasses) override;

    // State blocks (StateBlocks.cpp).
    HRESULT BeginStateBlock() override;
    HRESULT EndStateBlock(DWORD* token) override;
    HRESULT ApplyStateBlock(DWORD token) override;
    HRESULT CaptureStateBlock(DWORD token) override;
    HRESULT DeleteStateBlock(DWORD token) override;
    HRESULT CreateStateBlock(D3DSTATEBLOCKTYPE type, DWORD* token) override;

    // Clear, draws and Present (DeviceDraw.cpp).
    HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                    const void* dirtyRegion) override;
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE primitiveType, UINT startVertex, UINT primitiveCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE primitiveType, UINT primitiveCount, const void* vertexStreamZeroData,
                            UINT vertexStreamZeroStride) override;

    // Carries out the queued draws and clears that write this memory (a
    // render target or depth buffer), before the caller reads or writes it.
    void FinishRenderingInto(const PixelStorage& storage);

    // Bookkeeping of the resources created on this device.
    void RegisterResource(DeviceResource* resource);
    void UnregisterResource(DeviceResource* resource);
    const DeviceProfile& Profile() const { return direct3D_->Profile(); }

private:
    enum class Cooperation { Operational, Lost, NotReset };

    Device(Direct3DObject& direct3D, const D3DDEVICE_CREATION_PARAMETERS& creation);
    bool ImplementsInterface(REFIID riid) const override { return riid == IID_IDirect3DDevice8; }
    void OnInputEvent(const host::InputEvent& event) override;
    // Pumps input and turns a display lost since the last call into a lost
    // device, and a display back into one that can be reset.
    void TakeDisplayChanges();

    // Builds the back and depth buffers of the parameters and restores the
    // default state; false when memory ran out.
    bool ApplyPresentParameters(const D3DPRESENT_PARAMETERS& parameters);
    D3DVIEWPORT8 FullViewport() const;
    void RestoreDefaultState();

    // The state that Set calls write: the recording block while recording,
    // else the device's.
    DeviceState& Target();
    StateMask* RecordingMask();
    HRESULT SetLightEnable(DWORD index, bool enable);
    // Writes one part of the state, from a Set call or a state block.
    void ApplyBlock(const StateBlock& block);
    void CaptureInto(StateBlock& block) const;
    StateBlock* FindBlock(DWORD token);

    // A surface or texture of this device behind an interface, or null.
    Surface* OwnSurface(IDirect3DSurface8* surface) const;
    TextureResource* OwnTexture(IDirect3DBaseTexture8* texture) const;
    HRESULT CheckTextureRequest(D3DRESOURCETYPE type, UINT width, UINT height, UINT depth, UINT& levels, DWORD usage,
                                D3DFORMAT format, D3DPOOL pool) const;
    HRESULT CreateFreeSurface(UINT width, UINT height, D3DFORMAT format, DWORD usage, D3DPOOL pool, bool lockable,
                              IDirect3DSurface8** surface);
    bool AcceptsTargetSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                              DWORD usage) const;

    HRESULT Draw(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount, const std::uint8_t* vertices,
                 UINT vertexCount, UINT stride);
    void FillPipelineState();
    // Carries out every queued draw and clear, and lets go of the textures
    // they kept.
    void FinishRendering();

    ComPtr<Direct3DObject> direct3D_;
    D3DDEVICE_CREATION_PARAMETERS creation_;
    D3DPRESENT_PARAMETERS present_{};
    D3DDISPLAYMODE displayMode_{};
    Cooperation cooperation_ = Cooperation::Operational;
    bool displayWasLost_ = false;  // seen by OnInputEvent, not yet taken
    bool inScene_ = false;

    ComPtr<Surface> backBuffer_;
    ComPtr<Surface> autoDepthStencil_;
    ComPtr<Surface> renderTarget_;
    ComPtr<Surface> depthStencil_;

    DeviceState state_;
    std::unique_ptr<StateBlock> recording_;
    std::map<DWORD, std::unique_ptr<StateBlock>> stateBlocks_;
    DWORD nextStateBlock_ = 1;

    std::vector<DeviceResource*> resources_;
    std::unique_ptr<raster::PipelineState> pipeline_;
    // Null when one thread draws everything at once.
    std::unique_ptr<raster::TiledRasterizer> tiled_;
    // The textures queued draws sample, kept alive until they are done.
    std::vector<ComPtr<IDirect3DBaseTexture8>> queuedTextures_;
    std::vector<std::uint32_t> presentedPixels_;
};

}  // namespace valmere::d3d8
