#pragma once

#include <cstdint>
#include <vector>

#include "grid.h"

namespace makedata {

// Block compression in the DXT5 layout: each 4 × 4 block is 16 bytes, an alpha block (two 8-bit end
// points and sixteen 3-bit indices) followed by a colour block (two RGB565 end points and sixteen 2-bit
// indices), little-endian, texel 0 in the lowest bits.
//
// The alpha end points are the block's own extremes, so a texel at 0 or 255 comes back exactly: the
// viewer's alpha test then cuts the silhouette where it was painted, at every level.

// One block from 16 RGBA texels, row after row.
void EncodeDxt5Block(const uint8_t texels[16][4], uint8_t out[16]);

// A whole RGBA image, blocks row after row; an image smaller than a block or not a multiple of 4 is
// padded by repeating its last row and column.
std::vector<uint8_t> EncodeDxt5(const Image& rgba);

}  // namespace makedata
