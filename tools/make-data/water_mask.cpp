#include "water_mask.h"

#include <algorithm>

#include "colour.h"

namespace makedata {

Image MakeWaterMask(const HeightImage& terrain, int size) {
    const Colour deepTint{0.16f, 0.48f, 0.78f};
    constexpr float kDeepAlpha = 0.4f;
    const double lastVertex = (kGridSize / 2 - 1) * kSpacing;
    Image mask(size, size, 4);
    for (int j = 0; j < size; ++j) {
        for (int i = 0; i < size; ++i) {
            const double x = kHalfExtent - (i + 0.5) / size * 2 * kHalfExtent;
            const double z = kHalfExtent - (j + 0.5) / size * 2 * kHalfExtent;
            const bool overTerrain = x <= lastVertex && z <= lastVertex;
            const float depth = overTerrain ? static_cast<float>(kWaterHeight - terrain.SurfaceHeight(x, z)) : 0.0f;
            const Colour tint = deepTint * SmoothStep(0.0f, 0.12f, depth);
            // Capped so that alpha × (tint + 1) stays at most 1: even over a white frame the water darkens.
            const float alpha = std::min(1.0f + (kDeepAlpha - 1.0f) * SmoothStep(0.0f, 0.3f, depth),
                                         1.0f / (1.0f + std::max({tint.r, tint.g, tint.b})));
            uint8_t* texel = mask.At(i, j);
            StoreRgb(texel, tint);
            texel[3] = ToByte(alpha);
        }
    }
    return mask;
}

}  // namespace makedata
