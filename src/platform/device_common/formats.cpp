#include "platform/device_common/formats.h"

namespace device_common {

bool IsTextureFormat(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_A8R8G8B8:
        case D3DFMT_X8R8G8B8:
        case D3DFMT_L8:
        case D3DFMT_A8L8:
        case D3DFMT_DXT1:
        case D3DFMT_DXT2:
        case D3DFMT_DXT3:
        case D3DFMT_DXT4:
        case D3DFMT_DXT5:
            return true;
        default:
            return false;
    }
}

FormatLayout LayoutOf(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_L8:
            return {false, 1};
        case D3DFMT_A8L8:
            return {false, 2};
        case D3DFMT_DXT1:
            return {true, 8};
        case D3DFMT_DXT2:
        case D3DFMT_DXT3:
        case D3DFMT_DXT4:
        case D3DFMT_DXT5:
            return {true, 16};
        default:
            return {false, 4};
    }
}

UINT RowPitch(D3DFORMAT format, UINT width) {
    FormatLayout layout = LayoutOf(format);
    UINT units = layout.blockCompressed ? (width + 3) / 4 : width;
    return (units == 0 ? 1 : units) * layout.bytesPerUnit;
}

UINT RowCount(D3DFORMAT format, UINT height) {
    UINT rows = LayoutOf(format).blockCompressed ? (height + 3) / 4 : height;
    return rows == 0 ? 1 : rows;
}

std::size_t LevelBytes(D3DFORMAT format, UINT width, UINT height) {
    return static_cast<std::size_t>(RowPitch(format, width)) * RowCount(format, height);
}

}  // namespace device_common
