#include "dds_file.h"

#include <array>
#include <cstring>

#include "dxt5.h"

namespace makedata {
namespace {

constexpr size_t kFileHeaderSize = 128;  // the magic and the 124-byte header
constexpr uint32_t kHeaderSize = 124;
constexpr uint32_t kPixelFormatSize = 32;
constexpr uint32_t kFlagCaps = 0x1, kFlagHeight = 0x2, kFlagWidth = 0x4, kFlagPixelFormat = 0x1000;
constexpr uint32_t kFlagMipMapCount = 0x20000, kFlagLinearSize = 0x80000;
constexpr uint32_t kPixelFormatFourCc = 0x4;
constexpr uint32_t kCapsComplex = 0x8, kCapsTexture = 0x1000, kCapsMipMap = 0x400000;

// Field offsets in the file, magic included.
enum Offset : size_t {
    kMagic = 0,
    kSize = 4,
    kFlags = 8,
    kHeight = 12,
    kWidth = 16,
    kLinearSize = 20,
    kMipMapCount = 28,
    kPixelFormat = 76,
    kPixelFormatFlags = 80,
    kFourCc = 84,
    kCaps = 108,
};

using Header = std::array<uint8_t, kFileHeaderSize>;

void PutU32(Header& header, size_t offset, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) header[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

void PutFourCc(Header& header, size_t offset, const char code[4]) { std::memcpy(&header[offset], code, 4); }

uint32_t Dxt5LevelSize(const Image& level) {
    return static_cast<uint32_t>((level.width + 3) / 4) * static_cast<uint32_t>((level.height + 3) / 4) * 16;
}

}  // namespace

std::vector<uint8_t> EncodeDxt5Dds(const std::vector<Image>& levels) {
    const Image& top = levels.front();
    const bool chained = levels.size() > 1;
    Header header{};  // every field not set below (depth, reserved words, masks, caps2-4) is 0
    PutFourCc(header, kMagic, "DDS ");
    PutU32(header, kSize, kHeaderSize);
    PutU32(
        header, kFlags,
        kFlagCaps | kFlagHeight | kFlagWidth | kFlagPixelFormat | kFlagLinearSize | (chained ? kFlagMipMapCount : 0));
    PutU32(header, kHeight, static_cast<uint32_t>(top.height));
    PutU32(header, kWidth, static_cast<uint32_t>(top.width));
    PutU32(header, kLinearSize, Dxt5LevelSize(top));
    PutU32(header, kMipMapCount, static_cast<uint32_t>(levels.size()));
    PutU32(header, kPixelFormat, kPixelFormatSize);
    PutU32(header, kPixelFormatFlags, kPixelFormatFourCc);
    PutFourCc(header, kFourCc, "DXT5");
    PutU32(header, kCaps, kCapsTexture | (chained ? kCapsComplex | kCapsMipMap : 0));

    std::vector<uint8_t> out(header.begin(), header.end());
    for (const Image& level : levels) {
        const std::vector<uint8_t> blocks = EncodeDxt5(level);
        out.insert(out.end(), blocks.begin(), blocks.end());
    }
    return out;
}

}  // namespace makedata
