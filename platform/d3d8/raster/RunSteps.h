// Choice of the specialised run steps of a pixel pipeline.
#pragma once

#include "platform/d3d8/raster/PixelPipeline.h"

namespace valmere::raster {

// Depth test in the layout of format; writes passing depths too when
// writeInTest (no alpha test follows). Null for formats without depth.
RunStep ChooseDepthTest(D3DFORMAT format, DWORD func, bool writeInTest);
RunStep ChooseDepthWrite(D3DFORMAT format);

// Texture-stage combiner; diffuseIsWhite when every pixel's diffuse colour
// is opaque white (no vertex colour, no lighting), which lets
// modulation by diffuse fall away. specialise: common stage set-ups get a
// loop of their own (off when the general path is forced). readsDiffuse:
// the combiner reads the run's diffuse colours.
RunStep ChooseCombine(const PixelPipeline& pipeline, bool diffuseIsWhite, bool specialise, bool& readsDiffuse);

void AlphaTest(const PixelPipeline& pipeline, Run& run);

// Blending and colour write into the target format; specialise: blend
// states with a loop of their own get it (off when the general path is
// forced).
RunStep ChooseOutput(D3DFORMAT format, const BlendState& blend, bool blending, bool specialise);

// Compares a against b with a D3DCMPFUNC.
template <typename T>
inline bool Compare(DWORD func, T a, T b) {
    switch (func) {
    case D3DCMP_NEVER: return false;
    case D3DCMP_LESS: return a < b;
    case D3DCMP_EQUAL: return a == b;
    case D3DCMP_LESSEQUAL: return a <= b;
    case D3DCMP_GREATER: return a > b;
    case D3DCMP_NOTEQUAL: return a != b;
    case D3DCMP_GREATEREQUAL: return a >= b;
    default: return true;
    }
}

}  // namespace valmere::raster
