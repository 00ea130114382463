#pragma once
// S3TC blocks: 4 × 4 texels in 8 bytes (DXT1) or 16 bytes (DXT2 to DXT5, an alpha block first).
// Texels are ARGB colours, row by row. DXT2 and DXT4 hold colours premultiplied by alpha; they
// are undone on decoding and applied on encoding, so callers always see straight alpha.

#include "platform/d3d9/d3d9_types.h"
#include "platform/device_common/s3tc.h"

namespace utilities {

using device_common::DxtBlockBytes;
using device_common::kTexelsPerBlock;

void DecodeDxtBlock(D3DFORMAT format, const BYTE* block, D3DCOLOR texels[kTexelsPerBlock]);

// A fast encoder: endpoints at the extremes of the colours' principal axis, every texel on the
// nearest of the block's colours. DXT1 texels with alpha below 128 become its transparent colour.
void EncodeDxtBlock(D3DFORMAT format, const D3DCOLOR texels[kTexelsPerBlock], BYTE* block);

}  // namespace utilities
