#include "tools/valmere-texture/Options.h"

#include "texture/format/BlockFormat.h"
#include "tools/valmere-texture/FormatNames.h"
#include "tools/valmere-texture/OutputFormats.h"

#include <charconv>
#include <fstream>
#include <string_view>

namespace valmere::tools {

const char kUsage[] =
    "usage: valmere-texture [options] INPUT OUTPUT.dds|OUTPUT.png\n"
    "       valmere-texture [options] --cube +X -X +Y -Y +Z -Z OUTPUT.dds|OUTPUT.png\n"
    "       valmere-texture [options] -o OUTDIR FILES...   (@LIST: the files named in LIST, one a line)\n"
    "Reads image files (BMP, DIB, TGA, PPM, DDS, PNG or JPEG; cube and volume DDS files as cube and\n"
    "volume textures) and writes each as a texture: one DDS file, or PNG pictures (OUTPUT.png for a\n"
    "single picture, else OUTPUT_l<level>.png, with _f<face> for cube faces and _s<slice> for volume\n"
    "slices) with the channels the format has. The size is the image's unless asked otherwise: DDS\n"
    "files hold any size (the blocks at the edges are padded).\n"
    "Size and levels:\n"
    "  --width N, --height N, --depth N  the size (one side alone keeps the image's aspect)\n"
    "  --max-size N                      scale down, keeping the aspect, so that no side exceeds N\n"
    "  --levels N                        level count (0 or default: the full chain)\n"
    "Format:\n"
    "  --format NAME|NUMBER              A8R8G8B8, X8R8G8B8, R5G6B5, L8, DXT1..DXT5, BC4, BC5, ...\n"
    "                                    (default: the image's)\n"
    "  --quality standard|high           DXT: the standard encoder, or a cluster fit (slower, closer)\n"
    "  --normal-map                      a tangent-space normal map: X and Y into BC5 (signed, the\n"
    "                                    default) or DXT5 (X in alpha, Y in green), mips renormalised\n"
    "  --legacy-dds                      BC4 and BC5 under the codes ATI1, BC4S, ATI2, BC5S rather\n"
    "                                    than with a DX10 header\n"
    "Filtering:\n"
    "  --filter F                        scaling of the image: none, point, linear, triangle, box or\n"
    "                                    default, with |dither, |mirror, |mirror_u, |mirror_v, |mirror_w\n"
    "  --mip-filter F                    mips as D3DXFilterTexture makes them, each from the stored\n"
    "                                    level above (default box)\n"
    "  --linear-mips                     mips averaged in linear light (the image taken as sRGB)\n"
    "  --alpha-coverage REF              mips keep level 0's share of pixels with alpha >= REF (0..1)\n"
    "  --color-key AARRGGBB              hexadecimal ARGB colour made transparent\n"
    "  With --quality high (DXT), BC4, BC5, --linear-mips, --alpha-coverage or --normal-map each\n"
    "  level is the mean of the area it covers of the unquantised level above (no --mip-filter).\n"
    "Cube maps:\n"
    "  --cube +X -X +Y -Y +Z -Z          a cube from six square face images\n"
    "  --cross                           each input is a cube unfolded as a horizontal (4:3) or\n"
    "                                    vertical (3:4) cross\n"
    "Batches:\n"
    "  -o OUTDIR                         OUTDIR/NAME.dds (or .png) for each input NAME.ext\n"
    "  --file-type dds|png               what a batch writes (default dds)\n"
    "  --jobs N                          files converted at once (default: one per processor)\n"
    "Other:\n"
    "  --info                            print each texture's type, size, levels and format\n"
    "  --help                            print this text\n"
    "Messages go to standard error, one line each, starting \"valmere-texture: \": a bad command\n"
    "line; each file that fails, with the reason (that file is skipped, the others go on); each change\n"
    "made to what was asked (size, levels), with the file. A batch ends with a summary line; on a\n"
    "terminal a progress line shows the files done, Mpix/s and the time left. Output files are\n"
    "written under a temporary name and renamed, so a failure leaves none half written.\n"
    "Exit status: 0 every file written; 1 some file failed; 2 a bad command line (nothing written).\n";

namespace {

bool EndsWith(std::string_view text, std::string_view tail) {
    return text.size() > tail.size() && text.substr(text.size() - tail.size()) == tail;
}

OutputKind KindOf(std::string_view path) {
    return EndsWith(path, ".dds") ? OutputKind::Dds : EndsWith(path, ".png") ? OutputKind::Png : OutputKind::None;
}

bool ParseColorKey(std::string_view text, D3DCOLOR& key) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
    }
    UINT value = 0;
    if (text.empty() || text.size() > 8 || !ParseNumber(std::string("0x").append(text), value)) {
        return false;
    }
    key = value;
    return true;
}

bool ParseFraction(std::string_view text, float& value) {
    float parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || !(parsed >= 0 && parsed <= 1)) {
        return false;
    }
    value = parsed;
    return true;
}

// Options that take no value.
bool* FlagOf(std::string_view name, ToolOptions& o) {
    if (name == "info") return &o.info;
    if (name == "help") return &o.help;
    if (name == "linear-mips") return &o.linearMips;
    if (name == "normal-map") return &o.normalMap;
    if (name == "cross") return &o.cross;
    if (name == "legacy-dds") return &o.legacyDds;
    return nullptr;
}

bool TakesValue(std::string_view name) {
    for (std::string_view known : {"width", "height", "depth", "levels", "max-size", "format", "filter", "mip-filter",
                                   "color-key", "quality", "alpha-coverage", "file-type", "jobs", "output-dir"}) {
        if (name == known) {
            return true;
        }
    }
    return false;
}

struct Parse {
    ToolOptions& o;
    std::string& error;
    bool mipFilterGiven = false;
    bool fileTypeGiven = false;
    bool plainBc5 = false;  // "BC5" without U or S: signed for normal maps
    std::vector<std::string> positional;

    bool Fail(std::string message) {
        error = std::move(message);
        return false;
    }

    // Applies one option with its value; false with the reason.
    bool Apply(std::string_view name, std::string_view value) {
        // Appended rather than "literal" + std::string, which GCC 12 at -O3
        // takes for an overlapping copy.
        const std::string what = std::string("--").append(name).append(": ");
        const std::string quoted = std::string("\"").append(value).append("\"");
        if (name == "width" || name == "height" || name == "depth" || name == "levels" || name == "max-size" ||
            name == "jobs") {
            UINT number = 0;
            if (!ParseNumber(value, number)) return Fail(what + quoted + " is not a number");
            if ((name == "max-size" || name == "jobs") && number == 0) return Fail(what + "must be at least 1");
            (name == "width"      ? o.width
             : name == "height"   ? o.height
             : name == "depth"    ? o.depth
             : name == "levels"   ? o.levels
             : name == "max-size" ? o.maxSize
                                  : o.jobs) = number;
            return true;
        }
        if (name == "format") {
            if (!ParseFormat(value, o.format)) return Fail(what + "no format named " + quoted);
            plainBc5 = value == "BC5" || value == "bc5";
            return true;
        }
        if (name == "filter" || name == "mip-filter") {
            if (!ParseFilter(value, name == "filter" ? o.filter : o.mipFilter)) {
                return Fail(what + quoted +
                            " is not a filter (none, point, linear, triangle, box, default, with |dither or |mirror)");
            }
            mipFilterGiven = mipFilterGiven || name == "mip-filter";
            return true;
        }
        if (name == "color-key") {
            if (!ParseColorKey(value, o.colorKey)) return Fail(what + quoted + " is not a hexadecimal ARGB colour");
            return true;
        }
        if (name == "quality") {
            if (value != "standard" && value != "high") return Fail(what + quoted + " is not standard or high");
            o.quality = value == "high" ? Quality::High : Quality::Standard;
            return true;
        }
        if (name == "alpha-coverage") {
            if (!ParseFraction(value, o.alphaCoverage)) return Fail(what + quoted + " is not a number from 0 to 1");
            return true;
        }
        if (name == "file-type") {
            if (value != "dds" && value != "png") return Fail(what + quoted + " is not dds or png");
            o.outputKind = value == "dds" ? OutputKind::Dds : OutputKind::Png;
            fileTypeGiven = true;
            return true;
        }
        o.outputDirectory = value;  // output-dir
        o.batch = true;
        return true;
    }

    // @LIST: the lines of LIST, blank lines and lines starting with '#' left out.
    bool AddInput(std::string_view arg) {
        if (arg.size() < 2 || arg[0] != '@') {
            o.inputs.emplace_back(arg);
            return true;
        }
        const std::string list(arg.substr(1));
        std::ifstream in(list);
        if (!in) return Fail("cannot read the list \"" + list + "\"");
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty() && line[0] != '#') o.inputs.push_back(line);
        }
        return true;
    }

    // What the options and files mean together.
    bool Check() {
        if (o.cube && o.cross) return Fail("--cube and --cross both make the cube: give one of them");
        if (o.batch) {
            if (o.cube) return Fail("--cube makes one texture: give OUTPUT, not -o");
            if (!fileTypeGiven) o.outputKind = OutputKind::Dds;
            for (const std::string& p : positional) {
                if (!AddInput(p)) return false;
            }
            if (o.inputs.empty()) return Fail("missing FILES after -o " + o.outputDirectory);
        } else {
            if (fileTypeGiven) return Fail("--file-type is for batches (-o OUTDIR); OUTPUT's name gives the type");
            const std::size_t expected = o.cube ? 6 : 1;
            if (positional.size() < expected) return Fail(o.cube ? "--cube needs six face files" : "missing INPUT");
            if (positional.size() > expected + 1) {
                return Fail(std::string("too many files: \"").append(positional[expected + 1]).append("\""));
            }
            o.inputs.assign(positional.begin(), positional.begin() + static_cast<std::ptrdiff_t>(expected));
            if (positional.size() == expected + 1) {
                o.output = positional[expected];
                o.outputKind = KindOf(o.output);
                if (o.outputKind == OutputKind::None) return Fail("OUTPUT \"" + o.output + "\" must end in .dds or .png");
            } else if (!o.info) {
                return Fail("missing OUTPUT (or --info)");
            }
        }
        const BlockFormatRow* block = FindBlockFormatRow(o.format);
        if (block && DecodesOnLoad(block) && o.format != kFormatBc4U && o.format != kFormatBc4S &&
            o.format != kFormatBc5U && o.format != kFormatBc5S) {
            return Fail("--format " + FormatName(o.format) + ": the tool encodes DXT1..DXT5, BC4 and BC5 blocks");
        }
        const OutputKind kind = o.outputKind == OutputKind::None ? OutputKind::Dds : o.outputKind;
        if (o.format != D3DFMT_UNKNOWN && !OutputHolds(kind, o.format)) {
            return Fail("--format " + FormatName(o.format) +
                        (kind == OutputKind::Png ? ": no picture can be made of it" : ": a DDS file cannot hold it"));
        }
        if (o.normalMap && (o.format == kFormatBc4U || o.format == kFormatBc4S)) {
            return Fail("--normal-map: BC4 holds one channel, a normal map needs two (BC5 or DXT5)");
        }
        if (mipFilterGiven && o.FilteredMips()) {
            return Fail("--mip-filter cannot be used with --quality high, BC4, BC5, --linear-mips, --alpha-coverage or "
                        "--normal-map: those mips are means of areas");
        }
        return true;
    }
};

}  // namespace

bool ToolOptions::FilteredMips() const {
    const BlockFormatRow* block = FindBlockFormatRow(format);
    const bool bc = block && DecodesOnLoad(block);
    return linearMips || alphaCoverage >= 0 || normalMap || bc || (quality == Quality::High && block);
}

bool ParseOptions(int argc, const char* const* argv, ToolOptions& o, std::string& error) {
    Parse p{o, error};
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-o") {
            if (i + 1 >= argc) return p.Fail("-o needs a value");
            if (!p.Apply("output-dir", argv[++i])) return false;
            continue;
        }
        if (arg.size() < 2 || arg[0] != '-') {
            p.positional.emplace_back(arg);
            continue;
        }
        if (arg.size() < 3 || arg[1] != '-') return p.Fail(std::string("unknown option ").append(arg));
        std::string_view name = arg.substr(2);
        const std::size_t equals = name.find('=');
        std::string_view value;
        const bool inlineValue = equals != std::string_view::npos;
        if (inlineValue) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        if (name == "cube") {
            // The six faces follow; a face's name may begin with '-'.
            if (inlineValue) return p.Fail("--cube takes six files, not a value");
            o.cube = true;
            for (int face = 0; face < 6; ++face) {
                if (i + 1 >= argc) return p.Fail("--cube needs six face files");
                p.positional.emplace_back(argv[++i]);
            }
            continue;
        }
        if (bool* flag = FlagOf(name, o)) {
            if (inlineValue) return p.Fail(std::string("--").append(name).append(" takes no value"));
            *flag = true;
            continue;
        }
        if (!TakesValue(name)) return p.Fail(std::string("unknown option --").append(name));
        if (!inlineValue) {
            if (i + 1 >= argc) return p.Fail(std::string("--").append(name).append(" needs a value"));
            value = argv[++i];
        }
        if (!p.Apply(name, value)) return false;
    }
    if (o.help) return true;
    if (o.normalMap && (o.format == D3DFMT_UNKNOWN || p.plainBc5)) o.format = kFormatBc5S;
    return p.Check();
}

}  // namespace valmere::tools
