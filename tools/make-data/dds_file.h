#pragma once

#include <cstdint>
#include <vector>

#include "grid.h"

namespace makedata {

// A DDS file holding a DXT5 texture with its mip chain: the magic "DDS ", the 124-byte header (size,
// flags, height, width, linear size of the top level, mip count, the 32-byte pixel format with the
// four-character code "DXT5", the texture / mipmap / complex caps), then every level's blocks,
// largest first. `levels` is the chain as MakeAlphaTestedMips gives it, each level half the one above.
std::vector<uint8_t> EncodeDxt5Dds(const std::vector<Image>& levels);

}  // namespace makedata
