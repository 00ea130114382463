#include "platform/reference/pixel_capture.h"

#include <algorithm>
#include <cstring>

#include "platform/reference/live_channels.h"

namespace reference {
namespace {

std::uint32_t WriteMask(DWORD colourWriteEnable) {
    std::uint32_t mask = 0;
    if (colourWriteEnable & 1) mask |= 0x00FF0000u;
    if (colourWriteEnable & 2) mask |= 0x0000FF00u;
    if (colourWriteEnable & 4) mask |= 0x000000FFu;
    if (colourWriteEnable & 8) mask |= 0xFF000000u;
    return mask;
}

void CaptureStages(const device_common::ApiState& state, PixelState& pixels) {
    pixels.stageCount = 0;
    for (DWORD s = 0; s < device_common::kDrawnStages; ++s) {
        const auto& ts = state.stage[s];
        if (ts[D3DTSS_COLOROP] == D3DTOP_DISABLE) break;  // this stage and all after it are off
        StageState& stage = pixels.stages[s];
        stage.colourOp = static_cast<std::uint8_t>(ts[D3DTSS_COLOROP]);
        stage.alphaOp = static_cast<std::uint8_t>(ts[D3DTSS_ALPHAOP]);
        stage.colourArg1 = static_cast<std::uint8_t>(ts[D3DTSS_COLORARG1]);
        stage.colourArg2 = static_cast<std::uint8_t>(ts[D3DTSS_COLORARG2]);
        stage.alphaArg1 = static_cast<std::uint8_t>(ts[D3DTSS_ALPHAARG1]);
        stage.alphaArg2 = static_cast<std::uint8_t>(ts[D3DTSS_ALPHAARG2]);
        stage.texCoordSet = static_cast<std::uint8_t>(s);
        const auto& ss = state.sampler[s];
        SamplerSetup& sampler = pixels.samplers[s];
        sampler.addressU = static_cast<std::uint8_t>(ss[D3DSAMP_ADDRESSU]);
        sampler.addressV = static_cast<std::uint8_t>(ss[D3DSAMP_ADDRESSV]);
        sampler.magFilter = static_cast<std::uint8_t>(ss[D3DSAMP_MAGFILTER]);
        sampler.minFilter = static_cast<std::uint8_t>(ss[D3DSAMP_MINFILTER]);
        sampler.mipFilter = static_cast<std::uint8_t>(ss[D3DSAMP_MIPFILTER]);
        sampler.firstLevel = static_cast<std::uint8_t>(std::min<DWORD>(ss[D3DSAMP_MAXMIPLEVEL], kMaxLevels - 1));
        float bias;
        std::memcpy(&bias, &ss[D3DSAMP_MIPMAPLODBIAS], sizeof bias);
        sampler.lodBias = bias;
        ++pixels.stageCount;
    }
    MarkLiveChannels(pixels.stages, pixels.stageCount);
}

}  // namespace

PixelState CapturePixelState(const device_common::ApiState& state, bool backBufferAlpha) {
    PixelState pixels;
    std::memset(&pixels, 0, sizeof pixels);
    const auto& rs = state.render;
    pixels.flatShading = rs[D3DRS_SHADEMODE] == D3DSHADE_FLAT;
    pixels.depthTest = rs[D3DRS_ZENABLE] != D3DZB_FALSE;
    pixels.depthWrite = pixels.depthTest && rs[D3DRS_ZWRITEENABLE] != FALSE;
    pixels.depthFunc = static_cast<std::uint8_t>(rs[D3DRS_ZFUNC]);
    pixels.alphaTest = rs[D3DRS_ALPHATESTENABLE] != FALSE;
    pixels.alphaFunc = static_cast<std::uint8_t>(rs[D3DRS_ALPHAFUNC]);
    pixels.alphaRef = rs[D3DRS_ALPHAREF] & 0xFF;
    pixels.blend = rs[D3DRS_ALPHABLENDENABLE] != FALSE;
    pixels.srcBlend = static_cast<std::uint8_t>(rs[D3DRS_SRCBLEND]);
    pixels.destBlend = static_cast<std::uint8_t>(rs[D3DRS_DESTBLEND]);
    pixels.addSpecular = rs[D3DRS_SPECULARENABLE] != FALSE;
    pixels.keepDestAlpha = backBufferAlpha;
    pixels.colourWriteMask = WriteMask(rs[D3DRS_COLORWRITEENABLE]);
    pixels.textureFactor = rs[D3DRS_TEXTUREFACTOR];
    CaptureStages(state, pixels);
    const D3DVIEWPORT9& vp = state.viewport;
    pixels.viewportX0 = static_cast<int>(vp.X);
    pixels.viewportY0 = static_cast<int>(vp.Y);
    pixels.viewportX1 = static_cast<int>(vp.X + vp.Width);
    pixels.viewportY1 = static_cast<int>(vp.Y + vp.Height);
    pixels.minZ = vp.MinZ;
    pixels.maxZ = vp.MaxZ;
    return pixels;
}

}  // namespace reference
