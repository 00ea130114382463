#pragma once
// S3TC blocks as the published layouts define them: 4 x 4 texels in 8 bytes (DXT1) or 16 bytes
// (DXT2 to DXT5, an alpha block first). Decoded texels are A8R8G8B8 words, row by row, with the
// colours as stored: DXT2 and DXT4 stay premultiplied, as a sampler reads them.

#include <cstdint>

#include "platform/d3d9/d3d9_types.h"

namespace device_common {

constexpr UINT kTexelsPerBlock = 16;

// Bytes of one block of a DXT format.
constexpr UINT DxtBlockBytes(D3DFORMAT format) { return format == D3DFMT_DXT1 ? 8 : 16; }

void DecodeDxtBlock(D3DFORMAT format, const std::uint8_t* block, std::uint32_t texels[kTexelsPerBlock]);

}  // namespace device_common
