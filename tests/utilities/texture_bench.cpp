// The scene's start-up texture loads (4 PNG, 1 DDS, 32 JPEG files: 38 loads counting the DDS's
// full chain as one) through D3DXCreateTextureFromFileInMemoryEx on the reference device, beside
// libpng and libjpeg alone decoding the same bytes. Files come from the Data folder named by the
// QUENOLDE_DATA environment variable when set, otherwise from files of the same sizes and formats
// made here.
//
//   QUENOLDE_DATA=build/Data ./utilities_texture_bench

#include <benchmark/benchmark.h>
#include <png.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// clang-format off: jpeglib.h needs size_t and FILE declared before it
#include <jpeglib.h>
// clang-format on

#include "support/image_writers.h"
#include "support/test_device.h"
#include "utilities/d3dx_texture.h"
#include "utilities/decoded_image.h"

namespace {

using testimages::Bytes;

struct SceneFile {
    std::string name;
    Bytes bytes;
};

Bytes ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), {});
}

// Smooth colours with some grain, so that the files compress about as real pictures do.
Bytes Picture(UINT width, UINT height, int channels, int seed) {
    Bytes out;
    for (UINT y = 0; y < height; ++y)
        for (UINT x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c) {
                const double wave = std::sin((x + 13.0 * c + seed) * 0.05) * std::cos((y + 7.0 * seed) * 0.07);
                out.push_back(BYTE(128 + 100 * wave + ((x * 31 + y * 17 + c * 5 + seed) % 23)));
            }
    return out;
}

Bytes Png(UINT size, int colourType, int channels, int seed) {
    testimages::PngPicture picture;
    picture.width = picture.height = size;
    picture.colourType = colourType;
    picture.samples = Picture(size, size, channels, seed);
    return testimages::EncodePng(picture);
}

Bytes Dxt5Chain(UINT size) {
    testimages::DdsPicture picture;
    picture.width = picture.height = size;
    picture.fourCC = D3DFMT_DXT5;
    picture.mipCount = 0;
    std::size_t bytes = 0;
    for (UINT s = size; s >= 1; s /= 2, ++picture.mipCount) bytes += std::size_t((s + 3) / 4) * ((s + 3) / 4) * 16;
    Bytes file = testimages::DdsHeader(picture);
    const Bytes blocks = Picture(UINT(bytes), 1, 1, 3);
    file.insert(file.end(), blocks.begin(), blocks.end());
    return file;
}

std::vector<SceneFile> SceneFiles() {
    std::vector<SceneFile> files;
    if (const char* data = std::getenv("QUENOLDE_DATA")) {
        const std::string root = data;
        for (const char* name :
             {"terrain/pierre.png", "terrain/herbe.png", "terrain/mask.png", "eau/maskeau.png", "arbre/tree01S.dds"})
            files.push_back({name, ReadFile(root + "/" + name)});
        for (int i = 0; i < 32; ++i) {
            const std::string name = "eau/caustic/caust" + std::to_string(i) + ".jpg";
            files.push_back({name, ReadFile(root + "/" + name)});
        }
        return files;
    }
    files.push_back({"pierre.png", Png(256, PNG_COLOR_TYPE_RGB, 3, 1)});
    files.push_back({"herbe.png", Png(256, PNG_COLOR_TYPE_RGB, 3, 2)});
    files.push_back({"mask.png", Png(512, PNG_COLOR_TYPE_RGB_ALPHA, 4, 3)});
    files.push_back({"maskeau.png", Png(256, PNG_COLOR_TYPE_RGB_ALPHA, 4, 4)});
    files.push_back({"tree01S.dds", Dxt5Chain(256)});
    for (int i = 0; i < 32; ++i)
        files.push_back({"caust.jpg", testimages::EncodeJpeg(256, 256, 3, Picture(256, 256, 3, i), 85)});
    return files;
}

const std::vector<SceneFile>& Files() {
    static const std::vector<SceneFile> files = SceneFiles();
    return files;
}

bool EndsWith(const std::string& s, const char* suffix) {
    const std::string tail = suffix;
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// libpng alone: the whole image into memory, as 8-bit samples.
void DecodePngAlone(const Bytes& file, std::vector<BYTE>& pixels) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) std::abort();
    pixels.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) std::abort();
}

// libjpeg alone: every row into memory, in its default RGB output.
void DecodeJpegAlone(const Bytes& file, std::vector<BYTE>& pixels) {
    jpeg_decompress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), file.size());
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    const std::size_t pitch = std::size_t(info.output_width) * info.output_components;
    pixels.resize(pitch * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels.data() + info.output_scanline * pitch;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
}

void BM_DecodeWithLibrariesAlone(benchmark::State& state) {
    std::vector<BYTE> pixels;
    for (auto _ : state) {
        for (const SceneFile& file : Files()) {
            if (EndsWith(file.name, ".png")) DecodePngAlone(file.bytes, pixels);
            if (EndsWith(file.name, ".jpg")) DecodeJpegAlone(file.bytes, pixels);
            benchmark::DoNotOptimize(pixels.data());
        }
    }
}
BENCHMARK(BM_DecodeWithLibrariesAlone)->Unit(benchmark::kMillisecond);

// Our decoders alone, without the texture: where the loader's own time goes.
void BM_DecodeWithLoadImage(benchmark::State& state) {
    for (auto _ : state) {
        for (const SceneFile& file : Files()) {
            utilities::DecodedImage image;
            utilities::LoadImageFromMemory(&image, file.bytes.data(), UINT(file.bytes.size()), nullptr, true);
            benchmark::DoNotOptimize(image.faces.data());
        }
    }
}
BENCHMARK(BM_DecodeWithLoadImage)->Unit(benchmark::kMillisecond);

// The device's share: creating and locking the same textures, left unfilled.
void BM_CreateAndLockTexturesOnly(benchmark::State& state) {
    testdevice::ReferenceDevice device;
    std::vector<D3DXIMAGE_INFO> infos;
    for (const SceneFile& file : Files()) {
        D3DXIMAGE_INFO info{};
        utilities::DecodedImage image;
        utilities::LoadImageFromMemory(&image, file.bytes.data(), UINT(file.bytes.size()), &info, false);
        infos.push_back(info);
    }
    for (auto _ : state) {
        for (const D3DXIMAGE_INFO& info : infos) {
            IDirect3DTexture9* texture = nullptr;
            device.get()->CreateTexture(info.Width, info.Height, 0, 0,
                                        info.Format == D3DFMT_DXT5 ? D3DFMT_DXT5 : D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                        &texture, nullptr);
            for (UINT level = 0; level < texture->GetLevelCount(); ++level) {
                IDirect3DSurface9* surface = nullptr;
                D3DLOCKED_RECT locked{};
                texture->GetSurfaceLevel(level, &surface);
                surface->LockRect(&locked, nullptr, 0);
                surface->UnlockRect();
                surface->Release();
            }
            texture->Release();
        }
    }
}
BENCHMARK(BM_CreateAndLockTexturesOnly)->Unit(benchmark::kMillisecond);

void BM_LoadSceneTextures(benchmark::State& state) {
    testdevice::ReferenceDevice device;
    for (auto _ : state) {
        for (const SceneFile& file : Files()) {
            IDirect3DTexture9* texture = nullptr;
            const HRESULT hr = D3DXCreateTextureFromFileInMemoryEx(
                device.get(), file.bytes.data(), UINT(file.bytes.size()), D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &texture);
            if (FAILED(hr)) {
                state.SkipWithError(("could not load " + file.name).c_str());
                return;
            }
            texture->Release();
        }
    }
}
BENCHMARK(BM_LoadSceneTextures)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
