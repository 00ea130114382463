#pragma once
// Texture loading on the reference device, from files the tests write themselves.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/image_writers.h"
#include "support/test_device.h"
#include "support/texture_readback.h"
#include "utilities/d3dx_texture.h"

namespace texturetest {

using testimages::Bytes;

// A texture pointer no loader call may touch on failure.
inline IDirect3DTexture9* const kUntouched = reinterpret_cast<IDirect3DTexture9*>(std::uintptr_t{0x5EED});

class TextureLoadTest : public ::testing::Test {
protected:
    // Loads a file with the scene's call; the texture is released at tear-down.
    HRESULT LoadFile(IDirect3DDevice9* device, const std::string& name, const Bytes& bytes) {
        const std::string path = testimages::WriteTempFile(name, bytes);
        texture_ = kUntouched;
        return D3DXCreateTextureFromFileA(device, path.c_str(), &texture_);
    }
    HRESULT LoadFile(const std::string& name, const Bytes& bytes) { return LoadFile(reference_.get(), name, bytes); }

    // Loads bytes with every argument of the full call at its default but the ones given.
    HRESULT LoadMemory(IDirect3DDevice9* device, const Bytes& bytes, D3DPOOL pool = D3DPOOL_MANAGED,
                       D3DFORMAT format = D3DFMT_UNKNOWN, UINT mipLevels = D3DX_DEFAULT) {
        texture_ = kUntouched;
        return D3DXCreateTextureFromFileInMemoryEx(device, bytes.data(), UINT(bytes.size()), D3DX_DEFAULT, D3DX_DEFAULT,
                                                   mipLevels, 0, format, pool, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr,
                                                   nullptr, &texture_);
    }

    void TearDown() override {
        if (texture_ != nullptr && texture_ != kUntouched) texture_->Release();
    }

    // A device wrapper that lives as long as the test, so that it outlasts the texture it made.
    testdevice::LimitedDevice& Limited(testdevice::Limits limits) {
        limited_.push_back(std::make_unique<testdevice::LimitedDevice>(reference_.get(), std::move(limits)));
        return *limited_.back();
    }

    D3DSURFACE_DESC Desc(UINT level = 0) {
        D3DSURFACE_DESC desc{};
        EXPECT_EQ(texture_->GetLevelDesc(level, &desc), D3D_OK);
        return desc;
    }

    testdevice::ReferenceDevice reference_;
    std::vector<std::unique_ptr<testdevice::LimitedDevice>> limited_;
    IDirect3DTexture9* texture_ = nullptr;
};

}  // namespace texturetest
