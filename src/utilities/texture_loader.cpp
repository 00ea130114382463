// D3DXCreateTextureFromFileInMemoryEx: decode, choose size, format and levels against the device,
// create, fill, and hand the texture over only once everything has worked.

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <utility>

#include "utilities/d3dx_texture.h"
#include "utilities/decoded_image.h"
#include "utilities/image_decoders.h"
#include "utilities/texture_fill.h"
#include "utilities/texture_format_choice.h"
#include "utilities/texture_from_memory.h"
#include "utilities/texture_layout.h"

namespace utilities {

namespace {

constexpr DWORD kForbiddenUsageBits = 0xFFE039ECu;
constexpr DWORD kQueryOnlyUsageMask = 0xFFE07FFFu;

struct Request {
    UINT width, height, mipLevels;
    DWORD usage;
    D3DFORMAT format;
    D3DPOOL pool;
    DWORD filter, mipFilter;
    D3DCOLOR colourKey;
};

bool ValidFilter(DWORD filter) {
    const DWORD kernel = filter & 0xFF;
    return kernel >= D3DX_FILTER_NONE && kernel <= D3DX_FILTER_BOX;
}

// Applies the defaults and checks what can be checked before decoding.
HRESULT Normalise(Request& request) {
    if (request.usage == D3DX_DEFAULT) request.usage = 0;
    if ((request.usage & kForbiddenUsageBits) != 0 || request.pool > D3DPOOL_SCRATCH) return D3DERR_INVALIDCALL;
    if (request.filter == D3DX_DEFAULT) request.filter = D3DX_FILTER_TRIANGLE | D3DX_FILTER_DITHER;
    if (request.mipFilter == D3DX_DEFAULT) request.mipFilter = D3DX_FILTER_BOX;
    if (!ValidFilter(request.filter) || !ValidFilter(request.mipFilter)) return D3DERR_INVALIDCALL;
    return S_OK;
}

bool Chained(const Request& request) {
    const DWORD filter = request.filter & 0xFF, mip = request.mipFilter & 0xFF;
    return filter == D3DX_FILTER_NONE || mip == D3DX_FILTER_POINT || mip == D3DX_FILTER_BOX;
}

// Releases an interface at the end of the scope unless it has been handed on.
template <typename T>
class Owned {
public:
    Owned() = default;
    ~Owned() {
        if (pointer_ != nullptr) pointer_->Release();
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    T** out() { return &pointer_; }
    T* get() const { return pointer_; }
    T* release() { return std::exchange(pointer_, nullptr); }

private:
    T* pointer_ = nullptr;
};

struct Plan {
    D3DFORMAT imageFormat;  // after the palette reinterpretation
    D3DFORMAT textureFormat;
    TextureShape shape;
};

HRESULT PlanTexture(IDirect3DDevice9* device, const DecodedImage& image, const Request& request, bool paletteOutput,
                    const PaletteColour* workingPalette, Plan* plan) {
    const ImageLevel& top = image.Top();
    plan->imageFormat = request.format == D3DFMT_P8 ? top.format : ReinterpretPaletteImage(top.format, image.palette);
    const D3DFORMAT wanted =
        WantedFormat(plan->imageFormat, request.format, request.pool, paletteOutput, workingPalette);
    const UINT width = RequestedSize(request.width, top.width);
    const UINT height = RequestedSize(request.height, top.height);

    if (request.pool == D3DPOOL_SCRATCH) {
        plan->textureFormat = wanted == D3DFMT_UNKNOWN ? D3DFMT_A8R8G8B8 : wanted;
        plan->shape = ScratchShape(width, height, request.mipLevels);
    } else {
        HRESULT hr = ChooseDeviceFormat(device, wanted, request.usage, &plan->textureFormat);
        const bool paletteFormat = wanted == D3DFMT_P8 || wanted == D3DFMT_A8P8;
        if (paletteFormat && (FAILED(hr) || plan->textureFormat != wanted)) {
            // The device cannot keep the indices: take the colours as if no palette were wanted,
            // so that the palette's alpha is not lost on the way.
            const D3DFORMAT colours =
                WantedFormat(plan->imageFormat, request.format, request.pool, false, workingPalette);
            hr = ChooseDeviceFormat(device, colours, request.usage, &plan->textureFormat);
        }
        if (FAILED(hr)) return hr;
        D3DCAPS9 caps{};
        hr = device->GetDeviceCaps(&caps);
        if (FAILED(hr)) return hr;
        plan->shape = FitToDevice(caps, width, height, request.mipLevels, plan->textureFormat);
    }
    return CanConvert(plan->imageFormat, plan->textureFormat) ? S_OK : D3DERR_NOTAVAILABLE;
}

HRESULT CreateAndFill(IDirect3DDevice9* device, const DecodedImage& image, const Request& request, const Plan& plan,
                      IDirect3DTexture9** result) {
    const TextureShape& shape = plan.shape;
    Owned<IDirect3DTexture9> texture;
    HRESULT hr = device->CreateTexture(shape.width, shape.height, shape.levels, request.usage & kQueryOnlyUsageMask,
                                       plan.textureFormat, request.pool, texture.out(), nullptr);
    if (FAILED(hr)) return hr;

    // A default-pool texture cannot be locked: fill a system-memory twin and copy it over.
    const bool staged = request.pool == D3DPOOL_DEFAULT && (request.usage & D3DUSAGE_DYNAMIC) == 0;
    Owned<IDirect3DTexture9> staging;
    if (staged) {
        hr = device->CreateTexture(shape.width, shape.height, shape.levels, 0, plan.textureFormat, D3DPOOL_SYSTEMMEM,
                                   staging.out(), nullptr);
        if (FAILED(hr)) return hr;
    }

    std::vector<ImageLevel> levels = image.faces.front();
    for (ImageLevel& level : levels) level.format = plan.imageFormat;
    const FillSettings settings{plan.textureFormat, request.filter,    request.mipFilter,
                                Chained(request),   request.colourKey, image.palette};
    hr = FillTexture(staged ? staging.get() : texture.get(), levels, settings);
    if (FAILED(hr)) return hr;
    if (staged) {
        hr = device->UpdateTexture(staging.get(), texture.get());
        if (FAILED(hr)) return hr;
    }
    *result = texture.release();
    return S_OK;
}

void CopyPalette(const PaletteColour* palette, PALETTEENTRY* out) {
    for (UINT i = 0; i < kPaletteEntries; ++i) out[i] = {palette[i].r, palette[i].g, palette[i].b, palette[i].a};
}

std::string Hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
    return text;
}

// The words for a failure after decoding: the device, not the file, said no.
std::string DeviceRefusal(HRESULT hr, const DecodedImage& image) {
    const ImageLevel& top = image.Top();
    const std::string size = std::to_string(top.width) + " x " + std::to_string(top.height);
    if (hr == D3DERR_NOTAVAILABLE)
        return "unsupported: no texture format of the device can hold this " + size + " image";
    if (hr == E_OUTOFMEMORY) return "out of memory for a " + size + " texture";
    return "the device refused a texture for this " + size + " image (" + Hex(hr) + ")";
}

}  // namespace

HRESULT CreateTextureFromMemory(IDirect3DDevice9* device, LPCVOID data, UINT length, UINT width, UINT height,
                                UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter,
                                DWORD mipFilter, D3DCOLOR colorKey, D3DXIMAGE_INFO* sourceInfo, PALETTEENTRY* palette,
                                IDirect3DTexture9** texture, std::string* why) {
    if (why != nullptr) why->clear();
    if (device == nullptr || data == nullptr || length == 0 || texture == nullptr) {
        Tell(why, length == 0 ? "empty file" : "invalid call");
        return D3DERR_INVALIDCALL;
    }
    Request request{width, height, mipLevels, usage, format, pool, filter, mipFilter, colorKey};
    HRESULT hr = Normalise(request);
    if (FAILED(hr)) {
        Tell(why, "invalid call");
        return hr;
    }

    DecodedImage image;
    hr = LoadImageFromMemory(&image, data, length, sourceInfo, true, why);
    if (FAILED(hr)) return hr;
    if (image.resourceType == D3DRTYPE_CUBETEXTURE) {
        if (image.faces.size() != 6) {
            Tell(why, "decoder error: a cube map without its six faces");
            return E_FAIL;
        }
        request.filter |= D3DX_FILTER_MIRROR;
        request.mipFilter |= D3DX_FILTER_MIRROR;
    }

    // Images without a palette are given an opaque white one, so that every image has one.
    std::array<PaletteColour, kPaletteEntries> working;
    working.fill({255, 255, 255, 255});
    const PaletteColour* workingPalette = image.palette != nullptr ? image.palette : working.data();

    Plan plan{};
    hr = PlanTexture(device, image, request, palette != nullptr, workingPalette, &plan);
    if (FAILED(hr)) {
        Tell(why, DeviceRefusal(hr, image));
        return hr;
    }
    IDirect3DTexture9* created = nullptr;
    hr = CreateAndFill(device, image, request, plan, &created);
    if (FAILED(hr)) {
        Tell(why, DeviceRefusal(hr, image));
        return hr;
    }
    if (palette != nullptr) CopyPalette(workingPalette, palette);
    *texture = created;
    return S_OK;
}

}  // namespace utilities

HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice9* device, LPCVOID data, UINT length, UINT width,
                                            UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                            DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                                            D3DXIMAGE_INFO* sourceInfo, PALETTEENTRY* palette,
                                            IDirect3DTexture9** texture) {
    return utilities::CreateTextureFromMemory(device, data, length, width, height, mipLevels, usage, format, pool,
                                              filter, mipFilter, colorKey, sourceInfo, palette, texture, nullptr);
}
