#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace makedata {

// The seed the build uses; the shipped landscape is the one it gives.
inline constexpr uint64_t kDefaultSeed = 2005;
inline constexpr int kCausticFrames = 32;

// Paths of the files below the Data folder, as the viewer names them (with '/' for its '\').
inline constexpr const char* kHeightImagePath = "terrain/terrain_128x128.pgm";
inline constexpr const char* kRockPath = "terrain/pierre.png";
inline constexpr const char* kGrassPath = "terrain/herbe.png";
inline constexpr const char* kTerrainMaskPath = "terrain/mask.png";
inline constexpr const char* kTreeMapPath = "arbre/terrain_256x256 arbres.pgm";
inline constexpr const char* kTreePath = "arbre/tree01S.dds";
inline constexpr const char* kWaterMaskPath = "eau/maskeau.png";
std::string CausticPath(int frame);  // "eau/caustic/caust<frame>.jpg"

struct DataFile {
    std::string path;  // relative to the Data folder
    std::vector<uint8_t> bytes;
};

// Every file of the Data folder, encoded in memory, in a fixed order. Same seed, same bytes.
// False with a reason if an encoder failed.
bool GenerateDataSet(uint64_t seed, std::vector<DataFile>& files, std::string& error);

// Writes the files under `root`, creating folders. Each file goes through a temporary name and a rename,
// so an interrupted run never leaves a truncated file that looks newer than the tool.
bool WriteDataSet(const std::filesystem::path& root, const std::vector<DataFile>& files, std::string& error);

}  // namespace makedata
