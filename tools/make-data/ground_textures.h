#pragma once

#include <cstdint>

#include "grid.h"

namespace makedata {

// The two ground textures, RGB, size × size, seamless when repeated (the terrain repeats them every
// world unit). Their colours are what the ground shows under full sun, since the viewer's light on flat
// ground is about 1; relief is baked in softly so it survives mipmapping without fighting the real light.
Image MakeRockTexture(uint64_t seed, int size);
Image MakeGrassTexture(uint64_t seed, int size);

}  // namespace makedata
