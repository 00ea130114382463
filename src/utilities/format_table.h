#pragma once
// What the loader knows of every texture format: its class, its size and the width of each
// channel. The format choice measures channel distances over this table, in this order.

#include <span>

#include "platform/d3d9/d3d9_types.h"

namespace utilities {

// Formats that exist only between the PNG decoder and the texture loader: 16-bit grey with
// 16-bit alpha, and 16-bit red, green and blue (stored blue first, as libpng delivers them).
constexpr D3DFORMAT kFormatAL16 = MAKEFOURCC('A', 'L', '1', '6');
constexpr D3DFORMAT kFormatR16 = MAKEFOURCC(' ', 'R', '1', '6');

enum class FormatClass : BYTE { Colour = 0, Palette = 1, Luminance = 2, Signed = 3, Depth = 4 };

// Channel slots. Colour formats: extra, alpha, red, green, blue. Luminance formats keep their
// luminance width in the red, green and blue slots. Signed formats put L in extra, Q in alpha and
// U, V, W in red, green, blue. Depth formats put stencil in alpha and depth in red.
enum ChannelSlot { kExtra = 0, kAlpha = 1, kRed = 2, kGreen = 3, kBlue = 4, kChannelSlots = 5 };

struct FormatDescription {
    D3DFORMAT format;
    FormatClass formatClass;
    BYTE bitsPerPixel;
    BYTE channelBits[kChannelSlots];
    bool candidate;  // may be chosen in place of another format
};

// The 57 rows, in the order the format choice walks them.
std::span<const FormatDescription> FormatTable();

// The row of a format, or null for a format the table does not know.
const FormatDescription* DescribeFormat(D3DFORMAT format);

bool IsDxtFormat(D3DFORMAT format);

// Formats stored as two texels in four bytes (UYVY, RGBG, YUY2, GRGB).
bool IsPackedPairFormat(D3DFORMAT format);

}  // namespace utilities
