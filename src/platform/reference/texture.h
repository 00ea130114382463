#pragma once
// The reference device's textures: the shared levels and locks, and for the samplers a decoded
// copy of every level made when a draw first needs it after a change. A8R8G8B8 textures are
// sampled straight from their bytes, which already have the samplers' layout.

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "platform/device_common/texture_base.h"
#include "platform/reference/sampled_texture.h"

namespace reference {

class Texture final : public device_common::TextureBase {
public:
    Texture(std::shared_ptr<device_common::DeviceLink> link, UINT width, UINT height, UINT levels, DWORD usage,
            D3DFORMAT format, D3DPOOL pool);

    // Brings the decoded copies up to date and notes that the frame `frameSerial` reads them,
    // so that a later change first lets that frame finish.
    const SampledTexture& PrepareForSampling(std::uint64_t frameSerial);

private:
    struct FreeBytes {
        void operator()(void* p) const { std::free(p); }
    };

    bool SampledInPlace() const { return Format() == D3DFMT_A8R8G8B8; }
    void BeforeWrite() override;

    std::unique_ptr<std::uint32_t[], FreeBytes> decoded_;  // every level as 32-bit texels
    std::size_t texelCount_ = 0;
    SampledTexture sampled_{};
    std::uint64_t lastFrameSerial_ = 0;
};

}  // namespace reference
