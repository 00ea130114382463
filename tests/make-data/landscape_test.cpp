// The landscape the data describes, checked the way the viewer will use it: lakes under the water plane,
// the start pose clear of the water, rock where the ground is steep, trees on gentle dry ground.

#include "landscape.h"

#include <algorithm>
#include <cmath>

#include "generated_data.h"

namespace testdata {
namespace {

constexpr int kWaterGrey = 25;

struct WaterBodies {
    std::vector<int> sizes;  // vertices per 4-connected region below the water
    bool touchesBorder = false;
};

WaterBodies FindWater(const std::vector<uint8_t>& greys) {
    WaterBodies water;
    std::vector<bool> seen(greys.size());
    for (size_t start = 0; start < greys.size(); ++start) {
        if (greys[start] >= kWaterGrey || seen[start]) continue;
        std::vector<size_t> stack{start};
        seen[start] = true;
        int size = 0;
        while (!stack.empty()) {
            const size_t at = stack.back();
            stack.pop_back();
            ++size;
            const int c = static_cast<int>(at % kGrid), r = static_cast<int>(at / kGrid);
            if (c == 0 || r == 0 || c == kGrid - 1 || r == kGrid - 1) water.touchesBorder = true;
            const int next[4][2] = {{c - 1, r}, {c + 1, r}, {c, r - 1}, {c, r + 1}};
            for (const auto& n : next) {
                if (n[0] < 0 || n[1] < 0 || n[0] >= kGrid || n[1] >= kGrid) continue;
                const size_t k = static_cast<size_t>(n[1]) * kGrid + n[0];
                if (greys[k] < kWaterGrey && !seen[k]) seen[k] = true, stack.push_back(k);
            }
        }
        water.sizes.push_back(size);
    }
    return water;
}

// What every generated terrain promises, whatever its seed.
void ExpectTerrainPromises(const std::vector<uint8_t>& greys) {
    ASSERT_EQ(greys.size(), static_cast<size_t>(kGrid * kGrid));
    const WaterBodies water = FindWater(greys);
    EXPECT_GE(water.sizes.size(), 1u);
    EXPECT_LE(water.sizes.size(), 6u) << "a few lakes, not scattered puddles";
    EXPECT_GE(*std::max_element(water.sizes.begin(), water.sizes.end()), 100);
    EXPECT_GE(*std::min_element(water.sizes.begin(), water.sizes.end()), 12);
    EXPECT_FALSE(water.touchesBorder);
    // The camera starts one unit above vertex (64, 64): dry ground, with a margin.
    EXPECT_GE(greys[64 * kGrid + 64], kWaterGrey + 10);
    const auto [low, high] = std::minmax_element(greys.begin(), greys.end());
    EXPECT_LE(*low, 10);
    EXPECT_GE(*high, 230);
    // Relief, not noise: neighbours differ by little compared with the spread of heights.
    double neighbourStep = 0, mean = 0, spread = 0;
    for (int r = 0; r < kGrid; ++r)
        for (int c = 0; c + 1 < kGrid; ++c) neighbourStep += std::abs(greys[r * kGrid + c + 1] - greys[r * kGrid + c]);
    neighbourStep /= kGrid * (kGrid - 1);
    for (uint8_t g : greys) mean += g;
    mean /= greys.size();
    for (uint8_t g : greys) spread += (g - mean) * (g - mean);
    spread = std::sqrt(spread / greys.size());
    EXPECT_GT(spread, 30);
    EXPECT_LT(neighbourStep, spread / 4);
}

TEST(Landscape, ShippedTerrainKeepsItsPromises) {
    ExpectTerrainPromises(LoadPgm("terrain/terrain_128x128.pgm").pixels);
}

TEST(Landscape, OtherSeedsKeepThePromisesToo) {
    for (uint64_t seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        ExpectTerrainPromises(makedata::GenerateTerrain(seed).Greys());
    }
}

double VertexSlope(const Picture& heights, int c, int r) {
    const double dx = (heights.At(c + 1, r)[0] - heights.At(c - 1, r)[0]) * kScale / (2 * kSpacing);
    const double dz = (heights.At(c, r + 1)[0] - heights.At(c, r - 1)[0]) * kScale / (2 * kSpacing);
    return std::hypot(dx, dz);
}

// The mask texel that the viewer samples at vertex (c, r): u = c / 128, v = r / 128, i.e. the corner where
// four texels meet; their mean.
double MaskAlphaAtVertex(const Picture& mask, int c, int r) {
    const int x = c * mask.width / kGrid, y = r * mask.height / kGrid;
    return (mask.At(x - 1, y - 1)[3] + mask.At(x, y - 1)[3] + mask.At(x - 1, y)[3] + mask.At(x, y)[3]) / 4.0;
}

TEST(Landscape, RockOnSteepGroundGrassOnGentleGround) {
    const Picture heights = LoadPgm("terrain/terrain_128x128.pgm");
    const Picture mask = LoadPng("terrain/mask.png");
    ASSERT_EQ(mask.channels, 4);
    double steepSum = 0, gentleSum = 0;
    int steep = 0, gentle = 0;
    for (int r = 1; r + 1 < kGrid; ++r) {
        for (int c = 1; c + 1 < kGrid; ++c) {
            const double slope = VertexSlope(heights, c, r), height = heights.At(c, r)[0] * kScale;
            if (slope > 1.0) steepSum += MaskAlphaAtVertex(mask, c, r), ++steep;
            if (slope < 0.2 && height > 1.0 && height < 3.0) gentleSum += MaskAlphaAtVertex(mask, c, r), ++gentle;
        }
    }
    ASSERT_GT(steep, 100);
    ASSERT_GT(gentle, 1000);
    EXPECT_GT(steepSum / steep, 200);
    EXPECT_LT(gentleSum / gentle, 40);
}

TEST(Landscape, MaskTransitionsAreSoft) {
    const Picture mask = LoadPng("terrain/mask.png");
    int between = 0, largestStep = 0;
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            const int a = mask.At(x, y)[3];
            between += a > 32 && a < 223;
            if (x + 1 < mask.width) largestStep = std::max(largestStep, std::abs(a - mask.At(x + 1, y)[3]));
            if (y + 1 < mask.height) largestStep = std::max(largestStep, std::abs(a - mask.At(x, y + 1)[3]));
        }
    }
    EXPECT_GT(between, mask.width * mask.height / 50);
    EXPECT_LT(largestStep, 128);
}

TEST(Landscape, TreeMapMarksEnoughDryGentlePixelsInClusters) {
    const Picture heights = LoadPgm("terrain/terrain_128x128.pgm");
    const Picture trees = LoadPgm("arbre/terrain_256x256 arbres.pgm");
    std::vector<std::pair<int, int>> bright;
    for (int v = 0; v < trees.height; ++v) {
        for (int u = 0; u < trees.width; ++u) {
            const int value = trees.At(u, v)[0];
            EXPECT_TRUE(value <= 50 || value >= 100) << "ambiguous tree-map value " << value;
            if (value > 50) bright.emplace_back(u, v);
        }
    }
    ASSERT_GE(bright.size(), 300u);
    int withNeighbour = 0;
    for (const auto& [u, v] : bright) {
        // Where the viewer stands the tree: x = (u - 128) × 0.15, likewise z.
        const double x = (u - 128) * 0.15, z = (v - 128) * 0.15;
        EXPECT_GT(ViewerAltitude(heights, x, z), kWater + 0.1) << u << "," << v;
        EXPECT_GT(std::hypot(x, z), 3.0) << "a tree in the start pose's face at " << u << "," << v;
        const int c = std::clamp(static_cast<int>(std::lround(u / 2.0)), 1, kGrid - 2);
        const int r = std::clamp(static_cast<int>(std::lround(v / 2.0)), 1, kGrid - 2);
        EXPECT_LT(VertexSlope(heights, c, r), 0.6) << u << "," << v;
        // A copy for the lambda: Clang 14 cannot capture a structured binding.
        const std::pair pixel{u, v};
        withNeighbour += std::any_of(bright.begin(), bright.end(), [&](const auto& other) {
            return other != pixel && std::hypot(other.first - pixel.first, other.second - pixel.second) <= 4;
        });
    }
    // Spread uniformly, about a quarter of these pixels would have a neighbour this close.
    EXPECT_GT(withNeighbour, static_cast<int>(bright.size()) * 7 / 10);
}

}  // namespace
}  // namespace testdata
