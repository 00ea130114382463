#pragma once
// What the hardware device can do, as the capabilities and format queries report it.

#include "platform/d3d9/d3d9_api.h"
#include "platform/device_common/api_state.h"
#include "platform/gl/gl_info.h"

namespace gl {

// Texture stages the generated programs carry, as many as the shared front end draws with.
constexpr DWORD kStages = device_common::kDrawnStages;

void FillCaps(D3DCAPS9& caps);

// True for the texture formats this device creates and samples on `info`'s OpenGL: the DXT
// formats only where S3TC is there.
bool IsTextureFormat(const GlInfo& info, D3DFORMAT format);

HRESULT CheckFormat(const GlInfo& info, DWORD usage, D3DRESOURCETYPE resourceType, D3DFORMAT format);

}  // namespace gl
