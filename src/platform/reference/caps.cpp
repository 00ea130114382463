#include "platform/reference/caps.h"

#include "platform/device_common/device_base.h"
#include "platform/device_common/formats.h"

namespace reference {
namespace {

constexpr DWORD kAllCompareFunctions = 0xFF;  // NEVER through ALWAYS
// ZERO, ONE, SRCCOLOR, INVSRCCOLOR, SRCALPHA, INVSRCALPHA, DESTALPHA, INVDESTALPHA, DESTCOLOR,
// INVDESTCOLOR: the first ten blend factor bits.
constexpr DWORD kBlendFactors = 0x3FF;
// DISABLE, SELECTARG1, SELECTARG2, MODULATE, MODULATE2X, MODULATE4X, ADD and SUBTRACT.
constexpr DWORD kTextureOps = 0x1 | 0x2 | 0x4 | 0x8 | 0x10 | 0x20 | 0x40 | 0x200;
constexpr DWORD kFvfTexCoordCount = 2;
constexpr DWORD kPrimitiveCullNone = 0x10, kPrimitiveCullCW = 0x20, kPrimitiveCullCCW = 0x40;
constexpr DWORD kPrimitiveColourWriteEnable = 0x80;
constexpr DWORD kShadeColourGouraud = 0x8, kShadeSpecularGouraud = 0x200, kShadeAlphaGouraud = 0x4000;
constexpr DWORD kVertexDirectionalLights = 0x8, kVertexLocalViewer = 0x20;

}  // namespace

void FillCaps(D3DCAPS9& caps) {
    caps = D3DCAPS9{};
    caps.DeviceType = D3DDEVTYPE_REF;
    caps.AdapterOrdinal = 0;
    caps.PresentationIntervals = D3DPRESENT_INTERVAL_IMMEDIATE | D3DPRESENT_INTERVAL_ONE;
    // Software vertex processing: no hardware transform and lighting bit.
    caps.DevCaps = D3DDEVCAPS_EXECUTESYSTEMMEMORY | D3DDEVCAPS_TLVERTEXSYSTEMMEMORY | D3DDEVCAPS_TEXTUREVIDEOMEMORY |
                   D3DDEVCAPS_DRAWPRIMTLVERTEX;
    caps.PrimitiveMiscCaps = kPrimitiveCullNone | kPrimitiveCullCW | kPrimitiveCullCCW | kPrimitiveColourWriteEnable;
    caps.ZCmpCaps = kAllCompareFunctions;
    caps.AlphaCmpCaps = kAllCompareFunctions;
    caps.SrcBlendCaps = kBlendFactors;
    caps.DestBlendCaps = kBlendFactors;
    caps.ShadeCaps = kShadeColourGouraud | kShadeSpecularGouraud | kShadeAlphaGouraud;
    caps.TextureCaps =
        D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_MIPMAP;
    caps.TextureFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MIPFPOINT |
                             D3DPTFILTERCAPS_MIPFLINEAR | D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR;
    caps.TextureAddressCaps = D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_MIRROR | D3DPTADDRESSCAPS_CLAMP;
    caps.MaxTextureWidth = device_common::kMaxTextureSize;
    caps.MaxTextureHeight = device_common::kMaxTextureSize;
    caps.MaxTextureRepeat = 8192;
    caps.MaxTextureAspectRatio = device_common::kMaxTextureSize;
    caps.MaxAnisotropy = 1;
    caps.MaxVertexW = 1.0e10f;
    // The guard band: triangles reaching this far beyond the viewport are rasterised unclipped.
    caps.GuardBandLeft = -8192.0f;
    caps.GuardBandTop = -8192.0f;
    caps.GuardBandRight = 8191.0f;
    caps.GuardBandBottom = 8191.0f;
    caps.FVFCaps = kFvfTexCoordCount;
    caps.TextureOpCaps = kTextureOps;
    caps.MaxTextureBlendStages = 2;
    caps.MaxSimultaneousTextures = 2;
    caps.VertexProcessingCaps = kVertexDirectionalLights | kVertexLocalViewer;
    caps.MaxActiveLights = 8;
    caps.MaxPrimitiveCount = device_common::kMaxPrimitiveCount;
    caps.MaxVertexIndex = 0xFFFFFF;
    caps.MaxStreams = 1;
    caps.MaxStreamStride = 255;
    caps.MaxPointSize = 1.0f;
}

HRESULT CheckFormat(DWORD usage, D3DRESOURCETYPE resourceType, D3DFORMAT format) {
    // Textures are all this device samples; it renders only into its own back buffer.
    if (resourceType != D3DRTYPE_TEXTURE && resourceType != D3DRTYPE_SURFACE) return D3DERR_NOTAVAILABLE;
    constexpr DWORD kQueryBits = D3DUSAGE_QUERY_FILTER;
    if ((usage & ~(kQueryBits | D3DUSAGE_DYNAMIC | D3DUSAGE_SOFTWAREPROCESSING)) != 0) return D3DERR_NOTAVAILABLE;
    return device_common::IsTextureFormat(format) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

}  // namespace reference
