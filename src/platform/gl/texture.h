#pragma once
// Textures with their mip levels and the surfaces that stand for the levels. Each level keeps
// its bytes in main memory exactly as the application wrote them (locks hand those out); the GL
// texture receives the levels written since the last draw that sampled it.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/reference/level_surface.h"
#include "platform/gl/resource.h"
#include "platform/gl/state_cache.h"

namespace gl {

class Texture;
struct GlInfo;

using Surface = reference::LevelSurface<Texture>;

class Texture final : public Resource<IDirect3DTexture9> {
public:
    // Arguments must have been checked with CheckTextureArguments.
    Texture(std::shared_ptr<DeviceLink> link, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
            D3DPOOL pool);
    ~Texture() override;

    // Fills in a level count of 0 with the whole chain.
    static HRESULT CheckTextureArguments(const GlInfo& info, UINT width, UINT height, UINT& levels, D3DFORMAT format,
                                         D3DPOOL pool);

    HRESULT QueryInterface(REFIID iid, void** out) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD SetLOD(DWORD lod) override;
    DWORD GetLOD() override { return lod_; }
    DWORD GetLevelCount() override { return static_cast<DWORD>(levels_.size()); }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;

    // Copies the levels of `source` whose sizes match ours (UpdateTexture).
    HRESULT CopyLevelsFrom(const Texture& source);

    // The GL texture with every level up to date, bound to texture unit `unit`.
    GLuint Sync(Functions& gl, StateCache& cache, int unit);

private:
    struct Level {
        UINT width;
        UINT height;
        UINT pitch;
        std::vector<std::uint8_t> bytes;
        bool dirty;
        bool locked;
    };

    void Upload(Functions& gl, GLint index, const Level& level);

    D3DFORMAT format_;
    DWORD lod_ = 0;
    std::vector<Level> levels_;
    std::vector<std::unique_ptr<Surface>> surfaces_;
    GLuint name_ = 0;
    DWORD uploadedLod_ = 0;
};

}  // namespace gl
