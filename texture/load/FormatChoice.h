// Format choice against a device: the closest format of the format table that
// the device accepts for a resource type and usage.
#pragma once

#include "platform/d3d8/Direct3D8.h"
#include "texture/format/PixelFormat.h"

namespace valmere {

// Walks the format table in order. With a device, a row counts only when
// IDirect3D8::CheckDeviceFormat accepts it for the device's adapter, type and
// display format; without one (null) every row counts. A row of exactly
// `wanted.format` is the answer at once; otherwise the rows with the
// substitute flag are scored with FormatDistance and the lowest score wins,
// ties going to fewer bits per pixel, then to the earlier row. The table's
// D3DFMT_UNKNOWN row is never an answer. D3DFMT_UNKNOWN when nothing fits
// (or the device cannot be queried).
D3DFORMAT ChooseDeviceFormat(IDirect3DDevice8* device, DWORD usage, D3DRESOURCETYPE type,
                             const PixelFormatInfo& wanted);

// Silences a debug runtime's messages while formats are probed: calls the
// "DebugSetMute" entry of "d3d8.dll" and "d3d8d.dll" when either module is
// loaded (looked up once). Nothing is loaded in this process, so it only
// looks.
void MuteDebugRuntime(bool mute);

}  // namespace valmere
