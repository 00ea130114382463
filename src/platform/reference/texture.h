#pragma once
// Textures with their mip levels and the surfaces that stand for the levels. Each level keeps
// its bytes exactly as the application wrote them (compressed blocks included) and, for the
// samplers, a decoded copy made when a draw first needs it after a change. A8R8G8B8 textures
// are sampled straight from their bytes, which already have the samplers' layout.

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/reference/level_surface.h"
#include "platform/reference/resource.h"
#include "platform/reference/sampled_texture.h"

namespace reference {

class Texture;

using Surface = LevelSurface<Texture>;

class Texture final : public Resource<IDirect3DTexture9> {
public:
    // Arguments must have been checked with CheckTextureArguments.
    Texture(std::shared_ptr<DeviceLink> link, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
            D3DPOOL pool);

    static HRESULT CheckTextureArguments(UINT width, UINT height, UINT& levels, D3DFORMAT format, D3DPOOL pool);

    HRESULT QueryInterface(REFIID iid, void** out) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD SetLOD(DWORD lod) override;
    DWORD GetLOD() override { return lod_; }
    DWORD GetLevelCount() override { return static_cast<DWORD>(levels_.size()); }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;

    D3DFORMAT Format() const { return format_; }
    UINT Width(UINT level) const { return levels_[level].width; }
    UINT Height(UINT level) const { return levels_[level].height; }

    // Copies the levels of `source` whose sizes match ours (UpdateTexture).
    HRESULT CopyLevelsFrom(const Texture& source);

    // Brings the decoded copies up to date and notes that the frame `frameSerial` reads them,
    // so that a later change first lets that frame finish.
    const SampledTexture& PrepareForSampling(std::uint64_t frameSerial);

private:
    struct Level {
        UINT width;
        UINT height;
        UINT pitch;
        std::size_t offset;  // into bytes_
        std::size_t size;
        bool stale;
        bool locked;
    };

    // Zeroed storage from calloc: fresh pages come zeroed from the system, so a large texture
    // costs no clearing pass before the loader writes it.
    struct FreeBytes {
        void operator()(void* p) const { std::free(p); }
    };
    using ZeroedBytes = std::unique_ptr<std::uint8_t[], FreeBytes>;
    static ZeroedBytes AllocateZeroed(std::size_t bytes);

    bool SampledInPlace() const { return format_ == D3DFMT_A8R8G8B8; }
    std::uint8_t* BytesOf(const Level& level) const { return bytes_.get() + level.offset; }
    void BeforeChange();
    void Decode(std::size_t level);

    D3DFORMAT format_;
    DWORD lod_ = 0;
    std::vector<Level> levels_;
    std::vector<std::unique_ptr<Surface>> surfaces_;
    ZeroedBytes bytes_;     // every level, one after the other
    ZeroedBytes decoded_;   // every level as 32-bit texels; made on first sampling
    std::size_t texelCount_ = 0;
    SampledTexture sampled_{};
    std::uint64_t lastFrameSerial_ = 0;
};

}  // namespace reference
