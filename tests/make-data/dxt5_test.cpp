// The DXT5 encoder against the independent decoder: what is encoded comes back close, alpha extremes come
// back exact, and odd sizes are padded into whole blocks.

#include "dxt5.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "file_readers.h"

namespace {

using makedata::EncodeDxt5;
using makedata::Image;
using testdata::DecodeDxt5;

Image Gradient(int w, int h) {
    Image image(w, h, 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* t = image.At(x, y);
            t[0] = static_cast<uint8_t>(40 + 12 * x);
            t[1] = static_cast<uint8_t>(90 + 8 * y);
            t[2] = static_cast<uint8_t>(30 + 3 * x + 3 * y);
            t[3] = static_cast<uint8_t>(x < 2 ? 0 : x == 2 ? 130 : 255);
        }
    return image;
}

// Four colours on a line cannot follow a gradient that varies along two axes exactly; 16 levels of 255 is
// what a sound end-point fit leaves on this block.
TEST(Dxt5, SmoothBlockComesBackClose) {
    const Image image = Gradient(4, 4);
    const testdata::Picture decoded = DecodeDxt5(EncodeDxt5(image).data(), 4, 4);
    int worst = 0;
    for (size_t i = 0; i < image.pixels.size(); ++i)
        if (i % 4 != 3) worst = std::max(worst, std::abs(image.pixels[i] - decoded.pixels[i]));
    EXPECT_LE(worst, 16);
}

TEST(Dxt5, AlphaExtremesAreExactAndMiddleValuesNear) {
    const Image image = Gradient(4, 4);
    const testdata::Picture decoded = DecodeDxt5(EncodeDxt5(image).data(), 4, 4);
    for (int y = 0; y < 4; ++y) {
        EXPECT_EQ(decoded.At(0, y)[3], 0);
        EXPECT_EQ(decoded.At(1, y)[3], 0);
        EXPECT_NEAR(decoded.At(2, y)[3], 130, 255 / 14 + 1);
        EXPECT_EQ(decoded.At(3, y)[3], 255);
    }
}

TEST(Dxt5, UniformBlockKeepsItsColourAndOrderedEndPoints) {
    Image image(4, 4, 4);
    for (size_t i = 0; i < image.pixels.size(); i += 4) {
        image.pixels[i] = 200, image.pixels[i + 1] = 100, image.pixels[i + 2] = 20, image.pixels[i + 3] = 77;
    }
    const std::vector<uint8_t> block = EncodeDxt5(image);
    const testdata::Picture decoded = DecodeDxt5(block.data(), 4, 4);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(decoded.pixels[i * 4 + 0], 200, 4);
        EXPECT_NEAR(decoded.pixels[i * 4 + 1], 100, 2);
        EXPECT_NEAR(decoded.pixels[i * 4 + 2], 20, 4);
        EXPECT_EQ(decoded.pixels[i * 4 + 3], 77);
    }
    // Some decoders read c0 <= c1 as the three-colour mode; the encoder never relies on that order.
    const int c0 = block[8] | block[9] << 8, c1 = block[10] | block[11] << 8;
    EXPECT_GE(c0, c1);
}

TEST(Dxt5, TwoColourBlockPutsTheLargerEndPointFirst) {
    Image image(4, 4, 4);
    for (int i = 0; i < 16; ++i) {
        uint8_t* t = &image.pixels[i * 4];
        const bool light = (i * 7) % 3 == 0;
        t[0] = light ? 240 : 10, t[1] = light ? 230 : 20, t[2] = light ? 220 : 30, t[3] = 255;
    }
    const std::vector<uint8_t> block = EncodeDxt5(image);
    const int c0 = block[8] | block[9] << 8, c1 = block[10] | block[11] << 8;
    EXPECT_GT(c0, c1);
    const testdata::Picture decoded = DecodeDxt5(block.data(), 4, 4);
    for (size_t i = 0; i < image.pixels.size(); ++i) EXPECT_NEAR(decoded.pixels[i], image.pixels[i], 8) << i;
}

TEST(Dxt5, SmallAndOddSizesArePaddedToWholeBlocks) {
    for (const auto& [w, h] : {std::pair{1, 1}, {2, 2}, {6, 5}}) {
        const Image image = Gradient(w, h);
        const std::vector<uint8_t> blocks = EncodeDxt5(image);
        EXPECT_EQ(blocks.size(), static_cast<size_t>((w + 3) / 4) * ((h + 3) / 4) * 16);
        const testdata::Picture decoded = DecodeDxt5(blocks.data(), w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int alpha = image.At(x, y)[3];
                if (alpha == 0 || alpha == 255)
                    EXPECT_EQ(decoded.At(x, y)[3], alpha);
                else
                    EXPECT_NEAR(decoded.At(x, y)[3], alpha, 255 / 14 + 1);
                EXPECT_NEAR(decoded.At(x, y)[1], image.At(x, y)[1], 16);
            }
    }
}

}  // namespace
