// Fuzzes the image decoders with whole files, and then what the texture loader does with what
// they accept: every level converted to ARGB and one box-filtered level made from the first.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "utilities/decoded_image.h"
#include "utilities/image_filter.h"
#include "utilities/pixel_codec.h"

namespace {

void ConvertLevels(const utilities::DecodedImage& image) {
    for (const std::vector<utilities::ImageLevel>& face : image.faces) {
        for (const utilities::ImageLevel& level : face) {
            if (!utilities::CanUnpack(level.format)) return;
            // The decoders cap what they allocate; the conversion is capped here the same way.
            if (std::uint64_t{level.width} * level.height > (1u << 22)) return;
            std::vector<D3DCOLOR> argb(std::size_t(level.width) * level.height);
            utilities::UnpackToArgb({level.format, level.pixels, level.rowPitch, level.width, level.height},
                                    image.palette, argb.data());
            utilities::ByteImage work(level.width, level.height, 4, false);
            for (std::size_t i = 0; i < argb.size(); ++i)
                for (int c = 0; c < 4; ++c) work.bytes[i * 4 + c] = static_cast<BYTE>(argb[i] >> (8 * c));
            utilities::BoxHalve(work);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > 0xFFFFFFFFu) return 0;
    utilities::DecodedImage image;
    D3DXIMAGE_INFO info{};
    if (utilities::LoadImageFromMemory(&image, data, static_cast<UINT>(size), &info, true) == S_OK)
        ConvertLevels(image);
    return 0;
}
