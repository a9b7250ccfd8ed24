#include "tools/valmere-texture/CubeAssembly.h"

#include "texture/format/BlockFormat.h"
#include "texture/format/PixelFormat.h"

#include <cstring>
#include <new>

namespace valmere::tools {
namespace {

const char* const kFaceNames[6] = {"+X", "-X", "+Y", "-Y", "+Z", "-Z"};

// Cell (column, row) of each face in the crosses, in face units.
struct Cell {
    UINT column, row;
};
constexpr Cell kHorizontal[6] = {{2, 1}, {0, 1}, {1, 0}, {1, 2}, {1, 1}, {3, 1}};
constexpr Cell kVertical[6] = {{2, 1}, {0, 1}, {1, 0}, {1, 2}, {1, 1}, {1, 3}};

std::string Size(UINT width, UINT height) { return std::to_string(width) + "x" + std::to_string(height); }

bool IsFlat(const DecodedImage& image) { return image.resourceType == D3DRTYPE_TEXTURE && image.depth <= 1; }

// A copy of the square `box` of `level` turned half a turn; false when its
// pixels are not whole bytes each (block and YUV formats).
bool TurnedCopy(const LockedPixels& level, std::vector<BYTE>& out, LockedPixels& turned) {
    const UINT bits = GetFormatInfo(level.format).bitsPerPixel;
    if (FindBlockFormatRow(level.format) || level.format == D3DFMT_UYVY || level.format == D3DFMT_YUY2 || bits % 8 != 0 ||
        GetFormatInfo(level.format).format != level.format) {
        return false;
    }
    const UINT bytes = bits / 8;
    const D3DBOX& box = level.region;
    const UINT size = box.Right - box.Left;
    out.resize(std::size_t{size} * size * bytes);
    const auto* pixels = static_cast<const BYTE*>(level.pixels);
    for (UINT y = 0; y < size; ++y) {
        for (UINT x = 0; x < size; ++x) {
            const BYTE* from = pixels + std::size_t{box.Top + size - 1 - y} * static_cast<UINT>(level.rowPitch) +
                               std::size_t{box.Left + size - 1 - x} * bytes;
            std::memcpy(&out[(std::size_t{y} * size + x) * bytes], from, bytes);
        }
    }
    turned = level;
    turned.pixels = out.data();
    turned.rowPitch = static_cast<INT>(size * bytes);
    turned.extent = turned.region = D3DBOX{0, 0, size, size, 0, 1};
    return true;
}

}  // namespace

bool AssembleCubeFromFaces(TextureSource& source, std::string& failedFile, std::string& error) {
    source.type = D3DRTYPE_CUBETEXTURE;
    source.faces.assign(6, {});
    const DecodedImage& first = source.files[0]->Image();
    for (UINT face = 0; face < 6; ++face) {
        const SourceImage& file = *source.files[face];
        const DecodedImage& image = file.Image();
        failedFile = file.Path();
        if (!IsFlat(image) || image.nextFace) {
            error = std::string("face ") + kFaceNames[face] + " must be a 2D image, not a cube or volume";
            return false;
        }
        if (image.width != image.height) {
            error = std::string("face ") + kFaceNames[face] + " is " + Size(image.width, image.height) + ", not square";
            return false;
        }
        if (image.width != first.width) {
            error = std::string("face ") + kFaceNames[face] + " is " + Size(image.width, image.height) + ", face +X " +
                    Size(first.width, first.height);
            return false;
        }
        source.faces[face].push_back(file.Describe(image));
    }
    return true;
}

bool AssembleCubeFromCross(TextureSource& source, std::string& error) {
    const SourceImage& file = *source.files[0];
    const DecodedImage& image = file.Image();
    if (!IsFlat(image) || image.nextFace) {
        error = "--cross: the file holds a cube or volume already";
        return false;
    }
    const bool horizontal = image.width * 3 == image.height * 4;
    const bool vertical = image.width * 4 == image.height * 3;
    if (!horizontal && !vertical) {
        error = "--cross: " + Size(image.width, image.height) + " is not a cross of square faces (4:3 or 3:4)";
        return false;
    }
    const UINT size = image.width / (horizontal ? 4 : 3);
    const Cell* cells = horizontal ? kHorizontal : kVertical;
    source.type = D3DRTYPE_CUBETEXTURE;
    source.faces.assign(6, {});
    for (UINT face = 0; face < 6; ++face) {
        const UINT left = image.box.left + cells[face].column * size, top = image.box.top + cells[face].row * size;
        LockedPixels cell = file.Describe(image, D3DBOX{left, top, left + size, top + size, 0, 1});
        if (vertical && face == 5) {
            source.copies.emplace_back();
            LockedPixels turned;
            if (!TurnedCopy(cell, source.copies.back(), turned)) {
                error = "--cross: the -Z face of a vertical cross is upside down, and blocks of this format cannot be turned";
                return false;
            }
            cell = turned;
        }
        source.faces[face].push_back(cell);
    }
    return true;
}

}  // namespace valmere::tools
