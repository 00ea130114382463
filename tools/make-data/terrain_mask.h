#pragma once

#include <cstdint>

#include "grid.h"
#include "terrain_layout.h"

namespace makedata {

// The rock/grass mask, RGBA, size × size, stretched once over the terrain grid: texel (i, j) covers grid
// position ((i + 0.5) × 128 / size, (j + 0.5) × 128 / size), the viewer's u = c / 128, v = r / 128.
// Alpha is the share of rock: high on steep slopes, on the high tops and on lake beds (gravel reads
// better than grass under water), low on gentle ground, with soft, noise-broken borders. The colour
// channels carry no meaning for the viewer and are white.
Image MakeTerrainMask(const HeightImage& terrain, uint64_t seed, int size);

// The share of rock at one world point, in [0, 1]; the mask is this function sampled at texel centres.
double RockShare(const HeightImage& terrain, double x, double z, uint64_t seed);

}  // namespace makedata
