#include "data_set.h"

#include "alpha_mips.h"
#include "caustics.h"
#include "dds_file.h"
#include "encoders.h"
#include "ground_textures.h"
#include "image_writer.h"
#include "landscape.h"
#include "terrain_mask.h"
#include "tree_map.h"
#include "tree_picture.h"
#include "water_mask.h"

namespace makedata {
namespace {

constexpr int kGroundTextureSize = 256;
constexpr int kTerrainMaskSize = 512;  // four texels per grid cell: rock borders finer than the mesh
constexpr int kWaterMaskSize = 256;
constexpr int kTreeSize = 256;
constexpr int kCausticSize = 256;
constexpr int kCausticQuality = 90;

Image GreyImage(const std::vector<uint8_t>& greys, int size) {
    Image image(size, size, 1);
    image.pixels = greys;
    return image;
}

bool AddPng(std::vector<DataFile>& files, const char* path, const Image& image, std::string& error) {
    DataFile file{path, {}};
    if (!EncodePng(image, file.bytes, error)) return false;
    files.push_back(std::move(file));
    return true;
}

}  // namespace

std::string CausticPath(int frame) { return "eau/caustic/caust" + std::to_string(frame) + ".jpg"; }

bool GenerateDataSet(uint64_t seed, std::vector<DataFile>& files, std::string& error) {
    files.clear();
    const HeightImage terrain = GenerateTerrain(seed);
    files.push_back({kHeightImagePath, EncodePgm(GreyImage(terrain.Greys(), kGridSize))});
    if (!AddPng(files, kRockPath, MakeRockTexture(seed, kGroundTextureSize), error) ||
        !AddPng(files, kGrassPath, MakeGrassTexture(seed, kGroundTextureSize), error) ||
        !AddPng(files, kTerrainMaskPath, MakeTerrainMask(terrain, seed, kTerrainMaskSize), error))
        return false;
    files.push_back({kTreeMapPath, EncodePgm(MakeTreeMap(terrain, seed))});
    files.push_back({kTreePath, EncodeDxt5Dds(MakeAlphaTestedMips(PaintTree(seed, kTreeSize)))});
    if (!AddPng(files, kWaterMaskPath, MakeWaterMask(terrain, kWaterMaskSize), error)) return false;
    const std::vector<Image> caustics = MakeCaustics(seed, kCausticFrames, kCausticSize);
    for (int frame = 0; frame < kCausticFrames; ++frame) {
        DataFile file{CausticPath(frame), {}};
        if (!EncodeJpeg(caustics[frame], kCausticQuality, file.bytes, error)) return false;
        files.push_back(std::move(file));
    }
    return true;
}

bool WriteDataSet(const std::filesystem::path& root, const std::vector<DataFile>& files, std::string& error) {
    for (const DataFile& file : files) {
        const std::filesystem::path target = root / file.path;
        std::error_code code;
        std::filesystem::create_directories(target.parent_path(), code);
        if (code) {
            error = "cannot create " + target.parent_path().string() + ": " + code.message();
            return false;
        }
        if (!tools::WriteFile(target.string(), file.bytes, error)) return false;
    }
    return true;
}

}  // namespace makedata
