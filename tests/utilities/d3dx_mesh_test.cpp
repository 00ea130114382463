// The small mesh object: sizes, creation checks, the attribute table and subset drawing.

#include "utilities/d3dx_mesh.h"

#include <gtest/gtest.h>

#include "recording_device.h"

namespace scene_test {
namespace {

constexpr DWORD kFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;

TEST(D3DXMesh, VertexSizesFollowTheFormat) {
    EXPECT_EQ(D3DXGetFVFVertexSize(kFvf), 32u);
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZ | D3DFVF_TEX2), 28u);
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR), 24u);
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZ | D3DFVF_PSIZE), 16u);
    // Two sets, the first of three floats and the second of one.
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZ | D3DFVF_TEX2 | (1u << 16) | (3u << 18)), 28u);
    // No position, or one with blend weights.
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_NORMAL), 0u);
    EXPECT_EQ(D3DXGetFVFVertexSize(0x006), 0u);
}

class D3DXMeshTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (mesh) mesh->Release();
    }
    void Create(DWORD faces, DWORD vertices) {
        ASSERT_EQ(D3DXCreateMeshFVF(faces, vertices, 0, kFvf, &recorder, &mesh), S_OK);
        recorder.calls.clear();
    }

    RecordingDevice recorder;
    ID3DXMesh* mesh = nullptr;
};

TEST_F(D3DXMeshTest, CreationRefusesWhatCannotMakeAMesh) {
    EXPECT_EQ(D3DXCreateMeshFVF(1, 3, 0, kFvf, nullptr, &mesh), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateMeshFVF(1, 3, 0, kFvf, &recorder, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateMeshFVF(0, 3, 0, kFvf, &recorder, &mesh), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateMeshFVF(1, 0, 0, kFvf, &recorder, &mesh), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateMeshFVF(1, 3, 0x8000, kFvf, &recorder, &mesh), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateMeshFVF(1, 3, 0, D3DFVF_NORMAL, &recorder, &mesh), D3DERR_INVALIDCALL);
    // 16-bit indices cannot name a 65537th vertex; 32-bit ones can.
    EXPECT_EQ(D3DXCreateMeshFVF(1, 65537, 0, kFvf, &recorder, &mesh), D3DERR_INVALIDCALL);
    // Sizes past 32 bits.
    EXPECT_EQ(D3DXCreateMeshFVF(0x20000000, 3, D3DXMESH_32BIT, kFvf, &recorder, &mesh), D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh, nullptr);
    EXPECT_TRUE(recorder.vertexBuffers.empty());

    ASSERT_EQ(D3DXCreateMeshFVF(1, 65537, D3DXMESH_32BIT, kFvf, &recorder, &mesh), S_OK);
    EXPECT_EQ(recorder.indexBuffers[0]->bytes.size(), 12u);
}

TEST_F(D3DXMeshTest, TheBuffersHoldEveryVertexAndFace) {
    Create(4, 6);
    EXPECT_EQ(mesh->GetNumFaces(), 4u);
    EXPECT_EQ(mesh->GetNumVertices(), 6u);
    EXPECT_EQ(mesh->GetFVF(), kFvf);
    EXPECT_EQ(mesh->GetNumBytesPerVertex(), 32u);
    EXPECT_EQ(recorder.vertexBuffers[0]->bytes.size(), 6u * 32u);
    EXPECT_EQ(recorder.indexBuffers[0]->bytes.size(), 4u * 3u * 2u);

    void* data = nullptr;
    ASSERT_EQ(mesh->LockVertexBuffer(0, &data), S_OK);
    EXPECT_EQ(data, recorder.vertexBuffers[0]->bytes.data());
    EXPECT_EQ(mesh->UnlockVertexBuffer(), S_OK);
    ASSERT_EQ(mesh->LockIndexBuffer(0, &data), S_OK);
    EXPECT_EQ(data, recorder.indexBuffers[0]->bytes.data());
}

TEST_F(D3DXMeshTest, ReleasingTheMeshGivesItsBuffersBack) {
    Create(1, 3);
    IDirect3DVertexBuffer9* vertices = nullptr;
    ASSERT_EQ(mesh->GetVertexBuffer(&vertices), S_OK);
    EXPECT_EQ(recorder.vertexBuffers[0]->references, 2u);
    vertices->Release();
    mesh->Release();
    mesh = nullptr;
    EXPECT_EQ(recorder.vertexBuffers[0]->references, 0u);
    EXPECT_EQ(recorder.indexBuffers[0]->references, 0u);
}

TEST_F(D3DXMeshTest, TheAttributeTableRefusesRangesPastTheMesh) {
    Create(4, 6);
    const D3DXATTRIBUTERANGE bonne[] = {{0, 0, 2, 0, 4}, {1, 2, 2, 2, 4}};
    ASSERT_EQ(mesh->SetAttributeTable(bonne, 2), S_OK);

    const D3DXATTRIBUTERANGE tropDeFaces[] = {{0, 3, 2, 0, 4}};
    const D3DXATTRIBUTERANGE tropDeSommets[] = {{0, 0, 1, 4, 3}};
    const D3DXATTRIBUTERANGE quiReboucle[] = {{0, 0xFFFFFFFF, 2, 0, 1}};
    EXPECT_EQ(mesh->SetAttributeTable(tropDeFaces, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh->SetAttributeTable(tropDeSommets, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh->SetAttributeTable(quiReboucle, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(mesh->SetAttributeTable(nullptr, 1), D3DERR_INVALIDCALL);

    // The good table is still there, and is only copied as far as there is room.
    DWORD taille = 0;
    ASSERT_EQ(mesh->GetAttributeTable(nullptr, &taille), S_OK);
    EXPECT_EQ(taille, 2u);
    D3DXATTRIBUTERANGE lue[2] = {};
    taille = 1;
    ASSERT_EQ(mesh->GetAttributeTable(lue, &taille), S_OK);
    EXPECT_EQ(taille, 1u);
    EXPECT_EQ(lue[0].FaceCount, 2u);
    EXPECT_EQ(lue[1].FaceCount, 0u);
}

TEST_F(D3DXMeshTest, ASubsetDrawsEachOfItsRangesAsIndexedTriangles) {
    Create(6, 8);
    recorder.Name(recorder.vertexBuffers[0].get(), "sommets");
    recorder.Name(recorder.indexBuffers[0].get(), "indices");
    const D3DXATTRIBUTERANGE table[] = {{0, 0, 2, 0, 4}, {1, 2, 1, 3, 3}, {0, 3, 3, 4, 4}};
    ASSERT_EQ(mesh->SetAttributeTable(table, 3), S_OK);

    ASSERT_EQ(mesh->DrawSubset(0), S_OK);
    const std::vector<std::string> attendus = {
        Call("SetFVF", {kFvf}),
        "SetStreamSource(0,sommets,0,32)",
        "SetIndices(indices)",
        Call("DrawIndexedPrimitive", {D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2}),
        Call("DrawIndexedPrimitive", {D3DPT_TRIANGLELIST, 0, 4, 4, 9, 3}),
    };
    EXPECT_EQ(recorder.calls, attendus);

    // A subset the table does not name draws nothing and is no error.
    recorder.calls.clear();
    EXPECT_EQ(mesh->DrawSubset(7), S_OK);
    EXPECT_TRUE(recorder.calls.empty());
}

}  // namespace
}  // namespace scene_test
