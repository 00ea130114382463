#include <algorithm>
#include <filesystem>
#include <random>

#include "texture_fixture.h"

namespace texturetest {
namespace {

Bytes SmallPng() {
    testimages::PngPicture picture;
    picture.width = picture.height = 8;
    picture.samples.assign(8 * 8 * 3, 77);
    return testimages::EncodePng(picture);
}

TEST_F(TextureLoadTest, FilesThatAreNoImageAreInvalidData) {
    texture_ = kUntouched;
    EXPECT_EQ(D3DXCreateTextureFromFileA(reference_.get(), "no/such/file.png", &texture_), D3DXERR_INVALIDDATA);
    EXPECT_EQ(texture_, kUntouched);
    const std::string text = "Ceci n'est pas une image.\n";
    EXPECT_EQ(LoadFile("text.png", Bytes(text.begin(), text.end())), D3DXERR_INVALIDDATA);
    EXPECT_EQ(texture_, kUntouched);
    std::mt19937 random(7);
    Bytes noise(5000);
    for (BYTE& b : noise) b = BYTE(random());
    EXPECT_EQ(LoadFile("noise.jpg", noise), D3DXERR_INVALIDDATA);
    EXPECT_EQ(texture_, kUntouched);
    EXPECT_EQ(LoadFile("empty.png", {}), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture_, kUntouched);
    EXPECT_EQ(D3DXCreateTextureFromFileA(reference_.get(), nullptr, &texture_), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture_, kUntouched);
}

TEST_F(TextureLoadTest, SceneNamesWithBackslashesAreFound) {
    const std::string path = testimages::WriteTempFile("back.png", SmallPng());
    std::string scene = path;
    for (char& c : scene)
        if (c == '/') c = '\\';
    ASSERT_EQ(D3DXCreateTextureFromFileA(reference_.get(), scene.c_str(), &texture_), D3D_OK);
    EXPECT_EQ(Desc().Width, 8u);
}

TEST_F(TextureLoadTest, ArgumentChecks) {
    const Bytes png = SmallPng();
    const void* data = png.data();
    const UINT length = UINT(png.size());
    auto load = [&](IDirect3DDevice9* device, const void* bytes, UINT size, DWORD usage, D3DPOOL pool, DWORD filter,
                    IDirect3DTexture9** out) {
        return D3DXCreateTextureFromFileInMemoryEx(device, bytes, size, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, usage,
                                                   D3DFMT_UNKNOWN, pool, filter, D3DX_DEFAULT, 0, nullptr, nullptr,
                                                   out);
    };
    IDirect3DDevice9* device = reference_.get();
    texture_ = kUntouched;
    EXPECT_EQ(load(nullptr, data, length, 0, D3DPOOL_MANAGED, D3DX_DEFAULT, &texture_), D3DERR_INVALIDCALL);
    EXPECT_EQ(load(device, nullptr, length, 0, D3DPOOL_MANAGED, D3DX_DEFAULT, &texture_), D3DERR_INVALIDCALL);
    EXPECT_EQ(load(device, data, 0, 0, D3DPOOL_MANAGED, D3DX_DEFAULT, &texture_), D3DERR_INVALIDCALL);
    EXPECT_EQ(load(device, data, length, 0, D3DPOOL_MANAGED, D3DX_DEFAULT, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(load(device, data, length, D3DUSAGE_WRITEONLY, D3DPOOL_MANAGED, D3DX_DEFAULT, &texture_),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(load(device, data, length, 0, 4, D3DX_DEFAULT, &texture_), D3DERR_INVALIDCALL);
    EXPECT_EQ(load(device, data, length, 0, D3DPOOL_MANAGED, 9, &texture_), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture_, kUntouched);
    EXPECT_EQ(load(device, data, length, D3DX_DEFAULT, D3DPOOL_MANAGED, D3DX_FILTER_POINT, &texture_), D3D_OK);
}

TEST_F(TextureLoadTest, DefaultPoolIsFilledThroughASystemMemoryTwin) {
    testdevice::LimitedDevice& device = Limited(testdevice::Limits{});
    ASSERT_EQ(LoadMemory(&device, SmallPng(), D3DPOOL_DEFAULT), D3D_OK);
    EXPECT_EQ(device.createTextureCalls, 2);
    EXPECT_EQ(device.updateTextureCalls, 1);
    EXPECT_EQ(device.liveTextures, 1) << "the twin is given back";
    EXPECT_EQ(Desc().Pool, D3DPOOL_DEFAULT);
    texture_->Release();
    texture_ = nullptr;
    EXPECT_EQ(device.liveTextures, 0);
}

TEST_F(TextureLoadTest, EveryFailureGivesBackWhatWasMade) {
    struct Case {
        const char* name;
        testdevice::Limits limits;
        D3DPOOL pool;
    };
    testdevice::Limits createFails, twinFails, surfaceFails, updateFails;
    createFails.failCreateTexture = 0;
    twinFails.failCreateTexture = 1;
    surfaceFails.failSurfaceLevel = 2;
    updateFails.failUpdateTexture = true;
    const Case cases[] = {{"texture creation", createFails, D3DPOOL_MANAGED},
                          {"twin creation", twinFails, D3DPOOL_DEFAULT},
                          {"surface of level 2", surfaceFails, D3DPOOL_MANAGED},
                          {"surface of the twin", surfaceFails, D3DPOOL_DEFAULT},
                          {"update", updateFails, D3DPOOL_DEFAULT}};
    for (const Case& c : cases) {
        testdevice::LimitedDevice& device = Limited(c.limits);
        EXPECT_EQ(LoadMemory(&device, SmallPng(), c.pool), D3DERR_OUTOFVIDEOMEMORY) << c.name;
        EXPECT_EQ(texture_, kUntouched) << c.name;
        EXPECT_EQ(device.liveTextures, 0) << c.name;
    }
}

TEST_F(TextureLoadTest, DeviceLimitsShapeTheTexture) {
    testdevice::Limits small;
    small.adjustCaps = [](D3DCAPS9& caps) { caps.MaxTextureWidth = caps.MaxTextureHeight = 4; };
    testdevice::LimitedDevice& limited = Limited(small);
    ASSERT_EQ(LoadMemory(&limited, SmallPng()), D3D_OK);
    EXPECT_EQ(Desc().Width, 4u);
    EXPECT_EQ(texture_->GetLevelCount(), 3u);
    EXPECT_EQ(testdevice::ReadLevelArgb(texture_, 0)[5], 0xFF4D4D4Du) << "a flat image stays flat when shrunk";
    TearDown();

    testdevice::Limits flat;
    flat.adjustCaps = [](D3DCAPS9& caps) { caps.TextureCaps &= ~D3DPTEXTURECAPS_MIPMAP; };
    testdevice::LimitedDevice& noMipmaps = Limited(flat);
    ASSERT_EQ(LoadMemory(&noMipmaps, SmallPng()), D3D_OK);
    EXPECT_EQ(texture_->GetLevelCount(), 1u);
    TearDown();

    ASSERT_EQ(LoadMemory(reference_.get(), SmallPng(), D3DPOOL_MANAGED, D3DFMT_UNKNOWN, 2), D3D_OK);
    EXPECT_EQ(texture_->GetLevelCount(), 2u);
    TearDown();

    // A format asked for by name: grey from colour.
    ASSERT_EQ(LoadMemory(reference_.get(), SmallPng(), D3DPOOL_MANAGED, D3DFMT_L8), D3D_OK);
    EXPECT_EQ(Desc().Format, D3DFMT_L8);
    EXPECT_EQ(testdevice::ReadLevel(texture_, 0).bytes[0], 77);
    TearDown();

    // Nothing the device offers can hold signed data.
    ASSERT_EQ(LoadMemory(reference_.get(), SmallPng(), D3DPOOL_MANAGED, D3DFMT_V8U8), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(texture_, kUntouched);
}

TEST_F(TextureLoadTest, ImageInformationAndPaletteOutputs) {
    testimages::PngPicture picture;
    picture.colourType = 3;  // palette
    picture.width = 2;
    picture.paletteRgb = {1, 2, 3, 4, 5, 6};
    picture.transparency = {9};
    picture.samples = {0, 1};
    const Bytes png = testimages::EncodePng(picture);
    D3DXIMAGE_INFO info{};
    PALETTEENTRY palette[256];
    texture_ = kUntouched;
    ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(reference_.get(), png.data(), UINT(png.size()), D3DX_DEFAULT,
                                                  D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                                  D3DX_DEFAULT, D3DX_DEFAULT, 0, &info, palette, &texture_),
              D3D_OK);
    EXPECT_EQ(info.Width, 2u);
    EXPECT_EQ(info.Height, 1u);
    EXPECT_EQ(info.Format, D3DFMT_P8);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_PNG);
    EXPECT_EQ(palette[0].peRed, 1);
    EXPECT_EQ(palette[0].peFlags, 9);
    EXPECT_EQ(palette[1].peBlue, 6);
    EXPECT_EQ(palette[2].peFlags, 255);
    // With a palette output the image wants P8, which the reference device cannot hold: the
    // texture then takes the colours, alpha included, as it would without the output.
    EXPECT_EQ(Desc().Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(testdevice::ReadLevelArgb(texture_, 0)[0], D3DCOLOR_ARGB(9, 1, 2, 3));
}

// Each file that fails names itself and the reason on standard error, in one line; so does a
// damaged file that still loads. A good file says nothing.
TEST_F(TextureLoadTest, EveryBadFileIsNamedWithItsReasonOnStandardError) {
    const std::string program = program_invocation_short_name;
    struct Case {
        std::string name;
        Bytes bytes;
        HRESULT result;
        std::string reason;  // what the line says after the file's name; a prefix where libpng words the rest
    };
    Bytes png = SmallPng();
    Bytes brokenPng = png;
    brokenPng[29] ^= 0xFF;  // inside IHDR: its checksum no longer matches
    Bytes pattern(64 * 64 * 3);
    for (std::size_t i = 0; i < pattern.size(); ++i) pattern[i] = BYTE(i * 37 % 251);
    const Bytes jpeg = testimages::EncodeJpeg(64, 64, 3, pattern, 95);
    testimages::DdsPicture dxt1;
    dxt1.fourCC = D3DFMT_DXT1;
    const Bytes ddsHeader = testimages::DdsHeader(dxt1);
    const std::string text = "Ceci n'est pas une image.\n";
    const std::vector<Case> cases = {
        {"text.png", Bytes(text.begin(), text.end()), D3DXERR_INVALIDDATA, "not a PNG, JPEG or DDS image"},
        {"empty.png", {}, D3DERR_INVALIDCALL, "empty file"},
        {"cut.png", Bytes(png.begin(), png.begin() + 40), D3DXERR_INVALIDDATA, "truncated: PNG: "},
        {"broken.png", brokenPng, D3DXERR_INVALIDDATA, "decoder error: PNG: "},
        {"cut.jpg", Bytes(jpeg.begin(), jpeg.begin() + jpeg.size() * 2 / 3), D3D_OK,
         "truncated: JPEG: Premature end of JPEG file; the picture keeps what could be read"},
        {"cmyk.jpg", testimages::EncodeJpeg(8, 8, 4, Bytes(8 * 8 * 4, 3)), D3DXERR_INVALIDDATA,
         "decoder error: JPEG with 4 colour components; only grey (1) and colour (3) ones are read"},
        {"header.dds", Bytes(ddsHeader.begin(), ddsHeader.begin() + 100), D3DXERR_INVALIDDATA,
         "truncated: a DDS header takes 128 bytes, the file has 100"},
        {"levels.dds", ddsHeader, D3DXERR_INVALIDDATA, "truncated: DDS level 0 (4 x 4) needs 8 bytes, 0 are left"},
        {"good.png", png, D3D_OK, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = testimages::WriteTempFile(c.name, c.bytes);
        testing::internal::CaptureStderr();
        texture_ = kUntouched;
        EXPECT_EQ(D3DXCreateTextureFromFileA(reference_.get(), path.c_str(), &texture_), c.result);
        const std::string said = testing::internal::GetCapturedStderr();
        if (texture_ != kUntouched) texture_->Release();
        texture_ = nullptr;
        if (c.reason.empty()) {
            EXPECT_EQ(said, "");
            continue;
        }
        const std::string line = program + ": " + path + ": " + c.reason;
        EXPECT_EQ(said.substr(0, line.size()), line);
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    }

    const std::string folder = std::filesystem::temp_directory_path().string();
    const std::string missing = folder + "/quenolde-no-such-texture.png";
    for (const auto& [name, reason] : {std::pair{missing, "not found"}, std::pair{folder, "is a folder"}}) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(D3DXCreateTextureFromFileA(reference_.get(), name.c_str(), &texture_), D3DXERR_INVALIDDATA);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), program + ": " + name + ": " + reason + "\n");
    }
}

}  // namespace
}  // namespace texturetest
