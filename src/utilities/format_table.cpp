#include "utilities/format_table.h"

#include <array>

namespace utilities {

namespace {

using enum FormatClass;

constexpr std::array<FormatDescription, 57> kFormats = {{
    {D3DFMT_R8G8B8, Colour, 24, {0, 0, 8, 8, 8}, false},
    {D3DFMT_A8R8G8B8, Colour, 32, {0, 8, 8, 8, 8}, true},
    {D3DFMT_X8R8G8B8, Colour, 32, {0, 0, 8, 8, 8}, true},
    {D3DFMT_R5G6B5, Colour, 16, {0, 0, 5, 6, 5}, true},
    {D3DFMT_X1R5G5B5, Colour, 16, {0, 0, 5, 5, 5}, true},
    {D3DFMT_A8P8, Palette, 16, {0, 8, 8, 8, 8}, false},
    {D3DFMT_P8, Palette, 8, {0, 0, 8, 8, 8}, false},
    {D3DFMT_A1R5G5B5, Colour, 16, {0, 1, 5, 5, 5}, true},
    {D3DFMT_A4R4G4B4, Colour, 16, {0, 4, 4, 4, 4}, true},
    {D3DFMT_R3G3B2, Colour, 8, {0, 0, 3, 3, 2}, true},
    {D3DFMT_A8, Colour, 8, {0, 8, 0, 0, 0}, true},
    {D3DFMT_A8R3G3B2, Colour, 16, {0, 8, 3, 3, 2}, true},
    {D3DFMT_X4R4G4B4, Colour, 16, {0, 0, 4, 4, 4}, true},
    {D3DFMT_A2B10G10R10, Colour, 32, {0, 2, 10, 10, 10}, true},
    {D3DFMT_A8B8G8R8, Colour, 32, {0, 8, 8, 8, 8}, true},
    {D3DFMT_X8B8G8R8, Colour, 32, {0, 0, 8, 8, 8}, true},
    {D3DFMT_G16R16, Colour, 32, {0, 0, 16, 16, 0}, true},
    {D3DFMT_A2R10G10B10, Colour, 32, {0, 2, 10, 10, 10}, true},
    {D3DFMT_A16B16G16R16, Colour, 64, {0, 16, 16, 16, 16}, true},
    {D3DFMT_L8, Luminance, 8, {0, 0, 8, 8, 8}, true},
    {D3DFMT_A8L8, Luminance, 16, {0, 8, 8, 8, 8}, true},
    {D3DFMT_A4L4, Luminance, 8, {0, 4, 4, 4, 4}, true},
    {D3DFMT_L16, Luminance, 16, {0, 0, 16, 16, 16}, true},
    {D3DFMT_V8U8, Signed, 16, {0, 0, 8, 8, 0}, true},
    {D3DFMT_L6V5U5, Signed, 16, {6, 0, 5, 5, 0}, true},
    {D3DFMT_X8L8V8U8, Signed, 32, {8, 0, 8, 8, 0}, true},
    {D3DFMT_Q8W8V8U8, Signed, 32, {0, 8, 8, 8, 8}, true},
    {D3DFMT_V16U16, Signed, 32, {0, 0, 16, 16, 0}, true},
    {D3DFMT_A2W10V10U10, Signed, 32, {0, 2, 10, 10, 10}, true},
    {D3DFMT_Q16W16V16U16, Signed, 64, {0, 16, 16, 16, 16}, true},
    {D3DFMT_CxV8U8, Signed, 16, {0, 0, 8, 8, 0}, false},
    {D3DFMT_UYVY, Colour, 16, {0, 0, 8, 8, 8}, false},
    {D3DFMT_R8G8_B8G8, Colour, 16, {0, 0, 8, 8, 8}, false},
    {D3DFMT_YUY2, Colour, 16, {0, 0, 8, 8, 8}, false},
    {D3DFMT_G8R8_G8B8, Colour, 16, {0, 0, 8, 8, 8}, false},
    {D3DFMT_DXT1, Colour, 16, {0, 1, 5, 6, 5}, false},
    {D3DFMT_DXT2, Colour, 16, {0, 4, 5, 6, 5}, false},
    {D3DFMT_DXT3, Colour, 16, {0, 4, 5, 6, 5}, false},
    {D3DFMT_DXT4, Colour, 16, {0, 8, 5, 6, 5}, false},
    {D3DFMT_DXT5, Colour, 16, {0, 8, 5, 6, 5}, false},
    {D3DFMT_D16_LOCKABLE, Depth, 16, {0, 0, 16, 0, 0}, false},
    {D3DFMT_D32F_LOCKABLE, Depth, 32, {0, 0, 32, 0, 0}, false},
    {D3DFMT_D32, Depth, 32, {0, 0, 32, 0, 0}, true},
    {D3DFMT_D15S1, Depth, 16, {0, 1, 15, 0, 0}, true},
    {D3DFMT_D24S8, Depth, 32, {0, 8, 24, 0, 0}, true},
    {D3DFMT_D16, Depth, 16, {0, 0, 16, 0, 0}, true},
    {D3DFMT_D24X8, Depth, 32, {0, 0, 24, 0, 0}, true},
    {D3DFMT_D24X4S4, Depth, 32, {0, 4, 24, 0, 0}, true},
    {D3DFMT_D24FS8, Depth, 32, {0, 8, 24, 0, 0}, true},
    {D3DFMT_R16F, Colour, 16, {0, 0, 16, 0, 0}, false},
    {D3DFMT_G16R16F, Colour, 32, {0, 0, 16, 16, 0}, false},
    {D3DFMT_A16B16G16R16F, Colour, 64, {0, 16, 16, 16, 16}, false},
    {D3DFMT_R32F, Colour, 32, {0, 0, 32, 0, 0}, false},
    {D3DFMT_G32R32F, Colour, 64, {0, 0, 32, 32, 0}, false},
    {D3DFMT_A32B32G32R32F, Colour, 128, {0, 32, 32, 32, 32}, false},
    {kFormatAL16, Luminance, 32, {0, 16, 16, 16, 16}, false},
    {kFormatR16, Colour, 48, {0, 0, 16, 16, 16}, false},
}};

}  // namespace

std::span<const FormatDescription> FormatTable() { return kFormats; }

const FormatDescription* DescribeFormat(D3DFORMAT format) {
    for (const FormatDescription& row : kFormats)
        if (row.format == format) return &row;
    return nullptr;
}

bool IsDxtFormat(D3DFORMAT format) {
    return format == D3DFMT_DXT1 || format == D3DFMT_DXT2 || format == D3DFMT_DXT3 || format == D3DFMT_DXT4 ||
           format == D3DFMT_DXT5;
}

bool IsPackedPairFormat(D3DFORMAT format) {
    return format == D3DFMT_UYVY || format == D3DFMT_R8G8_B8G8 || format == D3DFMT_YUY2 || format == D3DFMT_G8R8_G8B8;
}

}  // namespace utilities
