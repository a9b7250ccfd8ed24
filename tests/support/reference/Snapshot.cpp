#include "tests/support/reference/Snapshot.h"

#include <cstring>

namespace valmere::reference {
namespace {

std::string Describe(const char* what, DWORD value) { return std::string(what) + " = " + std::to_string(value); }

DWORD Render(IDirect3DDevice8* device, D3DRENDERSTATETYPE state) {
    DWORD value = 0;
    device->GetRenderState(state, &value);
    return value;
}

DWORD Stage(IDirect3DDevice8* device, DWORD stage, D3DTEXTURESTAGESTATETYPE state) {
    DWORD value = 0;
    device->GetTextureStageState(stage, state, &value);
    return value;
}

// Render states whose non-default values the reference does not model.
std::string CheckUnmodelled(IDirect3DDevice8* device) {
    struct Expected {
        D3DRENDERSTATETYPE state;
        DWORD value;
        const char* name;
    };
    const Expected expected[] = {
        {D3DRS_FILLMODE, 3, "D3DRS_FILLMODE"},          {D3DRS_SHADEMODE, 2, "D3DRS_SHADEMODE"},
        {D3DRS_FOGENABLE, 0, "D3DRS_FOGENABLE"},        {D3DRS_SPECULARENABLE, 0, "D3DRS_SPECULARENABLE"},
        {D3DRS_STENCILENABLE, 0, "D3DRS_STENCILENABLE"}, {D3DRS_ZBIAS, 0, "D3DRS_ZBIAS"},
        {D3DRS_WRAP0, 0, "D3DRS_WRAP0"},                {D3DRS_CLIPPLANEENABLE, 0, "D3DRS_CLIPPLANEENABLE"},
        {D3DRS_COLORWRITEENABLE, 0xF, "D3DRS_COLORWRITEENABLE"}, {D3DRS_BLENDOP, 1, "D3DRS_BLENDOP"},
        {D3DRS_VERTEXBLEND, 0, "D3DRS_VERTEXBLEND"},
    };
    for (const Expected& e : expected)
        if (Render(device, e.state) != e.value) return Describe(e.name, Render(device, e.state));
    if (Stage(device, 0, D3DTSS_TEXCOORDINDEX) != 0) return "D3DTSS_TEXCOORDINDEX of stage 0 is not 0";
    if (Stage(device, 0, D3DTSS_TEXTURETRANSFORMFLAGS) != 0) return "stage 0 has a texture transform";
    if (Stage(device, 1, D3DTSS_COLOROP) != D3DTOP_DISABLE) return "stage 1 is enabled";
    return {};
}

std::string ReadTexture(IDirect3DDevice8* device, std::vector<TextureLevel>& levels) {
    IDirect3DBaseTexture8* base = nullptr;
    if (FAILED(device->GetTexture(0, &base)) || base == nullptr) return {};
    std::string error;
    if (base->GetType() != D3DRTYPE_TEXTURE) {
        error = "stage 0 holds a cube or volume texture";
    } else {
        auto* texture = static_cast<IDirect3DTexture8*>(base);
        for (DWORD level = 0; level < texture->GetLevelCount() && error.empty(); ++level) {
            D3DSURFACE_DESC desc{};
            D3DLOCKED_RECT locked{};
            if (FAILED(texture->GetLevelDesc(level, &desc)) ||
                FAILED(texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY))) {
                error = "texture level " + std::to_string(level) + " cannot be locked";
                break;
            }
            TextureLevel out;
            out.width = static_cast<int>(desc.Width);
            out.height = static_cast<int>(desc.Height);
            if (!DecodeRows(desc.Format, locked.pBits, locked.Pitch, out.width, out.height, out.texels))
                error = Describe("texture format", desc.Format);
            for (std::uint32_t texel : out.texels) out.all.Add(ColorRange::Of(texel));
            texture->UnlockRect(level);
            levels.push_back(std::move(out));
        }
    }
    base->Release();
    return error;
}

}  // namespace

bool DecodeRows(D3DFORMAT format, const void* bits, int pitch, int width, int height, std::vector<std::uint32_t>& out) {
    out.resize(static_cast<std::size_t>(width) * height);
    const auto* bytes = static_cast<const std::uint8_t*>(bits);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = bytes + static_cast<std::ptrdiff_t>(y) * pitch;
        for (int x = 0; x < width; ++x) {
            std::uint32_t& texel = out[static_cast<std::size_t>(y) * width + x];
            if (format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8) {
                std::memcpy(&texel, row + 4 * x, 4);
                if (format == D3DFMT_X8R8G8B8) texel |= 0xFF000000u;
            } else if (format == D3DFMT_R5G6B5) {
                std::uint16_t p = 0;
                std::memcpy(&p, row + 2 * x, 2);
                const std::uint32_t r = p >> 11, g = (p >> 5) & 0x3F, b = p & 0x1F;
                texel = 0xFF000000u | ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
            } else {
                return false;
            }
        }
    }
    return true;
}

std::string CaptureSnapshot(IDirect3DDevice8* device, Snapshot& s) {
    device->GetTransform(D3DTS_WORLD, &s.world);
    device->GetTransform(D3DTS_VIEW, &s.view);
    device->GetTransform(D3DTS_PROJECTION, &s.projection);
    device->GetViewport(&s.viewport);
    device->GetVertexShader(&s.fvf);
    s.zEnable = Render(device, D3DRS_ZENABLE);
    s.zWriteEnable = Render(device, D3DRS_ZWRITEENABLE);
    s.zFunc = Render(device, D3DRS_ZFUNC);
    s.alphaTestEnable = Render(device, D3DRS_ALPHATESTENABLE);
    s.alphaRef = Render(device, D3DRS_ALPHAREF);
    s.alphaFunc = Render(device, D3DRS_ALPHAFUNC);
    s.alphaBlendEnable = Render(device, D3DRS_ALPHABLENDENABLE);
    s.srcBlend = Render(device, D3DRS_SRCBLEND);
    s.destBlend = Render(device, D3DRS_DESTBLEND);
    s.cullMode = Render(device, D3DRS_CULLMODE);
    s.textureFactor = Render(device, D3DRS_TEXTUREFACTOR);
    s.lighting = Render(device, D3DRS_LIGHTING);

    StageState& t = s.stage;
    t.colorOp = Stage(device, 0, D3DTSS_COLOROP);
    t.colorArg1 = Stage(device, 0, D3DTSS_COLORARG1);
    t.colorArg2 = Stage(device, 0, D3DTSS_COLORARG2);
    t.alphaOp = Stage(device, 0, D3DTSS_ALPHAOP);
    t.alphaArg1 = Stage(device, 0, D3DTSS_ALPHAARG1);
    t.alphaArg2 = Stage(device, 0, D3DTSS_ALPHAARG2);
    t.addressU = Stage(device, 0, D3DTSS_ADDRESSU);
    t.addressV = Stage(device, 0, D3DTSS_ADDRESSV);
    t.borderColor = Stage(device, 0, D3DTSS_BORDERCOLOR);
    t.magFilter = Stage(device, 0, D3DTSS_MAGFILTER);
    t.minFilter = Stage(device, 0, D3DTSS_MINFILTER);
    t.mipFilter = Stage(device, 0, D3DTSS_MIPFILTER);
    t.maxMipLevel = Stage(device, 0, D3DTSS_MAXMIPLEVEL);
    const DWORD bias = Stage(device, 0, D3DTSS_MIPMAPLODBIAS);
    std::memcpy(&t.lodBias, &bias, sizeof bias);
    t.levels.clear();

    if (std::string error = CheckUnmodelled(device); !error.empty()) return error;
    return ReadTexture(device, t.levels);
}

}  // namespace valmere::reference
