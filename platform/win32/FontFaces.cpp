// Face resolution (fontconfig), face opening and glyph rasterisation
// (FreeType) for the GDI font objects. The FreeType library is made once per
// process and kept; the fontconfig configuration is made once and destroyed
// at exit; faces live as long as a font object uses them.
#include "platform/win32/FontFaces.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <tuple>
#include <unordered_map>

namespace valmere::win32 {

// Light hinting keeps the glyph shapes close to their outlines at small
// sizes and works at fractional pixel sizes; embedded bitmaps are skipped so
// that every glyph comes out as anti-aliased coverage.
constexpr FT_Int32 kLoadFlags = FT_LOAD_TARGET_LIGHT | FT_LOAD_NO_BITMAP;
constexpr long kDefaultCellHeight = 16;  // lfHeight 0: the cell of a 12-point face at 96 dpi
constexpr long kLargestHeight = 1024;    // larger requests are clamped: glyph bitmaps grow with the square

class FontFace {
public:
    FontFace(FT_Face ftFace, FontFaceInfo faceInfo) : face(ftFace), info(std::move(faceInfo)) {}
    ~FontFace() { FT_Done_Face(face); }
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    FT_Face face;
    FontFaceInfo info;
    std::unordered_map<char32_t, GlyphImage> glyphs;
};

namespace {

std::size_t rasterisedGlyphs = 0;

FT_Library Library() {
    static FT_Library library = [] {
        FT_Library made = nullptr;
        return FT_Init_FreeType(&made) == 0 ? made : nullptr;
    }();
    return library;
}

// Destroyed at exit: fonts keep only file names, never fontconfig data.
FcConfig* FontConfig() {
    static const struct Holder {
        FcConfig* config = FcInitLoadConfigAndFonts();
        ~Holder() {
            if (config) FcConfigDestroy(config);
        }
    } holder;
    return holder.config;
}

struct Match {
    std::string file;
    int index = 0;
    int weight = FC_WEIGHT_REGULAR;
    int slant = FC_SLANT_ROMAN;
};

// fontconfig always answers with its best candidate: an unknown family gets
// the configured default, and metric aliases map "Arial" to a compatible face.
bool MatchFace(const std::string& family, LONG weight, bool italic, Match& out) {
    FcConfig* config = FontConfig();
    FcPattern* pattern = FcPatternCreate();
    if (!config || !pattern) {
        if (pattern) FcPatternDestroy(pattern);
        return false;
    }
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    const int openTypeWeight = weight > 0 ? static_cast<int>(std::min<LONG>(weight, 1000)) : FW_NORMAL;
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(openTypeWeight));
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* matched = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    if (!matched) return false;
    // Destroyed on every path, also when copying the file name runs out of memory.
    const std::unique_ptr<FcPattern, void (*)(FcPattern*)> match(matched, FcPatternDestroy);
    FcChar8* file = nullptr;
    const bool found = FcPatternGetString(match.get(), FC_FILE, 0, &file) == FcResultMatch && file;
    if (found) {
        out.file = reinterpret_cast<const char*>(file);
        FcPatternGetInteger(match.get(), FC_INDEX, 0, &out.index);
        FcPatternGetInteger(match.get(), FC_WEIGHT, 0, &out.weight);
        FcPatternGetInteger(match.get(), FC_SLANT, 0, &out.slant);
    }
    return found;
}

using FaceKey = std::tuple<std::string, int, long, bool, bool>;

std::map<FaceKey, std::weak_ptr<FontFace>>& FaceCache() {
    static std::map<FaceKey, std::weak_ptr<FontFace>> cache;
    return cache;
}

// The pixel metrics of a description on an opened face, and the character
// size that gives them. GDI's cell height is ascent + descent; FreeType's
// ascender and descender are those of the face's horizontal header.
long SizeFace(FT_Face face, LONG lfHeight, ResolvedFont& out) {
    const double units = face->units_per_EM;
    double above = face->ascender;
    double below = -static_cast<double>(face->descender);
    if (above + below <= 0) {
        above = units * 0.8;
        below = units * 0.2;
    }
    const long height =
        lfHeight == 0 ? kDefaultCellHeight : std::min<long>(std::labs(static_cast<long>(lfHeight)), kLargestHeight);
    double ppem = 0;
    if (lfHeight >= 0) {
        ppem = height * units / (above + below);
        out.ascent = static_cast<int>(std::lround(height * above / (above + below)));
        out.descent = static_cast<int>(height) - out.ascent;
    } else {
        ppem = static_cast<double>(height);
        out.ascent = static_cast<int>(std::lround(above * ppem / units));
        out.descent = static_cast<int>(std::lround(below * ppem / units));
    }
    const double scale = ppem / units;
    out.underlineRows = std::max(1, static_cast<int>(std::lround(face->underline_thickness * scale)));
    out.underlineTop = static_cast<int>(std::lround(-face->underline_position * scale - out.underlineRows / 2.0));
    out.underlineTop = std::clamp(out.underlineTop, 0, std::max(0, out.descent - out.underlineRows));
    double strikePosition = units * 0.26;
    double strikeSize = face->underline_thickness;
    out.averageWidth = 0;
    if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        os2 && os2->version != 0xFFFF) {
        if (os2->yStrikeoutSize > 0) {
            strikePosition = os2->yStrikeoutPosition;
            strikeSize = os2->yStrikeoutSize;
        }
        out.averageWidth = static_cast<int>(std::lround(os2->xAvgCharWidth * scale));
    }
    out.strikeoutRows = std::max(1, static_cast<int>(std::lround(strikeSize * scale)));
    out.strikeoutTop = -static_cast<int>(std::lround(strikePosition * scale));
    return std::max(64L, std::lround(ppem * 64));
}

std::shared_ptr<FontFace> OpenFace(const Match& match, const LOGFONTA& description, ResolvedFont& out) {
    FT_Library library = Library();
    FT_Face face = nullptr;
    if (!library || FT_New_Face(library, match.file.c_str(), match.index, &face) != 0) return nullptr;
    if (!FT_IS_SCALABLE(face)) {
        FT_Done_Face(face);
        return nullptr;
    }
    FontFaceInfo info;
    info.file = match.file;
    info.faceIndex = match.index;
    info.charHeight26Dot6 = SizeFace(face, description.lfHeight, out);
    info.loadFlags = kLoadFlags;
    info.emboldened = description.lfWeight >= 600 && match.weight < FC_WEIGHT_DEMIBOLD;
    info.slanted = description.lfItalic && match.slant == FC_SLANT_ROMAN;

    auto& cache = FaceCache();
    std::erase_if(cache, [](const auto& entry) { return entry.second.expired(); });
    const FaceKey key{info.file, info.faceIndex, info.charHeight26Dot6, info.emboldened, info.slanted};
    if (auto shared = cache[key].lock()) {
        FT_Done_Face(face);
        return shared;
    }
    if (FT_Set_Char_Size(face, 0, info.charHeight26Dot6, 72, 72) != 0) {
        FT_Done_Face(face);
        return nullptr;
    }
    // Not make_shared: the face must be freed with its last font, not with the
    // cache's last weak reference.
    std::shared_ptr<FontFace> shared(new FontFace(face, std::move(info)));
    cache[key] = shared;
    return shared;
}

void Rasterise(FontFace& font, char32_t codePoint, GlyphImage& glyph) {
    ++rasterisedGlyphs;
    FT_Face face = font.face;
    if (FT_Load_Glyph(face, FT_Get_Char_Index(face, codePoint), kLoadFlags) != 0) return;
    FT_GlyphSlot slot = face->glyph;
    if (font.info.slanted) FT_GlyphSlot_Oblique(slot);
    if (font.info.emboldened) FT_GlyphSlot_Embolden(slot);
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return;
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.num_grays != 256) return;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.rows = static_cast<int>(bitmap.rows);
    glyph.coverage.resize(static_cast<std::size_t>(glyph.width) * glyph.rows);
    for (int row = 0; row < glyph.rows; ++row) {
        // A negative pitch means the buffer starts with the bottom row.
        const int memoryRow = bitmap.pitch >= 0 ? row : glyph.rows - 1 - row;
        std::memcpy(&glyph.coverage[static_cast<std::size_t>(row) * glyph.width],
                    bitmap.buffer + static_cast<std::ptrdiff_t>(memoryRow) * std::abs(bitmap.pitch), glyph.width);
    }
}

}  // namespace

bool ResolveFont(const LOGFONTA& description, ResolvedFont& out) {
    const std::string name(description.lfFaceName, strnlen(description.lfFaceName, LF_FACESIZE));
    for (const std::string& family : {name.empty() ? std::string("sans-serif") : name, std::string("sans-serif")}) {
        Match match;
        if (!MatchFace(family, description.lfWeight, description.lfItalic != 0, match)) continue;
        ResolvedFont resolved;
        resolved.face = OpenFace(match, description, resolved);
        if (!resolved.face) continue;
        if (resolved.averageWidth <= 0) resolved.averageWidth = std::max(1, FaceGlyph(*resolved.face, U'x').advance);
        out = std::move(resolved);
        return true;
    }
    return false;
}

const GlyphImage& FaceGlyph(FontFace& face, char32_t codePoint) {
    auto [entry, inserted] = face.glyphs.try_emplace(codePoint);
    if (inserted) Rasterise(face, codePoint, entry->second);
    return entry->second;
}

FontFaceInfo DescribeFace(const FontFace& face) { return face.info; }

std::size_t RasterisedGlyphCount() { return rasterisedGlyphs; }

}  // namespace valmere::win32
