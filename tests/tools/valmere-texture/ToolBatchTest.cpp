// Batches: many files in one run on worker threads, named outputs, a bad
// file reported and skipped, the same bytes whatever the number of jobs.
#include "tests/tools/valmere-texture/ToolTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace valmere::test {
namespace {

Rgba Pattern(UINT x, UINT y) { return {BYTE(x * 11 + y), BYTE(y * 5), BYTE((x * y) % 251), 255}; }

// Files of a few sizes (some not multiples of 4), named a..e.
std::vector<std::string> MakeInputs(const std::string& dir) {
    std::vector<std::string> names;
    const UINT sizes[][2] = {{24, 16}, {13, 9}, {64, 40}, {7, 30}, {33, 33}};
    for (UINT i = 0; i < 5; ++i) {
        const std::string name = dir + "/" + char('a' + i) + ".bmp";
        WriteFile(name, Bmp24(sizes[i][0], sizes[i][1], Pattern));
        names.push_back(name);
    }
    return names;
}

TEST(TextureToolBatch, SameBytesForAnyNumberOfJobs) {
    const std::string dir = TempDir("texture-tool-jobs");
    std::string files;
    for (const std::string& name : MakeInputs(dir)) files += name + " ";
    for (const char* options : {"--format DXT1", "--format DXT5 --quality high --linear-mips", "--format BC5"}) {
        SCOPED_TRACE(options);
        for (const char* jobs : {"1", "2", "5"}) {
            const ToolRun r = RunTool(dir, std::string(options) + " --jobs " + jobs + " -o " + dir + "/jobs" + jobs + " " + files);
            ASSERT_EQ(r.exitCode, 0) << r.err;
            EXPECT_NE(r.err.find("5 files: 5 written, 0 failed"), std::string::npos) << r.err;
        }
        for (char name = 'a'; name <= 'e'; ++name) {
            const std::optional<Bytes> one = ReadFile(dir + "/jobs1/" + name + ".dds");
            ASSERT_TRUE(one) << name;
            EXPECT_EQ(ReadFile(dir + "/jobs2/" + name + ".dds"), one) << name;
            EXPECT_EQ(ReadFile(dir + "/jobs5/" + name + ".dds"), one) << name;
        }
    }
}

TEST(TextureToolBatch, ABadFileIsReportedAndTheRestWritten) {
    const std::string dir = TempDir("texture-tool-batch");
    std::vector<std::string> inputs = MakeInputs(dir);
    WriteFile(dir + "/broken.bmp", Bytes{'B', 'M', 0, 1, 2, 3});
    std::filesystem::create_directories(dir + "/other");
    WriteFile(dir + "/other/a.tga", Tga(4, 4, 24, Pattern));  // its output is a.png too
    // A list file: names one a line, comments and blank lines skipped.
    std::string list = "# inputs\n" + inputs[0] + "\n\n" + dir + "/broken.bmp\n" + inputs[2] + "\n";
    WriteFile(dir + "/list.txt", Bytes(list.begin(), list.end()));
    const ToolRun r = RunTool(dir, "--file-type png --levels 1 -o " + dir + "/out @" + dir + "/list.txt " + inputs[4] +
                                       " " + dir + "/other/a.tga");
    EXPECT_EQ(r.exitCode, 1);
    // One line for each failure, in the order of the files, and the summary.
    EXPECT_EQ(LineCount(r.err), 3u) << r.err;
    EXPECT_NE(r.err.find("broken.bmp: not an image file that the readers accept"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("other/a.tga: its output " + dir + "/out/a.png is that of " + inputs[0] + " already"),
              std::string::npos) << r.err;
    EXPECT_LT(r.err.find("broken.bmp"), r.err.find("other/a.tga"));
    EXPECT_NE(r.err.find("5 files: 3 written, 2 failed"), std::string::npos) << r.err;
    for (const char* written : {"a.png", "c.png", "e.png"}) EXPECT_TRUE(std::filesystem::exists(dir + "/out/" + written));
    // Nothing else in the folder: no picture of the broken file, no
    // temporary files.
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir + "/out")) ++entries;
    EXPECT_EQ(entries, 3u);
    const std::unique_ptr<Loaded> a = Load(dir + "/out/a.png");
    EXPECT_EQ(a->info.Width, 24u);
    EXPECT_EQ(PixelAt(a->image, 3, 2), Pattern(3, 2));

    const ToolRun missingList = RunTool(dir, "-o " + dir + "/out @" + dir + "/nothing.txt");
    EXPECT_EQ(missingList.exitCode, 2);
    EXPECT_NE(missingList.err.find("cannot read the list"), std::string::npos);
}

}  // namespace
}  // namespace valmere::test
