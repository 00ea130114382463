#include "platform/gl/texture.h"

#include <bit>

#include "platform/gl/caps.h"
#include "platform/gl/device.h"
#include "platform/gl/texture_formats.h"
#include "platform/reference/formats.h"

namespace gl {
namespace {

UINT FullChainLength(UINT width, UINT height) {
    return static_cast<UINT>(std::bit_width(width > height ? width : height));
}

bool IsPowerOfTwo(UINT n) { return n != 0 && (n & (n - 1)) == 0; }

// The byte offset of a locked rectangle's first texel (or block), or false when the rectangle
// does not lie inside the level or cuts through compressed blocks.
bool RectOffset(D3DFORMAT format, UINT width, UINT height, UINT pitch, const RECT* rect, std::size_t& offset) {
    offset = 0;
    if (rect == nullptr) return true;
    if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom) return false;
    if (static_cast<UINT>(rect->right) > width || static_cast<UINT>(rect->bottom) > height) return false;
    const reference::FormatLayout layout = reference::LayoutOf(format);
    std::size_t row = static_cast<std::size_t>(rect->top), column = static_cast<std::size_t>(rect->left);
    if (layout.blockCompressed) {
        if ((rect->left % 4) != 0 || (rect->top % 4) != 0) return false;
        row /= 4;
        column /= 4;
    }
    offset = row * pitch + column * layout.bytesPerUnit;
    return true;
}

}  // namespace

// ---- Texture -------------------------------------------------------------------------------

HRESULT Texture::CheckTextureArguments(const GlInfo& info, UINT width, UINT height, UINT& levels, D3DFORMAT format,
                                       D3DPOOL pool) {
    if (!IsTextureFormat(info, format) || pool > D3DPOOL_SCRATCH) return D3DERR_INVALIDCALL;
    // Power-of-two sizes, as the capabilities say and the reference device requires.
    if (!IsPowerOfTwo(width) || !IsPowerOfTwo(height)) return D3DERR_INVALIDCALL;
    if (width > kMaxTextureSize || height > kMaxTextureSize) return D3DERR_INVALIDCALL;
    const UINT chain = FullChainLength(width, height);
    if (levels == 0) levels = chain;
    return levels <= chain ? D3D_OK : D3DERR_INVALIDCALL;
}

Texture::Texture(std::shared_ptr<DeviceLink> link, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                 D3DPOOL pool)
    : DeviceResource(std::move(link), pool, usage), format_(format) {
    levels_.resize(levels);
    for (UINT i = 0; i < levels; ++i) {
        Level& level = levels_[i];
        level.width = width > 1 ? width : 1;
        level.height = height > 1 ? height : 1;
        level.pitch = reference::RowPitch(format, level.width);
        level.bytes.assign(reference::LevelBytes(format, level.width, level.height), 0);
        level.dirty = true;
        level.locked = false;
        surfaces_.push_back(std::make_unique<Surface>(*this, i));
        width /= 2;
        height /= 2;
    }
}

Texture::~Texture() {
    if (Device* device = OwningDevice()) device->DeleteTexture(name_);
}

HRESULT Texture::QueryInterface(REFIID iid, void** out) {
    return AnswerQuery(iid, out,
                       {&IID_IUnknown, &IID_IDirect3DResource9, &IID_IDirect3DBaseTexture9, &IID_IDirect3DTexture9});
}

DWORD Texture::SetLOD(DWORD lod) {
    const DWORD previous = lod_;
    // Only managed textures have a level-of-detail clamp; others keep 0.
    if (Pool() == D3DPOOL_MANAGED) lod_ = lod < levels_.size() ? lod : static_cast<DWORD>(levels_.size() - 1);
    return previous;
}

HRESULT Texture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
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
    if ((flags & D3DLOCK_READONLY) == 0) target.dirty = true;
    target.locked = true;
    locked->Pitch = static_cast<INT>(target.pitch);
    locked->pBits = target.bytes.data() + offset;
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
    while (first < source.levels_.size() &&
           (source.levels_[first].width != levels_[0].width || source.levels_[first].height != levels_[0].height))
        ++first;
    if (first == source.levels_.size() || source.levels_.size() - first < levels_.size()) return D3DERR_INVALIDCALL;
    for (std::size_t i = 0; i < levels_.size(); ++i) {
        levels_[i].bytes = source.levels_[first + i].bytes;
        levels_[i].dirty = true;
    }
    return D3D_OK;
}

void Texture::Upload(Functions& gl, GLint index, const Level& level) {
    const UploadFormat upload = UploadFormatOf(format_);
    const auto width = static_cast<GLsizei>(level.width), height = static_cast<GLsizei>(level.height);
    if (upload.compressed)
        gl.CompressedTexImage2D(GL_TEXTURE_2D, index, upload.internalFormat, width, height, 0,
                                static_cast<GLsizei>(level.bytes.size()), level.bytes.data());
    else
        gl.TexImage2D(GL_TEXTURE_2D, index, static_cast<GLint>(upload.internalFormat), width, height, 0, upload.format,
                      upload.type, level.bytes.data());
}

GLuint Texture::Sync(Functions& gl, StateCache& cache, int unit) {
    const bool fresh = name_ == 0;
    bool dirty = fresh || uploadedLod_ != lod_;
    for (const Level& level : levels_) dirty = dirty || level.dirty;
    if (!dirty) {
        cache.BindTexture(unit, name_);
        return name_;
    }
    if (fresh) gl.GenTextures(1, &name_);
    cache.SelectTexture(unit, name_);
    if (fresh) {
        // A chain shorter than the full one is still complete for GL with the last level named.
        gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels_.size() - 1));
        gl.TexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, UploadFormatOf(format_).swizzle);
    }
    for (std::size_t i = 0; i < levels_.size(); ++i) {
        if (!levels_[i].dirty) continue;
        Upload(gl, static_cast<GLint>(i), levels_[i]);
        levels_[i].dirty = false;
    }
    if (fresh || uploadedLod_ != lod_) {
        gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, static_cast<GLint>(lod_));
        uploadedLod_ = lod_;
    }
    return name_;
}

}  // namespace gl
