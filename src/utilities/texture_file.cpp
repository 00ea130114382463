// The file-name forms of texture loading: the file is mapped read-only and decoded straight from
// the mapping, which is always given back.

#include <string>

#include "platform/win32/diagnostics.h"
#include "platform/win32/paths.h"
#include "platform/win32/windows_api.h"
#include "utilities/d3dx_texture.h"
#include "utilities/texture_from_memory.h"

namespace {

// A whole file mapped read-only; data() is null for an empty file, valid() false when the file
// cannot be opened, sized or mapped.
class MappedFile {
public:
    explicit MappedFile(LPCSTR name) {
        file_ =
            CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file_ == INVALID_HANDLE_VALUE) return;
        DWORD high = 0;
        const DWORD size = GetFileSize(file_, &high);
        if (size == INVALID_FILE_SIZE || high != 0) return;  // a texture file never reaches 4 GiB
        size_ = size;
        if (size_ == 0) {
            valid_ = true;
            return;
        }
        mapping_ = CreateFileMappingA(file_, nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (mapping_ == nullptr) return;
        view_ = MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0);
        valid_ = view_ != nullptr;
    }
    ~MappedFile() {
        if (view_ != nullptr) UnmapViewOfFile(view_);
        if (mapping_ != nullptr) CloseHandle(mapping_);
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool valid() const { return valid_; }
    LPCVOID data() const { return view_; }
    UINT size() const { return size_; }

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    HANDLE mapping_ = nullptr;
    LPVOID view_ = nullptr;
    UINT size_ = 0;
    bool valid_ = false;
};

}  // namespace

HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice9* device, LPCSTR fileName, IDirect3DTexture9** texture) {
    return D3DXCreateTextureFromFileExA(device, fileName, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN,
                                        D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, texture);
}

HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* device, LPCSTR fileName, UINT width, UINT height, UINT mipLevels,
                                     DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                     D3DCOLOR colorKey, D3DXIMAGE_INFO* sourceInfo, PALETTEENTRY* palette,
                                     IDirect3DTexture9** texture) {
    if (fileName == nullptr) return D3DERR_INVALIDCALL;
    const MappedFile file(fileName);
    if (!file.valid()) {
        win32::Diagnose(win32::PlatformPath(fileName), win32::WhyCannotOpen(fileName));
        return D3DXERR_INVALIDDATA;
    }
    // An empty file goes on as no data and length 0, which the loader refuses.
    std::string why;
    const HRESULT hr =
        utilities::CreateTextureFromMemory(device, file.data(), file.size(), width, height, mipLevels, usage, format,
                                           pool, filter, mipFilter, colorKey, sourceInfo, palette, texture, &why);
    if (!why.empty()) win32::Diagnose(win32::PlatformPath(fileName), why);
    return hr;
}
