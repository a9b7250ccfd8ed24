// Every small valid file of the fuzz seed corpus, cut short at every length
// and with header bytes overwritten, must either fail with
// D3DXERR_INVALIDDATA or describe only bytes that exist (checked by reading
// them all; AddressSanitizer builds turn a stray read into a failure).
#include "tests/texture/image/ImageTestSupport.h"
#include "texture/image/LoadImage.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace valmere::test {
namespace {

// The image readers' folders of the corpus; the other targets' inputs are
// calls, not files.
std::vector<std::filesystem::path> CorpusFiles() {
    std::vector<std::filesystem::path> files;
    for (const char* reader : {"bmp", "dib", "dds", "jpg", "png", "ppm", "tga"}) {
        for (const auto& entry :
             std::filesystem::directory_iterator(std::filesystem::path(VALMERE_IMAGE_CORPUS_DIR) / reader)) {
            if (entry.is_regular_file() && entry.file_size() <= 1400) {
                files.push_back(entry.path());
            }
        }
    }
    return files;
}

// Loads the bytes from a buffer of exactly their size, so reading past them
// leaves the allocation; on success reads every byte the records describe.
void LoadAndTouch(const Bytes& bytes, const std::string& what) {
    std::unique_ptr<BYTE[]> exact(new BYTE[bytes.size() + 1]);
    std::copy(bytes.begin(), bytes.end(), exact.get());
    DecodedImage image;
    const HRESULT hr = LoadImage(image, exact.get(), bytes.size(), nullptr, true);
    ASSERT_TRUE(hr == S_OK || hr == D3DXERR_INVALIDDATA) << what << " gave " << hr;
    if (hr != S_OK) {
        return;
    }
    unsigned sum = 0;
    for (const DecodedImage* face = &image; face; face = face->nextFace.get()) {
        for (const DecodedImage* level = face; level; level = level->nextLevel.get()) {
            ASSERT_GT(level->width, 0u) << what;
            ASSERT_GT(level->height, 0u) << what;
            ASSERT_NE(level->pixels, nullptr) << what;
            const std::size_t count = level->DataBytes();
            for (std::size_t i = 0; i < count; ++i) {
                sum += level->pixels[i];
            }
            if (level->palette) {
                sum += level->palette[255].peFlags;
            }
        }
    }
    volatile unsigned sink = sum;
    (void)sink;
}

TEST(MalformedInput, EveryTruncationOfTheSeedFiles) {
    const std::vector<std::filesystem::path> files = CorpusFiles();
    ASSERT_GE(files.size(), 20u);
    for (const std::filesystem::path& path : files) {
        const std::optional<Bytes> file = ReadFile(path.string());
        ASSERT_TRUE(file);
        for (std::size_t size = 0; size < file->size(); ++size) {
            LoadAndTouch(Bytes(file->begin(), file->begin() + static_cast<std::ptrdiff_t>(size)),
                         path.filename().string() + " cut to " + std::to_string(size));
        }
    }
}

TEST(MalformedInput, LyingHeaderBytes) {
    for (const std::filesystem::path& path : CorpusFiles()) {
        const std::optional<Bytes> file = ReadFile(path.string());
        ASSERT_TRUE(file);
        const std::size_t header = std::min<std::size_t>(file->size(), 160);
        for (std::size_t at = 0; at < header; ++at) {
            for (BYTE value : {BYTE{0x00}, BYTE{0x7F}, BYTE{0xFF}}) {
                Bytes changed = *file;
                changed[at] = value;
                LoadAndTouch(changed, path.filename().string() + " byte " + std::to_string(at));
            }
        }
    }
}

TEST(MalformedInput, HugeDimensionsInTinyFilesAreRefusedBeforeAllocating) {
    ByteWriter bmp;
    bmp.Raw(DibHeader(0x7FFFFFFF, 0x7FFFFFFF, 24, 0)).Fill(16, 0);
    ByteWriter rle;
    rle.Raw(DibHeader(0x7FFFFFFF, 0x7FFFFFFF, 8, 1, 1)).Fill(4, 0).Raw({0, 1});
    ByteWriter ppm;
    ppm.Text("P6 4000000000 4000000000 255\n").Fill(8, 1);
    ByteWriter tga;
    tga.Raw({0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 32, 0}).Raw({0xFF, 1, 2, 3, 4});
    for (const Bytes& file : {BmpFile(bmp.data()), BmpFile(rle.data()), ppm.data(), tga.data()}) {
        DecodedImage image;
        EXPECT_EQ(LoadImage(image, file.data(), file.size(), nullptr, true), D3DXERR_INVALIDDATA);
    }
}

}  // namespace
}  // namespace valmere::test
