#pragma once
// Conversion between the texture formats and 8-bit ARGB (D3DCOLOR: bytes B, G, R, A in memory),
// the common ground of every conversion the loader makes. Luminance becomes grey on the way in
// and is weighed from red, green and blue (0.299, 0.587, 0.114) on the way out. Channels a format
// lacks read as opaque alpha and zero colour.

#include "utilities/decoded_image.h"

namespace utilities {

// A block of texels in some format: texels (or 4 × 4 blocks) row by row, rowPitch bytes apart.
struct PixelRect {
    D3DFORMAT format;
    const BYTE* bits;
    UINT rowPitch;
    UINT width;
    UINT height;
};

bool CanUnpack(D3DFORMAT format);
bool CanPack(D3DFORMAT format);

// Bytes of one texel, 0 for block formats and formats without a fixed size here.
UINT BytesPerTexel(D3DFORMAT format);

// Writes width × height colours, row by row, to out. palette serves P8 and A8P8.
void UnpackToArgb(const PixelRect& source, const PaletteColour* palette, D3DCOLOR* out);

// Writes width × height colours into bits in the given format (not P8 or A8P8).
void PackFromArgb(const D3DCOLOR* argb, UINT width, UINT height, D3DFORMAT format, BYTE* bits, UINT rowPitch);

// The number of rows of texels, or of 4 × 4 blocks, that a level of this height has.
UINT StoredRows(D3DFORMAT format, UINT height);

// Bytes that a row of this width takes, tightly packed.
UINT StoredRowBytes(D3DFORMAT format, UINT width);

}  // namespace utilities
