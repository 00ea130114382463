#include <clocale>
#include <cstring>
#include <string>

#include "utilities/format_table.h"
#include "utilities/image_decoders.h"

namespace utilities {

namespace {

using Decoder = HRESULT (*)(DecodedImage&, const BYTE*, UINT, bool, std::string*);

// The file types in the order they are tried. Types the scene never loads have no decoder here and
// simply fail, so that the order of the others holds.
struct DecoderEntry {
    D3DXIMAGE_FILEFORMAT fileType;
    Decoder decode;
};
constexpr DecoderEntry kDecoders[] = {
    {D3DXIFF_BMP, nullptr},    {D3DXIFF_PPM, nullptr},   {D3DXIFF_DDS, DecodeDds},
    {D3DXIFF_JPG, DecodeJpeg}, {D3DXIFF_PNG, DecodePng}, {D3DXIFF_PFM, nullptr},
    {D3DXIFF_HDR, nullptr},    {D3DXIFF_TGA, nullptr},   {D3DXIFF_DIB, nullptr},
};

// Sets LC_NUMERIC to "C" for its lifetime when it is not already, and puts the old one back.
class NumericLocaleGuard {
public:
    NumericLocaleGuard() {
        const char* current = std::setlocale(LC_NUMERIC, nullptr);
        if (current != nullptr && std::strcmp(current, "C") != 0) {
            saved_ = current;
            switched_ = std::setlocale(LC_NUMERIC, "C") != nullptr;
        }
    }
    ~NumericLocaleGuard() {
        if (switched_) std::setlocale(LC_NUMERIC, saved_.c_str());
    }
    NumericLocaleGuard(const NumericLocaleGuard&) = delete;
    NumericLocaleGuard& operator=(const NumericLocaleGuard&) = delete;

private:
    std::string saved_;
    bool switched_ = false;
};

D3DFORMAT PublicFormat(D3DFORMAT format) {
    if (format == kFormatAL16) return D3DFMT_A8L8;
    if (format == kFormatR16) return D3DFMT_R8G8B8;
    return format;
}

void FillInfo(const DecodedImage& image, D3DXIMAGE_INFO* info) {
    const ImageLevel& top = image.Top();
    info->Width = top.width;
    info->Height = top.height;
    info->Depth = top.depth;
    info->MipLevels = image.LevelCount();
    info->Format = PublicFormat(top.format);
    info->ResourceType = image.resourceType;
    info->ImageFileFormat = image.fileType;
}

void SetSourceRectangles(DecodedImage& image) {
    for (std::vector<ImageLevel>& face : image.faces)
        for (ImageLevel& level : face) {
            level.sourceRect = {0, 0, static_cast<LONG>(level.width), static_cast<LONG>(level.height)};
            level.front = 0;
            level.back = level.depth;
        }
}

HRESULT TryDecoders(DecodedImage& image, const BYTE* bytes, UINT length, bool wantPixels, std::string* why) {
    for (const DecoderEntry& entry : kDecoders) {
        image.Clear();
        image.resourceType = D3DRTYPE_TEXTURE;
        image.fileType = entry.fileType;
        if (entry.decode == nullptr) continue;
        const HRESULT hr = entry.decode(image, bytes, length, wantPixels, why);
        if (SUCCEEDED(hr)) return S_OK;
        if (hr == E_OUTOFMEMORY) {
            image.Clear();
            Tell(why, "out of memory");
            return hr;
        }
    }
    image.Clear();
    Tell(why, "not a PNG, JPEG or DDS image");
    return D3DXERR_INVALIDDATA;
}

}  // namespace

HRESULT LoadImageFromMemory(DecodedImage* image, const void* data, UINT length, D3DXIMAGE_INFO* info, bool wantPixels,
                            std::string* why) {
    if (why != nullptr) why->clear();
    if (image == nullptr || data == nullptr || length == 0) {
        Tell(why, length == 0 ? "empty file" : "no data");
        return D3DERR_INVALIDCALL;
    }
    if (info == nullptr && !wantPixels) return S_OK;

    NumericLocaleGuard locale;
    const HRESULT hr = TryDecoders(*image, static_cast<const BYTE*>(data), length, wantPixels, why);
    if (FAILED(hr)) return hr;
    SetSourceRectangles(*image);
    if (info != nullptr) FillInfo(*image, info);
    return S_OK;
}

}  // namespace utilities
