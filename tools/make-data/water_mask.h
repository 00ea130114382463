#pragma once

#include "grid.h"
#include "terrain_layout.h"

namespace makedata {

// The water mask, RGBA, size × size. The viewer stretches it once over the water quad with u growing
// towards -x and v towards -z, and lands water on the frame as alpha × (mask colour × caustic + frame).
// So alpha 1 with black colour leaves the frame untouched: that is what the mask holds on dry ground, at
// the shoreline and over the strip of the quad that reaches past the terrain's last row and column, so the
// water fades in from the shore instead of ending in a hard edge, and never glares against the sky.
// With depth, alpha falls towards one half (the lake bed dims) and the colour rises to a clear blue that
// the caustics modulate.
Image MakeWaterMask(const HeightImage& terrain, int size);

}  // namespace makedata
