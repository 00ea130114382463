#include "terrain/image_pgm.h"

#include <fcntl.h>
#include <unistd.h>

#include <string>

#include "terrain_fixture.h"

namespace {

using terrain_test::ScratchTest;

size_t OpenFiles() {
    auto entries = std::filesystem::directory_iterator("/proc/self/fd");
    return static_cast<size_t>(std::distance(begin(entries), end(entries)));
}

class ChargerPGMTest : public ScratchTest {
protected:
    // Reads `bytes` as a file; the dimensions start at -1 so that untouched ones show.
    ImageGrise Read(const std::string& bytes) {
        largeur = hauteur = -1;
        return ChargerPGM(Write("image.pgm", bytes).c_str(), &largeur, &hauteur);
    }
    static std::string Samples(int count, int first = 0) {
        std::string s;
        for (int i = 0; i < count; ++i) s += static_cast<char>((first + i * 7) & 0xFF);
        return s;
    }
    std::string Bytes(const ImageGrise& image) const {
        EXPECT_EQ(image.Taille(), static_cast<size_t>(largeur) * static_cast<size_t>(hauteur));
        std::string bytes;
        for (size_t i = 0; i < image.Taille(); ++i) bytes += static_cast<char>(image[i]);
        return bytes;
    }
    // Reads `bytes` and returns what the reader said on standard error.
    std::string ReadAndTell(const std::string& bytes, bool* read = nullptr) {
        testing::internal::CaptureStderr();
        const bool ok = static_cast<bool>(Read(bytes));
        if (read != nullptr) *read = ok;
        return testing::internal::GetCapturedStderr();
    }
    std::string Path() const { return (root_ / "image.pgm").string(); }

    INT largeur = -1;
    INT hauteur = -1;
};

TEST_F(ChargerPGMTest, ReadsTheSamplesInFileOrderAndNotTheDigitsOfAComment) {
    const std::string samples = Samples(128 * 128);
    auto image = Read("P5\n# generated, 12 levels\n128 128\n255\n" + samples);
    ASSERT_TRUE(image);
    EXPECT_EQ(largeur, 128);
    EXPECT_EQ(hauteur, 128);
    EXPECT_EQ(Bytes(image), samples);
    EXPECT_TRUE(headless::MessageBoxes().empty());
}

TEST_F(ChargerPGMTest, SkipsCommentsAndAnyNonDigitBetweenTheNumbers) {
    const std::string samples = Samples(64 * 32, 3);
    const char* headers[] = {
        "P5 64# width\n32 255 ",                         // a comment right after a number
        "P5#made by hand 7\n64\n#h 9\n32\n#max\n255\n",  // after the magic and between the numbers
        "P5 w=64 h=32 max=255\n",                        // letters and signs as separators
        "P5\t-64,\r\n-32;255\t",                         // a minus sign is skipped, never a sign
    };
    for (const char* header : headers) {
        SCOPED_TRACE(header);
        auto image = Read(header + samples);
        ASSERT_TRUE(image);
        EXPECT_EQ(largeur, 64);
        EXPECT_EQ(hauteur, 32);
        EXPECT_EQ(Bytes(image), samples);
    }
}

TEST_F(ChargerPGMTest, TakesOnlyOneByteAfterTheMaximum) {
    // With CR LF the line feed becomes the first sample, and the last file byte is left over.
    auto image = Read("P5\r\n2 2\r\n255\r\n\x01\x02\x03\x04");
    ASSERT_TRUE(image);
    EXPECT_EQ(Bytes(image), std::string("\n\x01\x02\x03", 4));
}

TEST_F(ChargerPGMTest, ReadsOneByteASampleWhateverTheMaximum) {
    const std::string wide = Samples(2 * 2 * 2);
    auto image = Read("P5 2 2 65535\n" + wide);
    ASSERT_TRUE(image);
    EXPECT_EQ(Bytes(image), wide.substr(0, 4));
}

TEST_F(ChargerPGMTest, FillsSamplesMissingAtTheEndWithZeros) {
    auto image = Read("P5 3 2 255\nabc");
    ASSERT_TRUE(image);
    EXPECT_EQ(Bytes(image), std::string("abc\0\0\0", 6));

    image = Read("P5 3 2 255");  // the file ends at the maximum: no separator, no samples
    ASSERT_TRUE(image);
    EXPECT_EQ(Bytes(image), std::string(6, '\0'));
}

TEST_F(ChargerPGMTest, AcceptsAnEmptyImage) {
    auto image = Read("P5 0 7 0\n");
    EXPECT_TRUE(image);
    EXPECT_EQ(largeur, 0);
    EXPECT_EQ(hauteur, 7);
}

TEST_F(ChargerPGMTest, TellsTheUserOnlyWhenTheFileIsMissing) {
    largeur = hauteur = -1;
    EXPECT_FALSE(ChargerPGM(Missing().c_str(), &largeur, &hauteur));
    EXPECT_EQ(largeur, -1);
    EXPECT_EQ(hauteur, -1);
    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(headless::MessageBoxes()[0].text, "Image non trouvée.");
    EXPECT_EQ(headless::MessageBoxes()[0].caption, "Erreur");
    EXPECT_EQ(headless::MessageBoxes()[0].type, MB_ICONWARNING);

    for (const char* wrong : {"P2 2 2 255\n1 2 3 4\n", "P6 1 1 255\nabc", "p5 1 1 255\na", "P", ""}) {
        SCOPED_TRACE(wrong);
        EXPECT_FALSE(Read(wrong));
        EXPECT_EQ(largeur, -1);
        EXPECT_EQ(hauteur, -1);
    }
    EXPECT_EQ(headless::MessageBoxes().size(), 1u);
}

TEST_F(ChargerPGMTest, FindsTheFileUnderTheScenesBackslashName) {
    Write("image.pgm", "P5 1 1 255\nz");
    std::string name = (root_ / "image.pgm").string();
    for (char& c : name)
        if (c == '/') c = '\\';
    auto image = ChargerPGM(name.c_str(), &largeur, &hauteur);
    ASSERT_TRUE(image);
    EXPECT_EQ(image[0], 'z');
}

TEST_F(ChargerPGMTest, RefusesAHeaderCutShort) {
    for (const char* cut :
         {"P5", "P5 12 ", "P5 12 12", "P5 12 12 # max follows\n", "P5 # an open comment", "P5 12 # to the end 255"}) {
        SCOPED_TRACE(cut);
        const size_t before = OpenFiles();
        EXPECT_FALSE(Read(cut));
        EXPECT_EQ(OpenFiles(), before);  // closed again
    }
    EXPECT_TRUE(headless::MessageBoxes().empty());
}

TEST_F(ChargerPGMTest, AcceptsEverySizeWhoseSampleCountFitsAnInt) {
    // 65536 × 65536 wraps to 0 in 32 bits and 46341 × 46341 to a negative count; a number past
    // INT_MAX would wrap on its own.
    for (const char* huge : {"P5 65536 65536 255\n", "P5 46341 46341 255\n", "P5 2147483648 1 255\n",
                             "P5 1 99999999999999999999 255\n", "P5 1073741824 2 255\n"}) {
        SCOPED_TRACE(huge);
        EXPECT_FALSE(Read(huge));
    }
    // Beyond the 16 Mi pixels of a 4096 × 4096 map, up to the largest count an INT holds.
    for (const char* large : {"P5 4100 4100 255\n", "P5 46340 46340 255\n", "P5 2147483647 1 255\n"}) {
        SCOPED_TRACE(large);
        const ImageGrise image = Read(large);
        ASSERT_TRUE(image);
        EXPECT_EQ(image.Taille(), static_cast<size_t>(largeur) * static_cast<size_t>(hauteur));
        EXPECT_EQ(image[image.Taille() - 1], 0);
    }
}

TEST_F(ChargerPGMTest, KeepsOnlyTheSamplesTheFileHolds) {
    // 2 147 395 600 pixels announced, ten present: ten bytes held, every other sample reads 0.
    const ImageGrise image = Read("P5 46340 46340 255\n" + Samples(10, 1));
    ASSERT_TRUE(image);
    EXPECT_EQ(image.NbLus(), 10u);
    EXPECT_EQ(image[9], Samples(10, 1)[9]);
    EXPECT_EQ(image[10], 0);
    EXPECT_EQ(image[image.Taille() - 1], 0);

    // The same through a pipe, whose size is not known before it is read.
    int tube[2];
    ASSERT_EQ(pipe(tube), 0);
    const std::string bytes = "P5 46340 46340 255\n" + Samples(300, 2);
    ASSERT_EQ(write(tube[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    close(tube[1]);
    const ImageGrise piped = ChargerPGM(("/proc/self/fd/" + std::to_string(tube[0])).c_str(), &largeur, &hauteur);
    close(tube[0]);
    ASSERT_TRUE(piped);
    EXPECT_EQ(piped.NbLus(), 300u);
    EXPECT_EQ(piped[299], static_cast<BYTE>(Samples(300, 2)[299]));
    EXPECT_EQ(piped[300], 0);
}

// Every refusal names the file and its reason in one line on standard error; a short sample
// block is read all the same, and said.
TEST_F(ChargerPGMTest, SaysWhatIsWrongWithTheFileOnStandardError) {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(ChargerPGM(Missing().c_str(), &largeur, &hauteur));
    // The line, then the box as the headless backend prints it.
    EXPECT_EQ(testing::internal::GetCapturedStderr(), std::string(program_invocation_short_name) + ": " + Missing() +
                                                          ": not found\nErreur: Image non trouvée.\n");
    headless::Reset();

    const std::string prefix = std::string(program_invocation_short_name) + ": " + Path() + ": ";
    bool read = true;
    EXPECT_EQ(ReadAndTell("P2 2 2 255\n1 2 3 4\n", &read),
              prefix + "not a binary grey-level image (it does not begin with P5)\n");
    EXPECT_FALSE(read);
    EXPECT_EQ(ReadAndTell("P5 12 ", &read), prefix + "truncated: the file ends before the height in its header\n");
    EXPECT_FALSE(read);
    EXPECT_EQ(ReadAndTell("P5 2147483648 1 255\n", &read),
              prefix + "unsupported header: the width is above 2147483647\n");
    EXPECT_FALSE(read);
    EXPECT_EQ(ReadAndTell("P5 65536 65536 255\n", &read),
              prefix + "unsupported size 65536 x 65536: width x height must not exceed 2147483647 samples\n");
    EXPECT_FALSE(read);
    EXPECT_EQ(ReadAndTell("P5 3 2 255\nabcd", &read),
              prefix + "truncated: 4 of the 6 samples of a 3 x 2 image; the rest read as 0\n");
    EXPECT_TRUE(read);
    EXPECT_EQ(ReadAndTell("P5 3 2 255\nabcdef", &read), "");
    EXPECT_TRUE(read);
    EXPECT_TRUE(headless::MessageBoxes().empty()) << "only a missing file shows a box";
}

}  // namespace
