// dxtbench: encodes and decodes procedural images with this project's DXT1,
// DXT3 and DXT5 codec (the standard encoder and the high-quality one, whose
// cluster fit runs in its AVX2 variant where the processor has it and is
// also timed in its portable one), stb_dxt (normal and high quality) and
// libsquish (default cluster fit; a quality reference, Debian builds it
// without SIMD).
// Prints single-thread throughput in Mpixels/s and the RMSE/PSNR of the
// decoded images (this project's encoder also one block per call, for
// callers of the single-block functions), then BC7 decoding (the block
// decoder the DDS reader runs on load), then row throughput of the 32-, 16-
// and 24-bit pixel codecs. The last line is a key=value summary.
//
// With image files as arguments (dxtbench a.jpg b.png ...) it measures DXT1
// on those instead, each file once, opaque and cropped to whole blocks: the
// PSNR of each encoder per file, the mean over the files and the encoding
// speed over all of them, again ending in a key=value line.
#include "ImageFiles.h"
#include "TestImages.h"

#include "texture/ValmereTexture.h"
#include "texture/codec/PixelCodec.h"
#include "texture/dxt/ClusterFit.h"
#include "texture/dxt/DxtBlock.h"
#include "texture/format/BlockFormat.h"

#include <squish.h>
#include <stb/stb_dxt.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <time.h>

namespace valmere::bench {
namespace {

constexpr double kMinSeconds = 0.4;

// CPU time of this thread: the machine is shared, so wall time would count
// other processes' work.
double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Encodes image `index` into `out` (its blocks in row-major order). Every
// codec starts from the same 8-bit RGBA image: stb_dxt and libsquish take
// its blocks as they are; this project's codec is also charged for turning
// each block row into D3DXCOLOR blocks (the blitter's job when a user loads
// such an image) before encoding the row in one call.
using EncodeImage = std::function<void(size_t index, std::uint8_t* out)>;
using DecodeBlock = std::function<void(const std::uint8_t* block, std::uint8_t* rgba)>;

struct Result {
    double encodeMpix = 0;
    double decodeMpix = 0;  // 0 when the codec has no decoder
    double rmse = 0;
    double psnr = 0;
};

void GatherBlock(const Image& image, int bx, int by, std::uint8_t* rgba) {
    for (int y = 0; y < 4; ++y) {
        std::memcpy(rgba + y * 16, &image.rgba[(static_cast<size_t>(by * 4 + y) * image.width + bx * 4) * 4], 16);
    }
}

size_t BlockCount(const Image& image) { return static_cast<size_t>(image.width / 4) * (image.height / 4); }

// Runs `pass` until kMinSeconds have passed (at least once); Mpixels/s.
double Throughput(size_t pixelsPerPass, const std::function<void()>& pass, bool once = false) {
    int passes = 0;
    const double start = ThreadSeconds();
    double seconds = 0;
    do {
        pass();
        ++passes;
        seconds = ThreadSeconds() - start;
    } while (!once && seconds < kMinSeconds);
    return static_cast<double>(pixelsPerPass) * passes / seconds / 1e6;
}

// Decodes `blocks` consecutive blocks; timed as a whole so that per-block
// call overhead of the harness stays out of the figures.
using DecodeImage = std::function<void(const std::uint8_t* data, size_t blocks)>;

Result Run(const std::vector<Image>& images, int blockBytes, bool withAlpha, const EncodeImage& encode,
           const DecodeBlock& decodeForQuality, const DecodeImage& timedDecode, bool once) {
    size_t pixels = 0;
    std::vector<std::vector<std::uint8_t>> compressed;
    for (const Image& image : images) {
        pixels += static_cast<size_t>(image.width) * image.height;
        compressed.emplace_back(BlockCount(image) * blockBytes);
    }
    Result r;
    r.encodeMpix = Throughput(pixels, [&] {
        for (size_t i = 0; i < images.size(); ++i) encode(i, compressed[i].data());
    }, once);
    if (timedDecode) {
        r.decodeMpix = Throughput(pixels, [&] {
            for (const auto& c : compressed) timedDecode(c.data(), c.size() / blockBytes);
        });
    }
    double squared = 0;
    size_t samples = 0;
    const int channels = withAlpha ? 4 : 3;
    for (size_t i = 0; i < images.size(); ++i) {
        const Image& image = images[i];
        const std::uint8_t* block = compressed[i].data();
        std::uint8_t source[64], decoded[64];
        for (int by = 0; by < image.height / 4; ++by) {
            for (int bx = 0; bx < image.width / 4; ++bx, block += blockBytes) {
                GatherBlock(image, bx, by, source);
                decodeForQuality(block, decoded);
                for (int p = 0; p < 16; ++p) {
                    for (int k = 0; k < channels; ++k) {
                        const double d = static_cast<double>(decoded[p * 4 + k]) - source[p * 4 + k];
                        squared += d * d;
                    }
                }
                samples += 16 * static_cast<size_t>(channels);
            }
        }
    }
    const double mse = squared / static_cast<double>(samples);
    r.rmse = std::sqrt(mse);
    r.psnr = mse > 0 ? 10.0 * std::log10(255.0 * 255.0 / mse) : 99.0;
    return r;
}

template <class BlockEncoder>
void EncodeRgba(const Image& image, int blockBytes, std::uint8_t* out, BlockEncoder encodeBlock) {
    std::uint8_t rgba[64];
    for (int by = 0; by < image.height / 4; ++by) {
        for (int bx = 0; bx < image.width / 4; ++bx, out += blockBytes) {
            GatherBlock(image, bx, by, rgba);
            encodeBlock(rgba, out);
        }
    }
}

// This project's block functions work on D3DXCOLOR: block row `by` of the
// image into blocks of 16 pixels, one after the other.
void ToColorBlocks(const Image& image, int by, D3DXCOLOR* blocks) {
    constexpr float k = 1.0f / 255.0f;
    for (int y = 0; y < 4; ++y) {
        const std::uint8_t* p = &image.rgba[static_cast<size_t>(by * 4 + y) * image.width * 4];
        for (int x = 0; x < image.width; ++x, p += 4) {
            blocks[(x / 4) * 16 + y * 4 + (x & 3)] = D3DXCOLOR(p[0] * k, p[1] * k, p[2] * k, p[3] * k);
        }
    }
}

void ToBytes(const D3DXCOLOR* pixels, std::uint8_t* rgba) {
    auto byte = [](float v) { return static_cast<std::uint8_t>(std::fmin(std::fmax(v, 0.0f), 1.0f) * 255.0f + 0.5f); };
    for (int i = 0; i < 16; ++i) {
        rgba[4 * i] = byte(pixels[i].r);
        rgba[4 * i + 1] = byte(pixels[i].g);
        rgba[4 * i + 2] = byte(pixels[i].b);
        rgba[4 * i + 3] = byte(pixels[i].a);
    }
}

void Print(const char* codec, const char* format, const Result& r) {
    char decode[32] = "      -";
    if (r.decodeMpix > 0) std::snprintf(decode, sizeof decode, "%7.1f", r.decodeMpix);
    std::printf("%-12s %-5s encode %7.2f Mpix/s  decode %s Mpix/s  RMSE %6.3f  PSNR %6.2f dB\n", codec, format,
                r.encodeMpix, decode, r.rmse, r.psnr);
}

double RowThroughput(D3DFORMAT format, UINT bytesPerPixel, bool encode) {
    constexpr UINT kSide = 512;
    std::vector<std::uint8_t> bytes(static_cast<size_t>(kSide) * kSide * bytesPerPixel);
    std::mt19937 random(5);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    LockedPixels locked;
    locked.pixels = bytes.data();
    locked.format = format;
    locked.rowPitch = static_cast<INT>(kSide * bytesPerPixel);
    locked.extent = D3DBOX{0, 0, kSide, kSide, 0, 1};
    locked.region = locked.extent;
    auto codec = CreatePixelCodec(locked);
    std::vector<D3DXCOLOR> rows(static_cast<size_t>(kSide) * kSide);
    for (UINT y = 0; y < kSide; ++y) codec->DecodeRow(y, 0, &rows[static_cast<size_t>(y) * kSide]);
    return Throughput(static_cast<size_t>(kSide) * kSide, [&] {
        for (UINT y = 0; y < kSide; ++y) {
            D3DXCOLOR* row = &rows[static_cast<size_t>(y) * kSide];
            if (encode) {
                codec->EncodeRow(y, 0, row);
            } else {
                codec->DecodeRow(y, 0, row);
            }
        }
    });
}

// BC7 decoding of a 1024x1024 image of random blocks whose modes take turns
// (0 to 7, as encoders use them all; random bytes alone would make half the
// blocks mode 0), a block row per call into A8R8G8B8 rows, as the DDS reader
// decodes a level. Mpixels/s.
double Bc7DecodeThroughput() {
    constexpr int kSide = 1024;
    constexpr int kAcross = kSide / 4;
    const BlockFormatRow* bc7 = FindBlockFormatRow(kFormatBc7);
    std::vector<std::uint8_t> blocks(static_cast<size_t>(kAcross) * kAcross * 16);
    std::mt19937 random(7);
    for (auto& b : blocks) b = static_cast<std::uint8_t>(random());
    for (size_t n = 0; n < blocks.size() / 16; ++n) {
        const int mode = static_cast<int>(n % 8);
        std::uint8_t& first = blocks[16 * n];
        first = static_cast<std::uint8_t>((first & ~((2u << mode) - 1)) | (1u << mode));
    }
    std::vector<std::uint8_t> pixels(static_cast<size_t>(kSide) * kSide * 4);
    return Throughput(static_cast<size_t>(kSide) * kSide, [&] {
        for (int by = 0; by < kAcross; ++by) {
            bc7->decode(&blocks[static_cast<size_t>(by) * kAcross * 16], kAcross,
                        &pixels[static_cast<size_t>(by) * 4 * kSide * 4], kSide * 4);
        }
    });
}

// File mode: DXT1 on each file, each encoder once per file.
int RunFiles(const std::vector<std::string>& paths) {
    std::vector<Image> images;
    std::string error;
    if (!LoadImageFiles(paths, images, error)) {
        std::fprintf(stderr, "dxtbench: %s\n", error.c_str());
        return 1;
    }
    struct Encoder {
        const char* key;
        const char* label;
        std::function<void(const Image&, std::uint8_t*)> encode;
    };
    std::vector<D3DXCOLOR> blockRow;
    const auto rows = [&blockRow](PackBlocksFn pack) {
        return [&blockRow, pack](const Image& image, std::uint8_t* out) {
            const auto across = static_cast<UINT>(image.width / 4);
            blockRow.resize(static_cast<size_t>(across) * 16);
            for (int by = 0; by < image.height / 4; ++by, out += across * 8) {
                ToColorBlocks(image, by, blockRow.data());
                pack(out, blockRow.data(), across);
            }
        };
    };
    const Encoder encoders[] = {
        {"dxt1", "valmere", rows(PackBlocksDxt1)},
        {"dxt1hq", "valmere hq", rows(PackBlocksDxt1HighQuality)},
        {"stbhq_dxt1", "stb_dxt hq",
         [](const Image& image, std::uint8_t* out) {
             EncodeRgba(image, 8, out, [](const std::uint8_t* rgba, std::uint8_t* block) {
                 stb_compress_dxt_block(block, rgba, 0, STB_DXT_HIGHQUAL);
             });
         }},
        {"squish_dxt1", "libsquish",
         [](const Image& image, std::uint8_t* out) {
             EncodeRgba(image, 8, out, [](const std::uint8_t* rgba, std::uint8_t* block) {
                 squish::Compress(rgba, block, squish::kDxt1);
             });
         }},
    };
    const auto decode = [](const std::uint8_t* block, std::uint8_t* rgba) {
        D3DXCOLOR pixels[16];
        UnpackBlockDxt1(pixels, block);
        ToBytes(pixels, rgba);
    };
    std::printf("%-40s", "file (DXT1 PSNR dB)");
    for (const Encoder& e : encoders) std::printf(" %11s", e.label);
    std::printf("\n");
    std::vector<double> meanPsnr(std::size(encoders)), seconds(std::size(encoders));
    double megapixels = 0;
    for (const Image& image : images) {
        const double mpix = static_cast<double>(image.width) * image.height / 1e6;
        megapixels += mpix;
        std::printf("%-40s", (image.name + " " + std::to_string(image.width) + "x" + std::to_string(image.height)).c_str());
        for (size_t n = 0; n < std::size(encoders); ++n) {
            const Result r = Run({image}, 8, false, [&](size_t, std::uint8_t* out) { encoders[n].encode(image, out); },
                                 decode, nullptr, true);
            meanPsnr[n] += r.psnr / static_cast<double>(images.size());
            seconds[n] += mpix / r.encodeMpix;
            std::printf(" %11.3f", r.psnr);
        }
        std::printf("\n");
    }
    std::printf("%-40s", "mean");
    for (double p : meanPsnr) std::printf(" %11.3f", p);
    std::printf("\n%-40s", "encode Mpix/s (one thread)");
    for (double t : seconds) std::printf(" %11.2f", megapixels / t);
    std::printf("\n(decoded with this project's decoder; libsquish's cluster fit with its default, uniform metric)\n");
    std::printf("files=%zu", images.size());
    for (size_t n = 0; n < std::size(encoders); ++n) {
        std::printf(" %s_psnr_db_mean=%.3f %s_encode_mpix_s=%.2f", encoders[n].key, meanPsnr[n], encoders[n].key,
                    megapixels / seconds[n]);
    }
    std::printf("\n");
    return 0;
}

}  // namespace
}  // namespace valmere::bench

int main(int argc, char** argv) {
    using namespace valmere;
    using namespace valmere::bench;

    if (argc > 1) return RunFiles(std::vector<std::string>(argv + 1, argv + argc));
    std::vector<Image> images = MakeTestImages();
    std::vector<Image> opaque = images;  // DXT1 is measured on opaque images
    for (Image& image : opaque) {
        for (size_t i = 3; i < image.rgba.size(); i += 4) image.rgba[i] = 255;
    }
    std::printf("%zu images:", images.size());
    for (const Image& image : images) std::printf(" %s (%dx%d)", image.name.c_str(), image.width, image.height);
    std::printf("\n");

    struct Ours {
        const char* name;
        int bytes;
        PackBlocksFn pack;
        PackBlocksFn packHighQuality;
        PackBlockFn packOne;
        UnpackBlockFn unpack;
        int squishFlag;
    };
    const Ours ours[] = {
        {"DXT1", 8, PackBlocksDxt1, PackBlocksDxt1HighQuality, PackBlockDxt1, UnpackBlockDxt1, squish::kDxt1},
        {"DXT3", 16, PackBlocksDxt3, PackBlocksDxt3HighQuality, PackBlockDxt3, UnpackBlockDxt3, squish::kDxt3},
        {"DXT5", 16, PackBlocksDxt5, PackBlocksDxt5HighQuality, PackBlockDxt5, UnpackBlockDxt5, squish::kDxt5}};
    std::map<std::string, Result> results;
    D3DXCOLOR scratch[16];
    volatile float sink = 0;
    for (const Ours& f : ours) {
        const bool alpha = f.bytes == 16;
        const std::vector<Image>& set = alpha ? images : opaque;
        const int flag = f.squishFlag;

        std::vector<D3DXCOLOR> blockRow;
        const auto encodeRows = [&](PackBlocksFn pack) {
            return [&, pack](size_t index, std::uint8_t* out) {
                const Image& image = set[index];
                const auto across = static_cast<UINT>(image.width / 4);
                blockRow.resize(static_cast<size_t>(across) * 16);
                for (int by = 0; by < image.height / 4; ++by, out += across * f.bytes) {
                    ToColorBlocks(image, by, blockRow.data());
                    pack(out, blockRow.data(), across);
                }
            };
        };
        const auto decodeOurs = [&](const std::uint8_t* block, std::uint8_t* rgba) {
            D3DXCOLOR pixels[16];
            f.unpack(pixels, block);
            ToBytes(pixels, rgba);
        };
        results[std::string("valmere_") + f.name] = Run(
            set, f.bytes, alpha, encodeRows(f.pack), decodeOurs,
            [&](const std::uint8_t* data, size_t blocks) {
                const UnpackBlockFn unpack = f.unpack;
                for (size_t b = 0; b < blocks; ++b) unpack(scratch, data + b * f.bytes);
                sink = sink + scratch[5].g;
            },
            false);
        Print("valmere", f.name, results[std::string("valmere_") + f.name]);
        const std::string hqKey = std::string("valmerehq_") + f.name;
        results[hqKey] = Run(set, f.bytes, alpha, encodeRows(f.packHighQuality), decodeOurs, nullptr, false);
        Print(ClusterFitAvx2Available() ? "valmere hq" : "valmere hq*", f.name, results[hqKey]);
        if (ClusterFitAvx2Available()) {
            ForcePortableClusterFit(true);
            const Result portable = Run(set, f.bytes, alpha, encodeRows(f.packHighQuality), decodeOurs, nullptr, false);
            ForcePortableClusterFit(false);
            std::printf("valmere hq   %-5s encode %7.2f Mpix/s  (portable variant, four lanes)\n", f.name,
                        portable.encodeMpix);
        }
        // The same blocks one call each (converted before timing), as a
        // caller of the single-block functions sees them.
        std::vector<D3DXCOLOR> converted;
        size_t setPixels = 0;
        for (const Image& image : set) {
            setPixels += static_cast<size_t>(image.width) * image.height;
            for (int by = 0; by < image.height / 4; ++by) {
                converted.resize(converted.size() + static_cast<size_t>(image.width) * 4);
                ToColorBlocks(image, by, converted.data() + converted.size() - static_cast<size_t>(image.width) * 4);
            }
        }
        std::vector<std::uint8_t> singleOut(converted.size() / 16 * f.bytes);
        std::printf("valmere      %-5s encode %7.2f Mpix/s  (one block per call)\n", f.name, Throughput(setPixels, [&] {
                        for (size_t b = 0; b < converted.size() / 16; ++b) f.packOne(&singleOut[b * f.bytes], &converted[b * 16]);
                    }));

        const auto squishDecode = [flag](const std::uint8_t* block, std::uint8_t* rgba) {
            squish::Decompress(rgba, block, flag);
        };
        if (f.squishFlag != squish::kDxt3) {
            for (int hq = 0; hq < 2; ++hq) {
                const int mode = hq ? STB_DXT_HIGHQUAL : STB_DXT_NORMAL;
                const std::string key = std::string(hq ? "stbhq_" : "stb_") + f.name;
                results[key] = Run(
                    set, f.bytes, alpha,
                    [&, mode](size_t index, std::uint8_t* out) {
                        EncodeRgba(set[index], f.bytes, out, [&](const std::uint8_t* rgba, std::uint8_t* block) {
                            stb_compress_dxt_block(block, rgba, alpha ? 1 : 0, mode);
                        });
                    },
                    squishDecode, nullptr, false);
                Print(hq ? "stb_dxt hq" : "stb_dxt", f.name, results[key]);
            }
        }
        std::uint8_t decoded[64];
        results[std::string("squish_") + f.name] = Run(
            set, f.bytes, alpha,
            [&](size_t index, std::uint8_t* out) {
                EncodeRgba(set[index], f.bytes, out,
                           [flag](const std::uint8_t* rgba, std::uint8_t* block) { squish::Compress(rgba, block, flag); });
            },
            squishDecode,
            [&](const std::uint8_t* data, size_t blocks) {
                for (size_t b = 0; b < blocks; ++b) squish::Decompress(decoded, data + b * f.bytes, flag);
                sink = sink + decoded[7];
            },
            true);
        Print("libsquish", f.name, results[std::string("squish_") + f.name]);
    }
    std::printf("(valmere hq is the high-quality encoder in its AVX2 variant; hq* marks the portable one,\n"
                " where the processor has no AVX2.\n"
                " stb_dxt has no decoder; its blocks are decoded with libsquish for the quality figures.\n"
                " All encoders start from the same 8-bit RGBA images; this project's encode figures include\n"
                " turning them into D3DXCOLOR blocks, and its blocks are encoded a block row per call.\n"
                " Decoding gives each codec's own output: D3DXCOLOR blocks here, 8-bit RGBA for libsquish.)\n");

    const double bc7Decode = Bc7DecodeThroughput();
    std::printf("valmere      BC7   decode %7.1f Mpix/s  (random blocks, the eight modes in turn)\n", bc7Decode);

    struct RowFormat {
        const char* name;
        D3DFORMAT format;
        UINT bytes;
    };
    for (const RowFormat& r : {RowFormat{"A8R8G8B8", D3DFMT_A8R8G8B8, 4}, RowFormat{"R5G6B5", D3DFMT_R5G6B5, 2},
                               RowFormat{"R8G8B8", D3DFMT_R8G8B8, 3}}) {
        std::printf("rows %-9s decode %8.1f Mpix/s  encode %8.1f Mpix/s\n", r.name, RowThroughput(r.format, r.bytes, false),
                    RowThroughput(r.format, r.bytes, true));
    }

    const Result& v1 = results["valmere_DXT1"];
    const Result& ours1 = results["valmerehq_DXT1"];
    const Result& hq1 = results["stbhq_DXT1"];
    const Result& sq1 = results["squish_DXT1"];
    std::printf("dxt1_encode_mpix_s=%.2f dxt1_psnr_db=%.2f dxt1hq_encode_mpix_s=%.2f dxt1hq_psnr_db=%.2f "
                "stbhq_dxt1_encode_mpix_s=%.2f stbhq_dxt1_psnr_db=%.2f "
                "squish_dxt1_encode_mpix_s=%.2f squish_dxt1_psnr_db=%.2f dxt1_decode_mpix_s=%.2f "
                "squish_dxt1_decode_mpix_s=%.2f bc7_decode_mpix_s=%.2f\n",
                v1.encodeMpix, v1.psnr, ours1.encodeMpix, ours1.psnr, hq1.encodeMpix, hq1.psnr, sq1.encodeMpix,
                sq1.psnr, v1.decodeMpix, sq1.decodeMpix, bc7Decode);
    return 0;
}
