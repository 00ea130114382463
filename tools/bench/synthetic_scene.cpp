#include "synthetic_scene.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>

namespace bench {
namespace {

constexpr int kGrid = 128;
constexpr float kSpacing = 0.3f;
constexpr float kWaterHeight = 0.5f;
constexpr float kCausticRepeat = 20.0f;
constexpr int kTrees = 100;
constexpr int kCaustics = 32;
constexpr float kPi = 3.14159265f;

struct TerrainVertex {
    float position[3], normal[3], uvMask[2], uvGround[2];
};
struct TreeVertex {
    float position[3], normal[3], uv[2];
};
struct WaterVertex {
    float position[3], uvMask[2], uvCaustic[2];
};

// A smooth, deterministic relief between 0 and 5.1 (the viewer's 0.02 per grey level).
float Relief(int row, int column) {
    float x = static_cast<float>(column) / kGrid, z = static_cast<float>(row) / kGrid;
    float h = 0.5f + 0.25f * std::sin(6.1f * x + 1.3f) * std::cos(5.3f * z + 0.4f) +
              0.15f * std::sin(17.0f * x * z + 2.0f) + 0.1f * std::cos(23.0f * x - 11.0f * z);
    return 5.1f * std::fmin(1.0f, std::fmax(0.0f, h));
}

DWORD Mix(DWORD a, DWORD b, float t) {
    DWORD out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        float ca = static_cast<float>((a >> shift) & 255), cb = static_cast<float>((b >> shift) & 255);
        out |= static_cast<DWORD>(ca + (cb - ca) * t + 0.5f) << shift;
    }
    return out;
}

// A managed texture with a full mip chain: level 0 from `texel`, each smaller level the 2 x 2
// box average of the one above.
IDirect3DTexture9* MakeTexture(IDirect3DDevice9* device, UINT size, D3DFORMAT format,
                               const std::function<DWORD(UINT, UINT)>& texel) {
    IDirect3DTexture9* texture = nullptr;
    if (FAILED(device->CreateTexture(size, size, 0, 0, format, D3DPOOL_MANAGED, &texture, nullptr))) return nullptr;
    std::vector<DWORD> level(size * size);
    for (UINT y = 0; y < size; ++y)
        for (UINT x = 0; x < size; ++x) level[y * size + x] = texel(x, y);
    for (UINT l = 0, s = size; l < texture->GetLevelCount(); ++l, s = s > 1 ? s / 2 : 1) {
        D3DLOCKED_RECT locked{};
        texture->LockRect(l, &locked, nullptr, 0);
        for (UINT y = 0; y < s; ++y) std::memcpy(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch, &level[y * s], s * 4);
        texture->UnlockRect(l);
        if (s == 1) break;
        std::vector<DWORD> smaller((s / 2) * (s / 2));
        for (UINT y = 0; y < s / 2; ++y)
            for (UINT x = 0; x < s / 2; ++x) {
                DWORD sum[4] = {};
                for (UINT k = 0; k < 4; ++k) {
                    DWORD t = level[(2 * y + k / 2) * s + 2 * x + k % 2];
                    for (int c = 0; c < 4; ++c) sum[c] += (t >> (8 * c)) & 255;
                }
                DWORD packed = 0;
                for (int c = 0; c < 4; ++c) packed |= ((sum[c] + 2) / 4) << (8 * c);
                smaller[y * (s / 2) + x] = packed;
            }
        level.swap(smaller);
    }
    return texture;
}

// Value noise that tiles over `period` lattice cells.
float Noise(float x, float y, int period, unsigned seed) {
    auto hash = [&](int i, int j) {
        unsigned h = static_cast<unsigned>((i % period + period) % period) * 73856093u ^
                     static_cast<unsigned>((j % period + period) % period) * 19349663u ^ seed * 83492791u;
        h = (h ^ (h >> 13)) * 1274126177u;
        return static_cast<float>(h & 0xFFFF) / 65535.0f;
    };
    int i = static_cast<int>(std::floor(x)), j = static_cast<int>(std::floor(y));
    float fx = x - i, fy = y - j;
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    float top = hash(i, j) + (hash(i + 1, j) - hash(i, j)) * fx;
    float bottom = hash(i, j + 1) + (hash(i + 1, j + 1) - hash(i, j + 1)) * fx;
    return top + (bottom - top) * fy;
}

template <class T>
IDirect3DVertexBuffer9* FilledBuffer(IDirect3DDevice9* device, const std::vector<T>& data, DWORD fvf) {
    IDirect3DVertexBuffer9* buffer = nullptr;
    UINT bytes = static_cast<UINT>(data.size() * sizeof(T));
    if (FAILED(device->CreateVertexBuffer(bytes, 0, fvf, D3DPOOL_DEFAULT, &buffer, nullptr))) return nullptr;
    void* target = nullptr;
    if (SUCCEEDED(buffer->Lock(0, bytes, &target, 0))) {
        std::memcpy(target, data.data(), bytes);
        buffer->Unlock();
    }
    return buffer;
}

template <class T>
void Give(T*& object) {
    if (object != nullptr) object->Release();
    object = nullptr;
}

}  // namespace

bool SyntheticScene::Create(IDirect3DDevice9* device) {
    device_ = device;
    return CreateTerrain() && CreateTrees() && CreateWater();
}

float SyntheticScene::GroundHeight(float x, float z) const {
    int column = static_cast<int>(std::lround(x / kSpacing + kGrid / 2)), row = static_cast<int>(std::lround(z / kSpacing + kGrid / 2));
    if (column < 0 || row < 0 || column >= kGrid || row >= kGrid) return 0.0f;
    return heights_[row * kGrid + column];
}

bool SyntheticScene::CreateTerrain() {
    heights_.resize(kGrid * kGrid);
    for (int r = 0; r < kGrid; ++r)
        for (int c = 0; c < kGrid; ++c) heights_[r * kGrid + c] = Relief(r, c);
    std::vector<TerrainVertex> vertices(kGrid * kGrid);
    for (int r = 0; r < kGrid; ++r)
        for (int c = 0; c < kGrid; ++c) {
            auto h = [&](int rr, int cc) { return heights_[std::clamp(rr, 0, kGrid - 1) * kGrid + std::clamp(cc, 0, kGrid - 1)]; };
            D3DXVECTOR3 normal(h(r, c - 1) - h(r, c + 1), 2 * kSpacing, h(r - 1, c) - h(r + 1, c));
            D3DXVec3Normalize(&normal, &normal);
            vertices[r * kGrid + c] = {{(c - kGrid / 2) * kSpacing, heights_[r * kGrid + c], (r - kGrid / 2) * kSpacing},
                                       {normal.x, normal.y, normal.z},
                                       {static_cast<float>(c) / kGrid, static_cast<float>(r) / kGrid},
                                       {c * kSpacing, r * kSpacing}};
        }
    std::vector<std::uint16_t> indices;
    for (int r = 0; r + 1 < kGrid; ++r)
        for (int c = 0; c + 1 < kGrid; ++c) {
            // Clockwise on a map with x right and z up, as the viewer's grid is wound.
            auto v = [](int rr, int cc) { return static_cast<std::uint16_t>(rr * kGrid + cc); };
            for (std::uint16_t i : {v(r, c), v(r + 1, c), v(r, c + 1), v(r, c + 1), v(r + 1, c), v(r + 1, c + 1)})
                indices.push_back(i);
        }
    terrainVertexCount_ = kGrid * kGrid;
    terrainTriangleCount_ = static_cast<UINT>(indices.size() / 3);
    terrainVertices_ = FilledBuffer(device_, vertices, 0x212);
    UINT bytes = static_cast<UINT>(indices.size() * 2);
    if (terrainVertices_ == nullptr ||
        FAILED(device_->CreateIndexBuffer(bytes, 0, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &terrainIndices_, nullptr)))
        return false;
    void* target = nullptr;
    terrainIndices_->Lock(0, bytes, &target, 0);
    std::memcpy(target, indices.data(), bytes);
    terrainIndices_->Unlock();

    mask_ = MakeTexture(device_, 256, D3DFMT_A8R8G8B8, [this](UINT x, UINT y) {
        float h = heights_[(y / 2) * kGrid + x / 2] / 5.1f;  // rock high up, grass below
        DWORD alpha = static_cast<DWORD>(std::fmin(255.0f, std::fmax(0.0f, (h - 0.35f) * 4.0f * 255.0f)));
        return alpha << 24 | 0x808080u;
    });
    rock_ = MakeTexture(device_, 256, D3DFMT_X8R8G8B8, [](UINT x, UINT y) {
        return Mix(0xFF4C4A45, 0xFFBFB8AD, Noise(x / 16.0f, y / 16.0f, 16, 11));
    });
    grass_ = MakeTexture(device_, 256, D3DFMT_X8R8G8B8, [](UINT x, UINT y) {
        return Mix(0xFF2E5A1C, 0xFF7BA843, Noise(x / 8.0f, y / 8.0f, 32, 5));
    });
    return mask_ && rock_ && grass_;
}

bool SyntheticScene::CreateTrees() {
    const std::vector<TreeVertex> quad = {{{1, 2, 0}, {0, 0, 0}, {0, 0}}, {{1, 0, 0}, {0, 0, 0}, {0, 1}},
                                          {{-1, 0, 0}, {0, 0, 0}, {1, 1}}, {{-1, 2, 0}, {0, 0, 0}, {1, 0}}};
    treeVertices_ = FilledBuffer(device_, quad, 0x112);
    tree_ = MakeTexture(device_, 128, D3DFMT_A8R8G8B8, [](UINT x, UINT y) {
        float dx = (static_cast<float>(x) - 64) / 64, top = static_cast<float>(y) / 128;
        bool crown = top < 0.75f && std::fabs(dx) < 0.9f * top + 0.05f;
        bool trunk = top >= 0.75f && std::fabs(dx) < 0.08f;
        if (crown) return 0xFF1E6B2Au;
        if (trunk) return 0xFF5A3A1Au;
        return 0x00000000u;
    });
    unsigned seed = 1;
    while (static_cast<int>(treePositions_.size()) < kTrees) {
        seed = seed * 1103515245u + 12345u;
        int column = 8 + static_cast<int>((seed >> 16) % (kGrid - 16));
        seed = seed * 1103515245u + 12345u;
        int row = 8 + static_cast<int>((seed >> 16) % (kGrid - 16));
        float height = heights_[row * kGrid + column];
        if (height > kWaterHeight + 0.2f)
            treePositions_.push_back(D3DXVECTOR3((column - kGrid / 2) * kSpacing, height, (row - kGrid / 2) * kSpacing));
    }
    return treeVertices_ && tree_;
}

bool SyntheticScene::CreateWater() {
    const float h = kGrid * kSpacing * 0.5f, r = kCausticRepeat;
    const std::vector<WaterVertex> quad = {{{h, kWaterHeight, h}, {0, 0}, {0, 0}},
                                           {{h, kWaterHeight, -h}, {0, 1}, {0, r}},
                                           {{-h, kWaterHeight, -h}, {1, 1}, {r, r}},
                                           {{-h, kWaterHeight, h}, {1, 0}, {r, 0}}};
    waterVertices_ = FilledBuffer(device_, quad, 0x202);
    waterMask_ = MakeTexture(device_, 256, D3DFMT_A8R8G8B8, [](UINT x, UINT y) {
        float d = std::hypot(static_cast<float>(x) - 128, static_cast<float>(y) - 128) / 128;
        return static_cast<DWORD>(std::fmax(0.0f, 1 - d * d) * 200) << 24 | 0x6090C0u;
    });
    for (int i = 0; i < kCaustics; ++i) {
        float phase = 2 * kPi * i / kCaustics;
        caustics_.push_back(MakeTexture(device_, 256, D3DFMT_X8R8G8B8, [phase](UINT x, UINT y) {
            float u = 2 * kPi * x / 256, v = 2 * kPi * y / 256;
            float wave = std::sin(3 * u + std::sin(2 * v + phase)) * std::sin(3 * v + std::cos(2 * u - phase));
            return Mix(0xFF10306A, 0xFFD0F0FF, wave * wave);
        }));
        if (caustics_.back() == nullptr) return false;
    }
    return waterVertices_ && waterMask_;
}

void SyntheticScene::Release() {
    Give(terrainVertices_);
    Give(terrainIndices_);
    Give(mask_);
    Give(rock_);
    Give(grass_);
    Give(treeVertices_);
    Give(tree_);
    Give(waterVertices_);
    Give(waterMask_);
    for (auto*& caustic : caustics_) Give(caustic);
    caustics_.clear();
}

void SyntheticScene::DrawFrame(const D3DXMATRIX& view, const D3DXMATRIX& projection, DWORD milliseconds) {
    device_->SetTransform(D3DTS_VIEW, &view);
    device_->SetTransform(D3DTS_PROJECTION, &projection);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFE4FFFF, 1.0f, 0);
    if (SUCCEEDED(device_->BeginScene())) {
        D3DMATERIAL9 material{};
        material.Diffuse = material.Ambient = {1, 1, 1, 1};
        device_->SetMaterial(&material);
        D3DLIGHT9 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = {1, 1, 1, 0};
        light.Range = 1000;
        float t = static_cast<float>(milliseconds) * 0.001f;
        D3DXVECTOR3 direction(std::cos(t), -2.0f, std::sin(t));
        D3DXVec3Normalize(&direction, &direction);
        light.Direction = direction;
        device_->SetLight(0, &light);
        device_->LightEnable(0, TRUE);
        device_->SetRenderState(D3DRS_LIGHTING, TRUE);
        device_->SetRenderState(D3DRS_AMBIENT, 0x00202020);
        DrawTrees();
        DrawTerrainPass(rock_, false);
        DrawTerrainPass(grass_, true);
        DrawWater(milliseconds);
        device_->EndScene();
    }
    device_->Present(nullptr, nullptr, nullptr, nullptr);
}

void SyntheticScene::DrawTrees() {
    device_->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device_->SetRenderState(D3DRS_ALPHAREF, 8);
    device_->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device_->SetFVF(0x112);
    device_->SetStreamSource(0, treeVertices_, 0, sizeof(TreeVertex));
    device_->SetTexture(0, tree_);
    device_->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device_->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    D3DXMATRIX world, turn;
    D3DXMatrixRotationY(&turn, kPi / 2);
    for (const D3DXVECTOR3& p : treePositions_) {
        D3DXMatrixTranslation(&world, p.x, p.y, p.z);
        device_->SetTransform(D3DTS_WORLD, &world);
        device_->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2);
        D3DXMATRIX turned = turn * world;
        device_->SetTransform(D3DTS_WORLD, &turned);
        device_->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2);
    }
    D3DXMatrixIdentity(&world);
    device_->SetTransform(D3DTS_WORLD, &world);
    device_->SetTexture(0, nullptr);
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    device_->SetRenderState(D3DRS_LIGHTING, TRUE);
    device_->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
}

void SyntheticScene::DrawTerrainPass(IDirect3DTexture9* ground, bool second) {
    device_->SetFVF(0x212);
    device_->SetStreamSource(0, terrainVertices_, 0, sizeof(TerrainVertex));
    device_->SetIndices(terrainIndices_);
    device_->SetTexture(0, mask_);
    const DWORD samplerStates[2][5][2] = {
        {{D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP}, {D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP}, {D3DSAMP_MIPFILTER, D3DTEXF_LINEAR},
         {D3DSAMP_MAGFILTER, D3DTEXF_LINEAR}, {D3DSAMP_MINFILTER, D3DTEXF_LINEAR}},
        {{D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP}, {D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP}, {D3DSAMP_MIPFILTER, D3DTEXF_LINEAR},
         {D3DSAMP_MAGFILTER, D3DTEXF_LINEAR}, {D3DSAMP_MINFILTER, D3DTEXF_LINEAR}}};
    for (const auto& state : samplerStates[0]) device_->SetSamplerState(0, state[0], state[1]);
    device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device_->SetTexture(1, ground);
    for (const auto& state : samplerStates[1]) device_->SetSamplerState(1, state[0], state[1]);
    device_->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device_->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    device_->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_TEXTURE);
    device_->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device_->SetTextureStageState(1, D3DTSS_ALPHAARG1, D3DTA_CURRENT);
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device_->SetRenderState(D3DRS_SRCBLEND, second ? D3DBLEND_INVSRCALPHA : D3DBLEND_SRCALPHA);
    device_->SetRenderState(D3DRS_DESTBLEND, second ? D3DBLEND_SRCALPHA : D3DBLEND_ZERO);
    device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, terrainVertexCount_, 0, terrainTriangleCount_);
    device_->SetTexture(0, nullptr);
    device_->SetTexture(1, nullptr);
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device_->SetIndices(nullptr);
}

void SyntheticScene::DrawWater(DWORD milliseconds) {
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    device_->SetFVF(0x202);
    device_->SetStreamSource(0, waterVertices_, 0, sizeof(WaterVertex));
    device_->SetTexture(0, waterMask_);
    device_->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device_->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    device_->SetTexture(1, caustics_[(milliseconds / 40) % kCaustics]);
    device_->SetSamplerState(1, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
    device_->SetSamplerState(1, D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP);
    device_->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device_->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_CURRENT);
    device_->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_TEXTURE);
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_SRCALPHA);
    device_->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2);
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device_->SetTexture(0, nullptr);
    device_->SetTexture(1, nullptr);
    device_->SetRenderState(D3DRS_LIGHTING, TRUE);
}

}  // namespace bench
