#pragma once
// D3DXCreateTextureFromFileInMemoryEx with a report: the file-name forms use it to say which file
// failed and why.

#include <string>

#include "utilities/d3dx_texture.h"

namespace utilities {

// Does what D3DXCreateTextureFromFileInMemoryEx does. When why is not null it receives, in words
// for the user, what went wrong: the file's fault (as LoadImageFromMemory says it) or the device's.
// It may be set on success too, for a damaged file that still decoded; empty otherwise.
HRESULT CreateTextureFromMemory(IDirect3DDevice9* device, LPCVOID data, UINT length, UINT width, UINT height,
                                UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter,
                                DWORD mipFilter, D3DCOLOR colorKey, D3DXIMAGE_INFO* sourceInfo, PALETTEENTRY* palette,
                                IDirect3DTexture9** texture, std::string* why);

}  // namespace utilities
