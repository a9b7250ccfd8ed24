#include "texture/load/FormatChoice.h"

#include "platform/d3d8/ComPtr.h"

namespace valmere {
namespace {

using DebugSetMuteFn = void (*)(BOOL);

struct DebugMuteEntries {
    DebugSetMuteFn entries[2] = {};

    DebugMuteEntries() {
        const char* modules[2] = {"d3d8.dll", "d3d8d.dll"};
        for (int i = 0; i < 2; ++i) {
            if (HMODULE module = GetModuleHandleA(modules[i]))
                // Through void(*)(): GetProcAddress's type is a placeholder for any entry.
                entries[i] = reinterpret_cast<DebugSetMuteFn>(
                    reinterpret_cast<void (*)()>(GetProcAddress(module, "DebugSetMute")));
        }
    }
};

// The device's view of the adapter: what CheckDeviceFormat is asked with.
struct AdapterQuery {
    ComPtr<IDirect3D8> direct3D;
    D3DCAPS8 caps{};
    D3DDISPLAYMODE mode{};

    bool Read(IDirect3DDevice8* device) {
        return SUCCEEDED(device->GetDirect3D(direct3D.Receive())) && SUCCEEDED(device->GetDeviceCaps(&caps)) &&
               SUCCEEDED(device->GetDisplayMode(&mode));
    }
    bool Accepts(DWORD usage, D3DRESOURCETYPE type, D3DFORMAT format) const {
        return SUCCEEDED(
            direct3D->CheckDeviceFormat(caps.AdapterOrdinal, caps.DeviceType, mode.Format, usage, type, format));
    }
};

}  // namespace

void MuteDebugRuntime(bool mute) {
    static const DebugMuteEntries debug;
    for (DebugSetMuteFn entry : debug.entries)
        if (entry) entry(mute ? TRUE : FALSE);
}

D3DFORMAT ChooseDeviceFormat(IDirect3DDevice8* device, DWORD usage, D3DRESOURCETYPE type,
                             const PixelFormatInfo& wanted) {
    AdapterQuery adapter;
    if (device && !adapter.Read(device)) return D3DFMT_UNKNOWN;
    MuteDebugRuntime(true);
    const PixelFormatInfo* best = nullptr;
    UINT bestScore = kFormatUnusable;
    for (const PixelFormatInfo& row : FormatTable()) {
        if (row.format == D3DFMT_UNKNOWN) continue;
        if (device && !adapter.Accepts(usage, type, row.format)) continue;
        if (row.format == wanted.format) {
            best = &row;
            break;
        }
        if (!row.substitute) continue;
        const UINT score = FormatDistance(wanted, row);
        if (score == kFormatUnusable) continue;
        if (score < bestScore || (score == bestScore && row.bitsPerPixel < best->bitsPerPixel)) {
            best = &row;
            bestScore = score;
        }
    }
    MuteDebugRuntime(false);
    return best ? best->format : D3DFMT_UNKNOWN;
}

}  // namespace valmere
