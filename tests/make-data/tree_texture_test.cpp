// The tree texture as the viewer's alpha test (pass at alpha 8 and above) will see it, level by level.

#include <algorithm>

#include "generated_data.h"

namespace testdata {
namespace {

constexpr int kAlphaRef = 8;

std::vector<Picture> DecodeLevels() {
    const std::vector<uint8_t> bytes = ReadBytes(GeneratedData() / "arbre/tree01S.dds");
    DdsHeader header{};
    EXPECT_TRUE(ReadDdsHeader(bytes, header));
    std::vector<Picture> levels;
    size_t offset = 128;
    for (uint32_t level = 0, size = header.width; level < header.mipMapCount; ++level, size = std::max(1u, size / 2)) {
        const size_t length = static_cast<size_t>((size + 3) / 4) * ((size + 3) / 4) * 16;
        if (offset + length > bytes.size()) {
            ADD_FAILURE() << "level " << level << " runs past the end of the file";
            break;
        }
        levels.push_back(DecodeDxt5(bytes.data() + offset, static_cast<int>(size), static_cast<int>(size)));
        offset += length;
    }
    return levels;
}

bool Passes(const Picture& level, int x, int y) { return level.At(x, y)[3] >= kAlphaRef; }

double PassingShare(const Picture& level) {
    int passing = 0;
    for (int y = 0; y < level.height; ++y)
        for (int x = 0; x < level.width; ++x) passing += Passes(level, x, y);
    return static_cast<double>(passing) / (level.width * level.height);
}

TEST(TreeTexture, NothingOutsideTheSilhouetteSurvivesTheAlphaTestAtAnyLevel) {
    const std::vector<Picture> levels = DecodeLevels();
    ASSERT_EQ(levels.size(), 9u);
    const Picture& top = levels[0];
    for (size_t k = 1; k < levels.size(); ++k) {
        const Picture& level = levels[k];
        const int footprint = top.width / level.width;
        for (int y = 0; y < level.height; ++y) {
            for (int x = 0; x < level.width; ++x) {
                bool touchesTree = false;
                for (int fy = 0; fy < footprint && !touchesTree; ++fy)
                    for (int fx = 0; fx < footprint && !touchesTree; ++fx)
                        touchesTree = Passes(top, x * footprint + fx, y * footprint + fy);
                if (!touchesTree) {
                    EXPECT_LT(level.At(x, y)[3], kAlphaRef) << "level " << k << " texel " << x << "," << y;
                }
            }
        }
    }
}

TEST(TreeTexture, DistantLevelsNeitherSwellNorVanish) {
    const std::vector<Picture> levels = DecodeLevels();
    ASSERT_GE(levels.size(), 7u);
    const double topShare = PassingShare(levels[0]);
    EXPECT_GT(topShare, 0.2);
    EXPECT_LT(topShare, 0.8);
    for (size_t k = 1; k < levels.size() && levels[k].width >= 4; ++k) {
        EXPECT_GT(PassingShare(levels[k]), topShare * 0.6) << "level " << k;
        EXPECT_LT(PassingShare(levels[k]), topShare * 1.5) << "level " << k;
    }
}

TEST(TreeTexture, TrunkStandsOnTheMiddleOfTheBottomEdgeUnderAWiderCrown) {
    const Picture top = DecodeLevels().at(0);
    const int w = top.width, h = top.height;
    int bottomLeft = w, bottomRight = -1;
    for (int x = 0; x < w; ++x) {
        if (!Passes(top, x, h - 1)) continue;
        bottomLeft = std::min(bottomLeft, x);
        bottomRight = std::max(bottomRight, x);
    }
    ASSERT_GE(bottomRight, 0) << "nothing touches the bottom edge";
    EXPECT_GT(bottomLeft, w * 3 / 10);
    EXPECT_LT(bottomRight, w * 7 / 10);
    int widestCrown = 0;
    for (int y = 0; y < h / 2; ++y) {
        int left = w, right = -1;
        for (int x = 0; x < w; ++x)
            if (Passes(top, x, y)) left = std::min(left, x), right = std::max(right, x);
        widestCrown = std::max(widestCrown, right - left + 1);
    }
    EXPECT_GT(widestCrown, 3 * (bottomRight - bottomLeft + 1));
    EXPECT_FALSE(Passes(top, 0, 0));
    EXPECT_FALSE(Passes(top, w - 1, 0));
    // Leaves are green: where the crown is opaque, green leads red and blue on average.
    long red = 0, green = 0, blue = 0;
    for (int y = 0; y < h / 2; ++y)
        for (int x = 0; x < w; ++x)
            if (Passes(top, x, y)) red += top.At(x, y)[0], green += top.At(x, y)[1], blue += top.At(x, y)[2];
    EXPECT_GT(green, red);
    EXPECT_GT(green, blue);
}

}  // namespace
}  // namespace testdata
