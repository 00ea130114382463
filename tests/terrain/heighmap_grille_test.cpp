#include <cmath>

#include "failing_device.h"
#include "terrain_fixture.h"

namespace {

using terrain_test::TerrainTest;

BYTE Relief(int c, int r) { return static_cast<BYTE>((c * 3 + r * 5) & 0xFF); }

TEST_F(TerrainTest, BuildsTheScenesGridCentredOnTheOriginAndCopiesItToTheDevice) {
    ASSERT_EQ(Build(128, 128, Relief), S_OK);
    EXPECT_EQ(terrain.nbSommets, 16384);
    EXPECT_EQ(terrain.nbIndices, 96774);
    EXPECT_FLOAT_EQ(Sommet(0, 0).position.x, -19.2f);
    EXPECT_FLOAT_EQ(Sommet(0, 0).position.z, -19.2f);
    EXPECT_EQ(Sommet(64, 64).position.x, 0.0f);
    EXPECT_EQ(Sommet(64, 64).position.z, 0.0f);
    EXPECT_FLOAT_EQ(Sommet(127, 127).position.x, 18.9f);
    EXPECT_FLOAT_EQ(Sommet(127, 127).position.z, 18.9f);
    // Pixel (c, r) of the file gives column c along x and row r along z.
    EXPECT_FLOAT_EQ(Sommet(5, 100).position.x, (100 - 64) * 0.3f);
    EXPECT_FLOAT_EQ(Sommet(5, 100).position.y, Relief(100, 5) * 0.02f);
    EXPECT_FLOAT_EQ(Sommet(5, 100).position.z, (5 - 64) * 0.3f);

    D3DVERTEXBUFFER_DESC vertices{};
    D3DINDEXBUFFER_DESC indices{};
    ASSERT_EQ(terrain.vertexBuffer->GetDesc(&vertices), D3D_OK);
    ASSERT_EQ(terrain.indexBuffer->GetDesc(&indices), D3D_OK);
    EXPECT_EQ(vertices.Size, 655360u);
    EXPECT_EQ(vertices.FVF, 0x212u);
    EXPECT_EQ(vertices.Pool, D3DPOOL_DEFAULT);
    EXPECT_EQ(indices.Size, 193548u);
    EXPECT_EQ(indices.Format, D3DFMT_INDEX16);
    EXPECT_EQ(indices.Pool, D3DPOOL_DEFAULT);

    const auto floats = Contents<float>(terrain.vertexBuffer, vertices.Size);
    EXPECT_EQ(std::memcmp(floats.data(), terrain.sommets.get(), vertices.Size), 0);
    const auto words = Contents<WORD>(terrain.indexBuffer, indices.Size);
    for (int i = 0; i < terrain.nbIndices; ++i) ASSERT_EQ(words[i], terrain.indices[i]) << i;
    EXPECT_TRUE(headless::MessageBoxes().empty());
}

TEST_F(TerrainTest, CutsEachCellIntoTwoTrianglesClockwiseFromAbove) {
    ASSERT_EQ(Build(2, 2, Relief), S_OK);
    EXPECT_EQ(terrain.nbSommets, 4);
    const std::vector<INT> expected = {0, 2, 1, 2, 3, 1};
    EXPECT_EQ(std::vector<INT>(terrain.indices.get(), terrain.indices.get() + terrain.nbIndices), expected);
}

TEST_F(TerrainTest, NormalsPointUpAndAwayFromTheSlope) {
    ASSERT_EQ(Build(8, 6, [](int, int) { return 100; }), S_OK);
    for (int i = 0; i < terrain.nbSommets; ++i) {
        ASSERT_EQ(terrain.sommets[i].normale.x, 0.0f) << i;
        ASSERT_EQ(terrain.sommets[i].normale.y, 1.0f) << i;
        ASSERT_EQ(terrain.sommets[i].normale.z, 0.0f) << i;
    }
    // Rising by one spacing per column, then per row: every triangle lies in the same plane.
    const float s = std::sqrt(0.5f);
    auto alongX = [](int c, int) { return 10 * c; };
    ASSERT_EQ(Build(8, 6, alongX, 0.5f, 0.5f, 0.05f), S_OK);
    for (int i = 0; i < terrain.nbSommets; ++i) {
        ASSERT_NEAR(terrain.sommets[i].normale.x, -s, 1e-6f) << i;
        ASSERT_NEAR(terrain.sommets[i].normale.y, s, 1e-6f) << i;
    }
    auto alongZ = [](int, int r) { return 10 * r; };
    ASSERT_EQ(Build(8, 6, alongZ, 0.5f, 0.5f, 0.05f), S_OK);
    EXPECT_NEAR(Sommet(3, 3).normale.y, s, 1e-6f);
    EXPECT_NEAR(Sommet(3, 3).normale.z, -s, 1e-6f);
}

TEST_F(TerrainTest, StretchesTheMaskOnceAndRepeatsTheGround) {
    ASSERT_EQ(Build(4, 6, Relief, 0.3f, 0.7f), S_OK);
    EXPECT_EQ(Sommet(0, 0).uvMasque.u, 0.0f);
    EXPECT_EQ(Sommet(0, 0).uvMasque.v, 0.0f);
    EXPECT_EQ(Sommet(0, 0).uvSol.u, 0.0f);
    EXPECT_EQ(Sommet(0, 0).uvSol.v, 0.0f);
    EXPECT_FLOAT_EQ(Sommet(5, 3).uvMasque.u, 3.0f / 4.0f);
    EXPECT_FLOAT_EQ(Sommet(5, 3).uvMasque.v, 5.0f / 6.0f);
    EXPECT_NEAR(Sommet(5, 3).uvSol.u, 3 * 0.3f, 1e-5f);
    EXPECT_NEAR(Sommet(5, 3).uvSol.v, 5 * 0.7f, 1e-5f);
    EXPECT_EQ(Sommet(5, 0).uvSol.u, 0.0f);  // every row starts again from 0
}

TEST_F(TerrainTest, AMissingImageLeavesAnEmptyTerrainAndOnlyTheReadersMessage) {
    EXPECT_EQ(terrain.Init(Missing().c_str(), &device, 0.3f, 0.3f, 0.02f), E_FAIL);
    ExpectEmpty();
    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(headless::MessageBoxes()[0].text, "Image non trouvée.");
    EXPECT_EQ(terrain.Altitude(0.0f, 0.0f), 0.0f);
}

TEST_F(TerrainTest, RefusesGridsItCannotCentreOrIndex) {
    struct Size {
        int width, height;
    };
    // Odd sizes, no cell at all, and one row more than 16-bit indices reach.
    for (Size size : {Size{3, 4}, Size{4, 5}, Size{0, 0}, Size{2, 0}, Size{256, 258}}) {
        SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height));
        headless::Reset();
        EXPECT_EQ(Build(size.width, size.height, Relief), E_FAIL);
        ExpectEmpty();
        ASSERT_EQ(headless::MessageBoxes().size(), 1u);
        EXPECT_EQ(headless::MessageBoxes()[0].caption, "Erreur HeighMap");
        EXPECT_EQ(headless::MessageBoxes()[0].type, MB_ICONWARNING);
    }
    ASSERT_EQ(Build(256, 256, Relief), S_OK);  // exactly 65536 vertices: the last one is 0xFFFF
    const auto words = Contents<WORD>(terrain.indexBuffer, static_cast<UINT>(terrain.nbIndices) * 2);
    EXPECT_EQ(words[words.size() - 2], 0xFFFF);
}

TEST_F(TerrainTest, AnUnsupportedSizeIsNamedWithTheLimitsOnStandardError) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Build(512, 512, Relief), E_FAIL);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              std::string(program_invocation_short_name) + ": " + (root_ / "relief.pgm").string() +
                  ": unsupported size 512 x 512 for a terrain: the width and the height must be even and at least 2, "
                  "and width x height at most 65536 (256 x 256, say)\n"
                  "Erreur HeighMap: Dimensions de l'image de relief non supportées.\n");
    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(headless::MessageBoxes()[0].text, "Dimensions de l'image de relief non supportées.");
}

TEST_F(TerrainTest, GivesEverythingBackOnceEvenWhenReleasedTwice) {
    ASSERT_EQ(Build(4, 4, Relief), S_OK);
    terrain.texMasque = SolidTexture(0xFF000000);
    terrain.texSol = SolidTexture(0xFF000000);
    IUnknown* held[] = {terrain.vertexBuffer, terrain.indexBuffer, terrain.texMasque, terrain.texSol};
    for (IUnknown* object : held) object->AddRef();
    terrain.Liberer();
    terrain.Liberer();
    for (IUnknown* object : held) EXPECT_EQ(object->Release(), 0u);
    ExpectEmpty();
    EXPECT_EQ(terrain.texMasque, nullptr);
    EXPECT_EQ(terrain.texSol, nullptr);
}

TEST_F(TerrainTest, ASecondInitReplacesTheFirstGrid) {
    ASSERT_EQ(Build(4, 4, Relief), S_OK);
    IUnknown* first[] = {terrain.vertexBuffer, terrain.indexBuffer};
    for (IUnknown* object : first) object->AddRef();
    ASSERT_EQ(Build(2, 2, Relief), S_OK);
    EXPECT_EQ(terrain.nbSommets, 4);
    for (IUnknown* object : first) EXPECT_EQ(object->Release(), 0u);
    // A failed one leaves nothing of the earlier grid either.
    EXPECT_EQ(terrain.Init(Missing().c_str(), &device, 0.3f, 0.3f, 0.02f), E_FAIL);
    ExpectEmpty();
}

struct BufferFailure {
    const char* name;
    terrain_test::Failures failures;
    const char* text;
    const char* caption;
    bool keepsVertexBuffer;
};

void PrintTo(const BufferFailure& failure, std::ostream* out) { *out << failure.name; }

class BufferFailureTest : public TerrainTest, public ::testing::WithParamInterface<BufferFailure> {
protected:
    terrain_test::FailingDevice failing;
    IDirect3DDevice9* failingDevice = &failing;
};

TEST_P(BufferFailureTest, TellsTheUserAndLeavesNoHalfMadeBuffer) {
    const BufferFailure& failure = GetParam();
    failing.failures = failure.failures;
    EXPECT_EQ(terrain.Init(WriteImage(4, 4, Relief).c_str(), &failingDevice, 0.3f, 0.3f, 0.02f), S_OK);
    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(headless::MessageBoxes()[0].text, failure.text);
    EXPECT_EQ(headless::MessageBoxes()[0].caption, failure.caption);
    EXPECT_EQ(headless::MessageBoxes()[0].type, MB_ICONWARNING);

    EXPECT_EQ(terrain.vertexBuffer != nullptr, failure.keepsVertexBuffer);
    EXPECT_EQ(terrain.indexBuffer, nullptr);
    // Without vertices no index buffer is even tried.
    const bool indexBufferMade = failure.keepsVertexBuffer && !failure.failures.createIndexBuffer;
    EXPECT_EQ(failing.indexBuffers.size(), indexBufferMade ? 1u : 0u);
    for (auto& buffer : failing.vertexBuffers) EXPECT_EQ(buffer->references, failure.keepsVertexBuffer ? 1u : 0u);
    for (auto& buffer : failing.indexBuffers) EXPECT_EQ(buffer->references, 0u);

    // The grid stays for the height query; nothing is drawn.
    EXPECT_TRUE(terrain.sommets);
    terrain.Dessiner(0);
    EXPECT_EQ(failing.draws, 0);
    terrain.Liberer();
}

// clang-format off
const BufferFailure kFailures[] = {
    {"CreateVertexBuffer", {.createVertexBuffer = true}, "Erreur remplissage de la mémoire vidéo.", "Error HeighMap",
     false},
    {"LockVertexBuffer", {.lockVertexBuffer = true}, "Erreur remplissage de la mémoire vidéo.", "Error HeighMap",
     false},
    {"CreateIndexBuffer", {.createIndexBuffer = true}, "Erreur de la re-copie de l'IndexBuffer", "Erreur HeighMap",
     true},
    {"LockIndexBuffer", {.lockIndexBuffer = true}, "Erreur de la re-copie de l'IndexBuffer", "Erreur HeighMap",
     true},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(EachStep, BufferFailureTest, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
