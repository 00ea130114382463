#pragma once

#include <cstdint>

#include "grid.h"

namespace makedata {

// The tree, RGBA, size × size (a power of two): a trunk standing on the middle of the bottom edge and a
// crown of leaf clumps, shaded from the upper left since the viewer draws trees unlit. Alpha is 0 or 255.
Image PaintTree(uint64_t seed, int size);

}  // namespace makedata
