#include "platform/reference/texel_decode.h"

#include <cstring>

#include "platform/device_common/formats.h"
#include "platform/device_common/s3tc.h"

namespace reference {
namespace {

constexpr std::uint32_t Pack(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

void DecodeBlocks(D3DFORMAT format, const std::uint8_t* bytes, UINT pitch, UINT width, UINT height,
                  std::uint32_t* out) {
    const UINT blockBytes = device_common::DxtBlockBytes(format);
    for (UINT by = 0; by < (height + 3) / 4; ++by) {
        for (UINT bx = 0; bx < (width + 3) / 4; ++bx) {
            std::uint32_t texels[device_common::kTexelsPerBlock];
            device_common::DecodeDxtBlock(format, bytes + by * pitch + bx * blockBytes, texels);
            for (UINT y = 0; y < 4 && by * 4 + y < height; ++y)
                for (UINT x = 0; x < 4 && bx * 4 + x < width; ++x)
                    out[(by * 4 + y) * width + bx * 4 + x] = texels[y * 4 + x];
        }
    }
}

}  // namespace

void DecodeLevel(D3DFORMAT format, const std::uint8_t* bytes, UINT pitch, UINT width, UINT height, std::uint32_t* out) {
    if (device_common::LayoutOf(format).blockCompressed) {
        DecodeBlocks(format, bytes, pitch, width, height, out);
        return;
    }
    for (UINT y = 0; y < height; ++y) {
        const std::uint8_t* row = bytes + static_cast<std::size_t>(y) * pitch;
        std::uint32_t* target = out + static_cast<std::size_t>(y) * width;
        switch (format) {
            case D3DFMT_A8R8G8B8:
                std::memcpy(target, row, width * 4u);
                break;
            case D3DFMT_X8R8G8B8:
                std::memcpy(target, row, width * 4u);
                for (UINT x = 0; x < width; ++x) target[x] |= 0xFF000000u;
                break;
            case D3DFMT_L8:
                for (UINT x = 0; x < width; ++x) target[x] = Pack(255, row[x], row[x], row[x]);
                break;
            case D3DFMT_A8L8:
                for (UINT x = 0; x < width; ++x) {
                    const std::uint32_t l = row[2 * x], a = row[2 * x + 1];
                    target[x] = Pack(a, l, l, l);
                }
                break;
            default:
                break;
        }
    }
}

}  // namespace reference
