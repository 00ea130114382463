#pragma once
// Turns a level of any texture format into the one texel layout the samplers read: 32-bit
// A8R8G8B8 words (bytes B, G, R, A in memory).

#include <cstdint>

#include "platform/d3d9/d3d9_types.h"

namespace reference {

// Decodes width x height texels from `bytes` (rows `pitch` bytes apart, in the format's own
// rows: texel rows, or rows of 4 x 4 blocks) into `out`, width words per row.
void DecodeLevel(D3DFORMAT format, const std::uint8_t* bytes, UINT pitch, UINT width, UINT height, std::uint32_t* out);

}  // namespace reference
