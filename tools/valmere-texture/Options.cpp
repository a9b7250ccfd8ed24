#include "tools/valmere-texture/Options.h"

#include "tools/valmere-texture/FormatNames.h"

#include <string_view>
#include <vector>

namespace valmere::tools {

const char kUsage[] =
    "usage: valmere-texture [options] INPUT [OUTPUT.dds | OUTPUT.png]\n"
    "Loads INPUT (BMP, DIB, TGA, PPM, DDS, PNG or JPEG; cube and volume DDS files\n"
    "as cube and volume textures) on a headless device and writes the texture as\n"
    "one DDS file or one PNG per level (OUTPUT_l<level>.png, with _f<face> for\n"
    "cube faces and _s<slice> for volume slices).\n"
    "  --width N, --height N, --depth N   size (default: the file's)\n"
    "  --levels N                         level count (0 or default: full chain)\n"
    "  --format NAME|NUMBER               A8R8G8B8, X8R8G8B8, R5G6B5, DXT1..DXT5, ...\n"
    "  --filter F, --mip-filter F         none, point, linear, triangle, box or default,\n"
    "                                     with |dither, |mirror, |mirror_u, |mirror_v, |mirror_w\n"
    "  --color-key AARRGGBB               hexadecimal ARGB colour made transparent\n"
    "  --pool managed|default|systemmem|scratch\n"
    "  --info                             print the texture's size, format and level count\n"
    "  --help                             print this text\n";

namespace {

bool EndsWith(std::string_view text, std::string_view tail) {
    return text.size() > tail.size() && text.substr(text.size() - tail.size()) == tail;
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

// Applies one option with its value; false with the reason.
bool ApplyValue(std::string_view name, std::string_view value, ToolOptions& o, std::string& error) {
    // Appended rather than "literal" + std::string, which GCC 12 at -O3 takes
    // for an overlapping copy.
    const std::string what = std::string("--").append(name).append(": ");
    const std::string quoted = std::string("\"").append(value).append("\"");
    if (name == "width" || name == "height" || name == "depth" || name == "levels") {
        UINT number = 0;
        if (!ParseNumber(value, number)) {
            error = what + quoted + " is not a number";
            return false;
        }
        (name == "width" ? o.width : name == "height" ? o.height : name == "depth" ? o.depth : o.levels) = number;
        return true;
    }
    if (name == "format") {
        if (!ParseFormat(value, o.format)) {
            error = what + "no format named " + quoted;
            return false;
        }
        return true;
    }
    if (name == "filter" || name == "mip-filter") {
        if (!ParseFilter(value, name == "filter" ? o.filter : o.mipFilter)) {
            error = what + quoted +
                    " is not a filter (none, point, linear, triangle, box, default, with |dither or |mirror)";
            return false;
        }
        return true;
    }
    if (name == "color-key") {
        if (!ParseColorKey(value, o.colorKey)) {
            error = what + quoted + " is not a hexadecimal ARGB colour";
            return false;
        }
        return true;
    }
    if (!ParsePool(value, o.pool)) {  // name == "pool"
        error = what + "no pool named " + quoted + " (managed, default, systemmem, scratch)";
        return false;
    }
    return true;
}

bool TakesValue(std::string_view name) {
    for (std::string_view known : {"width", "height", "depth", "levels", "format", "filter", "mip-filter",
                                   "color-key", "pool"}) {
        if (name == known) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool ParseOptions(int argc, const char* const* argv, ToolOptions& o, std::string& error) {
    std::vector<std::string_view> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.size() < 2 || arg[0] != '-') {
            positional.push_back(arg);
            continue;
        }
        if (arg.size() < 3 || arg[1] != '-') {
            error = std::string("unknown option ").append(arg);
            return false;
        }
        std::string_view name = arg.substr(2);
        const std::size_t equals = name.find('=');
        std::string_view value;
        const bool inlineValue = equals != std::string_view::npos;
        if (inlineValue) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        if (name == "info" || name == "help") {
            if (inlineValue) {
                error = std::string("--").append(name).append(" takes no value");
                return false;
            }
            (name == "info" ? o.info : o.help) = true;
            continue;
        }
        if (!TakesValue(name)) {
            error = std::string("unknown option --").append(name);
            return false;
        }
        if (!inlineValue) {
            if (i + 1 >= argc) {
                error = std::string("--").append(name).append(" needs a value");
                return false;
            }
            value = argv[++i];
        }
        if (!ApplyValue(name, value, o, error)) {
            return false;
        }
    }
    if (o.help) {
        return true;
    }
    if (positional.empty()) {
        error = "missing INPUT";
        return false;
    }
    if (positional.size() > 2) {
        error = std::string("too many files: \"").append(positional[2]).append("\"");
        return false;
    }
    o.input = positional[0];
    if (positional.size() == 2) {
        o.output = positional[1];
        o.outputKind = EndsWith(o.output, ".dds") ? OutputKind::Dds
                       : EndsWith(o.output, ".png") ? OutputKind::Png
                                                    : OutputKind::None;
        if (o.outputKind == OutputKind::None) {
            error = "OUTPUT \"" + o.output + "\" must end in .dds or .png";
            return false;
        }
    } else if (!o.info) {
        error = "missing OUTPUT (or --info)";
        return false;
    }
    return true;
}

}  // namespace valmere::tools
