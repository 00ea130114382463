#include "tree_map.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "noise.h"
#include "random.h"
#include "terrain_mask.h"

namespace makedata {
namespace {

constexpr int kBorderMargin = 6;           // pixels; the viewer answers height 0 on the last grid column
constexpr double kClearAroundStart = 3.5;  // world units around the origin, where the camera starts
constexpr int kWoodSpacing = 3;            // one candidate pixel per 3 × 3 cell inside woods
constexpr int kLoneSpacing = 14;           // one candidate per 14 × 14 cell in the open

struct Ground {
    int u, v;
    double woodScore;
};

// The start pose looks along +z at the first lake; trees stay out of that view so it opens onto the water.
bool InStartView(double x, double z) {
    return std::hypot(x, z) < kClearAroundStart || (z > 0 && z < 11 && std::abs(x) < 2.5 + 0.3 * z);
}

bool TreeCanStand(const HeightImage& terrain, double x, double z, uint64_t seed) {
    const double height = terrain.Altitude(x, z);
    return height > kWaterHeight + 0.2 && height < 3.3 && terrain.Slope(x, z) < 0.45 && !InStartView(x, z) &&
           RockShare(terrain, x, z, seed) < 0.25;
}

// The one pixel of its cell that may carry a tree: a jittered grid keeps trees apart without leaving a
// visible lattice.
bool IsCellCandidate(int u, int v, int spacing, uint32_t salt) {
    const uint32_t h = HashCell(u / spacing, v / spacing, salt);
    return u % spacing == static_cast<int>(h % spacing) && v % spacing == static_cast<int>((h >> 8) % spacing);
}

int PaintTrees(Image& map, const std::vector<Ground>& ground, size_t woodPixels, uint32_t salt) {
    std::fill(map.pixels.begin(), map.pixels.end(), 0);
    int bright = 0;
    for (size_t k = 0; k < ground.size(); ++k) {
        const Ground& g = ground[k];
        const bool inWood = k < woodPixels;
        const bool tree = inWood ? IsCellCandidate(g.u, g.v, kWoodSpacing, salt)
                                 : IsCellCandidate(g.u, g.v, kLoneSpacing, salt + 1) &&
                                       UnitFromHash(HashCell(g.u, g.v, salt + 2)) < 0.35;
        if (!tree) continue;
        map.At(g.u, g.v)[0] = 255;
        ++bright;
    }
    return bright;
}

}  // namespace

Image MakeTreeMap(const HeightImage& terrain, uint64_t seed) {
    const uint32_t salt = Random(seed).Fork(50).NextU32();
    std::vector<Ground> ground;
    for (int v = kBorderMargin; v < kTreeMapSize - kBorderMargin; ++v) {
        for (int u = kBorderMargin; u < kTreeMapSize - kBorderMargin; ++u) {
            if (!TreeCanStand(terrain, MapPixelToWorld(u, kTreeMapSize), MapPixelToWorld(v, kTreeMapSize), seed))
                continue;
            ground.push_back(
                {u, v,
                 Fbm(static_cast<double>(u) / kTreeMapSize, static_cast<double>(v) / kTreeMapSize, 4, 3, 0.5, salt)});
        }
    }
    // Woods take the ground where the noise is highest; ties keep map order, so the result is stable.
    std::stable_sort(ground.begin(), ground.end(),
                     [](const Ground& a, const Ground& b) { return a.woodScore > b.woodScore; });
    Image map(kTreeMapSize, kTreeMapSize, 1);
    // Woods start on a fifth of the suitable ground and grow until there are enough trees to draw from.
    for (int step = 0;; ++step) {
        const double share = std::min(1.0, 0.22 + 0.05 * step);
        const int bright = PaintTrees(map, ground, static_cast<size_t>(share * ground.size()), salt + 3);
        if (bright >= kMinimumBrightPixels || share >= 1.0) break;
    }
    return map;
}

}  // namespace makedata
