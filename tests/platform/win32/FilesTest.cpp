// Files and read-only mappings over the real file system.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/win32/Win32.h"

namespace {

class Files : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = (std::filesystem::temp_directory_path() /
                 ("valmere-files-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name()))
                    .string();
    }
    void TearDown() override { std::remove(path_.c_str()); }
    void Write(const std::string& bytes) { std::ofstream(path_, std::ios::binary) << bytes; }
    std::string path_;
};

TEST_F(Files, MapsTheWholeFileReadOnly) {
    Write("DDS contents\n");
    HANDLE file = CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_RANDOM_ACCESS, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD high = 99;
    EXPECT_EQ(GetFileSize(file, &high), 13u);
    EXPECT_EQ(high, 0u);
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    ASSERT_NE(mapping, nullptr);
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(std::memcmp(view, "DDS contents\n", 13), 0);
    // The mapping stays valid after the handles are closed, until unmapped.
    EXPECT_TRUE(CloseHandle(mapping));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(static_cast<const char*>(view)[0], 'D');
    EXPECT_TRUE(UnmapViewOfFile(view));
    EXPECT_FALSE(UnmapViewOfFile(view));
}

TEST_F(Files, MissingFileFailsWithFileNotFound) {
    HANDLE file = CreateFileA("/nonexistent/valmere/file.bmp", GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(CreateFileA(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
}

TEST_F(Files, EmptyFilesAndDirectoriesCannotBeMapped) {
    Write("");
    HANDLE file = CreateFileA(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
    CloseHandle(file);
    const std::string directory = std::filesystem::temp_directory_path().string();
    EXPECT_EQ(CreateFileA(directory.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
}

TEST_F(Files, WideNamesOpenTheSameFile) {
    Write("abc");
    std::wstring wide(path_.begin(), path_.end());
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileSize(file, nullptr), 3u);
    CloseHandle(file);
}

TEST_F(Files, StaleAndMadeUpHandlesAreRefused) {
    Write("x");
    HANDLE file = CreateFileA(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_TRUE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(file));
    EXPECT_EQ(GetFileSize(file, nullptr), INVALID_FILE_SIZE);
    EXPECT_EQ(CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
    int local = 0;
    EXPECT_EQ(MapViewOfFile(&local, FILE_MAP_READ, 0, 0, 0), nullptr);
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
}

TEST(TextConversion, RoundTripsThroughUtf8AndCountsTheTerminator) {
    const wchar_t wide[] = L"Valm\u00e8re \u20ac";
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    EXPECT_EQ(bytes, 13);  // 7 one-byte characters, è in 2 bytes, € in 3, and the terminator
    std::string narrow(static_cast<std::size_t>(bytes), '\0');
    ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow.data(), bytes, nullptr, nullptr), bytes);
    EXPECT_EQ(narrow.back(), '\0');
    wchar_t back[16] = {};
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, narrow.c_str(), -1, back, 16), 10);  // with the terminator
    EXPECT_EQ(std::wstring(back), std::wstring(wide));
    // A buffer that is too small gets nothing.
    char small[4];
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, -1, small, 4, nullptr, nullptr), 0);
}

}  // namespace
