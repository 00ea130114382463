// Every file of the Data tree exists under the viewer's name and decodes to the size and format the
// scene expects.

#include <png.h>

#include "generated_data.h"

namespace testdata {
namespace {

bool IsPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

TEST(DataFiles, GreyMapsAreBinaryPgmOfTheGridSizes) {
    const Picture heights = LoadPgm("terrain/terrain_128x128.pgm");
    EXPECT_EQ(heights.width, 128);
    EXPECT_EQ(heights.height, 128);
    const Picture trees = LoadPgm("arbre/terrain_256x256 arbres.pgm");
    EXPECT_EQ(trees.width, 256);
    EXPECT_EQ(trees.height, 256);
}

TEST(DataFiles, PngTexturesHaveTheirChannelsAndSizes) {
    struct Expected {
        const char* path;
        int colourType;
        int size;
    };
    const Expected table[] = {{"terrain/pierre.png", PNG_COLOR_TYPE_RGB, 256},
                              {"terrain/herbe.png", PNG_COLOR_TYPE_RGB, 256},
                              {"terrain/mask.png", PNG_COLOR_TYPE_RGB_ALPHA, 512},
                              {"eau/maskeau.png", PNG_COLOR_TYPE_RGB_ALPHA, 256}};
    for (const Expected& expected : table) {
        Picture picture;
        int colourType = -1, bitDepth = 0;
        ASSERT_TRUE(ReadPng(ReadBytes(GeneratedData() / expected.path), picture, colourType, bitDepth))
            << expected.path;
        EXPECT_EQ(colourType, expected.colourType) << expected.path;
        EXPECT_EQ(bitDepth, 8) << expected.path;
        EXPECT_EQ(picture.width, expected.size) << expected.path;
        EXPECT_EQ(picture.height, expected.size) << expected.path;
        EXPECT_TRUE(IsPowerOfTwo(picture.width)) << expected.path;
    }
}

TEST(DataFiles, ThirtyTwoColourCausticJpegs) {
    for (int frame = 0; frame < 32; ++frame) {
        const std::string path = "eau/caustic/caust" + std::to_string(frame) + ".jpg";
        Picture picture;
        int components = 0;
        ASSERT_TRUE(ReadJpeg(ReadBytes(GeneratedData() / path), picture, components)) << path;
        EXPECT_EQ(components, 3) << path;
        EXPECT_EQ(picture.width, 256) << path;
        EXPECT_EQ(picture.height, 256) << path;
    }
    EXPECT_FALSE(std::filesystem::exists(GeneratedData() / "eau/caustic/caust32.jpg"));
}

TEST(DataFiles, TreeIsDxt5DdsWithAFullMipChain) {
    const std::vector<uint8_t> bytes = ReadBytes(GeneratedData() / "arbre/tree01S.dds");
    DdsHeader header{};
    ASSERT_TRUE(ReadDdsHeader(bytes, header));
    EXPECT_EQ(header.size, 124u);
    constexpr uint32_t kRequiredFlags = 0x1 | 0x2 | 0x4 | 0x1000 | 0x20000;  // caps, height, width, format, mips
    EXPECT_EQ(header.flags & kRequiredFlags, kRequiredFlags);
    EXPECT_EQ(header.width, 256u);
    EXPECT_EQ(header.height, 256u);
    EXPECT_EQ(header.mipMapCount, 9u);  // 256 down to 1
    EXPECT_EQ(header.pixelFormatSize, 32u);
    EXPECT_EQ(header.pixelFormatFlags, 0x4u);
    EXPECT_EQ(header.fourCc, 0x35545844u);                       // "DXT5"
    constexpr uint32_t kRequiredCaps = 0x1000 | 0x400000 | 0x8;  // texture, mipmap, complex
    EXPECT_EQ(header.caps & kRequiredCaps, kRequiredCaps);
    EXPECT_EQ(header.caps2, 0u);  // neither a cube map nor a volume
    EXPECT_EQ(header.linearSize, 64u * 64u * 16u);
    size_t expectedLength = 128;
    for (int size = 256; size >= 1; size /= 2)
        expectedLength += static_cast<size_t>((size + 3) / 4) * ((size + 3) / 4) * 16;
    EXPECT_EQ(bytes.size(), expectedLength);
}

}  // namespace
}  // namespace testdata
