#include "platform/reference/texture.h"

#include <bit>
#include <cstring>
#include <new>

#include "platform/reference/device.h"
#include "platform/reference/formats.h"
#include "platform/reference/texel_decode.h"

namespace reference {
namespace {

constexpr UINT kMaxTextureSize = 4096;

UINT FullChainLength(UINT width, UINT height) {
    UINT larger = width > height ? width : height;
    return static_cast<UINT>(std::bit_width(larger));
}

bool IsPowerOfTwo(UINT n) { return n != 0 && (n & (n - 1)) == 0; }

// The byte offset of a locked rectangle's first texel (or block), or false when the rectangle
// does not lie inside the level or cuts through compressed blocks.
bool RectOffset(D3DFORMAT format, UINT width, UINT height, UINT pitch, const RECT* rect, std::size_t& offset) {
    offset = 0;
    if (rect == nullptr) return true;
    if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom) return false;
    if (static_cast<UINT>(rect->right) > width || static_cast<UINT>(rect->bottom) > height) return false;
    FormatLayout layout = LayoutOf(format);
    if (layout.blockCompressed) {
        if ((rect->left % 4) != 0 || (rect->top % 4) != 0) return false;
        offset = static_cast<std::size_t>(rect->top / 4) * pitch + static_cast<std::size_t>(rect->left / 4) * layout.bytesPerUnit;
    } else {
        offset = static_cast<std::size_t>(rect->top) * pitch + static_cast<std::size_t>(rect->left) * layout.bytesPerUnit;
    }
    return true;
}

}  // namespace

// ---- Texture -------------------------------------------------------------------------------

HRESULT Texture::CheckTextureArguments(UINT width, UINT height, UINT& levels, D3DFORMAT format, D3DPOOL pool) {
    if (!IsTextureFormat(format) || pool > D3DPOOL_SCRATCH) return D3DERR_INVALIDCALL;
    // The samplers wrap with masks, so sizes are powers of two (the capabilities say so).
    if (!IsPowerOfTwo(width) || !IsPowerOfTwo(height)) return D3DERR_INVALIDCALL;
    if (width > kMaxTextureSize || height > kMaxTextureSize) return D3DERR_INVALIDCALL;
    UINT chain = FullChainLength(width, height);
    if (levels == 0) levels = chain;
    return levels <= chain ? D3D_OK : D3DERR_INVALIDCALL;
}

Texture::Texture(std::shared_ptr<DeviceLink> link, UINT width, UINT height, UINT levels, DWORD usage,
                 D3DFORMAT format, D3DPOOL pool)
    : DeviceResource(std::move(link), pool, usage), format_(format) {
    levels_.resize(levels);
    std::size_t texels = 0;
    std::size_t bytes = 0;
    for (UINT i = 0; i < levels; ++i) {
        Level& level = levels_[i];
        level.width = width > 1 ? width : 1;
        level.height = height > 1 ? height : 1;
        level.pitch = RowPitch(format, level.width);
        level.offset = bytes;
        level.size = LevelBytes(format, level.width, level.height);
        bytes += level.size;
        level.stale = true;
        level.locked = false;
        surfaces_.push_back(std::make_unique<Surface>(*this, i));
        sampled_.offset[i] = static_cast<int>(texels);
        sampled_.width[i] = static_cast<int>(level.width);
        sampled_.height[i] = static_cast<int>(level.height);
        sampled_.widthLog2[i] = std::countr_zero(level.width);
        texels += static_cast<std::size_t>(level.width) * level.height;
        width /= 2;
        height /= 2;
    }
    bytes_ = AllocateZeroed(bytes);
    texelCount_ = texels;
    sampled_.levelCount = static_cast<int>(levels);
}

Texture::ZeroedBytes Texture::AllocateZeroed(std::size_t bytes) {
    auto* block = static_cast<std::uint8_t*>(std::calloc(bytes > 0 ? bytes : 1, 1));
    if (block == nullptr) throw std::bad_alloc();
    return ZeroedBytes(block);
}

HRESULT Texture::QueryInterface(REFIID iid, void** out) {
    return AnswerQuery(iid, out, {&IID_IUnknown, &IID_IDirect3DResource9, &IID_IDirect3DBaseTexture9,
                                  &IID_IDirect3DTexture9});
}

DWORD Texture::SetLOD(DWORD lod) {
    DWORD previous = lod_;
    // Only managed textures have a level-of-detail clamp; others keep 0.
    if (Pool() == D3DPOOL_MANAGED) lod_ = lod < levels_.size() ? lod : static_cast<DWORD>(levels_.size() - 1);
    return previous;
}

HRESULT Texture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
    if (desc == nullptr || level >= levels_.size()) return D3DERR_INVALIDCALL;
    *desc = {format_, D3DRTYPE_SURFACE, Usage(), Pool(), D3DMULTISAMPLE_NONE, 0, levels_[level].width,
             levels_[level].height};
    return D3D_OK;
}

HRESULT Texture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) {
    if (surface == nullptr || level >= levels_.size()) return D3DERR_INVALIDCALL;
    *surface = surfaces_[level].get();
    (*surface)->AddRef();
    return D3D_OK;
}

HRESULT Texture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    if (locked == nullptr || level >= levels_.size()) return D3DERR_INVALIDCALL;
    // Default-pool textures live on the device side: only dynamic ones can be locked.
    if (Pool() == D3DPOOL_DEFAULT && (Usage() & D3DUSAGE_DYNAMIC) == 0) return D3DERR_INVALIDCALL;
    Level& target = levels_[level];
    if (target.locked) return D3DERR_INVALIDCALL;
    std::size_t offset = 0;
    if (!RectOffset(format_, target.width, target.height, target.pitch, rect, offset)) return D3DERR_INVALIDCALL;
    if ((flags & D3DLOCK_READONLY) == 0) {
        BeforeChange();
        target.stale = true;
    }
    target.locked = true;
    locked->Pitch = static_cast<INT>(target.pitch);
    locked->pBits = BytesOf(target) + offset;
    return D3D_OK;
}

HRESULT Texture::UnlockRect(UINT level) {
    if (level >= levels_.size() || !levels_[level].locked) return D3DERR_INVALIDCALL;
    levels_[level].locked = false;
    return D3D_OK;
}

HRESULT Texture::CopyLevelsFrom(const Texture& source) {
    if (source.format_ != format_) return D3DERR_INVALIDCALL;
    // The source may have more (larger) levels than we do; it starts at the level of our size.
    std::size_t first = 0;
    while (first < source.levels_.size() && (source.levels_[first].width != levels_[0].width ||
                                             source.levels_[first].height != levels_[0].height))
        ++first;
    if (first == source.levels_.size() || source.levels_.size() - first < levels_.size()) return D3DERR_INVALIDCALL;
    BeforeChange();
    for (std::size_t i = 0; i < levels_.size(); ++i) {
        std::memcpy(BytesOf(levels_[i]), source.BytesOf(source.levels_[first + i]), levels_[i].size);
        levels_[i].stale = true;
    }
    return D3D_OK;
}

void Texture::BeforeChange() {
    if (Device* device = OwningDevice()) device->FinishFrameIfItReads(lastFrameSerial_);
}

void Texture::Decode(std::size_t index) {
    Level& level = levels_[index];
    level.stale = false;
    if (SampledInPlace()) return;
    auto* texels = reinterpret_cast<std::uint32_t*>(decoded_.get());
    DecodeLevel(format_, BytesOf(level), level.pitch, level.width, level.height, texels + sampled_.offset[index]);
}

const SampledTexture& Texture::PrepareForSampling(std::uint64_t frameSerial) {
    lastFrameSerial_ = frameSerial;
    if (sampled_.texels == nullptr) {
        if (!SampledInPlace()) decoded_ = AllocateZeroed(texelCount_ * sizeof(std::uint32_t));
        sampled_.texels = reinterpret_cast<const std::uint32_t*>(SampledInPlace() ? bytes_.get() : decoded_.get());
    }
    for (std::size_t i = 0; i < levels_.size(); ++i)
        if (levels_[i].stale) Decode(i);
    return sampled_;
}

}  // namespace reference
