#include "utilities/texture_layout.h"

#include <algorithm>
#include <bit>

#include "utilities/d3dx_texture.h"
#include "utilities/format_table.h"

namespace utilities {

namespace {

UINT NextPowerOfTwo(UINT n) {
    if (n <= 1) return 1;
    if (n > 0x80000000u) return 0x80000000u;  // the largest power of two a UINT holds
    return std::bit_ceil(n);
}

bool IsPowerOfTwo(UINT n) { return std::has_single_bit(n); }

UINT RoundUpToBlock(UINT n) { return n > 0xFFFFFFFCu ? 0xFFFFFFFCu : (n + 3) & ~3u; }

UINT LimitLevels(UINT full, UINT requested) {
    if (requested == 0 || requested == D3DX_DEFAULT || requested >= full) return full;
    return requested;
}

}  // namespace

UINT RequestedSize(UINT requested, UINT imageSize) {
    if (requested == D3DX_DEFAULT || requested == 0) return NextPowerOfTwo(imageSize);
    if (requested == D3DX_DEFAULT_NONPOW2) return imageSize;
    return requested;
}

UINT FullChainLevels(UINT width, UINT height) {
    const UINT largest = std::max({width, height, 1u});
    return static_cast<UINT>(std::bit_width(largest));
}

TextureShape FitToDevice(const D3DCAPS9& caps, UINT width, UINT height, UINT requestedLevels, D3DFORMAT format) {
    width = std::max(width, 1u);
    height = std::max(height, 1u);
    if (caps.MaxTextureWidth != 0) width = std::min(width, UINT(caps.MaxTextureWidth));
    if (caps.MaxTextureHeight != 0) height = std::min(height, UINT(caps.MaxTextureHeight));

    const UINT ratio = (caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY) != 0 ? 1 : caps.MaxTextureAspectRatio;
    if (ratio != 0) {
        width = UINT(std::min<std::uint64_t>(width, std::uint64_t{ratio} * height));
        height = UINT(std::min<std::uint64_t>(height, std::uint64_t{ratio} * width));
    }

    const bool dxt = IsDxtFormat(format);
    const bool conditional = (caps.TextureCaps & D3DPTEXTURECAPS_NONPOW2CONDITIONAL) != 0;
    if ((caps.TextureCaps & D3DPTEXTURECAPS_POW2) != 0 && !(conditional && requestedLevels == 1 && !dxt)) {
        width = NextPowerOfTwo(width);
        height = NextPowerOfTwo(height);
    }
    if (dxt) {
        width = RoundUpToBlock(width);
        height = RoundUpToBlock(height);
    }

    UINT levels = LimitLevels(FullChainLevels(width, height), requestedLevels);
    if ((caps.TextureCaps & D3DPTEXTURECAPS_MIPMAP) == 0) levels = 1;
    if (conditional && (!IsPowerOfTwo(width) || !IsPowerOfTwo(height))) levels = 1;
    return {width, height, levels};
}

TextureShape ScratchShape(UINT width, UINT height, UINT requestedLevels) {
    width = std::max(width, 1u);
    height = std::max(height, 1u);
    return {width, height, LimitLevels(FullChainLevels(width, height), requestedLevels)};
}

}  // namespace utilities
