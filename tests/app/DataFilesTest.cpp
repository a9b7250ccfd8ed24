// The set-up names every data file it cannot use, one line each on standard
// error, in the words a user reads; the generated files pass silently.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/DataFiles.h"
#include "app/FrameLoop.h"
#include "tests/support/GameProcess.h"

namespace {

namespace fs = std::filesystem;

class DataFiles : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = fs::current_path();
        folder_ = fs::temp_directory_path() /
                  ("valmere-data-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        fs::current_path(folder_);
    }
    void TearDown() override {
        fs::current_path(previous_);
        fs::remove_all(folder_);
    }

    static void CopyGeneratedFiles() {
        for (const char* name : {"image1.bmp", "image2.bmp", "sky2.bmp", "test1024.txt"})
            fs::copy_file(fs::path(VALMERE_DATA_DIR) / name, name);
    }
    static void Write(const char* name, const std::string& contents) { std::ofstream(name) << contents; }

    // Standard error of the viewer's set-up in the folder.
    static std::string SetUpMessages() {
        valmere::test::StartProcess();
        FrameResources resources;
        ::testing::internal::CaptureStderr();
        SetUpFrame(resources);
        const std::string messages = ::testing::internal::GetCapturedStderr();
        ReleaseFrameResources(resources);
        return messages;
    }

    fs::path previous_;
    fs::path folder_;
};

TEST_F(DataFiles, AnEmptyFolderNamesEveryFile) {
    EXPECT_EQ(SetUpMessages(),
              "valmere: image1.bmp: No such file or directory; the terrain is drawn untextured\n"
              "valmere: image2.bmp: No such file or directory; the ground quad is drawn untextured\n"
              "valmere: sky2.bmp: No such file or directory; the sky is drawn untextured\n"
              "valmere: test1024.txt: No such file or directory; the terrain is flat\n");
}

TEST_F(DataFiles, TheGeneratedFilesPassSilently) {
    CopyGeneratedFiles();
    EXPECT_EQ(SetUpMessages(), "");
}

TEST_F(DataFiles, ImagesTheReadersRefuseAreNamed) {
    CopyGeneratedFiles();
    fs::resize_file("image1.bmp", 100);  // the header survives, the pixels do not
    Write("sky2.bmp", "");
    EXPECT_EQ(SetUpMessages(),
              "valmere: image1.bmp: not an image the readers accept (D3DXERR_INVALIDDATA); the terrain is drawn "
              "untextured\n"
              "valmere: sky2.bmp: not an image the readers accept (D3DXERR_INVALIDDATA); the sky is drawn "
              "untextured\n");
}

// Height files against their layout: a header word, an integer, the line
// length N, then 18 blocks of three lines, each a word and N + 1 numbers.
TEST_F(DataFiles, HeightFilesAreCheckedAgainstTheirLayout) {
    std::string whole = "heights 0 1\n";
    for (int block = 0; block < 18; ++block) whole += "a 1 2\nb 3 4\nc 5 6\n";
    const std::string shortOfTheLastBlock = whole.substr(0, whole.size() - 18);
    struct Case {
        std::string contents;
        std::string message;  // empty: silent
    };
    const Case cases[] = {
        {whole, ""},
        {"heights 0 0x1\n" + whole.substr(12), ""},  // N in hexadecimal, as %i reads it
        {"", "the file is empty; the terrain is flat"},
        {"Lorem ipsum dolor sit amet", "not a height file (no two integers after its first word); the terrain is flat"},
        {"heights 0 -2\na\nb\nc\n", "the line length -2 is negative; the terrain is flat"},
        {"heights 0 1\n", "the file ends before block 1 of 18; the terrain is flat"},
        {"heights 0 1\na 1", "the file ends in block 1 of 18; the terrain is flat from there on"},
        {shortOfTheLastBlock, "the file ends before block 18 of 18; the terrain is flat from there on"},
        {"heights 0 1\na 1 x2 b 3 4", "\"x2\" stands where a number belongs (block 1 of 18); the terrain is wrong "
                                      "from there on"},
    };
    for (const Case& c : cases) {
        Write("heights.txt", c.contents);
        ::testing::internal::CaptureStderr();
        ReportHeightFile("heights.txt");
        const std::string expected = c.message.empty() ? "" : "valmere: heights.txt: " + c.message + "\n";
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), expected) << c.contents;
    }
}

}  // namespace
