// The viewer's per-frame work, shared by WinMain and the frame-rate
// benchmark: the resources a frame draws with, their set-up and release,
// and one frame from the world update to the present.
#pragma once

#include "platform/d3d8/Direct3D8.h"

struct FrameResources {
    IDirect3DTexture8* terrainTexture = nullptr;
    IDirect3DTexture8* quadTexture = nullptr;
    IDirect3DTexture8* skyTexture = nullptr;
    IDirect3DVertexBuffer8* terrainBuffer = nullptr;
    IDirect3DVertexBuffer8* quadBuffer = nullptr;
    IDirect3DVertexBuffer8* skyBuffer = nullptr;
};

// WinMain's set-up: the material, the textures and the three vertex
// buffers on g_application's device (skipped without one), the camera's
// start and the overlay font g_font. A texture or buffer that cannot be
// created stays null; a font that cannot be created is reported and clears
// g_running. A data file that cannot be used (a texture's image, the height
// file) is named on standard error (app/DataFiles.h).
void SetUpFrame(FrameResources& resources);
// One frame: world update, controls, buffer refills, clear, the three
// meshes, the overlay text (when g_font exists), present. Needs
// g_application.device.
void DrawFrame(const FrameResources& resources);
// Releases g_font and everything else SetUpFrame created.
void ReleaseFrameResources(FrameResources& resources);
