#pragma once
// How the loader decides a texture's format: first the format the image wants, then the device
// format closest to it by channel widths.

#include <functional>

#include "utilities/decoded_image.h"

namespace utilities {

// A palette image whose palette is exactly the opaque grey ramp reads as L8, one whose palette is
// the opaque 3-3-2 colour cube as R3G3B2 (the index is then the texel); any other format is kept.
D3DFORMAT ReinterpretPaletteImage(D3DFORMAT imageFormat, const PaletteColour* palette);

// The format to ask the device for. requested D3DFMT_UNKNOWN means the image's own (the private
// PNG formats mapped to public ones, R8G8B8 widened to X8R8G8B8 outside the scratch pool). Without
// a palette output, palette formats become A8R8G8B8, or X8R8G8B8 for P8 with an opaque palette.
D3DFORMAT WantedFormat(D3DFORMAT imageFormat, D3DFORMAT requested, D3DPOOL pool, bool paletteOutput,
                       const PaletteColour* workingPalette);

// Walks the format table: the wanted format itself when accepted, otherwise the accepted candidate
// of a compatible class at the smallest channel distance (fewer bits on a tie, then the first).
// D3DFMT_UNKNOWN when none is eligible.
D3DFORMAT ChooseFormat(D3DFORMAT wanted, const std::function<bool(D3DFORMAT)>& accepted);

// The distance that ChooseFormat minimises, for two rows of the table; exposed for tests.
std::uint64_t ChannelDistance(D3DFORMAT wanted, D3DFORMAT candidate, bool* eligible);

// ChooseFormat against what the device accepts for a texture of this usage on its current
// display format, and that the loader can write. D3DERR_NOTAVAILABLE when nothing fits.
HRESULT ChooseDeviceFormat(IDirect3DDevice9* device, D3DFORMAT wanted, DWORD usage, D3DFORMAT* chosen);

}  // namespace utilities
