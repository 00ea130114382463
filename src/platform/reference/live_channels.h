#pragma once
// Which results of the texture stages anybody reads. Worked back from the output (colour and
// alpha both needed) through the stages: which of each stage's results a later stage reads, and
// which texture channels each stage reads. The kernels skip what nobody reads: a stage that only
// masks, say, needs only its texture's alpha. Evaluated at compile time too, so that the
// kernels' fixed programs carry exactly the liveness a captured state gets.

#include <cstdint>

#include "platform/d3d9/d3d9_types.h"
#include "platform/reference/pixel_state.h"

namespace reference {

constexpr bool UsesArg1(DWORD op) { return op != D3DTOP_SELECTARG2 && op != D3DTOP_DISABLE; }
constexpr bool UsesArg2(DWORD op) { return op != D3DTOP_SELECTARG1 && op != D3DTOP_DISABLE; }

// Fills colourLive, alphaLive and sampled of the first `count` stages from their operations
// and arguments.
constexpr void MarkLiveChannels(StageState* stages, int count) {
    bool rgbLive = true, alphaLive = true;
    for (int s = count - 1; s >= 0; --s) {
        StageState& stage = stages[s];
        stage.colourLive = rgbLive;
        stage.alphaLive = alphaLive;
        bool currentRgb = false, currentAlpha = false;
        std::uint8_t texture = 0;
        auto read = [&](std::uint8_t arg, bool alpha) {
            alpha = alpha || (arg & D3DTA_ALPHAREPLICATE) != 0;
            if ((arg & D3DTA_SELECTMASK) == D3DTA_TEXTURE) texture |= alpha ? kAlpha : kRgb;
            if ((arg & D3DTA_SELECTMASK) == D3DTA_CURRENT) (alpha ? currentAlpha : currentRgb) = true;
        };
        if (rgbLive) {
            if (UsesArg1(stage.colourOp)) read(stage.colourArg1, false);
            if (UsesArg2(stage.colourOp)) read(stage.colourArg2, false);
        }
        if (alphaLive) {
            if (stage.alphaOp == D3DTOP_DISABLE) currentAlpha = true;  // passes through
            if (UsesArg1(stage.alphaOp)) read(stage.alphaArg1, true);
            if (UsesArg2(stage.alphaOp)) read(stage.alphaArg2, true);
        }
        stage.sampled = texture;
        rgbLive = currentRgb;
        alphaLive = currentAlpha;
    }
}

}  // namespace reference
