#pragma once
// Textures with their mip levels and the surfaces that stand for the levels, as the API sees
// them. Every level keeps its bytes in main memory exactly as the application wrote them
// (compressed blocks included), all levels in one zeroed block: fresh pages come zeroed from the
// system, so a large texture costs no clearing pass before the loader writes it. Each level
// notes that it changed until the device that samples it has taken the change.

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/device_common/level_surface.h"
#include "platform/device_common/resource.h"

namespace device_common {

// The largest texture side the devices accept (their capabilities say so).
constexpr UINT kMaxTextureSize = 4096;

// Checks the sizes, level count and pool of a new texture whose format the device supports;
// fills in a level count of 0 with the whole chain.
HRESULT CheckTextureShape(UINT width, UINT height, UINT& levels, D3DPOOL pool);

class TextureBase : public Resource<IDirect3DTexture9> {
public:
    struct Level {
        UINT width;
        UINT height;
        UINT pitch;
        std::size_t offset;  // into the texture's block
        std::size_t size;
        bool changed;  // written since the device last took the level
        bool locked;
    };

    // The arguments must have passed CheckTextureShape. Without memory for the levels the
    // texture has no storage (HasStorage), and its creator gives it back.
    TextureBase(std::shared_ptr<DeviceLink> link, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
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

    bool HasStorage() const { return bytes_ != nullptr; }
    D3DFORMAT Format() const { return format_; }
    std::size_t LevelCount() const { return levels_.size(); }
    const Level& LevelAt(std::size_t index) const { return levels_[index]; }
    const std::uint8_t* BytesOf(std::size_t index) const { return bytes_.get() + levels_[index].offset; }
    // The whole block, every level one after the other.
    const std::uint8_t* Bytes() const { return bytes_.get(); }

    // Copies the levels of `source` whose sizes match ours (UpdateTexture): D3DERR_INVALIDCALL
    // when the formats differ or the source lacks a level of our size and all the smaller ones.
    HRESULT CopyLevelsFrom(const TextureBase& source);

protected:
    // Called before any level is written, so that a device still reading the old bytes can
    // finish with them first.
    virtual void BeforeWrite() {}
    // Whether the level changed since the last call, and forgets it.
    bool TakeChange(std::size_t index);

private:
    struct FreeBytes {
        void operator()(void* p) const { std::free(p); }
    };

    D3DFORMAT format_;
    DWORD lod_ = 0;
    std::vector<Level> levels_;
    std::vector<std::unique_ptr<LevelSurface<TextureBase>>> surfaces_;
    std::unique_ptr<std::uint8_t[], FreeBytes> bytes_;
};

}  // namespace device_common
