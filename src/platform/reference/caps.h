#pragma once
// What the reference device can do, as the capabilities and format queries report it.

#include "platform/d3d9/d3d9_api.h"

namespace reference {

void FillCaps(D3DCAPS9& caps);

// D3D_OK for the formats this device creates and samples as textures.
HRESULT CheckFormat(DWORD usage, D3DRESOURCETYPE resourceType, D3DFORMAT format);

}  // namespace reference
