// The tree on the recording device: what it gives back after drawing, and its failures. Where
// its quads land and what they show is checked on the reference device (arbre_rendu_test.cpp).

#include "objects/arbre.h"

#include <gtest/gtest.h>

#include <cstring>

#include "scene_fixture.h"

namespace scene_test {
namespace {

class ArbreTest : public SceneTest {
protected:
    void TearDown() override {
        arbre.Liberer();
        SceneTest::TearDown();
    }

    // The texture file is absent: not reported, the quads are drawn untextured.
    void Init() {
        arbre.Init(Path("absent.dds").c_str(), &device);
        recorder.calls.clear();
    }

    cArbre arbre;
};

TEST_F(ArbreTest, AfterAnyNumberOfTreesLightingAndCullingAreAsBeforeAndTheWorldIsTheIdentity) {
    Init();
    for (DWORD avant : {TRUE, FALSE}) {
        recorder.renderStates[D3DRS_LIGHTING] = avant;
        recorder.renderStates[D3DRS_CULLMODE] = avant ? D3DCULL_CW : D3DCULL_NONE;
        recorder.renderStates[D3DRS_ALPHATESTENABLE] = TRUE;
        for (int i = 0; i < 5; ++i) arbre.Dessiner(static_cast<float>(i), 1, -2);

        EXPECT_EQ(recorder.renderStates[D3DRS_LIGHTING], avant);
        EXPECT_EQ(recorder.renderStates[D3DRS_CULLMODE], avant ? D3DCULL_CW : D3DCULL_NONE);
        EXPECT_EQ(recorder.renderStates[D3DRS_ALPHATESTENABLE], static_cast<DWORD>(FALSE));
        EXPECT_EQ(recorder.textures[0], nullptr);
        const D3DMATRIX identite = Identity();
        EXPECT_EQ(std::memcmp(&recorder.world, &identite, sizeof identite), 0);
    }
    // Every tree was placed by its own translation, not on top of the one before.
    ASSERT_EQ(recorder.draws.size(), 20u);
    const D3DMATRIX dernier = Translation(4, 1, -2);
    EXPECT_EQ(std::memcmp(&recorder.draws[18].world, &dernier, sizeof dernier), 0);
    EXPECT_TRUE(headless::MessageBoxes().empty());
}

TEST_F(ArbreTest, ABufferThatCannotBeFilledOrMadeIsReportedAndTheTreeIsThenSkipped) {
    for (bool creationRatee : {false, true}) {
        headless::Reset();
        recorder.failures.lockVertexBuffer = !creationRatee;
        recorder.failures.createVertexBuffer = creationRatee;
        Init();

        ASSERT_EQ(headless::MessageBoxes().size(), 1u);
        EXPECT_EQ(headless::MessageBoxes()[0].text, "Erreur remplissage de la mémoire vidéo.");
        EXPECT_EQ(headless::MessageBoxes()[0].caption, "Error cArbre");
        EXPECT_EQ(headless::MessageBoxes()[0].type, MB_ICONWARNING);
        EXPECT_EQ(arbre.vertexBuffer, nullptr);
        // Skipped whole: not drawn from a null buffer, and no state touched either.
        arbre.Dessiner(1, 2, 3);
        EXPECT_TRUE(recorder.calls.empty());
    }
    EXPECT_EQ(recorder.vertexBuffers[0]->references, 0u);
}

TEST_F(ArbreTest, ReleaseGivesEverythingBackOnceAndCanBeRepeated) {
    // Before Init there is nothing to draw or give back.
    arbre.Dessiner(0, 0, 0);
    arbre.Liberer();
    EXPECT_TRUE(recorder.calls.empty());
    Init();
    FakeTexture image;
    arbre.texture = &image;
    arbre.Liberer();
    arbre.Liberer();

    EXPECT_EQ(image.references, 0u);
    EXPECT_EQ(recorder.vertexBuffers[0]->references, 0u);
    EXPECT_EQ(arbre.pileMatrices, nullptr);
    arbre.Dessiner(0, 0, 0);
    EXPECT_TRUE(recorder.calls.empty());
}

}  // namespace
}  // namespace scene_test
