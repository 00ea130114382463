#pragma once
// How big a loaded texture is and how many mipmap levels it has.

#include "platform/d3d9/d3d9_types.h"

namespace utilities {

struct TextureShape {
    UINT width;
    UINT height;
    UINT levels;
};

// D3DX_DEFAULT or 0: the smallest power of two not below the image's size; D3DX_DEFAULT_NONPOW2:
// the image's size; anything else as given.
UINT RequestedSize(UINT requested, UINT imageSize);

// The full chain for these sizes: floor(log2(largest)) + 1.
UINT FullChainLevels(UINT width, UINT height);

// Fits the size to the device (largest size, aspect ratio, powers of two, whole DXT blocks) and
// picks the level count: one where the device cannot mipmap this texture, otherwise the full
// chain, or fewer when fewer are requested (neither 0 nor D3DX_DEFAULT).
TextureShape FitToDevice(const D3DCAPS9& caps, UINT width, UINT height, UINT requestedLevels, D3DFORMAT format);

// The scratch pool consults no device: sizes as they are, the full chain or fewer.
TextureShape ScratchShape(UINT width, UINT height, UINT requestedLevels);

}  // namespace utilities
