#include "tests/support/reference/Frame.h"

#include <cmath>
#include <cstdio>

#include "tests/support/reference/Bound.h"

namespace valmere::reference {
namespace {

constexpr int kAlpha = 0;
constexpr double kMaxCode16 = 65535.0;

// Bits of each channel in the target (alpha first).
void ChannelBits(D3DFORMAT format, int bits[4]) {
    const bool rgb565 = format == D3DFMT_R5G6B5;
    bits[0] = format == D3DFMT_A8R8G8B8 ? 8 : 0;
    bits[1] = rgb565 ? 5 : 8;
    bits[2] = rgb565 ? 6 : 8;
    bits[3] = rgb565 ? 5 : 8;
}

// An 8-bit value kept in `bits` bits (the high bits) and read back by bit
// replication.
double Replicated(int value8, int bits) {
    if (bits == 8) return value8;
    const int code = value8 >> (8 - bits);
    return (code << (8 - bits)) | (code >> (2 * bits - 8));
}

// Whether `a op b` can hold and can fail for some a and b in the integer
// intervals.
struct Outcomes {
    bool pass, fail;
};
Outcomes Test(DWORD func, const Range& a, const Range& b) {
    const bool overlap = a.lo <= b.hi && b.lo <= a.hi;
    const bool alwaysEqual = a.lo == a.hi && b.lo == b.hi && a.lo == b.lo;
    switch (func) {
    case D3DCMP_NEVER: return {false, true};
    case D3DCMP_LESS: return {a.lo < b.hi, a.hi >= b.lo};
    case D3DCMP_EQUAL: return {overlap, !alwaysEqual};
    case D3DCMP_LESSEQUAL: return {a.lo <= b.hi, a.hi > b.lo};
    case D3DCMP_GREATER: return {a.hi > b.lo, a.lo <= b.hi};
    case D3DCMP_NOTEQUAL: return {!alwaysEqual, overlap};
    case D3DCMP_GREATEREQUAL: return {a.hi >= b.lo, a.lo < b.hi};
    default: return {true, false};  // D3DCMP_ALWAYS
    }
}

// A blend factor, 0..1, for channel values in 8-bit units.
double Factor(DWORD factor, double srcChannel, double srcAlpha, double dstChannel, double dstAlpha) {
    switch (factor) {
    case D3DBLEND_ZERO: return 0;
    case D3DBLEND_ONE: return 1;
    case D3DBLEND_SRCCOLOR: return srcChannel / 255;
    case D3DBLEND_INVSRCCOLOR: return 1 - srcChannel / 255;
    case D3DBLEND_SRCALPHA: return srcAlpha / 255;
    case D3DBLEND_INVSRCALPHA: return 1 - srcAlpha / 255;
    case D3DBLEND_DESTALPHA: return dstAlpha / 255;
    case D3DBLEND_INVDESTALPHA: return 1 - dstAlpha / 255;
    case D3DBLEND_DESTCOLOR: return dstChannel / 255;
    default: return 1 - dstChannel / 255;  // D3DBLEND_INVDESTCOLOR
    }
}

// The values a variable of the blend takes at the extremes: its ends, and
// the middle where a factor of the form x (1 - x) peaks.
std::vector<double> Candidates(const Range& r) {
    std::vector<double> out{r.lo};
    if (r.hi != r.lo) out.push_back(r.hi);
    if (r.lo < 127.5 && r.hi > 127.5) out.push_back(127.5);
    return out;
}

// src * srcFactor + dst * destFactor (D3DBLENDOP_ADD), clamped to 0..255, over
// the intervals of the source and destination channels and alphas.
Range Blend(const Snapshot& s, int channel, const ColorRange& src, const ColorRange& dst) {
    Range out;
    const bool alpha = channel == kAlpha;
    for (double sc : Candidates(src.channel[channel]))
        for (double sa : alpha ? std::vector<double>{sc} : Candidates(src.channel[kAlpha]))
            for (double dc : Candidates(dst.channel[channel]))
                for (double da : alpha ? std::vector<double>{dc} : Candidates(dst.channel[kAlpha])) {
                    const double v = sc * Factor(s.srcBlend, sc, sa, dc, da) + dc * Factor(s.destBlend, sc, sa, dc, da);
                    out.Add(std::clamp(v, 0.0, 255.0));
                }
    return out;
}

}  // namespace

std::string Comparison::Describe() const {
    if (!error.empty()) return error;
    char line[512];
    std::snprintf(line, sizeof line,
                  "%ld pixels outside the bound; worst error %.2f at (%d, %d): device %08X, reference "
                  "a [%.2f, %.2f] r [%.2f, %.2f] g [%.2f, %.2f] b [%.2f, %.2f] depth [%.0f, %.0f]",
                  outside, worstError, worstX, worstY, deviceValue, reference.color.channel[0].lo,
                  reference.color.channel[0].hi, reference.color.channel[1].lo, reference.color.channel[1].hi,
                  reference.color.channel[2].lo, reference.color.channel[2].hi, reference.color.channel[3].lo,
                  reference.color.channel[3].hi, reference.depth.lo, reference.depth.hi);
    return line;
}

Frame::Frame(int width, int height, D3DFORMAT colorFormat, D3DFORMAT depthFormat)
    : width_(width), height_(height), colorFormat_(colorFormat), depthFormat_(depthFormat),
      pixels_(static_cast<std::size_t>(width) * height) {
    Clear(0, 0, width, height, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f);
}

Range Frame::DepthCodes(const Range& depth) {
    const Range d = depth.Clamped(0.0, 1.0);
    return Range{std::floor(d.lo * kMaxCode16 + 0.5) - kDepthCodeAllowance,
                 std::floor(d.hi * kMaxCode16 + 0.5) + kDepthCodeAllowance}
        .Clamped(0.0, kMaxCode16);
}

ColorRange Frame::Held(const ColorRange& exact) const {
    int bits[4];
    ChannelBits(colorFormat_, bits);
    ColorRange held;
    for (int c = 0; c < 4; ++c) {
        const Range r = exact.channel[c].Clamped(0.0, 255.0);
        if (bits[c] == 0) {
            held.channel[c] = Range::Of(255.0);  // no alpha in the target: reads as opaque
        } else if (bits[c] == 8) {
            held.channel[c] = r;
        } else {
            // The device may write any 8-bit value within the tolerance; the
            // target keeps its high bits.
            const Range wide = r.Widened(kChannelTolerance).Clamped(0.0, 255.0);
            held.channel[c] = {Replicated(static_cast<int>(std::ceil(wide.lo)), bits[c]),
                               Replicated(static_cast<int>(std::floor(wide.hi)), bits[c])};
        }
    }
    return held;
}

void Frame::Clear(int x0, int y0, int x1, int y1, DWORD flags, D3DCOLOR color, float z) {
    // A cleared target holds the colour's high bits; a cleared depth buffer
    // the code of z.
    ColorRange held;
    int bits[4];
    ChannelBits(colorFormat_, bits);
    for (int c = 0; c < 4; ++c)
        held.channel[c] = Range::Of(bits[c] == 0 ? 255.0 : Replicated((color >> (24 - 8 * c)) & 0xFF, bits[c]));
    const Range depth = DepthCodes(Range::Of(z));
    for (int y = std::max(0, y0); y < std::min(height_, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(width_, x1); ++x) {
            if (flags & D3DCLEAR_TARGET) At(x, y).color = held;
            if (flags & D3DCLEAR_ZBUFFER) At(x, y).depth = depth;
        }
}

void Frame::Merge(int x, int y, const Snapshot& s, const Fragment& f) {
    PixelState& pixel = At(x, y);
    bool canKeep = f.maybeMissed, canWrite = true;
    if (s.alphaTestEnable) {
        // The device's 8-bit alpha may be any integer within the tolerance.
        const Range alpha{std::ceil(f.color.channel[kAlpha].lo - kChannelTolerance),
                          std::floor(f.color.channel[kAlpha].hi + kChannelTolerance)};
        const Outcomes test = Test(s.alphaFunc, alpha.Clamped(0, 255), Range::Of(s.alphaRef & 0xFF));
        canKeep |= test.fail;
        canWrite &= test.pass;
    }
    const bool depthTest = s.zEnable && HasDepth();
    if (depthTest) {
        const Outcomes test = Test(s.zFunc, f.depth, pixel.depth);
        canKeep |= test.fail;
        canWrite &= test.pass;
    }
    if (!canWrite) return;
    PixelState written = pixel;
    if (s.alphaBlendEnable) {
        ColorRange blended;
        for (int c = 0; c < 4; ++c) blended.channel[c] = Blend(s, c, f.color, pixel.color);
        written.color = Held(blended);
    } else {
        written.color = Held(f.color);
    }
    if (depthTest && s.zWriteEnable) written.depth = f.depth;
    if (canKeep) {
        written.color.Add(pixel.color);
        written.depth.Add(pixel.depth);
    }
    pixel = written;
}

Comparison Frame::Compare(IDirect3DDevice8* device) const {
    Comparison result;
    IDirect3DSurface8* backBuffer = nullptr;
    IDirect3DSurface8* copy = nullptr;
    D3DLOCKED_RECT locked{};
    std::vector<std::uint32_t> device_pixels;
    if (FAILED(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer)) ||
        FAILED(device->CreateImageSurface(width_, height_, colorFormat_, &copy)) ||
        FAILED(device->CopyRects(backBuffer, nullptr, 0, copy, nullptr)) ||
        FAILED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
        result.error = "the device's back buffer could not be read";
    } else {
        DecodeRows(colorFormat_, locked.pBits, locked.Pitch, width_, height_, device_pixels);
        copy->UnlockRect();
    }
    if (copy) copy->Release();
    if (backBuffer) backBuffer->Release();
    if (!result.error.empty()) return result;

    int bits[4];
    ChannelBits(colorFormat_, bits);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_ && RowIncluded(y); ++x) {
            const std::uint32_t value = device_pixels[static_cast<std::size_t>(y) * width_ + x];
            const PixelState& pixel = At(x, y);
            double error = 0;
            bool outside = false;
            for (int c = 0; c < 4; ++c) {
                if (bits[c] == 0) continue;
                const double v = (value >> (24 - 8 * c)) & 0xFF;
                const double distance = pixel.color.channel[c].Distance(v);
                error = std::max(error, distance);
                // An 8-bit target may differ by the tolerance; a narrower one
                // holds exactly the codes of its interval.
                outside |= distance > (bits[c] == 8 ? kChannelTolerance : 0.0);
            }
            result.outside += outside;
            if (error > result.worstError) {
                result.worstError = error;
                result.worstX = x, result.worstY = y;
                result.deviceValue = value;
                result.reference = pixel;
            }
        }
    return result;
}

}  // namespace valmere::reference
