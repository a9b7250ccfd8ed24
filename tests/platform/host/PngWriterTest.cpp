// The PNG writer checked by a peer decoder (Pillow, through the system's
// Python): every channel layout and the frame layout decode to the rows
// written. Files appear whole or not at all, also with writers racing.
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/host/HeadlessHost.h"
#include "platform/host/PngWriter.h"

namespace {

namespace fs = std::filesystem;
using valmere::host::PngChannels;
using valmere::host::PngRows;
using valmere::host::WritePng;
using Bytes = std::vector<std::uint8_t>;

constexpr const char* kPython = "/usr/bin/python3";

bool PillowAvailable() {
    static const bool available =
        std::system((std::string(kPython) + " -c 'import PIL' >/dev/null 2>&1").c_str()) == 0;
    return available;
}

struct Decoded {
    std::string mode;  // Pillow's: L, LA, RGB, RGBA
    int width = 0;
    int height = 0;
    Bytes samples;     // rows top-down, no padding
};

// Pillow's decode of `file`; nothing when Pillow refuses the file.
std::optional<Decoded> DecodeWithPillow(const fs::path& file) {
    const fs::path raw = file.string() + ".raw";
    const std::string command = std::string(kPython) +
                                " -c 'import sys; from PIL import Image\n"
                                "im = Image.open(sys.argv[1]); im.load()\n"
                                "open(sys.argv[2], \"wb\").write(im.tobytes())\n"
                                "print(im.mode, im.width, im.height)' '" +
                                file.string() + "' '" + raw.string() + "' 2>/dev/null";
    std::FILE* output = ::popen(command.c_str(), "r");
    if (!output) return std::nullopt;
    char mode[8] = "";
    Decoded decoded;
    const bool described = std::fscanf(output, "%7s %d %d", mode, &decoded.width, &decoded.height) == 3;
    if (::pclose(output) != 0 || !described) return std::nullopt;
    decoded.mode = mode;
    std::FILE* samples = std::fopen(raw.c_str(), "rb");
    if (!samples) return std::nullopt;
    for (int c; (c = std::fgetc(samples)) != EOF;) decoded.samples.push_back(static_cast<std::uint8_t>(c));
    std::fclose(samples);
    fs::remove(raw);
    return decoded;
}

// A picture with smooth ramps and a little fine detail, different in every
// sample, so that row filters and deflate both have work.
std::uint8_t Sample(int x, int y, int channel) {
    return static_cast<std::uint8_t>(x * 3 + y * 5 + channel * 70 + (x * y) % 7);
}

class PngWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("valmere-png-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    // The names in the folder: a temporary file left behind shows here.
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path folder_;
};

TEST_F(PngWriterTest, EveryChannelLayoutDecodesToItsRowsInPillow) {
    if (!PillowAvailable()) GTEST_SKIP() << "Pillow is not installed for " << kPython;
    struct Case {
        PngChannels channels;
        const char* mode;
    };
    const Case cases[] = {{PngChannels::Grey, "L"},
                          {PngChannels::GreyAlpha, "LA"},
                          {PngChannels::Rgb, "RGB"},
                          {PngChannels::Rgba, "RGBA"}};
    constexpr int width = 37;
    constexpr int height = 23;
    for (const Case& c : cases) {
        const int channels = static_cast<int>(c.channels);
        // Rows 5 bytes longer than the picture: the padding must not show.
        const std::size_t pitch = static_cast<std::size_t>(width * channels + 5);
        Bytes rows(pitch * height, 0xEE);
        Bytes expected;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                for (int s = 0; s < channels; ++s)
                    expected.push_back(rows[y * pitch + static_cast<std::size_t>(x * channels + s)] = Sample(x, y, s));
        const fs::path file = folder_ / (std::string(c.mode) + ".png");
        ASSERT_TRUE(WritePng(file.string(), PngRows{rows.data(), width, height, pitch, c.channels})) << c.mode;
        const auto decoded = DecodeWithPillow(file);
        ASSERT_TRUE(decoded) << c.mode;
        EXPECT_EQ(decoded->mode, c.mode);
        EXPECT_EQ(decoded->width, width);
        EXPECT_EQ(decoded->height, height);
        EXPECT_EQ(decoded->samples, expected) << c.mode;
    }
}

TEST_F(PngWriterTest, FramesOfXrgbWordsDecodeAsRgbWithoutTheirTopByte) {
    if (!PillowAvailable()) GTEST_SKIP() << "Pillow is not installed for " << kPython;
    constexpr int width = 29;
    constexpr int height = 17;
    constexpr int pitch = 32;
    std::vector<std::uint32_t> pixels(pitch * height, 0xFFFFFFFFu);
    Bytes expected;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t r = Sample(x, y, 0), g = Sample(x, y, 1), b = Sample(x, y, 2);
            pixels[static_cast<std::size_t>(y * pitch + x)] = 0xAB000000u | (r << 16) | (g << 8) | b;
            expected.insert(expected.end(), {r, g, b});
        }
    }
    const fs::path file = folder_ / "frame.png";
    ASSERT_TRUE(WritePng(file.string(), pixels.data(), width, height, pitch));
    const auto decoded = DecodeWithPillow(file);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->mode, "RGB");
    EXPECT_EQ(decoded->samples, expected);
}

TEST_F(PngWriterTest, SmoothPicturesAreCompressed) {
    constexpr int side = 256;
    Bytes rows(side * side * 3);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            for (int s = 0; s < 3; ++s) rows[static_cast<std::size_t>((y * side + x) * 3 + s)] = Sample(x, y, s);
    const fs::path file = folder_ / "smooth.png";
    ASSERT_TRUE(WritePng(file.string(), PngRows{rows.data(), side, side, side * 3, PngChannels::Rgb}));
    // Stored without compression the file would be larger than its samples.
    EXPECT_LT(fs::file_size(file), rows.size() / 4);
}

TEST_F(PngWriterTest, FailureLeavesTheOldFileAndNoTemporaryFile) {
    const Bytes grey(4 * 4, 0x80);
    const fs::path file = folder_ / "kept.png";
    ASSERT_TRUE(WritePng(file.string(), PngRows{grey.data(), 4, 4, 4, PngChannels::Grey}));
    const auto before = fs::file_size(file);
    const Bytes other(8 * 8 * 4, 0x11);
    const PngRows bad[] = {
        {nullptr, 8, 8, 32, PngChannels::Rgba},      // no data
        {other.data(), 0, 8, 32, PngChannels::Rgba},  // no width
        {other.data(), 8, -1, 32, PngChannels::Rgba},  // no height
        {other.data(), 8, 8, 31, PngChannels::Rgba},   // rows overlap
    };
    for (const PngRows& rows : bad) EXPECT_FALSE(WritePng(file.string(), rows));
    EXPECT_FALSE(WritePng(file.string(), reinterpret_cast<const std::uint32_t*>(other.data()), 8, 8, 7));
    // A folder in the way of the rename; a folder that does not exist.
    fs::create_directories(folder_ / "in-the-way.png");
    const PngRows good{other.data(), 8, 8, 32, PngChannels::Rgba};
    EXPECT_FALSE(WritePng((folder_ / "in-the-way.png").string(), good));
    EXPECT_FALSE(WritePng((folder_ / "missing" / "out.png").string(), good));
    EXPECT_EQ(fs::file_size(file), before);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"in-the-way.png", "kept.png"}));
}

// Two writers race on one path while a reader opens it again and again:
// every read finds one writer's whole picture.
TEST_F(PngWriterTest, RacingWritersLeaveOneWholeFile) {
    constexpr int side = 64;
    Bytes pictures[2] = {Bytes(side * side, 0x10), Bytes(side * side)};
    for (int i = 0; i < side * side; ++i) pictures[1][static_cast<std::size_t>(i)] = Sample(i % side, i / side, 0);
    const std::string path = (folder_ / "raced.png").string();
    ASSERT_TRUE(WritePng(path, PngRows{pictures[0].data(), side, side, side, PngChannels::Grey}));
    std::atomic<bool> failed{false};
    std::atomic<int> running{2};
    auto writer = [&](const Bytes& picture) {
        for (int i = 0; i < 30; ++i)
            if (!WritePng(path, PngRows{picture.data(), side, side, side, PngChannels::Grey})) failed = true;
        --running;
    };
    std::thread first(writer, std::cref(pictures[0]));
    std::thread second(writer, std::cref(pictures[1]));
    int reads = 0;
    int bad = 0;
    do {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        Bytes read(side * side);
        bool whole = png_image_begin_read_from_file(&image, path.c_str()) != 0;
        if (whole) {
            image.format = PNG_FORMAT_GRAY;
            whole = image.width == side && image.height == side &&
                    png_image_finish_read(&image, nullptr, read.data(), side, nullptr) != 0;
        }
        png_image_free(&image);
        if (!whole || (read != pictures[0] && read != pictures[1])) ++bad;
        ++reads;
    } while (running > 0);
    first.join();
    second.join();
    EXPECT_FALSE(failed);
    EXPECT_EQ(bad, 0) << "of " << reads << " reads";
    EXPECT_EQ(Entries(), std::vector<std::string>{"raced.png"});
}

TEST_F(PngWriterTest, TheHeadlessHostSavesItsLastFrame) {
    valmere::host::HeadlessHost host;
    const fs::path file = folder_ / "frame.png";
    EXPECT_FALSE(host.SaveLastFrame(file.string()));  // nothing presented yet
    const std::uint32_t pixels[2 * 3] = {0x00FF8000, 0x00000000, 0xFFFFFFFF, 0x00123456, 0x00ABCDEF, 0};
    host.Present(valmere::host::FrameView{pixels, 2, 2, 3});
    ASSERT_TRUE(host.SaveLastFrame(file.string()));
    if (!PillowAvailable()) GTEST_SKIP() << "Pillow is not installed for " << kPython;
    const auto decoded = DecodeWithPillow(file);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->samples, (Bytes{0xFF, 0x80, 0x00, 0x00, 0x00, 0x00, 0x12, 0x34, 0x56, 0xAB, 0xCD, 0xEF}));
}

}  // namespace
