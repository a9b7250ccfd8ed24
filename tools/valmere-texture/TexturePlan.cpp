#include "tools/valmere-texture/TexturePlan.h"

#include "texture/ValmereTexture.h"
#include "texture/format/BlockFormat.h"
#include "texture/format/PixelFormat.h"
#include "texture/load/Blitter.h"
#include "texture/load/ImageDefaults.h"
#include "tools/valmere-texture/FormatNames.h"
#include "tools/valmere-texture/OutputFormats.h"

#include <algorithm>
#include <cmath>

namespace valmere::tools {
namespace {

std::string Size(UINT w, UINT h, UINT d) {
    std::string s = std::to_string(w) + "x" + std::to_string(h);
    return d > 1 ? s + "x" + std::to_string(d) : s;
}

bool Asked(UINT value) { return value != 0 && value != D3DX_DEFAULT; }

UINT Scaled(UINT extent, double factor) {
    return std::max(1u, static_cast<UINT>(std::lround(static_cast<double>(extent) * factor)));
}

}  // namespace

bool PlanTexture(const ToolOptions& o, const TextureSource& source, TexturePlan& plan, std::vector<std::string>& notes,
                 std::string& error) {
    TexturePlan p;
    p.type = source.type;
    const bool cube = p.type == D3DRTYPE_CUBETEXTURE, volume = p.type == D3DRTYPE_VOLUMETEXTURE;

    // Size.
    const UINT w0 = source.Width(), h0 = source.Height(), d0 = source.Depth();
    p.width = w0;
    p.height = h0;
    p.depth = volume ? d0 : 1;
    if (Asked(o.width) && Asked(o.height)) {
        p.width = o.width;
        p.height = o.height;
    } else if (Asked(o.width)) {
        p.width = o.width;
        p.height = Scaled(h0, static_cast<double>(o.width) / w0);
    } else if (Asked(o.height)) {
        p.height = o.height;
        p.width = Scaled(w0, static_cast<double>(o.height) / h0);
    }
    if (volume && Asked(o.depth)) p.depth = o.depth;
    if (cube && p.width != p.height) {
        error = "a cube's faces are square: " + Size(p.width, p.height, 1) + " asked";
        return false;
    }
    const UINT largest = std::max({p.width, p.height, p.depth});
    if (o.maxSize != 0 && largest > o.maxSize) {
        const double factor = static_cast<double>(o.maxSize) / largest;
        const std::string before = Size(p.width, p.height, p.depth);
        p.width = Scaled(p.width, factor);
        p.height = cube ? p.width : Scaled(p.height, factor);
        p.depth = Scaled(p.depth, factor);
        notes.push_back("scaled from " + before + " to " + Size(p.width, p.height, p.depth) + " (--max-size " +
                        std::to_string(o.maxSize) + ")");
    }

    // Levels.
    const UINT full = FullMipChainLength(p.width, p.height, p.depth);
    p.levels = Asked(o.levels) ? o.levels : full;
    if (p.levels > full) {
        notes.push_back("--levels " + std::to_string(o.levels) + ": the full chain of " +
                        Size(p.width, p.height, p.depth) + " has " + std::to_string(full) + " levels");
        p.levels = full;
    }

    // Format.
    const SourceImage& first = source.First();
    if (o.format != D3DFMT_UNKNOWN) {
        p.format = o.format;
        p.keepPalette = GetFormatInfo(p.format).kind == FormatKind::Palette;
    } else {
        p.format = WidenPaletteFormat(FormatForImage(first.Image(), o.colorKey, 0, D3DPOOL_MANAGED, p.type),
                                      first.Palette());
    }
    if (!OutputHolds(o.outputKind == OutputKind::None ? OutputKind::Dds : o.outputKind, p.format)) {
        error = "format " + FormatName(p.format) + (o.outputKind == OutputKind::Png ? ": no picture can be made of it"
                                                                                      : ": a DDS file cannot hold it");
        return false;
    }
    ToolOptions resolved = o;
    resolved.format = p.format;
    p.filteredMips = resolved.FilteredMips();

    // Filters, as D3DXCreateTextureFromFileEx resolves them.
    p.filter = o.filter == D3DX_DEFAULT ? D3DX_FILTER_TRIANGLE | D3DX_FILTER_DITHER : o.filter;
    p.mipFilter = o.mipFilter == D3DX_DEFAULT ? D3DX_FILTER_BOX : o.mipFilter;
    if (cube) {
        p.filter |= D3DX_FILTER_MIRROR;
        p.mipFilter |= D3DX_FILTER_MIRROR;
    }
    if (!IsValidFilter(p.filter) || !IsValidFilter(p.mipFilter)) {
        error = "--filter or --mip-filter: not a filter word (a type 1 to 5 and the dither and mirror flags)";
        return false;
    }
    plan = p;
    return true;
}

bool AllocatePlannedTexture(const TexturePlan& plan, const TextureSource& source, TextureData& texture) {
    texture.type = plan.type;
    texture.format = plan.format;
    texture.width = plan.width;
    texture.height = plan.height;
    texture.depth = plan.depth;
    texture.levels = plan.levels;
    texture.hasPalette = plan.keepPalette;
    std::copy(std::begin(source.First().Palette()), std::end(source.First().Palette()), texture.palette.begin());
    return texture.Allocate();
}

}  // namespace valmere::tools
