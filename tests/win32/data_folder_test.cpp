// Where the viewer's programs look for Data/, and how the scene's relative names then resolve.

#include "platform/win32/data_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/win32/paths.h"
#include "platform/win32/windows_api.h"

namespace {

namespace fs = std::filesystem;

// A working directory, and an installation prefix with bin/quenolde and share/quenolde/.
class DataFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = fs::temp_directory_path() / ("win32_data_" + std::to_string(getpid()) + "_" + test->name());
        fs::create_directories(work_ = root_ / "work");
        fs::create_directories(root_ / "prefix" / "bin");
        executable_ = root_ / "prefix" / "bin" / "quenolde";
    }
    void TearDown() override {
        win32::SetFileRoot("");
        fs::remove_all(root_);
    }
    void MakeData(const fs::path& parent) const { fs::create_directories(parent / "Data" / "terrain"); }

    fs::path root_, work_, executable_;
};

TEST_F(DataFolderTest, PrefersTheWorkingDirectoryThenBesideTheProgramThenShare) {
    const fs::path share = root_ / "prefix" / "share" / "quenolde";
    EXPECT_EQ(win32::FindDataParent(work_, executable_), std::nullopt);
    MakeData(share);
    EXPECT_EQ(win32::FindDataParent(work_, executable_), share);  // bin/../share/quenolde, normalised
    MakeData(executable_.parent_path());
    EXPECT_EQ(win32::FindDataParent(work_, executable_), executable_.parent_path());
    MakeData(work_);
    EXPECT_EQ(win32::FindDataParent(work_, executable_), work_);
}

TEST_F(DataFolderTest, OnlyAFolderNamedDataCounts) {
    std::ofstream(work_ / "Data") << "a file, not a folder";
    EXPECT_EQ(win32::FindDataParent(work_, executable_), std::nullopt);
    EXPECT_EQ(win32::FindDataParent(work_, fs::path()), std::nullopt);  // the program's place unknown
}

TEST_F(DataFolderTest, RelativeSceneNamesResolveUnderTheRootAndNothingElseMoves) {
    win32::SetFileRoot((root_ / "prefix" / "share" / "quenolde/").string());
    const std::string share = (root_ / "prefix" / "share" / "quenolde").string();
    EXPECT_EQ(win32::PlatformPath("Data\\terrain\\mask.png"), share + "/Data/terrain/mask.png");
    EXPECT_EQ(win32::PlatformPath("/abs/olute"), "/abs/olute");
    EXPECT_EQ(win32::PlatformPath("\\abs"), "/abs");
    EXPECT_EQ(win32::PlatformPath(""), "");
    EXPECT_EQ(win32::PlatformPath(nullptr), "");

    // The file services open the file found there.
    MakeData(share);
    std::ofstream(fs::path(share) / "Data" / "terrain" / "mask.png") << "bytes";
    HANDLE file = CreateFileA("Data\\terrain\\mask.png", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileSize(file, nullptr), 5u);
    CloseHandle(file);

    win32::SetFileRoot("");
    EXPECT_EQ(win32::PlatformPath("Data\\terrain\\mask.png"), "Data/terrain/mask.png");
}

}  // namespace
