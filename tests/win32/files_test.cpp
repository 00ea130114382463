#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/win32/paths.h"
#include "platform/win32/windows_api.h"

namespace {

namespace fs = std::filesystem;

// A scratch folder per test, so that tests run in parallel processes do not meet.
class FilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = fs::temp_directory_path() / ("win32_files_" + std::to_string(getpid()) + "_" + test->name());
        fs::create_directories(root_ / "Data" / "terrain");
    }
    void TearDown() override { fs::remove_all(root_); }

    std::string Write(const std::string& relative, const std::string& bytes) {
        const fs::path path = root_ / relative;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
    // The same file named the scene's way, with backslashes.
    std::string SceneName(const std::string& relative) const {
        std::string name = (root_ / relative).string();
        for (char& c : name)
            if (c == '/') c = '\\';
        return name;
    }

    fs::path root_;
};

HANDLE OpenForReading(const std::string& name) {
    return CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

TEST(PlatformPath, TurnsEveryBackslashIntoASlash) {
    EXPECT_EQ(win32::PlatformPath("Data\\arbre\\terrain_256x256 arbres.pgm"), "Data/arbre/terrain_256x256 arbres.pgm");
    EXPECT_EQ(win32::PlatformPath("\\\\x\\"), "//x/");
    EXPECT_EQ(win32::PlatformPath("plain/name"), "plain/name");
    EXPECT_EQ(win32::PlatformPath(nullptr), "");
}

TEST_F(FilesTest, MapsAWholeFileNamedWithBackslashes) {
    const std::string content = "P5\n2 2\n255\n\x01\x02\x03\x04";
    Write("Data/terrain/mask.pgm", content);

    HANDLE file = OpenForReading(SceneName("Data/terrain/mask.pgm"));
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD high = 0xDEAD;
    EXPECT_EQ(GetFileSize(file, &high), content.size());
    EXPECT_EQ(high, 0u);
    EXPECT_EQ(GetFileSize(file, nullptr), content.size());

    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    ASSERT_NE(mapping, nullptr);
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(std::memcmp(view, content.data(), content.size()), 0);

    EXPECT_TRUE(UnmapViewOfFile(view));
    EXPECT_TRUE(CloseHandle(mapping));
    EXPECT_TRUE(CloseHandle(file));
}

TEST_F(FilesTest, MappingOutlivesItsFileHandle) {
    Write("kept.bin", "abcdef");
    HANDLE file = OpenForReading(SceneName("kept.bin"));
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    ASSERT_TRUE(CloseHandle(file));
    const char* view = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    ASSERT_TRUE(CloseHandle(mapping));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(std::string(view, 6), "abcdef");
    EXPECT_TRUE(UnmapViewOfFile(view));
}

TEST_F(FilesTest, EmptyFileGivesLengthZeroAndAReadableView) {
    Write("empty.bin", "");
    HANDLE file = OpenForReading(SceneName("empty.bin"));
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileSize(file, nullptr), 0u);
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    ASSERT_NE(mapping, nullptr);
    const volatile char* view = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view[0], 0);
    EXPECT_TRUE(UnmapViewOfFile(const_cast<const char*>(view)));
    EXPECT_TRUE(CloseHandle(mapping));
    EXPECT_TRUE(CloseHandle(file));
}

TEST_F(FilesTest, RefusesWhatCannotBeReadAsAFile) {
    EXPECT_EQ(OpenForReading(SceneName("Data/terrain/missing.png")), INVALID_HANDLE_VALUE);
    EXPECT_EQ(OpenForReading(SceneName("Data/terrain")), INVALID_HANDLE_VALUE);  // a directory
    EXPECT_EQ(OpenForReading(""), INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateFileA(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);

    // Writing is not offered; it must fail rather than hand back a read-only handle.
    const std::string name = Write("present.bin", "x");
    EXPECT_EQ(CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateFileA(name.c_str(), GENERIC_READ, 0, nullptr, CREATE_ALWAYS, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(fs::file_size(name), 1u);
}

TEST_F(FilesTest, RefusesMappingsAndViewsBeyondTheFile) {
    Write("short.bin", "1234");
    HANDLE file = OpenForReading(SceneName("short.bin"));
    EXPECT_EQ(CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 5, nullptr), nullptr);
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    ASSERT_NE(mapping, nullptr);
    EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 5), nullptr);
    EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_READ, 0, 1, 0), nullptr);           // not on a 64 KiB boundary
    EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_READ | 0x0002, 0, 0, 0), nullptr);  // write access
    EXPECT_EQ(MapViewOfFile(file, FILE_MAP_READ, 0, 0, 0), nullptr);              // a file is no mapping
    EXPECT_EQ(GetFileSize(mapping, nullptr), INVALID_FILE_SIZE);                  // nor a mapping a file
    CloseHandle(mapping);
    CloseHandle(file);
}

TEST_F(FilesTest, BadOrStaleHandlesAreRefusedNotFollowed) {
    Write("once.bin", "1");
    HANDLE file = OpenForReading(SceneName("once.bin"));
    ASSERT_TRUE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
    EXPECT_FALSE(CloseHandle(nullptr));
    EXPECT_EQ(GetFileSize(file, nullptr), INVALID_FILE_SIZE);
    EXPECT_EQ(GetFileSize(INVALID_HANDLE_VALUE, nullptr), INVALID_FILE_SIZE);
    EXPECT_EQ(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);

    int local = 0;
    EXPECT_FALSE(UnmapViewOfFile(&local));
    EXPECT_FALSE(UnmapViewOfFile(nullptr));
}

TEST_F(FilesTest, ViewIsUnmappedOnlyOnce) {
    Write("twice.bin", "zz");
    HANDLE file = OpenForReading(SceneName("twice.bin"));
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(UnmapViewOfFile(view));
    EXPECT_FALSE(UnmapViewOfFile(view));
    CloseHandle(mapping);
    CloseHandle(file);
}

}  // namespace
