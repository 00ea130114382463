#pragma once
// Where each element of a flexible-vertex-format vertex lies.

#include "platform/d3d9/d3d9_types.h"

namespace reference {

struct VertexLayout {
    UINT size = 0;
    int normal = -1;  // byte offsets, -1 when absent
    int diffuse = -1;
    int specular = -1;
    int texCoordCount = 0;
    int texCoord[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
    int texCoordSize[8] = {};  // floats per set
};

// Fills `layout` for `fvf`. False for formats the device does not draw: no untransformed
// position, blend weights, or more than eight coordinate sets.
bool DescribeVertices(DWORD fvf, VertexLayout& layout);

}  // namespace reference
