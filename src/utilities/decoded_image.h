#pragma once
// A decoded image file: every face of it, each with its chain of levels, in a texture format.
// DDS levels point into the caller's bytes, which must outlive the image; PNG and JPEG pixels are
// owned here.

#include <memory>
#include <string>
#include <vector>

#include "utilities/d3dx_texture.h"

namespace utilities {

struct ImageLevel {
    D3DFORMAT format = D3DFMT_UNKNOWN;
    const BYTE* pixels = nullptr;
    UINT width = 0;
    UINT height = 0;
    UINT depth = 1;
    UINT rowPitch = 0;    // bytes from one row (of texels, or of 4 × 4 blocks) to the next
    UINT slicePitch = 0;  // bytes of one depth slice
    RECT sourceRect{};    // (0, 0, width, height) once decoded
    UINT front = 0;
    UINT back = 1;
};

// A palette entry as the files give it: red, green, blue, alpha.
struct PaletteColour {
    BYTE r, g, b, a;
};
constexpr UINT kPaletteEntries = 256;

struct DecodedImage {
    D3DRESOURCETYPE resourceType = D3DRTYPE_TEXTURE;
    D3DXIMAGE_FILEFORMAT fileType = D3DXIFF_BMP;
    // faces[f][l]: level l of face f; one face for a flat or volume texture, six for a cube map.
    std::vector<std::vector<ImageLevel>> faces;
    // 256 entries, or null when the image has no palette.
    const PaletteColour* palette = nullptr;

    std::unique_ptr<BYTE[]> ownedPixels;
    std::unique_ptr<PaletteColour[]> ownedPalette;

    const ImageLevel& Top() const { return faces.front().front(); }
    UINT LevelCount() const { return faces.empty() ? 0 : static_cast<UINT>(faces.front().size()); }

    // Back to the empty record a decoder starts from.
    void Clear() { *this = DecodedImage{}; }
};

// Tries the decoders in their fixed order (BMP, PPM, DDS, JPEG, PNG, PFM, HDR, TGA, DIB) until one
// accepts the bytes. D3DERR_INVALIDCALL for null data or length 0; D3DXERR_INVALIDDATA when none
// accepts them (the image is then left cleared); E_OUTOFMEMORY when pixel memory cannot be had.
// With neither info nor pixels wanted it returns S_OK at once. The numeric locale is "C" while the
// decoders run and is put back afterwards.
//
// When why is not null it receives, in words for the user, what was wrong with the bytes: set on
// every failure ("not a PNG, JPEG or DDS image" when no decoder knew them), and on success when
// the file was damaged but still decoded; left empty otherwise.
HRESULT LoadImageFromMemory(DecodedImage* image, const void* data, UINT length, D3DXIMAGE_INFO* info, bool wantPixels,
                            std::string* why = nullptr);

}  // namespace utilities
