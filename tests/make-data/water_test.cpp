// The water as the viewer blends it: frame = alpha × (mask colour × caustic + frame), where the terrain
// lies below the plane at 0.5. The mask is stretched over the quad with u growing towards -x, v towards -z.

#include <algorithm>
#include <cmath>

#include "generated_data.h"

namespace testdata {
namespace {

constexpr double kHalf = 19.2;
const double kSky[3] = {228 / 255.0, 1.0, 1.0};

double Luminance(const double c[3]) { return 0.3 * c[0] + 0.59 * c[1] + 0.11 * c[2]; }

struct CausticRange {
    double low[3] = {1, 1, 1}, high[3] = {0, 0, 0};
};

CausticRange MeasureCaustic(const Picture& caustic) {
    CausticRange range;
    for (size_t i = 0; i < caustic.pixels.size(); ++i) {
        const double v = caustic.pixels[i] / 255.0;
        range.low[i % 3] = std::min(range.low[i % 3], v);
        range.high[i % 3] = std::max(range.high[i % 3], v);
    }
    return range;
}

// Mean colour of a texture: the lake bed, lit by the sun from high up (about full light on flat ground).
void MeanColour(const Picture& texture, double out[3]) {
    out[0] = out[1] = out[2] = 0;
    for (size_t i = 0; i < texture.pixels.size(); ++i) out[i % texture.channels] += texture.pixels[i] / 255.0;
    for (int c = 0; c < 3; ++c) out[c] /= texture.width * texture.height;
}

TEST(Water, NeverBrightensWhatLiesBeneath) {
    // alpha × (colour × caustic + frame) <= frame for any frame up to white needs alpha × (colour + 1) <= 1.
    const Picture mask = LoadPng("eau/maskeau.png");
    ASSERT_EQ(mask.channels, 4);
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x)
            for (int c = 0; c < 3; ++c)
                ASSERT_LE(mask.At(x, y)[3] / 255.0 * (mask.At(x, y)[c] / 255.0 + 1), 1.0 + 2 / 255.0) << x << "," << y;
}

TEST(Water, DryGroundAndTheStripPastTheTerrainAreLeftUntouched) {
    const Picture heights = LoadPgm("terrain/terrain_128x128.pgm");
    const Picture mask = LoadPng("eau/maskeau.png");
    for (int j = 0; j < mask.height; ++j) {
        for (int i = 0; i < mask.width; ++i) {
            const double x = kHalf - (i + 0.5) / mask.width * 2 * kHalf,
                         z = kHalf - (j + 0.5) / mask.height * 2 * kHalf;
            const bool pastTerrain = x > 18.9 || z > 18.9;
            if (!pastTerrain && ViewerAltitude(heights, x, z) < kWater + 0.1) continue;
            const uint8_t* t = mask.At(i, j);
            ASSERT_EQ(t[3], 255) << i << "," << j;
            ASSERT_EQ(t[0] + t[1] + t[2], 0) << i << "," << j;
        }
    }
}

TEST(Water, DeepWaterReadsAsBlueDarkerThanTheSkyWithVisibleCaustics) {
    const Picture heights = LoadPgm("terrain/terrain_128x128.pgm");
    const Picture mask = LoadPng("eau/maskeau.png");
    double bed[3];
    MeanColour(LoadPng("terrain/pierre.png"), bed);
    int deepTexels = 0;
    for (int frame : {0, 13, 31}) {
        const CausticRange caustic = MeasureCaustic(LoadJpeg("eau/caustic/caust" + std::to_string(frame) + ".jpg"));
        for (int j = 0; j < mask.height; ++j) {
            for (int i = 0; i < mask.width; ++i) {
                const double x = kHalf - (i + 0.5) / mask.width * 2 * kHalf;
                const double z = kHalf - (j + 0.5) / mask.height * 2 * kHalf;
                if (x > 18.9 || z > 18.9 || ViewerAltitude(heights, x, z) > kWater - 0.25) continue;
                ++deepTexels;
                const uint8_t* t = mask.At(i, j);
                const double a = t[3] / 255.0;
                double dim[3], bright[3];
                for (int c = 0; c < 3; ++c) {
                    dim[c] = a * (t[c] / 255.0 * caustic.low[c] + bed[c]);
                    bright[c] = a * (t[c] / 255.0 * caustic.high[c] + bed[c]);
                }
                EXPECT_GT(dim[2], dim[0] + 0.03) << "bluish";
                EXPECT_LT(Luminance(bright), Luminance(kSky) * 0.6) << "darker than the sky";
                EXPECT_GT(bright[2] - dim[2], 0.08) << "caustic highlights show";
            }
        }
    }
    EXPECT_GT(deepTexels, 100);
}

}  // namespace
}  // namespace testdata
