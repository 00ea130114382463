#pragma once
// Whether two textures hold the same texels, decided once per texture version rather than by
// comparing whole textures every frame. Each time a texture's sampled texels change it takes a
// new version, unique across all textures, and a hash of its texels. Equal versions are the
// same texels; different hashes are different texels; equal hashes of two versions are only a
// hint, confirmed by comparing the texels once, and the answer kept for that pair of versions.
// Exactness never rests on the hash.

#include <cstddef>
#include <cstdint>

#include "platform/reference/sampled_texture.h"

namespace reference {

// A version no texture has had yet.
std::uint64_t NewTexelVersion();

// The hash of `count` texels.
std::uint64_t HashTexels(const std::uint32_t* texels, std::size_t count);

// Stamps `texture` with a new version and the hash of its texels, after they changed.
void StampTexels(SampledTexture& texture);

// Answers for the last few pairs of versions compared.
class TexelComparisons {
public:
    bool SameTexels(const SampledTexture* a, const SampledTexture* b);

private:
    struct Answer {
        std::uint64_t low = 0, high = 0;  // the versions, low < high; 0 for no answer yet
        bool same = false;
    };
    static constexpr int kAnswers = 4;
    Answer answers_[kAnswers];
    int next_ = 0;  // the answer replaced next
};

}  // namespace reference
