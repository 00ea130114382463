#pragma once

#include <cstdint>
#include <vector>

#include "grid.h"

namespace makedata {

// The animated caustic pattern: `frames` RGB images of size × size (a power of two), each seamless when tiled, and the
// sequence loops (the frame after the last is the first). Made the way caustics form: light through a
// rippled surface is bent by the slope of the ripples and gathers into bright filaments on the bed.
// The ripples are a sum of waves with whole numbers of wavelengths per tile and whole numbers of periods
// per cycle, which gives both the tiling and the loop.
std::vector<Image> MakeCaustics(uint64_t seed, int frames, int size);

}  // namespace makedata
