// The shared parser as the tools use it: what it takes, what it refuses and how it says so.

#include "command_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

// A tool's settings and its command line, with what Parse printed on each stream.
class CommandLineTest : public ::testing::Test {
protected:
    CommandLineTest() : line_("tool", "[OPTION]... OUT", "Does what a tool does.") {
        line_.Add("frames", "N", "frames to draw", tools::WholeNumber(&frames, 1, 1000, "a whole number of frames"));
        line_.Add("time", "MS", "the clock at the first frame, in milliseconds",
                  tools::WholeNumber(&time, 0, UINT32_MAX, "a whole number of milliseconds"));
        line_.Add("seed", "N", "the seed", tools::WholeNumber(&seed, 0, UINT64_MAX, "a whole number"));
        line_.Add("eye", "X,Y,Z", "where the eye is, in world units", tools::Numbers(eye, 3, "three numbers X,Y,Z"));
        line_.Add("device", "ref|hal", "the device", tools::OneOf(&device, {"ref", "hal"}));
        line_.Add("out", "FILE", "where to write", tools::Text(&out), true);
    }

    // Parses `arguments` after the program name "tool".
    std::optional<int> Parse(std::initializer_list<const char*> arguments) {
        std::vector<const char*> argv = {"tool"};
        argv.insert(argv.end(), arguments);
        std::FILE* outStream = std::tmpfile();
        std::FILE* errStream = std::tmpfile();
        const std::optional<int> end = line_.Parse(static_cast<int>(argv.size()), argv.data(), outStream, errStream);
        printed = Contents(outStream);
        said = Contents(errStream);
        return end;
    }

    static std::string Contents(std::FILE* stream) {
        std::string text;
        std::rewind(stream);
        for (int c; (c = std::fgetc(stream)) != EOF;) text += static_cast<char>(c);
        std::fclose(stream);
        return text;
    }

    // The two lines of a refusal.
    static std::string Refusal(const std::string& message) {
        return "tool: " + message + "\nTry 'tool --help' for more information.\n";
    }

    tools::CommandLine line_;
    std::uint32_t frames = 1, time = 1000;
    std::uint64_t seed = 7;
    float eye[3] = {0, 0, 0};
    std::string device = "ref", out;
    std::string printed, said;
};

TEST_F(CommandLineTest, TakesEveryOptionInEitherFormAndGoesOn) {
    EXPECT_EQ(Parse({"--frames", "12", "--time=0", "--seed", "18446744073709551615", "--eye", "1.5,-2,3e1",
                     "--device=hal", "--out", "a.png"}),
              std::nullopt);
    EXPECT_EQ(frames, 12u);
    EXPECT_EQ(time, 0u);
    EXPECT_EQ(seed, UINT64_MAX);
    EXPECT_EQ(eye[0], 1.5f);
    EXPECT_EQ(eye[1], -2.0f);
    EXPECT_EQ(eye[2], 30.0f);
    EXPECT_EQ(device, "hal");
    EXPECT_EQ(out, "a.png");
    EXPECT_EQ(printed + said, "");
}

TEST_F(CommandLineTest, HelpAndVersionGoToStandardOutputAndEndWithZero) {
    EXPECT_EQ(Parse({"--frames", "3", "--help", "--colour"}), 0);  // before anything after it is judged
    EXPECT_NE(printed.find("Usage: tool [OPTION]... OUT\nDoes what a tool does."), std::string::npos) << printed;
    for (const char* entry : {"--frames N\n      frames to draw", "--eye X,Y,Z\n      where the eye is, in world units",
                              "--help", "--version"})
        EXPECT_NE(printed.find(entry), std::string::npos) << entry;
    EXPECT_EQ(said, "");

    EXPECT_EQ(Parse({"--version"}), 0);
    EXPECT_EQ(printed, std::string("tool (Quenolde) ") + PROJECT_VERSION + "\n");
    EXPECT_EQ(said, "");
}

TEST_F(CommandLineTest, NumbersMustBeWholeDecimalAndInRange) {
    for (const char* bad : {"abc", "12x", "-3", "", " 5", "+5", "0x10", "1.0", "1001", "0", "99999999999999999999"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(Parse({"--out", "a", "--frames", bad}), 2);
        EXPECT_EQ(said, Refusal("--frames: '" + std::string(bad) + "' is not a whole number of frames from 1 to 1000"));
        EXPECT_EQ(frames, 1u) << "a refused value changes nothing";
    }
    EXPECT_EQ(Parse({"--out", "a", "--time", "4294967296"}), 2);
    EXPECT_EQ(said, Refusal("--time: '4294967296' is not a whole number of milliseconds from 0 to 4294967295"));
}

TEST_F(CommandLineTest, ListsOfNumbersNeedTheirCountOfFiniteNumbers) {
    for (const char* bad :
         {"1,2", "1,2,3,4", "1,,3", "1,2,3,", ",1,2,3", "1 2 3", "1;2;3", "nan,0,0", "inf,0,0", "1e99,0,0", "x,y,z"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(Parse({"--out", "a", "--eye", bad}), 2);
        EXPECT_EQ(said, Refusal("--eye: '" + std::string(bad) + "' is not three numbers X,Y,Z"));
        EXPECT_EQ(eye[0], 0.0f);
    }
}

TEST_F(CommandLineTest, MistakesNameTheOptionAndEndWithTwo) {
    EXPECT_EQ(Parse({"--out", "a", "--colour", "blue"}), 2);
    EXPECT_EQ(said, Refusal("unknown option '--colour'"));
    EXPECT_EQ(Parse({"--out", "a", "-x"}), 2);
    EXPECT_EQ(said, Refusal("unknown option '-x'"));
    EXPECT_EQ(Parse({"--out", "a", "--time"}), 2);
    EXPECT_EQ(said, Refusal("--time needs a value (MS)"));
    EXPECT_EQ(Parse({"--out", "a", "--device", "gpu"}), 2);
    EXPECT_EQ(said, Refusal("--device: 'gpu' is not one of ref, hal"));
    EXPECT_EQ(Parse({"--out="}), 2);
    EXPECT_EQ(said, Refusal("--out: the value is empty"));
    EXPECT_EQ(Parse({"--frames", "2"}), 2);
    EXPECT_EQ(said, Refusal("--out FILE is required"));
    EXPECT_EQ(Parse({"--out", "a", "stray"}), 2);
    EXPECT_EQ(said, Refusal("unexpected argument 'stray'"));
    EXPECT_EQ(printed, "");
}

TEST(CommandLineOperands, AreCountedAndMayFollowADoubleDash) {
    std::vector<std::string> words;
    tools::CommandLine line("tool", "DIR", "Writes DIR.");
    line.Operands(
        "DIR", "the folder",
        [&](const std::string& word) {
            words.push_back(word);
            return std::string();
        },
        1, 1);
    auto parse = [&](std::vector<const char*> argv) {
        words.clear();
        std::FILE* sink = std::tmpfile();
        const std::optional<int> end = line.Parse(static_cast<int>(argv.size()), argv.data(), sink, sink);
        std::fclose(sink);
        return end;
    };
    EXPECT_EQ(parse({"/usr/bin/tool", "out"}), std::nullopt);
    EXPECT_EQ(words, std::vector<std::string>{"out"});
    EXPECT_EQ(parse({"tool", "--", "-out"}), std::nullopt);  // a folder whose name starts with '-'
    EXPECT_EQ(words, std::vector<std::string>{"-out"});
    EXPECT_EQ(parse({"tool"}), 2);
    EXPECT_EQ(parse({"tool", "a", "b"}), 2);
    EXPECT_EQ(parse({"tool", "-"}), std::nullopt);  // a lone dash is a word, not an option
}

}  // namespace
