#pragma once

#include <cstdint>

#include "grid.h"
#include "terrain_layout.h"

namespace makedata {

// The tree map, grey, 256 × 256 over the terrain square (pixel (u, v) at x = (u - 128) × 0.15,
// z = (v - 128) × 0.15, as the viewer places trees). The viewer puts up to 100 trees on pixels above 50,
// drawn at random among them, so the bright pixels decide where woods grow: 255 where a tree may stand,
// 0 elsewhere, nothing in between.
//
// Trees may stand only on gentle, grassy ground well above the water and below the rocky tops, away
// from the border, around the start pose and out of its view onto the first lake (a trunk in front of
// the camera would hide the scene). There,
// broad noise picks woods with clearings between them, bright pixels spread a few pixels apart inside
// the woods (so their trees do not all stand in one clump), with a few lone trees in the open.
// At least kMinimumBrightPixels bright pixels are guaranteed whenever the terrain has room for them.
Image MakeTreeMap(const HeightImage& terrain, uint64_t seed);

inline constexpr int kMinimumBrightPixels = 400;

}  // namespace makedata
