#pragma once
// What the matrix stack's interface does not show but its growth rule promises: for tests and
// diagnostics only.

#include "utilities/d3dx_matrix_stack.h"

namespace utilities {

// How many matrices the stack's storage holds; 0 for an object that is not our matrix stack.
UINT MatrixStackCapacity(ID3DXMatrixStack* stack);

}  // namespace utilities
