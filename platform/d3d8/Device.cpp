#include "platform/d3d8/Device.h"

#include <algorithm>
#include <bit>
#include <new>
#include <system_error>

#include "platform/d3d8/FailureInjection.h"
#include "platform/d3d8/RenderThreads.h"
#include "platform/d3d8/raster/Raster.h"
#include "platform/d3d8/raster/TiledRasterizer.h"
#include "platform/host/Host.h"

namespace valmere::d3d8 {
namespace {

constexpr DWORD kVertexProcessingFlags = D3DCREATE_SOFTWARE_VERTEXPROCESSING |
                                         D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MIXED_VERTEXPROCESSING;

// The longest a test of a lost device waits for the window system.
constexpr int kLostDeviceWaitMs = 100;

struct ResolvedPresentation {
    D3DDISPLAYMODE mode{};  // the display mode the device puts up (or the desktop's)
    UINT width = 0;
    UINT height = 0;
};

// Checks presentation parameters against the adapter. One back buffer is
// supported (a count of 0 means one). A full-screen device needs one of the
// adapter's modes; a windowed one of size 0 takes the desktop's size.
HRESULT ResolvePresentation(const DeviceProfile& profile, const D3DPRESENT_PARAMETERS& parameters,
                            ResolvedPresentation& resolved) {
    if (parameters.BackBufferCount > 1 || parameters.MultiSampleType != D3DMULTISAMPLE_NONE) return D3DERR_INVALIDCALL;
    if (parameters.SwapEffect < D3DSWAPEFFECT_DISCARD || parameters.SwapEffect > D3DSWAPEFFECT_COPY_VSYNC)
        return D3DERR_INVALIDCALL;
    if (!ProfileAcceptsFormat(profile, D3DRTYPE_SURFACE, D3DUSAGE_RENDERTARGET, parameters.BackBufferFormat))
        return D3DERR_INVALIDCALL;
    if (parameters.EnableAutoDepthStencil &&
        !ProfileAcceptsFormat(profile, D3DRTYPE_SURFACE, D3DUSAGE_DEPTHSTENCIL, parameters.AutoDepthStencilFormat))
        return D3DERR_INVALIDCALL;
    if (parameters.Windowed) {
        resolved.mode = profile.desktopMode;
        resolved.width = parameters.BackBufferWidth != 0 ? parameters.BackBufferWidth : profile.desktopMode.Width;
        resolved.height = parameters.BackBufferHeight != 0 ? parameters.BackBufferHeight : profile.desktopMode.Height;
        if (resolved.width > profile.caps.MaxTextureWidth || resolved.height > profile.caps.MaxTextureHeight)
            return D3DERR_INVALIDCALL;
        return D3D_OK;
    }
    const auto mode = std::find_if(profile.fullscreenModes.begin(), profile.fullscreenModes.end(),
                                   [&](const D3DDISPLAYMODE& m) {
                                       return m.Width == parameters.BackBufferWidth &&
                                              m.Height == parameters.BackBufferHeight &&
                                              m.Format == parameters.BackBufferFormat;
                                   });
    if (mode == profile.fullscreenModes.end()) return D3DERR_INVALIDCALL;
    resolved.mode = *mode;
    resolved.width = mode->Width;
    resolved.height = mode->Height;
    return D3D_OK;
}

// The tiled rasterizer for more than one thread; null for one, or when the
// threads cannot be started (everything is then drawn at once).
std::unique_ptr<raster::TiledRasterizer> MakeTiledRasterizer() {
    const int threads = RenderThreads();
    if (threads < 2) return nullptr;
    try {
        return std::make_unique<raster::TiledRasterizer>(threads);
    } catch (const std::system_error&) {
        return nullptr;
    }
}

}  // namespace

HRESULT Device::Create(Direct3DObject& direct3D, UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow,
                       DWORD behaviorFlags, const D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice8** device) {
    if (device == nullptr || parameters == nullptr) return D3DERR_INVALIDCALL;
    if (InjectedFailure("CreateDevice")) return D3DERR_NOTAVAILABLE;
    if (adapter != D3DADAPTER_DEFAULT) return D3DERR_INVALIDCALL;
    if (!direct3D.IsThisAdapter(adapter, deviceType)) return D3DERR_NOTAVAILABLE;
    if (std::popcount(behaviorFlags & kVertexProcessingFlags) != 1) return D3DERR_INVALIDCALL;
    if (focusWindow == nullptr && parameters->hDeviceWindow == nullptr) return D3DERR_INVALIDCALL;
    ResolvedPresentation resolved;
    const HRESULT check = ResolvePresentation(direct3D.Profile(), *parameters, resolved);
    if (FAILED(check)) return check;
    if (!parameters->Windowed &&
        !host::CurrentHost().SetDisplayMode(static_cast<int>(resolved.width), static_cast<int>(resolved.height), true))
        return D3DERR_NOTAVAILABLE;

    const D3DDEVICE_CREATION_PARAMETERS creation{adapter, deviceType, focusWindow, behaviorFlags};
    Device* created = nullptr;
    try {
        created = new Device(direct3D, creation);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    created->present_ = *parameters;
    created->displayMode_ = resolved.mode;
    if (!created->ApplyPresentParameters(*parameters)) {
        created->Release();
        return E_OUTOFMEMORY;
    }
    *device = created;
    return D3D_OK;
}

Device::Device(Direct3DObject& direct3D, const D3DDEVICE_CREATION_PARAMETERS& creation)
    : direct3D_(ComPtr<Direct3DObject>::Share(&direct3D)),
      creation_(creation),
      pipeline_(std::make_unique<raster::PipelineState>()),
      tiled_(MakeTiledRasterizer()) {
    host::AddInputListener(this);
}

Device::~Device() {
    host::RemoveInputListener(this);
    // Queued work writes only into this device's buffers: nobody can see it.
    tiled_.reset();
    queuedTextures_.clear();
    recording_.reset();
    stateBlocks_.clear();
    state_ = DeviceState{};
    renderTarget_.Reset();
    depthStencil_.Reset();
    backBuffer_.Reset();
    autoDepthStencil_.Reset();
    // Whatever the application still holds outlives the device, detached.
    for (DeviceResource* resource : resources_) resource->DetachFromDevice();
    resources_.clear();
    if (!present_.Windowed) {
        const D3DDISPLAYMODE& desktop = Profile().desktopMode;
        host::CurrentHost().SetDisplayMode(static_cast<int>(desktop.Width), static_cast<int>(desktop.Height), false);
    }
}

// Input is pumped in the middle of a frame too (DirectInput's reads), so a
// loss seen there is only noted: it takes effect at the next cooperative-
// level test or Reset, as a loss that the message pump reports would, and
// the frame under way is presented.
void Device::OnInputEvent(const host::InputEvent&) {
    if (!present_.Windowed && !host::ApplicationHasDisplay()) displayWasLost_ = true;
}

void Device::TakeDisplayChanges() {
    host::PumpInput();
    if (present_.Windowed) return;
    if (displayWasLost_) {
        FinishRendering();
        cooperation_ = Cooperation::Lost;
    }
    displayWasLost_ = false;
    if (cooperation_ == Cooperation::Lost && host::ApplicationHasDisplay()) cooperation_ = Cooperation::NotReset;
}

bool Device::ApplyPresentParameters(const D3DPRESENT_PARAMETERS& parameters) {
    ResolvedPresentation resolved;
    if (FAILED(ResolvePresentation(Profile(), parameters, resolved))) return false;
    try {
        const bool lockableBackBuffer = (parameters.Flags & D3DPRESENTFLAG_LOCKABLE_BACKBUFFER) != 0;
        backBuffer_ = ComPtr<Surface>::Adopt(
            new Surface(this, nullptr, PixelStorage(*FindFormatLayout(parameters.BackBufferFormat), resolved.width, resolved.height),
                        D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT, lockableBackBuffer, DeviceResource::Tracking::Tracked));
        autoDepthStencil_.Reset();
        if (parameters.EnableAutoDepthStencil) {
            const D3DFORMAT depthFormat = parameters.AutoDepthStencilFormat;
            autoDepthStencil_ = ComPtr<Surface>::Adopt(
                new Surface(this, nullptr, PixelStorage(*FindFormatLayout(depthFormat), resolved.width, resolved.height),
                            D3DUSAGE_DEPTHSTENCIL, D3DPOOL_DEFAULT, depthFormat == D3DFMT_D16_LOCKABLE,
                            DeviceResource::Tracking::Tracked));
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    present_ = parameters;
    displayMode_ = resolved.mode;
    renderTarget_ = backBuffer_;
    depthStencil_ = autoDepthStencil_;
    RestoreDefaultState();
    return true;
}

D3DVIEWPORT8 Device::FullViewport() const {
    return D3DVIEWPORT8{0, 0, renderTarget_->Storage().Width(), renderTarget_->Storage().Height(), 0.0f, 1.0f};
}

void Device::RestoreDefaultState() {
    recording_.reset();
    stateBlocks_.clear();
    inScene_ = false;
    DefaultStateInputs inputs;
    inputs.autoDepthStencil = autoDepthStencil_ != nullptr;
    inputs.softwareVertexProcessing = (creation_.BehaviorFlags & D3DCREATE_SOFTWARE_VERTEXPROCESSING) != 0;
    inputs.viewport = FullViewport();
    state_ = DefaultDeviceState(inputs);
}

HRESULT Device::TestCooperativeLevel() {
    TakeDisplayChanges();
    switch (cooperation_) {
        case Cooperation::Lost:
            // Nothing can be drawn until the window system gives the display
            // back, so the caller's loop is paced by its events.
            host::WaitForInput(kLostDeviceWaitMs);
            return D3DERR_DEVICELOST;
        case Cooperation::NotReset:
            return D3DERR_DEVICENOTRESET;
        case Cooperation::Operational:
            break;
    }
    return D3D_OK;
}

UINT Device::GetAvailableTextureMem() { return Profile().availableTextureMemory; }

HRESULT Device::GetDirect3D(IDirect3D8** direct3D) {
    if (InjectedFailure("GetDirect3D")) return D3DERR_INVALIDCALL;
    if (direct3D == nullptr) return D3DERR_INVALIDCALL;
    direct3D_->AddRef();
    *direct3D = direct3D_.Get();
    return D3D_OK;
}

HRESULT Device::GetDeviceCaps(D3DCAPS8* caps) {
    if (InjectedFailure("GetDeviceCaps")) return D3DERR_INVALIDCALL;
    if (caps == nullptr) return D3DERR_INVALIDCALL;
    *caps = Profile().caps;
    return D3D_OK;
}

HRESULT Device::GetDisplayMode(D3DDISPLAYMODE* mode) {
    if (InjectedFailure("GetDisplayMode")) return D3DERR_INVALIDCALL;
    if (mode == nullptr) return D3DERR_INVALIDCALL;
    *mode = displayMode_;
    return D3D_OK;
}

HRESULT Device::GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* parameters) {
    if (InjectedFailure("GetCreationParameters")) return D3DERR_INVALIDCALL;
    if (parameters == nullptr) return D3DERR_INVALIDCALL;
    *parameters = creation_;
    return D3D_OK;
}

// A failed Reset leaves the device waiting for another Reset.
HRESULT Device::Reset(D3DPRESENT_PARAMETERS* presentationParameters) {
    if (presentationParameters == nullptr) return D3DERR_INVALIDCALL;
    TakeDisplayChanges();
    if (cooperation_ == Cooperation::Lost) return D3DERR_DEVICELOST;
    ResolvedPresentation resolved;
    HRESULT result = InjectedFailure("Reset") ? D3DERR_INVALIDCALL
                                              : ResolvePresentation(Profile(), *presentationParameters, resolved);
    if (SUCCEEDED(result) && !presentationParameters->Windowed &&
        !host::CurrentHost().SetDisplayMode(static_cast<int>(resolved.width), static_cast<int>(resolved.height), true))
        result = D3DERR_NOTAVAILABLE;
    if (FAILED(result)) {
        cooperation_ = Cooperation::NotReset;
        return result;
    }
    FinishRendering();
    // Unbind first: the old buffers and textures go when nothing holds them.
    state_ = DeviceState{};
    recording_.reset();
    stateBlocks_.clear();
    for (DeviceResource* resource : resources_) resource->OnDeviceReset();
    if (!ApplyPresentParameters(*presentationParameters)) {
        cooperation_ = Cooperation::NotReset;
        return E_OUTOFMEMORY;
    }
    cooperation_ = Cooperation::Operational;
    return D3D_OK;
}

HRESULT Device::GetBackBuffer(UINT backBuffer, D3DBACKBUFFER_TYPE type, IDirect3DSurface8** surface) {
    if (surface == nullptr || backBuffer != 0 || type != D3DBACKBUFFER_TYPE_MONO) return D3DERR_INVALIDCALL;
    *surface = ComPtr<Surface>(backBuffer_).Detach();
    return D3D_OK;
}

HRESULT Device::SetRenderTarget(IDirect3DSurface8* renderTarget, IDirect3DSurface8* newZStencil) {
    Surface* color = renderTarget != nullptr ? OwnSurface(renderTarget) : renderTarget_.Get();
    if (color == nullptr || (color->Usage() & D3DUSAGE_RENDERTARGET) == 0) return D3DERR_INVALIDCALL;
    Surface* depth = nullptr;
    if (newZStencil != nullptr) {
        depth = OwnSurface(newZStencil);
        if (depth == nullptr || (depth->Usage() & D3DUSAGE_DEPTHSTENCIL) == 0 ||
            depth->Storage().Width() < color->Storage().Width() || depth->Storage().Height() < color->Storage().Height())
            return D3DERR_INVALIDCALL;
    }
    // The old targets may go with the switch: queued work is done first.
    FinishRendering();
    renderTarget_ = ComPtr<Surface>::Share(color);
    depthStencil_ = ComPtr<Surface>::Share(depth);
    state_.viewport = FullViewport();
    return D3D_OK;
}

HRESULT Device::GetRenderTarget(IDirect3DSurface8** renderTarget) {
    if (renderTarget == nullptr) return D3DERR_INVALIDCALL;
    *renderTarget = ComPtr<Surface>(renderTarget_).Detach();
    return D3D_OK;
}

HRESULT Device::GetDepthStencilSurface(IDirect3DSurface8** zStencilSurface) {
    if (zStencilSurface == nullptr) return D3DERR_INVALIDCALL;
    if (!depthStencil_) return D3DERR_NOTFOUND;
    *zStencilSurface = ComPtr<Surface>(depthStencil_).Detach();
    return D3D_OK;
}

HRESULT Device::BeginScene() {
    if (InjectedFailure("BeginScene") || inScene_) return D3DERR_INVALIDCALL;
    inScene_ = true;
    return D3D_OK;
}

HRESULT Device::EndScene() {
    if (InjectedFailure("EndScene") || !inScene_) return D3DERR_INVALIDCALL;
    inScene_ = false;
    return D3D_OK;
}

void Device::RegisterResource(DeviceResource* resource) { resources_.push_back(resource); }

void Device::UnregisterResource(DeviceResource* resource) { std::erase(resources_, resource); }

Surface* Device::OwnSurface(IDirect3DSurface8* surface) const {
    auto* own = dynamic_cast<Surface*>(surface);
    return own != nullptr && own->OwningDevice() == this ? own : nullptr;
}

}  // namespace valmere::d3d8
