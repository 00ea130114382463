#include "utilities/pixel_codec.h"

#include <bit>
#include <cstring>

#include "utilities/dxt_codec.h"
#include "utilities/format_table.h"

namespace utilities {

namespace {

// Formats of up to four bytes whose channels are bit fields of one little-endian integer.
struct MaskLayout {
    D3DFORMAT format;
    UINT bytes;
    DWORD alpha, red, green, blue;
    bool luminance;  // red holds the luminance
};

constexpr MaskLayout kMaskLayouts[] = {
    {D3DFMT_R8G8B8, 3, 0, 0xFF0000, 0xFF00, 0xFF, false},
    {D3DFMT_A8R8G8B8, 4, 0xFF000000, 0xFF0000, 0xFF00, 0xFF, false},
    {D3DFMT_X8R8G8B8, 4, 0, 0xFF0000, 0xFF00, 0xFF, false},
    {D3DFMT_R5G6B5, 2, 0, 0xF800, 0x7E0, 0x1F, false},
    {D3DFMT_X1R5G5B5, 2, 0, 0x7C00, 0x3E0, 0x1F, false},
    {D3DFMT_A1R5G5B5, 2, 0x8000, 0x7C00, 0x3E0, 0x1F, false},
    {D3DFMT_A4R4G4B4, 2, 0xF000, 0xF00, 0xF0, 0xF, false},
    {D3DFMT_R3G3B2, 1, 0, 0xE0, 0x1C, 0x3, false},
    {D3DFMT_A8, 1, 0xFF, 0, 0, 0, false},
    {D3DFMT_A8R3G3B2, 2, 0xFF00, 0xE0, 0x1C, 0x3, false},
    {D3DFMT_X4R4G4B4, 2, 0, 0xF00, 0xF0, 0xF, false},
    {D3DFMT_A2B10G10R10, 4, 0xC0000000, 0x3FF, 0xFFC00, 0x3FF00000, false},
    {D3DFMT_A8B8G8R8, 4, 0xFF000000, 0xFF, 0xFF00, 0xFF0000, false},
    {D3DFMT_X8B8G8R8, 4, 0, 0xFF, 0xFF00, 0xFF0000, false},
    {D3DFMT_G16R16, 4, 0, 0xFFFF, 0xFFFF0000, 0, false},
    {D3DFMT_A2R10G10B10, 4, 0xC0000000, 0x3FF00000, 0xFFC00, 0x3FF, false},
    {D3DFMT_L8, 1, 0, 0xFF, 0, 0, true},
    {D3DFMT_A8L8, 2, 0xFF00, 0xFF, 0, 0, true},
    {D3DFMT_A4L4, 1, 0xF0, 0xF, 0, 0, true},
    {D3DFMT_L16, 2, 0, 0xFFFF, 0, 0, true},
    {kFormatAL16, 4, 0xFFFF0000, 0xFFFF, 0, 0, true},
};

const MaskLayout* MaskLayoutOf(D3DFORMAT format) {
    for (const MaskLayout& layout : kMaskLayouts)
        if (layout.format == format) return &layout;
    return nullptr;
}

// One channel's field: where it sits and how to scale it to and from 8 bits.
struct Field {
    DWORD mask;
    int shift;
    DWORD maximum;

    explicit Field(DWORD m)
        : mask(m), shift(m == 0 ? 0 : std::countr_zero(m)), maximum(m == 0 ? 0 : m >> std::countr_zero(m)) {}
    bool present() const { return mask != 0; }
    DWORD To8(DWORD value) const {
        const DWORD v = (value & mask) >> shift;
        return maximum == 255 ? v : DWORD((std::uint64_t(v) * 255 + maximum / 2) / maximum);
    }
    DWORD From8(DWORD c) const { return DWORD((std::uint64_t(c) * maximum + 127) / 255) << shift; }
};

DWORD ReadLittleEndian(const BYTE* p, UINT bytes) {
    DWORD v = 0;
    for (UINT i = 0; i < bytes; ++i) v |= DWORD(p[i]) << (8 * i);
    return v;
}

void WriteLittleEndian(BYTE* p, UINT bytes, DWORD v) {
    for (UINT i = 0; i < bytes; ++i) p[i] = BYTE(v >> (8 * i));
}

DWORD Luminance(D3DCOLOR c) {
    const DWORD r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
    return (r * 19595 + g * 38470 + b * 7471 + 32768) >> 16;
}

void UnpackMasked(const MaskLayout& layout, const PixelRect& source, D3DCOLOR* out) {
    const Field a(layout.alpha), r(layout.red), g(layout.green), b(layout.blue);
    for (UINT y = 0; y < source.height; ++y) {
        const BYTE* row = source.bits + std::size_t(y) * source.rowPitch;
        for (UINT x = 0; x < source.width; ++x) {
            const DWORD v = ReadLittleEndian(row + x * layout.bytes, layout.bytes);
            const DWORD alpha = a.present() ? a.To8(v) : 255;
            const DWORD red = r.present() ? r.To8(v) : 0;
            const DWORD green = layout.luminance ? red : g.present() ? g.To8(v) : 0;
            const DWORD blue = layout.luminance ? red : b.present() ? b.To8(v) : 0;
            *out++ = D3DCOLOR_ARGB(alpha, red, green, blue);
        }
    }
}

void PackMasked(const MaskLayout& layout, const D3DCOLOR* argb, UINT width, UINT height, BYTE* bits, UINT pitch) {
    const Field a(layout.alpha), r(layout.red), g(layout.green), b(layout.blue);
    // Bits that hold no channel (the X of X8R8G8B8) are written as ones.
    const DWORD used = layout.alpha | layout.red | layout.green | layout.blue;
    const DWORD all = layout.bytes == 4 ? 0xFFFFFFFFu : (1u << (8 * layout.bytes)) - 1;
    const DWORD unused = all & ~used;
    for (UINT y = 0; y < height; ++y) {
        BYTE* row = bits + std::size_t(y) * pitch;
        for (UINT x = 0; x < width; ++x) {
            const D3DCOLOR c = *argb++;
            DWORD v = unused;
            if (a.present()) v |= a.From8(c >> 24);
            if (layout.luminance) {
                v |= r.From8(Luminance(c));
            } else {
                if (r.present()) v |= r.From8((c >> 16) & 0xFF);
                if (g.present()) v |= g.From8((c >> 8) & 0xFF);
                if (b.present()) v |= b.From8(c & 0xFF);
            }
            WriteLittleEndian(row + x * layout.bytes, layout.bytes, v);
        }
    }
}

DWORD Sample16To8(const BYTE* p) { return (ReadLittleEndian(p, 2) * 255 + 32767) / 65535; }
void Write8As16(BYTE* p, DWORD c) { WriteLittleEndian(p, 2, c * 257); }

// A16B16G16R16: red, green, blue, alpha, 16 bits each. The private " R16": blue, green, red.
void UnpackWide(const PixelRect& source, D3DCOLOR* out) {
    const bool alpha = source.format == D3DFMT_A16B16G16R16;
    const UINT bytes = alpha ? 8 : 6;
    for (UINT y = 0; y < source.height; ++y) {
        const BYTE* row = source.bits + std::size_t(y) * source.rowPitch;
        for (UINT x = 0; x < source.width; ++x) {
            const BYTE* p = row + x * bytes;
            if (alpha) {
                *out++ = D3DCOLOR_ARGB(Sample16To8(p + 6), Sample16To8(p), Sample16To8(p + 2), Sample16To8(p + 4));
            } else {
                *out++ = D3DCOLOR_ARGB(255, Sample16To8(p + 4), Sample16To8(p + 2), Sample16To8(p));
            }
        }
    }
}

void PackWide(const D3DCOLOR* argb, UINT width, UINT height, D3DFORMAT format, BYTE* bits, UINT pitch) {
    const bool alpha = format == D3DFMT_A16B16G16R16;
    const UINT bytes = alpha ? 8 : 6;
    for (UINT y = 0; y < height; ++y) {
        BYTE* row = bits + std::size_t(y) * pitch;
        for (UINT x = 0; x < width; ++x) {
            const D3DCOLOR c = *argb++;
            BYTE* p = row + x * bytes;
            const DWORD r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
            if (alpha) {
                Write8As16(p, r), Write8As16(p + 2, g), Write8As16(p + 4, b), Write8As16(p + 6, c >> 24);
            } else {
                Write8As16(p, b), Write8As16(p + 2, g), Write8As16(p + 4, r);
            }
        }
    }
}

void UnpackPalette(const PixelRect& source, const PaletteColour* palette, D3DCOLOR* out) {
    const bool withAlpha = source.format == D3DFMT_A8P8;
    const UINT bytes = withAlpha ? 2 : 1;
    for (UINT y = 0; y < source.height; ++y) {
        const BYTE* row = source.bits + std::size_t(y) * source.rowPitch;
        for (UINT x = 0; x < source.width; ++x) {
            const BYTE* p = row + x * bytes;
            const PaletteColour entry = palette != nullptr ? palette[p[0]] : PaletteColour{255, 255, 255, 255};
            *out++ = D3DCOLOR_ARGB(withAlpha ? p[1] : entry.a, entry.r, entry.g, entry.b);
        }
    }
}

void UnpackDxt(const PixelRect& source, D3DCOLOR* out) {
    const UINT blockBytes = DxtBlockBytes(source.format);
    D3DCOLOR texels[kTexelsPerBlock];
    for (UINT by = 0; by < (source.height + 3) / 4; ++by) {
        const BYTE* row = source.bits + std::size_t(by) * source.rowPitch;
        for (UINT bx = 0; bx < (source.width + 3) / 4; ++bx) {
            DecodeDxtBlock(source.format, row + bx * blockBytes, texels);
            for (UINT ty = 0; ty < 4 && by * 4 + ty < source.height; ++ty)
                for (UINT tx = 0; tx < 4 && bx * 4 + tx < source.width; ++tx)
                    out[std::size_t(by * 4 + ty) * source.width + bx * 4 + tx] = texels[ty * 4 + tx];
        }
    }
}

void PackDxt(const D3DCOLOR* argb, UINT width, UINT height, D3DFORMAT format, BYTE* bits, UINT pitch) {
    const UINT blockBytes = DxtBlockBytes(format);
    D3DCOLOR texels[kTexelsPerBlock];
    for (UINT by = 0; by < (height + 3) / 4; ++by) {
        BYTE* row = bits + std::size_t(by) * pitch;
        for (UINT bx = 0; bx < (width + 3) / 4; ++bx) {
            // Blocks that hang over the level's edge repeat its last row and column.
            for (UINT ty = 0; ty < 4; ++ty)
                for (UINT tx = 0; tx < 4; ++tx) {
                    const UINT x = bx * 4 + tx < width ? bx * 4 + tx : width - 1;
                    const UINT y = by * 4 + ty < height ? by * 4 + ty : height - 1;
                    texels[ty * 4 + tx] = argb[std::size_t(y) * width + x];
                }
            EncodeDxtBlock(format, texels, row + bx * blockBytes);
        }
    }
}

}  // namespace

bool CanUnpack(D3DFORMAT format) {
    return MaskLayoutOf(format) != nullptr || format == D3DFMT_A16B16G16R16 || format == kFormatR16 ||
           format == D3DFMT_P8 || format == D3DFMT_A8P8 || IsDxtFormat(format);
}

bool CanPack(D3DFORMAT format) {
    return MaskLayoutOf(format) != nullptr || format == D3DFMT_A16B16G16R16 || format == kFormatR16 ||
           IsDxtFormat(format);
}

UINT BytesPerTexel(D3DFORMAT format) {
    if (const MaskLayout* layout = MaskLayoutOf(format)) return layout->bytes;
    if (format == D3DFMT_A16B16G16R16) return 8;
    if (format == kFormatR16) return 6;
    if (format == D3DFMT_P8) return 1;
    if (format == D3DFMT_A8P8) return 2;
    return 0;
}

void UnpackToArgb(const PixelRect& source, const PaletteColour* palette, D3DCOLOR* out) {
    if (const MaskLayout* layout = MaskLayoutOf(source.format)) {
        UnpackMasked(*layout, source, out);
    } else if (source.format == D3DFMT_A16B16G16R16 || source.format == kFormatR16) {
        UnpackWide(source, out);
    } else if (source.format == D3DFMT_P8 || source.format == D3DFMT_A8P8) {
        UnpackPalette(source, palette, out);
    } else if (IsDxtFormat(source.format)) {
        UnpackDxt(source, out);
    }
}

void PackFromArgb(const D3DCOLOR* argb, UINT width, UINT height, D3DFORMAT format, BYTE* bits, UINT rowPitch) {
    if (const MaskLayout* layout = MaskLayoutOf(format)) {
        PackMasked(*layout, argb, width, height, bits, rowPitch);
    } else if (format == D3DFMT_A16B16G16R16 || format == kFormatR16) {
        PackWide(argb, width, height, format, bits, rowPitch);
    } else if (IsDxtFormat(format)) {
        PackDxt(argb, width, height, format, bits, rowPitch);
    }
}

UINT StoredRows(D3DFORMAT format, UINT height) { return IsDxtFormat(format) ? (height + 3) / 4 : height; }

UINT StoredRowBytes(D3DFORMAT format, UINT width) {
    if (IsDxtFormat(format)) return (width + 3) / 4 * DxtBlockBytes(format);
    return width * BytesPerTexel(format);
}

}  // namespace utilities
