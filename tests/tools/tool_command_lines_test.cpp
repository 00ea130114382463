// The three tools started as a user starts them: help and version on standard output with exit
// code 0, every mistake refused with exit code 2 before anything runs, under the name the tool was
// started by.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct ToolRun {
    int code;
    std::string out, err;
};

std::string Slurp(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

ToolRun Start(const std::string& tool, const std::string& arguments) {
    const std::string prefix = ::testing::TempDir() + "tool_" + std::to_string(getpid());
    std::string command = "\"";
    command += tool;
    command += "\" " + arguments + " >" + prefix + ".out 2>" + prefix + ".err </dev/null";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(prefix + ".out"), Slurp(prefix + ".err")};
}

TEST(ToolCommandLines, HelpIsOnStandardOutputWithEveryUnit) {
    const ToolRun capture = Start(CAPTURE_TOOL, "--help");
    EXPECT_EQ(capture.code, 0);
    EXPECT_EQ(capture.err, "");
    for (const char* entry : {"Usage: capture [OPTION]... --out FILE.png", "--angles H,V", "in radians", "--eye X,Y,Z",
                              "world units", "--time MS", "millisecond", "--step MS", "--frames N", "--device ref|hal"})
        EXPECT_NE(capture.out.find(entry), std::string::npos) << entry;

    const ToolRun bench = Start(BENCH_TOOL, "--help");
    EXPECT_EQ(bench.code, 0);
    EXPECT_NE(bench.out.find("--device ref|hal"), std::string::npos) << bench.out;
    EXPECT_NE(bench.out.find("--warmup N"), std::string::npos);

    const ToolRun makeData = Start(MAKE_DATA_TOOL, "--help");
    EXPECT_EQ(makeData.code, 0);
    EXPECT_NE(makeData.out.find("--seed N"), std::string::npos) << makeData.out;
    EXPECT_NE(makeData.out.find("OUTDIR"), std::string::npos);
}

TEST(ToolCommandLines, VersionIsTheProjects) {
    for (const char* tool : {CAPTURE_TOOL, BENCH_TOOL, MAKE_DATA_TOOL}) {
        const ToolRun run = Start(tool, "--version");
        EXPECT_EQ(run.code, 0) << tool;
        EXPECT_NE(run.out.find(std::string(" (Quenolde) ") + PROJECT_VERSION + "\n"), std::string::npos) << run.out;
    }
}

TEST(ToolCommandLines, BadValuesAreNamedAndNothingRuns) {
    const struct {
        const char* tool;
        const char* arguments;
        const char* message;
    } cases[] = {
        {CAPTURE_TOOL, "--time abc --out x.png",
         "capture: --time: 'abc' is not a whole number of milliseconds from 0 to 4294967295\n"},
        {CAPTURE_TOOL, "--eye 1,2 --out x.png", "capture: --eye: '1,2' is not three numbers X,Y,Z (world units)\n"},
        {CAPTURE_TOOL, "--frames 0 --out x.png",
         "capture: --frames: '0' is not a whole number of frames from 1 to 4294967295\n"},
        {CAPTURE_TOOL, "--frames 2", "capture: --out FILE.png is required\n"},
        {BENCH_TOOL, "--device nope", "bench: --device: 'nope' is not one of ref, hal\n"},
        {BENCH_TOOL, "--frames", "bench: --frames needs a value (N)\n"},
        {MAKE_DATA_TOOL, "--seed 12x out",
         "make-data: --seed: '12x' is not a whole number from 0 to "
         "18446744073709551615\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const ToolRun run = Start(c.tool, c.arguments);
        EXPECT_EQ(run.code, 2);
        EXPECT_EQ(run.out, "");
        const std::string hint = run.err.substr(run.err.find('\n') + 1);
        EXPECT_EQ(run.err.substr(0, run.err.find('\n') + 1), c.message);
        EXPECT_EQ(hint.rfind("Try '", 0), 0u) << run.err;
    }
}

}  // namespace
