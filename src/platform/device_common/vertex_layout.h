#pragma once
// Where each element of a flexible-vertex-format vertex lies.

#include "platform/d3d9/d3d9_types.h"

namespace device_common {

struct VertexLayout {
    UINT size = 0;
    int normal = -1;  // byte offsets, -1 when absent
    int diffuse = -1;
    int specular = -1;
    int texCoordCount = 0;
    int texCoord[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
    int texCoordSize[8] = {};  // floats per set
};

// Bytes of one vertex of `fvf`, with an untransformed (XYZ) or a transformed (XYZRHW) position;
// 0 for any other position, blend weights, or more than eight coordinate sets.
UINT VertexSize(DWORD fvf);

// Fills `layout` for `fvf`. False for formats the devices do not draw: anything but an
// untransformed position, blend weights, or more than eight coordinate sets.
bool DescribeVertices(DWORD fvf, VertexLayout& layout);

}  // namespace device_common
