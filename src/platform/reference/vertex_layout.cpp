#include "platform/reference/vertex_layout.h"

namespace reference {

bool DescribeVertices(DWORD fvf, VertexLayout& layout) {
    layout = VertexLayout{};
    if ((fvf & D3DFVF_POSITION_MASK) != D3DFVF_XYZ) return false;
    UINT offset = 12;
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
    DWORD sets = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    if (sets > 8) return false;
    layout.texCoordCount = static_cast<int>(sets);
    for (DWORD i = 0; i < sets; ++i) {
        // Two bits per set from bit 16: 0 two floats, 1 three, 2 four, 3 one.
        static constexpr int kFloats[4] = {2, 3, 4, 1};
        int floats = kFloats[(fvf >> (16 + 2 * i)) & 3];
        layout.texCoord[i] = static_cast<int>(offset);
        layout.texCoordSize[i] = floats;
        offset += 4u * static_cast<UINT>(floats);
    }
    layout.size = offset;
    return true;
}

}  // namespace reference
