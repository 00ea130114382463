// DDS files are read in place: the levels point into the caller's bytes. Every size comes from
// the header, so each one is checked against the bytes present before it is trusted.

#include <array>
#include <cstring>

#include "utilities/format_table.h"
#include "utilities/image_decoders.h"

namespace utilities {

namespace {

constexpr UINT kHeaderBytes = 128;
constexpr UINT kPaletteBytes = 1024;

// Header flags and pixel-format flags.
constexpr DWORD kDepthFlag = 0x00800000;
constexpr DWORD kCubeFaceBits = 0xFC00;
constexpr DWORD kPfAlphaPixels = 0x1;
constexpr DWORD kPfAlpha = 0x2;
constexpr DWORD kPfFourCC = 0x4;
constexpr DWORD kPfPalette8 = 0x20;
constexpr DWORD kPfRgb = 0x40;
constexpr DWORD kPfZBuffer = 0x400;
constexpr DWORD kPfLuminance = 0x20000;
constexpr DWORD kPfBumpLuminance = 0x40000;
constexpr DWORD kPfBumpDuDv = 0x80000;

struct DdsPixelFormat {
    D3DFORMAT format;
    DWORD flags;
    DWORD fourCC;
    DWORD bitCount;
    DWORD red, green, blue, alpha;
};

constexpr DdsPixelFormat Masks(D3DFORMAT f, DWORD flags, DWORD bits, DWORD r, DWORD g, DWORD b, DWORD a) {
    return {f, flags, 0, bits, r, g, b, a};
}
constexpr DdsPixelFormat Code(D3DFORMAT f, DWORD fourCC) { return {f, kPfFourCC, fourCC, 0, 0, 0, 0, 0}; }
constexpr DdsPixelFormat Code(D3DFORMAT f) { return Code(f, f); }

constexpr DWORD kRgbA = kPfRgb | kPfAlphaPixels;
constexpr DWORD kLumA = kPfLuminance | kPfAlphaPixels;

constexpr std::array<DdsPixelFormat, 48> kDdsFormats = {{
    Masks(D3DFMT_R8G8B8, kPfRgb, 24, 0xFF0000, 0xFF00, 0xFF, 0),
    Masks(D3DFMT_A8R8G8B8, kRgbA, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000),
    Masks(D3DFMT_X8R8G8B8, kPfRgb, 32, 0xFF0000, 0xFF00, 0xFF, 0),
    Masks(D3DFMT_R5G6B5, kPfRgb, 16, 0xF800, 0x7E0, 0x1F, 0),
    Masks(D3DFMT_X1R5G5B5, kPfRgb, 16, 0x7C00, 0x3E0, 0x1F, 0),
    Masks(D3DFMT_A1R5G5B5, kRgbA, 16, 0x7C00, 0x3E0, 0x1F, 0x8000),
    Masks(D3DFMT_A4R4G4B4, kRgbA, 16, 0xF00, 0xF0, 0xF, 0xF000),
    Masks(D3DFMT_R3G3B2, kPfRgb, 8, 0xE0, 0x1C, 0x3, 0),
    Masks(D3DFMT_A8, kPfAlpha, 8, 0, 0, 0, 0xFF),
    Masks(D3DFMT_A8R3G3B2, kRgbA, 16, 0xE0, 0x1C, 0x3, 0xFF00),
    Masks(D3DFMT_X4R4G4B4, kPfRgb, 16, 0xF00, 0xF0, 0xF, 0),
    Masks(D3DFMT_A2B10G10R10, kRgbA, 32, 0x3FF, 0xFFC00, 0x3FF00000, 0xC0000000),
    Masks(D3DFMT_A8B8G8R8, kRgbA, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000),
    Masks(D3DFMT_X8B8G8R8, kPfRgb, 32, 0xFF, 0xFF00, 0xFF0000, 0),
    Masks(D3DFMT_G16R16, kPfRgb, 32, 0xFFFF, 0xFFFF0000, 0, 0),
    Masks(D3DFMT_A2R10G10B10, kRgbA, 32, 0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000),
    Masks(D3DFMT_A8P8, kPfPalette8 | kPfAlphaPixels, 16, 0, 0, 0, 0xFF00),
    Masks(D3DFMT_P8, kPfPalette8, 8, 0, 0, 0, 0),
    Masks(D3DFMT_L8, kPfLuminance, 8, 0xFF, 0, 0, 0),
    Masks(D3DFMT_A8L8, kLumA, 16, 0xFF, 0, 0, 0xFF00),
    Masks(D3DFMT_A4L4, kLumA, 8, 0xF, 0, 0, 0xF0),
    Masks(D3DFMT_L16, kPfLuminance, 16, 0xFFFF, 0, 0, 0),
    Masks(D3DFMT_V8U8, kPfBumpDuDv, 16, 0xFF, 0xFF00, 0, 0),
    Masks(D3DFMT_L6V5U5, kPfBumpLuminance, 16, 0x1F, 0x3E0, 0xFC00, 0),
    Masks(D3DFMT_X8L8V8U8, kPfBumpLuminance, 32, 0xFF, 0xFF00, 0xFF0000, 0),
    Masks(D3DFMT_Q8W8V8U8, kPfBumpDuDv | kPfAlphaPixels, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000),
    Masks(D3DFMT_V16U16, kPfBumpDuDv, 32, 0xFFFF, 0xFFFF0000, 0, 0),
    Masks(D3DFMT_A2W10V10U10, kPfBumpDuDv | kPfAlphaPixels, 32, 0x3FF, 0xFFC00, 0x3FF00000, 0xC0000000),
    Code(D3DFMT_UYVY),
    Code(D3DFMT_R8G8_B8G8),
    Code(D3DFMT_YUY2),
    Code(D3DFMT_G8R8_G8B8),
    Code(D3DFMT_DXT1),
    Code(D3DFMT_DXT2),
    Code(D3DFMT_DXT3),
    Code(D3DFMT_DXT4),
    Code(D3DFMT_DXT5),
    Masks(D3DFMT_D16_LOCKABLE, kPfZBuffer, 16, 0xFFFF, 0, 0, 0),
    Code(D3DFMT_D32F_LOCKABLE),
    Code(D3DFMT_A16B16G16R16),
    Code(D3DFMT_Q16W16V16U16),
    Code(D3DFMT_R16F),
    Code(D3DFMT_G16R16F),
    Code(D3DFMT_A16B16G16R16F),
    Code(D3DFMT_R32F),
    Code(D3DFMT_G32R32F),
    Code(D3DFMT_A32B32G32R32F),
    Code(D3DFMT_CxV8U8),
}};

DWORD ReadDword(const BYTE* data, UINT offset) {
    DWORD value;
    std::memcpy(&value, data + offset, sizeof value);
    return value;  // the file is little-endian, as this machine is
}

bool MasksMatch(const DdsPixelFormat& row, const DdsPixelFormat& file) {
    constexpr DWORD kColourMasks = kPfRgb | kPfLuminance | kPfBumpDuDv | kPfBumpLuminance | kPfZBuffer;
    if ((row.flags & kColourMasks) != 0 && (row.red != file.red || row.green != file.green || row.blue != file.blue))
        return false;
    if ((row.flags & (kPfAlphaPixels | kPfAlpha)) != 0 && row.alpha != file.alpha) return false;
    return true;
}

D3DFORMAT MatchPixelFormat(const DdsPixelFormat& file) {
    for (const DdsPixelFormat& row : kDdsFormats) {
        if ((file.flags & kPfFourCC) != 0) {
            if ((row.flags & kPfFourCC) != 0 && row.fourCC == file.fourCC) return row.format;
        } else if (row.flags == file.flags && row.bitCount == file.bitCount && MasksMatch(row, file)) {
            return row.format;
        }
    }
    return D3DFMT_UNKNOWN;
}

// Bytes of one row (of texels, or of 4 × 4 blocks) and the number of such rows.
struct LevelShape {
    std::uint64_t rowPitch;
    std::uint64_t rows;
};

LevelShape ShapeOf(D3DFORMAT format, UINT width, UINT height) {
    const std::uint64_t w = width, h = height;
    if (format == D3DFMT_DXT1) return {(w + 3) / 4 * 8, (h + 3) / 4};
    if (IsDxtFormat(format)) return {(w + 3) / 4 * 16, (h + 3) / 4};
    if (IsPackedPairFormat(format)) return {(w + 1) / 2 * 4, h};
    return {w * (DescribeFormat(format)->bitsPerPixel / 8), h};
}

struct DdsHeader {
    UINT width, height, depth, levels, faces;
    D3DRESOURCETYPE resourceType;
    D3DFORMAT format;
};

std::string FourCharacterCode(DWORD code) {
    std::string text;
    for (int shift = 0; shift < 32; shift += 8) {
        const char c = static_cast<char>(code >> shift);
        text += c >= ' ' && c <= '~' ? c : '?';
    }
    return text;
}

// Reads and checks the header; false for anything that is not a DDS this decoder reads.
bool ReadHeader(const BYTE* data, UINT length, DdsHeader* header, std::string* why) {
    if (length < 4 || std::memcmp(data, "DDS ", 4) != 0) return false;
    if (length < kHeaderBytes) {
        Tell(why, "truncated: a DDS header takes 128 bytes, the file has " + std::to_string(length));
        return false;
    }
    const DWORD flags = ReadDword(data, 8);
    header->height = ReadDword(data, 12);
    header->width = ReadDword(data, 16);
    const bool volume = (flags & kDepthFlag) != 0;
    header->depth = volume ? ReadDword(data, 24) : 1;
    if (header->depth == 0) header->depth = 1;
    header->levels = ReadDword(data, 28);
    if (header->levels == 0) header->levels = 1;
    if (header->width == 0 || header->height == 0) {
        Tell(why, "unsupported size " + SizeText(header->width, header->height) + ": a DDS needs at least 1 x 1");
        return false;
    }

    if (ReadDword(data, 76) != 32) {
        Tell(why, "decoder error: DDS pixel format block of " + std::to_string(ReadDword(data, 76)) + " bytes, not 32");
        return false;
    }
    const DdsPixelFormat file{D3DFMT_UNKNOWN,      ReadDword(data, 80), ReadDword(data, 84),  ReadDword(data, 88),
                              ReadDword(data, 92), ReadDword(data, 96), ReadDword(data, 100), ReadDword(data, 104)};
    header->format = MatchPixelFormat(file);
    if (header->format == D3DFMT_UNKNOWN) {
        Tell(why, (file.flags & kPfFourCC) != 0
                      ? "decoder error: unsupported DDS pixel format '" + FourCharacterCode(file.fourCC) + "'"
                      : "decoder error: unsupported DDS pixel format of " + std::to_string(file.bitCount) +
                            " bits with these masks");
        return false;
    }

    const DWORD cubeFaces = ReadDword(data, 112) & kCubeFaceBits;
    if (cubeFaces != 0 && cubeFaces != kCubeFaceBits) {
        Tell(why, "decoder error: a DDS cube map with only some of its six faces");
        return false;
    }
    header->faces = cubeFaces != 0 ? 6 : 1;
    header->resourceType = volume ? D3DRTYPE_VOLUMETEXTURE : cubeFaces != 0 ? D3DRTYPE_CUBETEXTURE : D3DRTYPE_TEXTURE;
    return true;
}

// Lays the levels of one face over the bytes from *offset on; false when they do not fit.
bool LayFace(const DdsHeader& header, const BYTE* data, UINT length, std::uint64_t* offset,
             std::vector<ImageLevel>& levels, std::string* why) {
    UINT width = header.width, height = header.height, depth = header.depth;
    for (UINT level = 0; level < header.levels; ++level) {
        const LevelShape shape = ShapeOf(header.format, width, height);
        std::uint64_t slice = 0, total = 0;
        if (!MultiplyChecked(shape.rowPitch, shape.rows, &slice) || !MultiplyChecked(slice, depth, &total)) {
            Tell(why, "unsupported size " + SizeText(header.width, header.height) + ": its levels overflow 64 bits");
            return false;
        }
        if (total > length - *offset) {
            Tell(why, "truncated: DDS level " + std::to_string(level) + " (" + SizeText(width, height) + ") needs " +
                          std::to_string(total) + " bytes, " + std::to_string(length - *offset) + " are left");
            return false;
        }
        ImageLevel record;
        record.format = header.format;
        record.pixels = data + *offset;
        record.width = width;
        record.height = height;
        record.depth = depth;
        // Both fit in 32 bits: they are no larger than the file.
        record.rowPitch = static_cast<UINT>(shape.rowPitch);
        record.slicePitch = static_cast<UINT>(slice);
        levels.push_back(record);
        *offset += total;
        width = width > 1 ? width / 2 : 1;
        height = height > 1 ? height / 2 : 1;
        depth = depth > 1 ? depth / 2 : 1;
    }
    return true;
}

}  // namespace

HRESULT DecodeDds(DecodedImage& image, const BYTE* data, UINT length, bool /*wantPixels*/, std::string* why) {
    DdsHeader header;
    if (!ReadHeader(data, length, &header, why)) return E_FAIL;

    std::uint64_t offset = kHeaderBytes;
    if (DescribeFormat(header.format)->formatClass == FormatClass::Palette) {
        if (length - offset < kPaletteBytes) {
            Tell(why, "truncated: the file ends inside the DDS palette");
            return E_FAIL;
        }
        image.palette = reinterpret_cast<const PaletteColour*>(data + offset);
        offset += kPaletteBytes;
    }
    image.resourceType = header.resourceType;
    image.faces.assign(header.faces, {});
    for (std::vector<ImageLevel>& face : image.faces) {
        // Every level costs at least one byte, so a forged level count cannot outgrow the file.
        if (!LayFace(header, data, length, &offset, face, why)) return E_FAIL;
    }
    return S_OK;
}

}  // namespace utilities
