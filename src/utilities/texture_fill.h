#pragma once
// Writing a decoded image into every level of a texture.

#include <vector>

#include "utilities/decoded_image.h"

namespace utilities {

struct FillSettings {
    D3DFORMAT textureFormat;
    DWORD filter;        // resamples file levels to their texture level's size
    DWORD mipFilter;     // makes each lower level from the one above, when chained
    bool chained;        // false: each lower level is resampled from the last file level
    D3DCOLOR colourKey;  // 0: none; otherwise texels of exactly this colour become transparent black
    const PaletteColour* palette;
};

// Levels 0 … min(file levels, texture levels) − 1 come from the file levels of the same index,
// converted and resampled; the rest are made from them. Each level is written through its
// surface, locked and unlocked. Returns the first failure of the device, or D3DERR_NOTAVAILABLE
// for a conversion the loader cannot make.
HRESULT FillTexture(IDirect3DTexture9* texture, const std::vector<ImageLevel>& fileLevels,
                    const FillSettings& settings);

// Whether the loader can turn an image of this format into a texture of that one.
bool CanConvert(D3DFORMAT imageFormat, D3DFORMAT textureFormat);

}  // namespace utilities
