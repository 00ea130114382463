#include "platform/device_common/texture_base.h"

#include <bit>
#include <cstring>

#include "platform/device_common/formats.h"

namespace device_common {
namespace {

UINT FullChainLength(UINT width, UINT height) {
    return static_cast<UINT>(std::bit_width(width > height ? width : height));
}

bool IsPowerOfTwo(UINT n) { return n != 0 && (n & (n - 1)) == 0; }

// The byte offset of a locked rectangle's first texel (or block), or false when the rectangle
// does not lie inside the level or cuts through compressed blocks.
bool RectOffset(D3DFORMAT format, const TextureBase::Level& level, const RECT* rect, std::size_t& offset) {
    offset = 0;
    if (rect == nullptr) return true;
    if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom) return false;
    if (static_cast<UINT>(rect->right) > level.width || static_cast<UINT>(rect->bottom) > level.height) return false;
    const FormatLayout layout = LayoutOf(format);
    std::size_t row = static_cast<std::size_t>(rect->top), column = static_cast<std::size_t>(rect->left);
    if (layout.blockCompressed) {
        if ((rect->left % 4) != 0 || (rect->top % 4) != 0) return false;
        row /= 4;
        column /= 4;
    }
    offset = row * level.pitch + column * layout.bytesPerUnit;
    return true;
}

}  // namespace

HRESULT CheckTextureShape(UINT width, UINT height, UINT& levels, D3DPOOL pool) {
    if (pool > D3DPOOL_SCRATCH) return D3DERR_INVALIDCALL;
    // The reference device's samplers wrap with masks, so sizes are powers of two on both devices
    // (the capabilities say so), and both load the same textures.
    if (!IsPowerOfTwo(width) || !IsPowerOfTwo(height)) return D3DERR_INVALIDCALL;
    if (width > kMaxTextureSize || height > kMaxTextureSize) return D3DERR_INVALIDCALL;
    const UINT chain = FullChainLength(width, height);
    if (levels == 0) levels = chain;
    return levels <= chain ? D3D_OK : D3DERR_INVALIDCALL;
}

TextureBase::TextureBase(std::shared_ptr<DeviceLink> link, UINT width, UINT height, UINT levels, DWORD usage,
                         D3DFORMAT format, D3DPOOL pool)
    : Resource(std::move(link), pool, usage), format_(format) {
    levels_.resize(levels);
    std::size_t bytes = 0;
    for (UINT i = 0; i < levels; ++i) {
        Level& level = levels_[i];
        level.width = width > 1 ? width : 1;
        level.height = height > 1 ? height : 1;
        level.pitch = RowPitch(format, level.width);
        level.offset = bytes;
        level.size = LevelBytes(format, level.width, level.height);
        level.changed = true;
        level.locked = false;
        bytes += level.size;
        surfaces_.push_back(std::make_unique<LevelSurface<TextureBase>>(*this, i));
        width /= 2;
        height /= 2;
    }
    bytes_.reset(static_cast<std::uint8_t*>(std::calloc(bytes > 0 ? bytes : 1, 1)));
}

HRESULT TextureBase::QueryInterface(REFIID iid, void** out) {
    return AnswerQuery(iid, out,
                       {&IID_IUnknown, &IID_IDirect3DResource9, &IID_IDirect3DBaseTexture9, &IID_IDirect3DTexture9});
}

DWORD TextureBase::SetLOD(DWORD lod) {
    const DWORD previous = lod_;
    // Only managed textures have a level-of-detail clamp; others keep 0.
    if (Pool() == D3DPOOL_MANAGED) lod_ = lod < levels_.size() ? lod : static_cast<DWORD>(levels_.size() - 1);
    return previous;
}

HRESULT TextureBase::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
    if (desc == nullptr || level >= levels_.size()) return D3DERR_INVALIDCALL;
    *desc = {format_,
             D3DRTYPE_SURFACE,
             Usage(),
             Pool(),
             D3DMULTISAMPLE_NONE,
             0,
             levels_[level].width,
             levels_[level].height};
    return D3D_OK;
}

HRESULT TextureBase::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) {
    if (surface == nullptr || level >= levels_.size()) return D3DERR_INVALIDCALL;
    *surface = surfaces_[level].get();
    (*surface)->AddRef();
    return D3D_OK;
}

HRESULT TextureBase::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    if (locked == nullptr || level >= levels_.size()) return D3DERR_INVALIDCALL;
    // Default-pool textures live on the device side: only dynamic ones can be locked.
    if (Pool() == D3DPOOL_DEFAULT && (Usage() & D3DUSAGE_DYNAMIC) == 0) return D3DERR_INVALIDCALL;
    Level& target = levels_[level];
    if (target.locked) return D3DERR_INVALIDCALL;
    std::size_t offset = 0;
    if (!RectOffset(format_, target, rect, offset)) return D3DERR_INVALIDCALL;
    if ((flags & D3DLOCK_READONLY) == 0) {
        BeforeWrite();
        target.changed = true;
    }
    target.locked = true;
    locked->Pitch = static_cast<INT>(target.pitch);
    locked->pBits = bytes_.get() + target.offset + offset;
    return D3D_OK;
}

HRESULT TextureBase::UnlockRect(UINT level) {
    if (level >= levels_.size() || !levels_[level].locked) return D3DERR_INVALIDCALL;
    levels_[level].locked = false;
    return D3D_OK;
}

HRESULT TextureBase::CopyLevelsFrom(const TextureBase& source) {
    if (source.format_ != format_) return D3DERR_INVALIDCALL;
    // The source may have more (larger) levels than we do; it starts at the level of our size.
    std::size_t first = 0;
    while (first < source.levels_.size() &&
           (source.levels_[first].width != levels_[0].width || source.levels_[first].height != levels_[0].height))
        ++first;
    if (first == source.levels_.size() || source.levels_.size() - first < levels_.size()) return D3DERR_INVALIDCALL;
    BeforeWrite();
    for (std::size_t i = 0; i < levels_.size(); ++i) {
        std::memcpy(bytes_.get() + levels_[i].offset, source.BytesOf(first + i), levels_[i].size);
        levels_[i].changed = true;
    }
    return D3D_OK;
}

bool TextureBase::TakeChange(std::size_t index) {
    const bool changed = levels_[index].changed;
    levels_[index].changed = false;
    return changed;
}

}  // namespace device_common
