#pragma once

#include <cstdint>

#include "terrain_layout.h"

namespace makedata {

// The relief of the scene: ridged fractal hills inside a higher rim, a few lakes carved into the lowlands
// (two of them joined by a stream bed), a gentle knoll at the origin where the camera starts, all weathered
// by hydraulic erosion and quantised to the 128 × 128 grey image the viewer reads.
//
// Promised for every seed: grey levels span from the low single digits to 255; the ground below grey 25
// (under the water) forms a few lakes of real size, none touching the border; the vertex at the origin
// stands clear of the water.
HeightImage GenerateTerrain(uint64_t seed);

}  // namespace makedata
