// The tool as the build runs it: the same seed gives the same bytes, another seed another landscape, and
// misuse or an unwritable folder is reported as a failure.

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "generated_data.h"

namespace testdata {
namespace {

namespace fs = std::filesystem;

// The path in double quotes, for the shell. Built by appending: GCC 12 at -O3 takes the insertion
// that `"\"" + path.string()` makes for a possible overlap (a false -Wrestrict).
std::string Quoted(const fs::path& path) {
    std::string quoted = "\"";
    quoted += path.string();
    quoted += '"';
    return quoted;
}

int RunTool(const std::string& arguments) {
    const std::string command = std::string("\"") + MAKE_DATA_TOOL + "\" " + arguments + " 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

fs::path FreshScratch(const std::string& name) {
    const fs::path dir = fs::path(SCRATCH_DIR) / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

std::vector<fs::path> FilesBelow(const fs::path& root) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), root));
    std::sort(files.begin(), files.end());
    return files;
}

TEST(CommandLine, SecondGenerationIsByteIdentical) {
    const fs::path again = FreshScratch("again") / "Data";
    ASSERT_EQ(RunTool(Quoted(again)), 0);
    const std::vector<fs::path> first = FilesBelow(GeneratedData()), second = FilesBelow(again);
    EXPECT_EQ(first.size(), 39u);  // 7 files and 32 caustic images
    ASSERT_EQ(first, second);
    for (const fs::path& file : first)
        EXPECT_TRUE(ReadBytes(GeneratedData() / file) == ReadBytes(again / file)) << file;
}

TEST(CommandLine, AnotherSeedGivesAnotherLandscape) {
    const fs::path other = FreshScratch("seed7") / "Data";
    ASSERT_EQ(RunTool(Quoted(other) + " --seed 7"), 0);
    EXPECT_FALSE(ReadBytes(GeneratedData() / "terrain/terrain_128x128.pgm") ==
                 ReadBytes(other / "terrain/terrain_128x128.pgm"));
}

TEST(CommandLine, MisuseIsRefusedBeforeAnythingIsWritten) {
    const fs::path target = FreshScratch("misuse") / "Data";
    const std::string out = Quoted(target);
    EXPECT_EQ(RunTool(""), 2);
    EXPECT_EQ(RunTool(out + " --seed"), 2);
    EXPECT_EQ(RunTool(out + " --seed 12x"), 2);
    EXPECT_EQ(RunTool(out + " --seed -3"), 2);
    EXPECT_EQ(RunTool(out + " --colour blue"), 2);
    EXPECT_EQ(RunTool(out + " " + out), 2);
    EXPECT_FALSE(fs::exists(target));
}

TEST(CommandLine, UnwritableFolderIsAFailure) {
    const fs::path blocker = FreshScratch("blocked") / "file";
    { std::ofstream(blocker) << "not a folder"; }
    EXPECT_EQ(RunTool(Quoted(blocker / "Data")), 1);
}

}  // namespace
}  // namespace testdata
