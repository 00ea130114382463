#pragma once
// Reading a loaded texture's levels back, for the tests to compare.

#include <vector>

#include "platform/d3d9/d3d9_api.h"

namespace testdevice {

struct LevelContents {
    UINT width = 0;
    UINT height = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    std::vector<BYTE> bytes;  // rows (of texels or blocks) tightly packed
};

// Locks the level read-only and copies it out; an empty record when the lock fails.
LevelContents ReadLevel(IDirect3DTexture9* texture, UINT level);

// The level as ARGB colours, row by row, whatever its format (DXT decoded).
std::vector<D3DCOLOR> ReadLevelArgb(IDirect3DTexture9* texture, UINT level);

}  // namespace testdevice
