#pragma once
// Scratch files per test (tests run in parallel processes), and a HeighMap on the reference
// device reached the way the viewer reaches it, over a small headless window.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/d3d9/device_backend.h"
#include "platform/reference/readback.h"
#include "platform/win32/headless/headless.h"
#include "terrain/heighmap.h"

namespace terrain_test {

class ScratchTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = std::filesystem::temp_directory_path() /
                ("terrain_" + std::to_string(getpid()) + "_" + test->test_suite_name() + "_" + test->name());
        std::filesystem::create_directories(root_);
    }
    void TearDown() override { std::filesystem::remove_all(root_); }

    std::string Write(const std::string& name, const std::string& bytes) const {
        const std::string path = (root_ / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::string Missing() const { return (root_ / "absent.pgm").string(); }

    // A plain "P5 W H 255" image whose samples are sample(c, r).
    template <typename Sample>
    std::string WriteImage(int width, int height, Sample sample) const {
        std::string bytes = "P5\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
        for (int r = 0; r < height; ++r)
            for (int c = 0; c < width; ++c) bytes += static_cast<char>(sample(c, r));
        return Write("relief.pgm", bytes);
    }

    std::filesystem::path root_;
};

class TerrainTest : public ScratchTest {
protected:
    static constexpr int kSize = 32;

    void SetUp() override;
    void TearDown() override;

    template <typename Sample>
    HRESULT Build(int width, int height, Sample sample, float pasX = 0.3f, float pasZ = 0.3f, float echelleY = 0.02f) {
        return terrain.Init(WriteImage(width, height, sample).c_str(), &device, pasX, pasZ, echelleY);
    }

    const SommetTerrain& Sommet(int r, int c) const { return terrain.sommets[r * terrain.nbColonnes + c]; }

    // What a failed Init must leave: nothing at all.
    void ExpectEmpty() const;

    // The whole content of a buffer, read back through a lock.
    template <typename T, typename Buffer>
    static std::vector<T> Contents(Buffer* buffer, UINT bytes) {
        std::vector<T> values(bytes / sizeof(T));
        void* data = nullptr;
        EXPECT_EQ(buffer->Lock(0, bytes, &data, 0), D3D_OK);
        std::memcpy(values.data(), data, bytes);
        buffer->Unlock();
        return values;
    }

    // A managed A8R8G8B8 texture of one colour, 2 × 2 texels.
    IDirect3DTexture9* SolidTexture(D3DCOLOR argb);
    std::uint32_t Pixel(int x, int y);

    IDirect3D9* d3d_ = nullptr;
    IDirect3DDevice9* device = nullptr;
    HeighMap terrain;
};

}  // namespace terrain_test
