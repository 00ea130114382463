#include "platform/gl/caps.h"

#include "platform/device_common/device_base.h"
#include "platform/device_common/formats.h"

namespace gl {
namespace {

constexpr DWORD kAllCompareFunctions = 0xFF;  // NEVER through ALWAYS
// ZERO through INVDESTCOLOR, and SRCALPHASAT.
constexpr DWORD kBlendFactors = 0x7FF;
constexpr DWORD OpBit(DWORD op) { return 1u << (op - 1); }
// Every operation the generated programs implement.
constexpr DWORD kTextureOps =
    OpBit(D3DTOP_DISABLE) | OpBit(D3DTOP_SELECTARG1) | OpBit(D3DTOP_SELECTARG2) | OpBit(D3DTOP_MODULATE) |
    OpBit(D3DTOP_MODULATE2X) | OpBit(D3DTOP_MODULATE4X) | OpBit(D3DTOP_ADD) | OpBit(D3DTOP_ADDSIGNED) |
    OpBit(D3DTOP_ADDSIGNED2X) | OpBit(D3DTOP_SUBTRACT) | OpBit(D3DTOP_ADDSMOOTH) | OpBit(D3DTOP_BLENDDIFFUSEALPHA) |
    OpBit(D3DTOP_BLENDTEXTUREALPHA) | OpBit(D3DTOP_BLENDFACTORALPHA) | OpBit(D3DTOP_BLENDTEXTUREALPHAPM) |
    OpBit(D3DTOP_BLENDCURRENTALPHA) | OpBit(D3DTOP_DOTPRODUCT3) | OpBit(D3DTOP_MULTIPLYADD) | OpBit(D3DTOP_LERP);
constexpr DWORD kFvfTexCoordCount = 8;
constexpr DWORD kPrimitiveCullNone = 0x10, kPrimitiveCullCW = 0x20, kPrimitiveCullCCW = 0x40;
constexpr DWORD kPrimitiveColourWriteEnable = 0x80, kPrimitiveBlendOp = 0x800;
constexpr DWORD kShadeColourGouraud = 0x8, kShadeSpecularGouraud = 0x200, kShadeAlphaGouraud = 0x4000;
constexpr DWORD kVertexDirectionalLights = 0x8, kVertexLocalViewer = 0x20;

}  // namespace

void FillCaps(D3DCAPS9& caps) {
    caps = D3DCAPS9{};
    caps.DeviceType = D3DDEVTYPE_HAL;
    caps.AdapterOrdinal = 0;
    caps.PresentationIntervals = D3DPRESENT_INTERVAL_IMMEDIATE | D3DPRESENT_INTERVAL_ONE;
    caps.DevCaps = D3DDEVCAPS_EXECUTESYSTEMMEMORY | D3DDEVCAPS_TLVERTEXSYSTEMMEMORY | D3DDEVCAPS_TEXTUREVIDEOMEMORY |
                   D3DDEVCAPS_DRAWPRIMTLVERTEX | D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_HWRASTERIZATION;
    caps.PrimitiveMiscCaps =
        kPrimitiveCullNone | kPrimitiveCullCW | kPrimitiveCullCCW | kPrimitiveColourWriteEnable | kPrimitiveBlendOp;
    caps.ZCmpCaps = kAllCompareFunctions;
    caps.AlphaCmpCaps = kAllCompareFunctions;
    caps.SrcBlendCaps = kBlendFactors;
    caps.DestBlendCaps = kBlendFactors;
    caps.ShadeCaps = kShadeColourGouraud | kShadeSpecularGouraud | kShadeAlphaGouraud;
    // Power-of-two sizes, as on the reference device, so that both load the same textures.
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
    caps.GuardBandLeft = -8192.0f;
    caps.GuardBandTop = -8192.0f;
    caps.GuardBandRight = 8191.0f;
    caps.GuardBandBottom = 8191.0f;
    caps.FVFCaps = kFvfTexCoordCount;
    caps.TextureOpCaps = kTextureOps;
    caps.MaxTextureBlendStages = kStages;
    caps.MaxSimultaneousTextures = kStages;
    caps.VertexProcessingCaps = kVertexDirectionalLights | kVertexLocalViewer;
    caps.MaxActiveLights = 8;
    caps.MaxPrimitiveCount = device_common::kMaxPrimitiveCount;
    caps.MaxVertexIndex = 0xFFFFFF;
    caps.MaxStreams = 1;
    caps.MaxStreamStride = 255;
    caps.MaxPointSize = 1.0f;
}

bool IsTextureFormat(const GlInfo& info, D3DFORMAT format) {
    if (!device_common::IsTextureFormat(format)) return false;
    return info.s3tc || !device_common::LayoutOf(format).blockCompressed;
}

HRESULT CheckFormat(const GlInfo& info, DWORD usage, D3DRESOURCETYPE resourceType, D3DFORMAT format) {
    // The device samples textures; it renders only into its own back buffer.
    if (resourceType != D3DRTYPE_TEXTURE && resourceType != D3DRTYPE_SURFACE) return D3DERR_NOTAVAILABLE;
    constexpr DWORD kAllowed = D3DUSAGE_QUERY_FILTER | D3DUSAGE_DYNAMIC | D3DUSAGE_SOFTWAREPROCESSING;
    if ((usage & ~kAllowed) != 0) return D3DERR_NOTAVAILABLE;
    return IsTextureFormat(info, format) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

}  // namespace gl
