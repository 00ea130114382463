#pragma once
// The hardware device's textures: the shared levels and locks in main memory (locks hand those
// out), and a GL texture that receives the levels written since the last draw that sampled it.

#include <cstdint>
#include <memory>

#include "platform/device_common/texture_base.h"
#include "platform/gl/state_cache.h"

namespace gl {

class Texture final : public device_common::TextureBase {
public:
    using TextureBase::TextureBase;
    ~Texture() override;

    // The GL texture with every level up to date, bound to texture unit `unit`.
    GLuint Sync(Functions& gl, StateCache& cache, int unit);

private:
    void Upload(Functions& gl, std::size_t index);

    GLuint name_ = 0;
    DWORD uploadedLod_ = 0;
};

}  // namespace gl
