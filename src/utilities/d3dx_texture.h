#pragma once
// Texture loading under its D3DX names: an image file (PNG, JPEG or DDS) becomes a texture whose
// size, format and mipmap chain are chosen from the image and from what the device offers.

#include "platform/d3d9/d3d9_api.h"

// Arguments meaning "choose for me" (sizes, levels, filters, usage) and "the image's own size".
constexpr UINT D3DX_DEFAULT = 0xFFFFFFFFu;
constexpr UINT D3DX_DEFAULT_NONPOW2 = 0xFFFFFFFEu;

// Filters: the low byte picks the kernel, the high bits add options.
constexpr DWORD D3DX_FILTER_NONE = 1;
constexpr DWORD D3DX_FILTER_POINT = 2;
constexpr DWORD D3DX_FILTER_LINEAR = 3;
constexpr DWORD D3DX_FILTER_TRIANGLE = 4;
constexpr DWORD D3DX_FILTER_BOX = 5;
constexpr DWORD D3DX_FILTER_MIRROR_U = 0x00010000;
constexpr DWORD D3DX_FILTER_MIRROR_V = 0x00020000;
constexpr DWORD D3DX_FILTER_MIRROR_W = 0x00040000;
constexpr DWORD D3DX_FILTER_MIRROR = 0x00070000;
constexpr DWORD D3DX_FILTER_DITHER = 0x00080000;

constexpr HRESULT D3DXERR_INVALIDDATA = static_cast<HRESULT>(0x88760B59u);

using D3DXIMAGE_FILEFORMAT = DWORD;
constexpr D3DXIMAGE_FILEFORMAT D3DXIFF_BMP = 0;
constexpr D3DXIMAGE_FILEFORMAT D3DXIFF_JPG = 1;
constexpr D3DXIMAGE_FILEFORMAT D3DXIFF_TGA = 2;
constexpr D3DXIMAGE_FILEFORMAT D3DXIFF_PNG = 3;
constexpr D3DXIMAGE_FILEFORMAT D3DXIFF_DDS = 4;
constexpr D3DXIMAGE_FILEFORMAT D3DXIFF_PPM = 5;
constexpr D3DXIMAGE_FILEFORMAT D3DXIFF_DIB = 6;
constexpr D3DXIMAGE_FILEFORMAT D3DXIFF_HDR = 7;
constexpr D3DXIMAGE_FILEFORMAT D3DXIFF_PFM = 8;

// What a file holds, as reported to the caller who asks.
struct D3DXIMAGE_INFO {
    UINT Width;
    UINT Height;
    UINT Depth;
    UINT MipLevels;
    D3DFORMAT Format;
    D3DRESOURCETYPE ResourceType;
    D3DXIMAGE_FILEFORMAT ImageFileFormat;
};

// One palette entry as the caller receives it; peFlags carries the entry's alpha.
struct PALETTEENTRY {
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
};

// The scene's call: every choice left to the loader, a managed texture.
HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice9* device, LPCSTR fileName, IDirect3DTexture9** texture);

// Maps the file read-only (names may use '\'), loads it as D3DXCreateTextureFromFileInMemoryEx
// does, and always gives the mapping back. A missing or unreadable file gives D3DXERR_INVALIDDATA.
HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* device, LPCSTR fileName, UINT width, UINT height, UINT mipLevels,
                                     DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                     D3DCOLOR colorKey, D3DXIMAGE_INFO* sourceInfo, PALETTEENTRY* palette,
                                     IDirect3DTexture9** texture);

// Decodes the bytes and builds the texture. On success *texture holds one new reference; on any
// failure *texture is left as it was and everything made on the way is given back.
// D3DERR_INVALIDCALL: null device, data or texture, length 0, bad usage, pool or filter.
// D3DXERR_INVALIDDATA: no decoder accepts the bytes. D3DERR_NOTAVAILABLE: no device format can
// hold the image. E_OUTOFMEMORY, or the device's own failure, otherwise.
HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice9* device, LPCVOID data, UINT length, UINT width,
                                            UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                            DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                                            D3DXIMAGE_INFO* sourceInfo, PALETTEENTRY* palette,
                                            IDirect3DTexture9** texture);
