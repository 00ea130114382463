#include "utilities/texture_format_choice.h"

#include <cmath>

#include "utilities/format_table.h"
#include "utilities/pixel_codec.h"

namespace utilities {

namespace {

bool IsGreyRamp(const PaletteColour* palette) {
    for (UINT i = 0; i < kPaletteEntries; ++i) {
        const PaletteColour& e = palette[i];
        if (e.r != i || e.g != i || e.b != i || e.a != 255) return false;
    }
    return true;
}

BYTE CubeLevel(UINT value, UINT steps) { return BYTE(std::lround(255.0 * value / steps)); }

bool IsColourCube332(const PaletteColour* palette) {
    for (UINT k = 0; k < kPaletteEntries; ++k) {
        const PaletteColour& e = palette[k];
        if (e.r != CubeLevel(k >> 5, 7) || e.g != CubeLevel((k >> 2) & 7, 7) || e.b != 85 * (k & 3) || e.a != 255)
            return false;
    }
    return true;
}

bool HasTranslucentEntry(const PaletteColour* palette) {
    if (palette == nullptr) return false;
    for (UINT i = 0; i < kPaletteEntries; ++i)
        if (palette[i].a != 255) return true;
    return false;
}

// Which classes may stand in for a wanted class.
bool Compatible(FormatClass wanted, FormatClass candidate) {
    switch (wanted) {
        case FormatClass::Colour:
            return candidate == FormatClass::Colour;
        case FormatClass::Palette:
            return candidate == FormatClass::Colour || candidate == FormatClass::Palette;
        case FormatClass::Luminance:
            return candidate == FormatClass::Colour || candidate == FormatClass::Luminance;
        case FormatClass::Signed:
            return candidate == FormatClass::Signed;
        case FormatClass::Depth:
            return candidate == FormatClass::Depth;
    }
    return false;
}

std::uint64_t Distance(const FormatDescription& wanted, const FormatDescription& candidate, bool* eligible) {
    std::uint64_t distance = 0;
    int wantedChannels = 0, lostChannels = 0;
    for (int slot = 0; slot < kChannelSlots; ++slot) {
        const std::uint64_t w = wanted.channelBits[slot], c = candidate.channelBits[slot];
        if (w > 0) ++wantedChannels;
        if (c > w) {
            distance += w == 0 ? 256 : c - w;
        } else if (c < w) {
            distance += c == 0 ? (std::uint64_t{1} << 24) : (w - c) << 16;
            if (c == 0) ++lostChannels;
        }
    }
    *eligible = !(wantedChannels > 0 && lostChannels == wantedChannels);
    return distance;
}

}  // namespace

D3DFORMAT ReinterpretPaletteImage(D3DFORMAT imageFormat, const PaletteColour* palette) {
    if (imageFormat != D3DFMT_P8 || palette == nullptr) return imageFormat;
    if (IsGreyRamp(palette)) return D3DFMT_L8;
    if (IsColourCube332(palette)) return D3DFMT_R3G3B2;
    return imageFormat;
}

D3DFORMAT WantedFormat(D3DFORMAT imageFormat, D3DFORMAT requested, D3DPOOL pool, bool paletteOutput,
                       const PaletteColour* workingPalette) {
    D3DFORMAT wanted = requested;
    if (wanted == D3DFMT_UNKNOWN) {
        wanted = imageFormat == kFormatAL16 ? D3DFMT_A8L8 : imageFormat == kFormatR16 ? D3DFMT_R8G8B8 : imageFormat;
        if (wanted == D3DFMT_R8G8B8 && pool != D3DPOOL_SCRATCH) wanted = D3DFMT_X8R8G8B8;
    }
    if (!paletteOutput) {
        if (wanted == D3DFMT_A8P8) wanted = D3DFMT_A8R8G8B8;
        if (wanted == D3DFMT_P8) wanted = HasTranslucentEntry(workingPalette) ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    }
    return wanted;
}

std::uint64_t ChannelDistance(D3DFORMAT wanted, D3DFORMAT candidate, bool* eligible) {
    const FormatDescription* w = DescribeFormat(wanted);
    const FormatDescription* c = DescribeFormat(candidate);
    *eligible = w != nullptr && c != nullptr;
    return *eligible ? Distance(*w, *c, eligible) : 0;
}

D3DFORMAT ChooseFormat(D3DFORMAT wanted, const std::function<bool(D3DFORMAT)>& accepted) {
    const FormatDescription* want = DescribeFormat(wanted);
    const FormatDescription* best = nullptr;
    std::uint64_t bestDistance = 0;
    for (const FormatDescription& row : FormatTable()) {
        if (!accepted(row.format)) continue;
        if (row.format == wanted) return wanted;
        if (want == nullptr || !row.candidate || !Compatible(want->formatClass, row.formatClass)) continue;
        bool eligible = false;
        const std::uint64_t distance = Distance(*want, row, &eligible);
        if (!eligible) continue;
        if (best == nullptr || distance < bestDistance ||
            (distance == bestDistance && row.bitsPerPixel < best->bitsPerPixel)) {
            best = &row;
            bestDistance = distance;
        }
    }
    return best != nullptr ? best->format : D3DFMT_UNKNOWN;
}

HRESULT ChooseDeviceFormat(IDirect3DDevice9* device, D3DFORMAT wanted, DWORD usage, D3DFORMAT* chosen) {
    IDirect3D9* d3d = nullptr;
    HRESULT hr = device->GetDirect3D(&d3d);
    if (FAILED(hr)) return hr;
    D3DCAPS9 caps{};
    D3DDISPLAYMODE mode{};
    hr = device->GetDeviceCaps(&caps);
    if (SUCCEEDED(hr)) hr = device->GetDisplayMode(0, &mode);
    if (SUCCEEDED(hr)) {
        auto accepted = [&](D3DFORMAT format) {
            // A format the loader cannot write is only usable as the image's own, copied as it is.
            if (!CanPack(format) && format != wanted) return false;
            return SUCCEEDED(d3d->CheckDeviceFormat(caps.AdapterOrdinal, caps.DeviceType, mode.Format, usage,
                                                    D3DRTYPE_TEXTURE, format));
        };
        *chosen = ChooseFormat(wanted, accepted);
        if (*chosen == D3DFMT_UNKNOWN) hr = D3DERR_NOTAVAILABLE;
    }
    d3d->Release();
    return hr;
}

}  // namespace utilities
