#pragma once
// The texture formats the device stores and samples, and how their bytes are laid out. Block
// formats are addressed in 4 x 4 blocks: their pitch is the bytes of one row of blocks.

#include <cstddef>

#include "platform/d3d9/d3d9_types.h"

namespace device_common {

struct FormatLayout {
    bool blockCompressed;
    UINT bytesPerUnit;  // bytes per texel, or per 4 x 4 block
};

// True for the formats that textures may have on this device.
bool IsTextureFormat(D3DFORMAT format);

// The layout of a texture format; only meaningful when IsTextureFormat(format).
FormatLayout LayoutOf(D3DFORMAT format);

// Bytes from one row (of texels or blocks) to the next.
UINT RowPitch(D3DFORMAT format, UINT width);

// Rows (of texels or blocks) in a level of this height.
UINT RowCount(D3DFORMAT format, UINT height);

// Bytes of a whole level.
std::size_t LevelBytes(D3DFORMAT format, UINT width, UINT height);

}  // namespace device_common
