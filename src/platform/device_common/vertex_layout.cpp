#include "platform/device_common/vertex_layout.h"

namespace device_common {
namespace {

// The layout after a position of `positionBytes`; false for more than eight coordinate sets.
bool LayOut(DWORD fvf, UINT positionBytes, VertexLayout& layout) {
    layout = VertexLayout{};
    UINT offset = positionBytes;
    if (fvf & D3DFVF_NORMAL) {
        layout.normal = static_cast<int>(offset);
        offset += 12;
    }
    if (fvf & D3DFVF_PSIZE) offset += 4;
    if (fvf & D3DFVF_DIFFUSE) {
        layout.diffuse = static_cast<int>(offset);
        offset += 4;
    }
    if (fvf & D3DFVF_SPECULAR) {
        layout.specular = static_cast<int>(offset);
        offset += 4;
    }
    const DWORD sets = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    if (sets > 8) return false;
    layout.texCoordCount = static_cast<int>(sets);
    for (DWORD i = 0; i < sets; ++i) {
        // Two bits per set from bit 16: 0 two floats, 1 three, 2 four, 3 one.
        static constexpr int kFloats[4] = {2, 3, 4, 1};
        const int floats = kFloats[(fvf >> (16 + 2 * i)) & 3];
        layout.texCoord[i] = static_cast<int>(offset);
        layout.texCoordSize[i] = floats;
        offset += 4u * static_cast<UINT>(floats);
    }
    layout.size = offset;
    return true;
}

}  // namespace

UINT VertexSize(DWORD fvf) {
    VertexLayout layout;
    switch (fvf & D3DFVF_POSITION_MASK) {
        case D3DFVF_XYZ:
            return LayOut(fvf, 12, layout) ? layout.size : 0;
        case D3DFVF_XYZRHW:
            return LayOut(fvf, 16, layout) ? layout.size : 0;
        default:
            return 0;
    }
}

bool DescribeVertices(DWORD fvf, VertexLayout& layout) {
    if ((fvf & D3DFVF_POSITION_MASK) != D3DFVF_XYZ) {
        layout = VertexLayout{};
        return false;
    }
    return LayOut(fvf, 12, layout);
}

}  // namespace device_common
