#include "platform/reference/texture.h"

#include <bit>
#include <new>

#include "platform/reference/device.h"
#include "platform/reference/texel_decode.h"
#include "platform/reference/texel_identity.h"

namespace reference {

Texture::Texture(std::shared_ptr<device_common::DeviceLink> link, UINT width, UINT height, UINT levels, DWORD usage,
                 D3DFORMAT format, D3DPOOL pool)
    : TextureBase(std::move(link), width, height, levels, usage, format, pool) {
    for (std::size_t i = 0; i < LevelCount(); ++i) {
        const Level& level = LevelAt(i);
        sampled_.offset[i] = static_cast<int>(texelCount_);
        sampled_.width[i] = static_cast<int>(level.width);
        sampled_.height[i] = static_cast<int>(level.height);
        sampled_.widthLog2[i] = std::countr_zero(level.width);
        texelCount_ += static_cast<std::size_t>(level.width) * level.height;
    }
    sampled_.levelCount = static_cast<int>(LevelCount());
    sampled_.texelCount = texelCount_;
}

void Texture::BeforeWrite() {
    if (auto* device = static_cast<Device*>(Owner())) device->FinishFrameIfItReads(lastFrameSerial_);
}

const SampledTexture& Texture::PrepareForSampling(std::uint64_t frameSerial) {
    lastFrameSerial_ = frameSerial;
    bool changed = false;
    if (sampled_.texels == nullptr) {
        changed = true;
        if (SampledInPlace()) {
            sampled_.texels = reinterpret_cast<const std::uint32_t*>(Bytes());
        } else {
            // Zeroed pages from calloc: no clearing pass before the levels are decoded into them.
            decoded_.reset(static_cast<std::uint32_t*>(std::calloc(texelCount_, sizeof(std::uint32_t))));
            if (decoded_ == nullptr) throw std::bad_alloc();
            sampled_.texels = decoded_.get();
        }
    }
    for (std::size_t i = 0; i < LevelCount(); ++i) {
        // A level still locked may be written after this: its texels count as new each time.
        changed = changed || LevelAt(i).locked;
        if (!TakeChange(i)) continue;
        changed = true;
        if (SampledInPlace()) continue;
        const Level& level = LevelAt(i);
        DecodeLevel(Format(), BytesOf(i), level.pitch, level.width, level.height, decoded_.get() + sampled_.offset[i]);
    }
    if (changed) StampTexels(sampled_);
    return sampled_;
}

}  // namespace reference
