// The material mesh object on the recording device: subsets in order with their materials and
// textures, and what it leaves behind.

#include "objects/mesh.h"

#include <gtest/gtest.h>

#include <cstring>

#include "recording_device.h"

namespace scene_test {
namespace {

D3DMATERIAL9 Materiau(float r, float g, float b) {
    D3DMATERIAL9 m{};
    m.Diffuse = {r, g, b, 1.0f};
    m.Ambient = {r / 2, g / 2, b / 2, 1.0f};
    m.Specular = {0.5f, 0.5f, 0.5f, 1.0f};
    m.Power = 8.0f;
    return m;
}

bool Memes(const D3DMATERIAL9& a, const D3DMATERIAL9& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

D3DMATERIAL9 Blanc() {
    D3DMATERIAL9 m{};
    m.Diffuse = {1, 1, 1, 1};
    m.Ambient = {1, 1, 1, 1};
    return m;
}

class MeshTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(D3DXCreateMeshFVF(6, 12, 0, D3DFVF_XYZ | D3DFVF_NORMAL, &recorder, &maillage), S_OK);
        recorder.Name(&textures[0], "t0");
        recorder.Name(&textures[2], "t2");
    }
    void TearDown() override {
        objet.Liberer();
        maillage->Release();
    }

    // Subsets 0, 1 and 2; subset 1 in two ranges, listed out of order.
    void TroisSubsets() {
        const D3DXATTRIBUTERANGE table[] = {{2, 4, 2, 8, 4}, {1, 1, 1, 3, 3}, {0, 0, 1, 0, 3}, {1, 2, 2, 4, 4}};
        ASSERT_EQ(maillage->SetAttributeTable(table, 4), S_OK);
        IDirect3DTexture9* parSubset[3] = {&textures[0], nullptr, &textures[2]};
        ASSERT_EQ(objet.Init(&device, maillage, materiaux, parSubset, 3), S_OK);
        recorder.calls.clear();
    }

    RecordingDevice recorder;
    IDirect3DDevice9* device = &recorder;
    ID3DXMesh* maillage = nullptr;
    FakeTexture textures[3];
    const D3DMATERIAL9 materiaux[3] = {Materiau(1, 0, 0), Materiau(0, 1, 0), Materiau(0, 0, 1)};
    cMesh objet;
};

TEST_F(MeshTest, EachSubsetIsDrawnInOrderWithItsMaterialAndTextureAtThePosition) {
    TroisSubsets();
    objet.Dessiner(1, 2, 3);

    // Subset 1's two ranges come from one DrawSubset, between subsets 0 and 2.
    ASSERT_EQ(recorder.draws.size(), 4u);
    const int subset[4] = {0, 1, 1, 2};
    const std::string appels[4] = {
        Call("DrawIndexedPrimitive", {D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1}),
        Call("DrawIndexedPrimitive", {D3DPT_TRIANGLELIST, 0, 3, 3, 3, 1}),
        Call("DrawIndexedPrimitive", {D3DPT_TRIANGLELIST, 0, 4, 4, 6, 2}),
        Call("DrawIndexedPrimitive", {D3DPT_TRIANGLELIST, 0, 8, 4, 12, 2}),
    };
    for (int i = 0; i < 4; ++i) {
        const DrawSnapshot& draw = recorder.draws[i];
        EXPECT_EQ(draw.call, appels[i]);
        EXPECT_TRUE(Memes(draw.material, materiaux[subset[i]])) << i;
        EXPECT_EQ(draw.stage0, subset[i] == 1 ? nullptr : &textures[subset[i]]) << i;
        const D3DMATRIX attendue = Translation(1, 2, 3);
        EXPECT_EQ(std::memcmp(&draw.world, &attendue, sizeof attendue), 0) << i;
    }
    EXPECT_EQ(recorder.samplerStates[std::make_pair(0u, D3DSAMP_ADDRESSU)], D3DTADDRESS_WRAP);
    EXPECT_EQ(recorder.samplerStates[std::make_pair(0u, D3DSAMP_ADDRESSV)], D3DTADDRESS_WRAP);
    EXPECT_EQ(recorder.samplerStates[std::make_pair(0u, D3DSAMP_MIPFILTER)], D3DTEXF_LINEAR);
    EXPECT_EQ(recorder.samplerStates[std::make_pair(0u, D3DSAMP_MAGFILTER)], D3DTEXF_LINEAR);
    EXPECT_EQ(recorder.samplerStates[std::make_pair(0u, D3DSAMP_MINFILTER)], D3DTEXF_LINEAR);
}

TEST_F(MeshTest, AfterwardsTheMaterialIsWhiteStageZeroEmptyAndTheWorldTheIdentity) {
    TroisSubsets();
    objet.Dessiner(1, 2, 3);
    objet.Dessiner(-4, 0, 9);

    EXPECT_TRUE(Memes(recorder.material, Blanc()));
    EXPECT_EQ(recorder.textures[0], nullptr);
    const D3DMATRIX identite = Identity();
    EXPECT_EQ(std::memcmp(&recorder.world, &identite, sizeof identite), 0);
    // The mesh object leaves lighting, culling and blending to its caller.
    EXPECT_TRUE(recorder.CallsStartingWith("SetRenderState").empty());
    // The second draw is placed by its own translation.
    const D3DMATRIX seconde = Translation(-4, 0, 9);
    EXPECT_EQ(std::memcmp(&recorder.draws.back().world, &seconde, sizeof seconde), 0);
}

TEST_F(MeshTest, WithNoSubsetOnlyTheTransformsTheStageResetAndTheWhiteMaterialAreIssued) {
    ASSERT_EQ(objet.Init(&device, maillage, nullptr, nullptr, 0), S_OK);
    recorder.calls.clear();
    objet.Dessiner(5, 6, 7);

    const std::vector<std::string> attendus = {"SetTransform(256)", "SetTexture(0,null)", "SetTransform(256)",
                                               "SetMaterial()"};
    EXPECT_EQ(recorder.calls, attendus);
    EXPECT_TRUE(recorder.draws.empty());
    EXPECT_TRUE(Memes(recorder.material, Blanc()));
}

TEST_F(MeshTest, InitRefusesACountThatIsNotTheMeshsSubsetsAndStaysEmpty) {
    const D3DXATTRIBUTERANGE table[] = {{0, 0, 3, 0, 6}, {1, 3, 3, 6, 6}};
    ASSERT_EQ(maillage->SetAttributeTable(table, 2), S_OK);
    IDirect3DTexture9* parSubset[3] = {nullptr, nullptr, nullptr};

    EXPECT_EQ(objet.Init(&device, maillage, materiaux, parSubset, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(objet.Init(&device, maillage, materiaux, parSubset, 3), D3DERR_INVALIDCALL);
    EXPECT_EQ(objet.Init(&device, maillage, nullptr, parSubset, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(objet.Init(&device, nullptr, materiaux, parSubset, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(objet.Init(nullptr, maillage, materiaux, parSubset, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(objet.mesh, nullptr);
    objet.Dessiner(0, 0, 0);
    EXPECT_TRUE(recorder.calls.empty());

    EXPECT_EQ(objet.Init(&device, maillage, materiaux, parSubset, 2), S_OK);
}

TEST_F(MeshTest, TheObjectHoldsItsOwnReferencesAndGivesThemBackOnce) {
    TroisSubsets();
    EXPECT_EQ(textures[0].references, 2u);
    EXPECT_EQ(textures[2].references, 2u);
    maillage->AddRef();
    EXPECT_EQ(maillage->Release(), 2u);

    objet.Liberer();
    objet.Liberer();
    EXPECT_EQ(textures[0].references, 1u);
    EXPECT_EQ(textures[2].references, 1u);
    maillage->AddRef();
    EXPECT_EQ(maillage->Release(), 1u);
    objet.Dessiner(0, 0, 0);
    EXPECT_TRUE(recorder.calls.empty());
}

}  // namespace
}  // namespace scene_test
