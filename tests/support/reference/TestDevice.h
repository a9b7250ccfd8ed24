// The one place where the reference tests make their device, and the one
// place where they judge a frame. Every reference scene runs on a device made
// here, so a device option (a profile, a setting read at creation) reaches
// all of them by a change to this file alone.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/d3d8/ComPtr.h"
#include "platform/d3d8/Direct3D8.h"
#include "tests/support/reference/Renderer.h"

namespace valmere::reference {

struct DeviceConfig {
    int width = 160;
    int height = 120;
    D3DFORMAT color = D3DFMT_X8R8G8B8;
    D3DFORMAT depth = D3DFMT_D16;  // D3DFMT_UNKNOWN: no depth buffer
    int renderThreads = 0;         // VALMERE_RENDER_THREADS for the device; 0: as the environment has it
};

// A fresh headless host and a windowed device on it. Lighting is switched
// off (the reference does not light), everything else stays at Direct3D's
// defaults.
class TestDevice {
public:
    explicit TestDevice(const DeviceConfig& config = {});
    IDirect3DDevice8* Get() const { return device_.Get(); }
    IDirect3DDevice8* operator->() const { return device_.Get(); }
    explicit operator bool() const { return device_.Get() != nullptr; }

private:
    ComPtr<IDirect3D8> direct3D_;
    ComPtr<IDirect3DDevice8> device_;
};

// Passes when the reference followed every draw and the device's frame lies
// within the bound everywhere; the message names the worst pixel, both values
// and how many pixels are outside. With the environment variable
// VALMERE_REFERENCE_FIGURES set, prints that line for every scene, passing or
// not.
::testing::AssertionResult MatchesReference(const Renderer& reference, const std::string& scene);

// The device's back buffer, row after row without padding.
std::vector<std::uint8_t> BackBufferBytes(IDirect3DDevice8* device);

}  // namespace valmere::reference
