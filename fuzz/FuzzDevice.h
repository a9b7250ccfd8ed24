// The devices the fuzz targets work on: one full-screen 640x480 R5G6B5
// device (D16 depth) per device profile, on one headless host, made on first
// use and kept for the whole run, drawing on one thread so that every run of
// an input is the same.
#pragma once

#include "platform/d3d8/Direct3D8.h"
#include "platform/host/HeadlessHost.h"

namespace valmere::fuzz {

// The adapters a fuzz input may pick (its profile byte, modulo the count):
// the default one, with dynamic textures, power-of-two only, conditional
// non-power-of-two, square only, without mipmaps.
constexpr unsigned kProfileCount = 6;

struct FuzzDevice {
    IDirect3DDevice8* device = nullptr;
    D3DPRESENT_PARAMETERS parameters{};
    host::HeadlessHost* host = nullptr;
};

// The device of profile `index % kProfileCount`, operational: a device that
// an earlier input left lost (or any device that lost the display with it)
// is reset first. Aborts when a device cannot be made or reset.
const FuzzDevice& DeviceOfProfile(unsigned index);

// The reference count of `object`, unchanged.
ULONG References(IUnknown* object);

}  // namespace valmere::fuzz
