#pragma once
// A scratch folder per test (each test runs in its own process, several at once), a fresh headless
// backend, and the files the scene objects read written into the folder.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/win32/headless/headless.h"

namespace scene_test {

class ScratchTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = std::filesystem::temp_directory_path() /
                ("scene_" + std::to_string(getpid()) + "_" + test->test_suite_name() + "_" + test->name());
        std::filesystem::create_directories(root_);
    }
    void TearDown() override { std::filesystem::remove_all(root_); }

    std::string Path(const std::string& name) const { return (root_ / name).string(); }

    std::string Write(const std::string& name, const std::vector<BYTE>& bytes) const {
        const std::string path = Path(name);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    // A binary grey-level image "P5 W H 255" whose samples are sample(c, r).
    template <typename Sample>
    std::string WritePgm(const std::string& name, int width, int height, Sample sample) const {
        const std::string header = "P5\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
        std::vector<BYTE> bytes(header.begin(), header.end());
        for (int r = 0; r < height; ++r)
            for (int c = 0; c < width; ++c) bytes.push_back(static_cast<BYTE>(sample(c, r)));
        return Write(name, bytes);
    }

    // An uncompressed 32-bit DDS (A8R8G8B8) of one level whose texels are texel(c, r) as 0xAARRGGBB.
    template <typename Texel>
    std::string WriteDds(const std::string& name, int width, int height, Texel texel) const {
        std::vector<BYTE> bytes;
        auto put = [&](DWORD v) {
            for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<BYTE>(v >> (8 * i)));
        };
        put(0x20534444);  // "DDS "
        put(124);
        put(0x100F);  // caps, height, width, pitch, pixel format
        put(static_cast<DWORD>(height));
        put(static_cast<DWORD>(width));
        put(static_cast<DWORD>(width) * 4);
        put(0);  // depth
        put(1);  // levels
        for (int i = 0; i < 11; ++i) put(0);
        put(32);    // pixel format size
        put(0x41);  // RGB with alpha
        put(0);
        put(32);
        put(0x00FF0000);
        put(0x0000FF00);
        put(0x000000FF);
        put(0xFF000000);
        put(0x1000);  // a texture
        for (int i = 0; i < 4; ++i) put(0);
        for (int r = 0; r < height; ++r)
            for (int c = 0; c < width; ++c) put(static_cast<DWORD>(texel(c, r)));
        return Write(name, bytes);
    }

    std::filesystem::path root_;
};

}  // namespace scene_test
