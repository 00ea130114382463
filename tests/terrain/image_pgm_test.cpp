#include "terrain/image_pgm.h"

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
    std::unique_ptr<BYTE[]> Read(const std::string& bytes) {
        largeur = hauteur = -1;
        return ChargerPGM(Write("image.pgm", bytes).c_str(), &largeur, &hauteur);
    }
    static std::string Samples(int count, int first = 0) {
        std::string s;
        for (int i = 0; i < count; ++i) s += static_cast<char>((first + i * 7) & 0xFF);
        return s;
    }
    std::string Bytes(const std::unique_ptr<BYTE[]>& image) const {
        return std::string(reinterpret_cast<const char*>(image.get()), static_cast<size_t>(largeur * hauteur));
    }

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

TEST_F(ChargerPGMTest, RefusesSizesBeyondWhatItAllocates) {
    // 65536 × 65536 wraps to 0 in 32 bits and 46341 × 46341 to a negative count; a number past
    // INT_MAX would wrap on its own.
    for (const char* huge : {"P5 65536 65536 255\n", "P5 46341 46341 255\n", "P5 2147483648 1 255\n",
                             "P5 1 99999999999999999999 255\n", "P5 4097 4097 255\n"}) {
        SCOPED_TRACE(huge);
        EXPECT_FALSE(Read(huge));
    }
    EXPECT_TRUE(Read("P5 4096 4096 255\n"));  // the largest accepted, all zeros
    EXPECT_EQ(largeur * hauteur, kPixelsPgmMax);
}

}  // namespace
