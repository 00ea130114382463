#include "utilities/texture_fill.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

#include "utilities/d3dx_texture.h"
#include "utilities/image_filter.h"
#include "utilities/pixel_codec.h"

namespace utilities {

namespace {

// Formats whose channels are all whole bytes: they are filtered byte by byte in their own layout,
// which keeps their bytes exact when nothing needs to change. Every other texture format is
// filtered as A8R8G8B8 and converted when written.
bool IsByteChannelFormat(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_A8R8G8B8:
        case D3DFMT_X8R8G8B8:
        case D3DFMT_A8B8G8R8:
        case D3DFMT_X8B8G8R8:
        case D3DFMT_R8G8B8:
        case D3DFMT_L8:
        case D3DFMT_A8L8:
        case D3DFMT_A8:
        case D3DFMT_P8:
            return true;
        default:
            return false;
    }
}

D3DFORMAT WorkFormat(D3DFORMAT textureFormat) {
    return IsByteChannelFormat(textureFormat) ? textureFormat : D3DFMT_A8R8G8B8;
}

PixelRect RectOf(const ImageLevel& level) {
    return {level.format, level.pixels, level.rowPitch, level.width, level.height};
}

// A file level in the work format, at its own size: a view of the file's own bytes when they are
// already in it, otherwise a converted copy that the view points into.
struct WorkSource {
    ByteImage converted;
    ByteImageView view;
};

void ToWorkImage(const ImageLevel& level, const FillSettings& settings, WorkSource& out) {
    const D3DFORMAT work = WorkFormat(settings.textureFormat);
    const UINT texelBytes = BytesPerTexel(work);
    if (level.format == work && settings.colourKey == 0) {
        out.view = {level.pixels, level.rowPitch, level.width, level.height, texelBytes, work == D3DFMT_P8};
        return;
    }
    std::vector<D3DCOLOR> argb(std::size_t(level.width) * level.height);
    UnpackToArgb(RectOf(level), settings.palette, argb.data());
    if (settings.colourKey != 0) std::replace(argb.begin(), argb.end(), settings.colourKey, D3DCOLOR{0});
    out.converted = ByteImage(level.width, level.height, texelBytes, work == D3DFMT_P8);
    PackFromArgb(argb.data(), level.width, level.height, work, out.converted.bytes.data(), level.width * texelBytes);
    out.view = out.converted.View();
}

// Locks a level's surface for writing and gives it back, whatever happens in between.
class LockedLevel {
public:
    LockedLevel(IDirect3DTexture9* texture, UINT level) {
        result_ = texture->GetSurfaceLevel(level, &surface_);
        if (SUCCEEDED(result_)) result_ = surface_->LockRect(&locked_, nullptr, 0);
        locked = SUCCEEDED(result_);
    }
    ~LockedLevel() {
        if (locked) surface_->UnlockRect();
        if (surface_ != nullptr) surface_->Release();
    }
    LockedLevel(const LockedLevel&) = delete;
    LockedLevel& operator=(const LockedLevel&) = delete;

    HRESULT result() const { return result_; }
    BYTE* bits() const { return static_cast<BYTE*>(locked_.pBits); }
    UINT pitch() const { return static_cast<UINT>(locked_.Pitch); }

private:
    IDirect3DSurface9* surface_ = nullptr;
    D3DLOCKED_RECT locked_{};
    HRESULT result_ = S_OK;
    bool locked = false;
};

void CopyRows(const BYTE* from, std::size_t fromPitch, BYTE* to, std::size_t toPitch, std::size_t rowBytes, UINT rows) {
    for (UINT y = 0; y < rows; ++y) std::memcpy(to + y * toPitch, from + y * fromPitch, rowBytes);
}

HRESULT WriteWorkImage(IDirect3DTexture9* texture, UINT level, const ByteImage& image, D3DFORMAT textureFormat) {
    LockedLevel target(texture, level);
    if (FAILED(target.result())) return target.result();
    const std::size_t rowBytes = std::size_t(image.width) * image.bytesPerTexel;
    if (WorkFormat(textureFormat) == textureFormat) {
        CopyRows(image.bytes.data(), rowBytes, target.bits(), target.pitch(), rowBytes, image.height);
        return S_OK;
    }
    std::vector<D3DCOLOR> argb(std::size_t(image.width) * image.height);
    std::memcpy(argb.data(), image.bytes.data(), argb.size() * sizeof(D3DCOLOR));
    PackFromArgb(argb.data(), image.width, image.height, textureFormat, target.bits(), target.pitch());
    return S_OK;
}

// A file level already in the texture's format and size goes in as it is, blocks included.
bool CopiesAsItIs(const ImageLevel& level, const D3DSURFACE_DESC& desc, const FillSettings& settings) {
    return level.format == settings.textureFormat && level.width == desc.Width && level.height == desc.Height &&
           settings.colourKey == 0;
}

HRESULT CopyFileLevel(IDirect3DTexture9* texture, UINT index, const ImageLevel& level) {
    LockedLevel target(texture, index);
    if (FAILED(target.result())) return target.result();
    CopyRows(level.pixels, level.rowPitch, target.bits(), target.pitch(), StoredRowBytes(level.format, level.width),
             StoredRows(level.format, level.height));
    return S_OK;
}

ByteImage NextChainedLevel(const ByteImageView& above, UINT width, UINT height, DWORD mipFilter) {
    const bool halving = width == std::max(1u, above.width / 2) && height == std::max(1u, above.height / 2);
    if ((mipFilter & 0xFF) == D3DX_FILTER_BOX && halving) return BoxHalve(above);
    return Resample(above, width, height, mipFilter);
}

}  // namespace

bool CanConvert(D3DFORMAT imageFormat, D3DFORMAT textureFormat) {
    if (imageFormat == textureFormat) return CanUnpack(imageFormat) || textureFormat == D3DFMT_P8;
    return CanUnpack(imageFormat) && CanPack(textureFormat);
}

// The level a chained level is made from: a file level, a converted image, or a texture level
// kept locked for the purpose.
struct LevelAbove {
    ByteImageView view;
    bool valid = false;
    std::optional<ByteImage> image;
    std::unique_ptr<LockedLevel> lock;

    void Set(ByteImageView v) {
        view = v;
        valid = true;
    }
    void Keep(ByteImage&& work) {
        lock.reset();
        image = std::move(work);
        Set(image->View());
    }
};

// Whether the next level can be box-filtered straight into the texture: same byte layout as the
// level above, and the exact halving the box rule is defined on.
bool HalvesInPlace(const FillSettings& settings, const LevelAbove& above, const D3DSURFACE_DESC& desc) {
    return settings.chained && (settings.mipFilter & 0xFF) == D3DX_FILTER_BOX && above.valid && !above.view.indexed &&
           WorkFormat(settings.textureFormat) == settings.textureFormat &&
           desc.Width == std::max(1u, above.view.width / 2) && desc.Height == std::max(1u, above.view.height / 2);
}

HRESULT FillTexture(IDirect3DTexture9* texture, const std::vector<ImageLevel>& fileLevels,
                    const FillSettings& settings) {
    const UINT textureLevels = texture->GetLevelCount();
    const UINT fromFile = std::min<UINT>(UINT(fileLevels.size()), textureLevels);
    const UINT workBytes = BytesPerTexel(WorkFormat(settings.textureFormat));
    LevelAbove above;
    for (UINT index = 0; index < textureLevels; ++index) {
        D3DSURFACE_DESC desc{};
        HRESULT hr = texture->GetLevelDesc(index, &desc);
        if (FAILED(hr)) return hr;
        if (index < fromFile && CopiesAsItIs(fileLevels[index], desc, settings)) {
            hr = CopyFileLevel(texture, index, fileLevels[index]);
            if (FAILED(hr)) return hr;
            above = LevelAbove{};
            const ImageLevel& level = fileLevels[index];
            if (level.format == WorkFormat(settings.textureFormat))
                above.Set(
                    {level.pixels, level.rowPitch, level.width, level.height, workBytes, level.format == D3DFMT_P8});
            continue;
        }
        if (index >= fromFile && HalvesInPlace(settings, above, desc)) {
            auto target = std::make_unique<LockedLevel>(texture, index);
            if (FAILED(target->result())) return target->result();
            BoxHalveInto(above.view, target->bits(), target->pitch());
            above.image.reset();
            above.Set({target->bits(), target->pitch(), desc.Width, desc.Height, workBytes, false});
            above.lock = std::move(target);
            continue;
        }
        WorkSource source;
        ByteImage work;
        if (index < fromFile) {
            ToWorkImage(fileLevels[index], settings, source);
            work = Resample(source.view, desc.Width, desc.Height, settings.filter);
        } else if (settings.chained) {
            if (above.valid) {
                source.view = above.view;
            } else {
                ToWorkImage(fileLevels[index - 1], settings, source);
            }
            work = NextChainedLevel(source.view, desc.Width, desc.Height, settings.mipFilter);
        } else {
            ToWorkImage(fileLevels[fromFile - 1], settings, source);
            work = Resample(source.view, desc.Width, desc.Height, settings.filter);
        }
        hr = WriteWorkImage(texture, index, work, settings.textureFormat);
        if (FAILED(hr)) return hr;
        above.Keep(std::move(work));
    }
    return S_OK;
}

}  // namespace utilities
