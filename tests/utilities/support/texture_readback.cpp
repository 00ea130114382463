#include "support/texture_readback.h"

#include <cstring>

#include "utilities/pixel_codec.h"

namespace testdevice {

LevelContents ReadLevel(IDirect3DTexture9* texture, UINT level) {
    LevelContents contents;
    D3DSURFACE_DESC desc{};
    D3DLOCKED_RECT locked{};
    if (FAILED(texture->GetLevelDesc(level, &desc))) return contents;
    if (FAILED(texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY))) return contents;
    contents.width = desc.Width;
    contents.height = desc.Height;
    contents.format = desc.Format;
    const UINT rowBytes = utilities::StoredRowBytes(desc.Format, desc.Width);
    const UINT rows = utilities::StoredRows(desc.Format, desc.Height);
    contents.bytes.resize(std::size_t(rowBytes) * rows);
    for (UINT y = 0; y < rows; ++y)
        std::memcpy(contents.bytes.data() + std::size_t(y) * rowBytes,
                    static_cast<const BYTE*>(locked.pBits) + std::size_t(y) * locked.Pitch, rowBytes);
    texture->UnlockRect(level);
    return contents;
}

std::vector<D3DCOLOR> ReadLevelArgb(IDirect3DTexture9* texture, UINT level) {
    const LevelContents contents = ReadLevel(texture, level);
    std::vector<D3DCOLOR> argb(std::size_t(contents.width) * contents.height);
    if (contents.bytes.empty()) return {};
    const utilities::PixelRect rect{contents.format, contents.bytes.data(),
                                    utilities::StoredRowBytes(contents.format, contents.width), contents.width,
                                    contents.height};
    utilities::UnpackToArgb(rect, nullptr, argb.data());
    return argb;
}

}  // namespace testdevice
