#include "terrain_mask.h"

#include <algorithm>
#include <cstdlib>

#include "colour.h"
#include "noise.h"
#include "random.h"

namespace makedata {

double RockShare(const HeightImage& terrain, double x, double z, uint64_t seed) {
    const uint32_t salt = Random(seed).Fork(20).NextU32();
    const double u = x / (2 * kHalfExtent) + 0.5, v = z / (2 * kHalfExtent) + 0.5;
    // Broad noise moves the borders by whole cells, fine noise frays them.
    const float jitter = static_cast<float>(0.7 * Fbm(u, v, 10, 2, 0.5, salt) + 0.3 * Fbm(u, v, 48, 2, 0.5, salt + 1));
    const float slope = static_cast<float>(terrain.Slope(x, z));
    const float height = static_cast<float>(terrain.SurfaceHeight(x, z));
    const float steep = SmoothStep(0.7f, 1.15f, slope + 0.25f * jitter);
    const float high = SmoothStep(3.7f, 4.5f, height + 0.5f * jitter);
    const float depth = static_cast<float>(kWaterHeight) - height;
    const float bed = 0.85f * SmoothStep(-0.04f, 0.12f, depth + 0.05f * jitter);
    return std::max({steep, high, bed});
}

Image MakeTerrainMask(const HeightImage& terrain, uint64_t seed, int size) {
    FloatGrid share(size, size);
    for (int j = 0; j < size; ++j) {
        for (int i = 0; i < size; ++i) {
            const double x = ((i + 0.5) * kGridSize / size - kGridSize / 2) * kSpacing;
            const double z = ((j + 0.5) * kGridSize / size - kGridSize / 2) * kSpacing;
            share.At(i, j) = static_cast<float>(RockShare(terrain, x, z, seed));
        }
    }
    // A 5 × 5 tent blur (about one grid cell) softens every border between rock and grass.
    Image mask(size, size, 4);
    for (int j = 0; j < size; ++j) {
        for (int i = 0; i < size; ++i) {
            float sum = 0;
            for (int dj = -2; dj <= 2; ++dj)
                for (int di = -2; di <= 2; ++di)
                    sum += share.Clamped(i + di, j + dj) * static_cast<float>((3 - std::abs(di)) * (3 - std::abs(dj)));
            uint8_t* texel = mask.At(i, j);
            texel[0] = texel[1] = texel[2] = 255;
            texel[3] = ToByte(sum / 81.0f);
        }
    }
    return mask;
}

}  // namespace makedata
