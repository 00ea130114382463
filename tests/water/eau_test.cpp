// The water on the recording device: its quad, the states of its draw, the caustic animation
// against the clock, and its failures.

#include "water/eau.h"

#include <gtest/gtest.h>

#include <cstring>

#include "scene_fixture.h"
#include "water/animation_caustiques.h"

namespace scene_test {
namespace {

// The name the test gives caustic image i. Built by appending: GCC 12 at -O3 takes the insertion
// that `"c" + std::to_string(i)` makes for a possible overlap (a false -Wrestrict).
std::string NomCaustique(int i) {
    std::string nom = "c";
    nom += std::to_string(i);
    return nom;
}

class EauTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        AnimationDeLEau() = AnimationCaustiques{};
        // The scene's terrain size: 128 × 128 at spacing 0.3.
        BuildTerrain(
            128, 128, [](int c, int r) { return (c * r) % 256; }, 0.3f);
        headless::SetTickCount(5000);
    }
    void TearDown() override {
        eau.Liberer();
        SceneTest::TearDown();
    }

    // The water as the scene makes it, with the image files absent: the test puts its own
    // textures in their place.
    void Init(INT nbCaustiques = 32) {
        eau.Init(Path("caust").c_str(), "jpg", nbCaustiques, Path("maskeau.png").c_str(), &terrain, &device, 0.5f,
                 20.0f);
        if (eau.vertexBuffer) recorder.Name(eau.vertexBuffer, "quad");
        for (INT i = 0; i < eau.nbCaustiques && i < 32; ++i) {
            eau.texCaustiques[i] = &caustiques[i];
            recorder.Name(&caustiques[i], NomCaustique(i));
        }
        recorder.calls.clear();
    }

    // Draws once at the current tick and returns what stage 1 was given.
    std::string DessinerEtLire() {
        const size_t avant = recorder.draws.size();
        eau.Dessiner();
        if (recorder.draws.size() != avant + 1) return "no draw";
        return recorder.NameOf(recorder.draws.back().stage1);
    }

    FakeTexture caustiques[32];
    cEau eau;
};

TEST_F(EauTest, TheQuadCoversTheTerrainAtTheWaterHeight) {
    Init();
    ASSERT_EQ(recorder.vertexBuffers.size(), 2u);  // the terrain's, then the water's
    const std::vector<BYTE>& bytes = recorder.vertexBuffers[1]->bytes;
    ASSERT_EQ(bytes.size(), 112u);
    SommetEau quad[4];
    std::memcpy(quad, bytes.data(), sizeof quad);

    // 128 × 0.3 / 2 = 19.2 each way; the mask once across, u towards -x and v towards -z; the
    // caustics 20 times across 38.4 units.
    const float coins[4][2] = {{19.2f, 19.2f}, {19.2f, -19.2f}, {-19.2f, -19.2f}, {-19.2f, 19.2f}};
    const float masque[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(quad[i].position.x, coins[i][0]) << i;
        EXPECT_EQ(quad[i].position.y, 0.5f) << i;
        EXPECT_FLOAT_EQ(quad[i].position.z, coins[i][1]) << i;
        EXPECT_EQ(quad[i].uvMasque[0], masque[i][0]) << i;
        EXPECT_EQ(quad[i].uvMasque[1], masque[i][1]) << i;
        EXPECT_EQ(quad[i].uvCaustique[0], 20.0f * masque[i][0]) << i;
        EXPECT_EQ(quad[i].uvCaustique[1], 20.0f * masque[i][1]) << i;
    }
}

TEST_F(EauTest, AfterwardsBlendingIsOffBothStagesEmptyAndLightingAsBefore) {
    Init();
    for (DWORD eclairage : {TRUE, FALSE}) {
        recorder.renderStates[D3DRS_LIGHTING] = eclairage;
        eau.Dessiner();
        EXPECT_EQ(recorder.renderStates[D3DRS_LIGHTING], eclairage);
        EXPECT_EQ(recorder.renderStates[D3DRS_ALPHABLENDENABLE], static_cast<DWORD>(FALSE));
        EXPECT_EQ(recorder.textures[0], nullptr);
        EXPECT_EQ(recorder.textures[1], nullptr);
    }
}

TEST_F(EauTest, TheImageStepsEveryFortyMillisecondsFromTheFirstDraw) {
    Init();
    EXPECT_EQ(DessinerEtLire(), "c0");
    headless::AdvanceTicks(10);
    EXPECT_EQ(DessinerEtLire(), "c0");
    headless::AdvanceTicks(30);
    EXPECT_EQ(DessinerEtLire(), "c1");
    headless::AdvanceTicks(39);
    EXPECT_EQ(DessinerEtLire(), "c1");
    headless::AdvanceTicks(1);
    EXPECT_EQ(DessinerEtLire(), "c2");
}

TEST_F(EauTest, ASlowFrameShowsTheNextImageOnlyAndTheCycleWrapsAfterThirtyTwo) {
    Init();
    EXPECT_EQ(DessinerEtLire(), "c0");
    headless::AdvanceTicks(1000);
    EXPECT_EQ(DessinerEtLire(), "c1");
    // And the next step is 40 ms after that frame, not a catching-up burst.
    EXPECT_EQ(DessinerEtLire(), "c1");
    for (int i = 2; i < 32; ++i) {
        headless::AdvanceTicks(40);
        EXPECT_EQ(DessinerEtLire(), NomCaustique(i));
    }
    headless::AdvanceTicks(40);
    EXPECT_EQ(DessinerEtLire(), "c0");
}

TEST_F(EauTest, TheAnimationKeepsItsPaceAcrossTheWrapOfTheTickCounter) {
    Init();
    headless::SetTickCount(0xFFFFFFF0u);
    EXPECT_EQ(DessinerEtLire(), "c0");
    // The next change is due at tick 0x18, past the wrap: an unsigned comparison would step now.
    headless::AdvanceTicks(10);
    EXPECT_EQ(DessinerEtLire(), "c0");
    headless::AdvanceTicks(29);
    EXPECT_EQ(DessinerEtLire(), "c0");
    headless::AdvanceTicks(1);
    EXPECT_EQ(DessinerEtLire(), "c1");
}

TEST_F(EauTest, AMissingImageLeavesOnlyItsTurnUntextured) {
    Init();
    eau.texCaustiques[7] = nullptr;
    std::vector<std::string> vus;
    for (int i = 0; i < 10; ++i) {
        vus.push_back(DessinerEtLire());
        headless::AdvanceTicks(40);
    }
    const std::vector<std::string> attendus = {"c0", "c1", "c2", "c3", "c4", "c5", "c6", "null", "c8", "c9"};
    EXPECT_EQ(vus, attendus);
}

TEST_F(EauTest, FewerImagesThanTheCycleAreShownInTurnAndNeverPastTheArray) {
    Init(5);
    ASSERT_EQ(eau.nbCaustiques, 5);
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(DessinerEtLire(), NomCaustique((i % 32) % 5)) << i;
        headless::AdvanceTicks(40);
    }
}

TEST_F(EauTest, AFailedLockIsReportedAndTheWaterLoadsAndDrawsNothing) {
    recorder.failures.lockVertexBuffer = true;
    Init();

    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(headless::MessageBoxes()[0].text, "Erreur remplissage de la mémoire vidéo.");
    EXPECT_EQ(headless::MessageBoxes()[0].caption, "Error cEau");
    EXPECT_EQ(headless::MessageBoxes()[0].type, MB_ICONWARNING);
    EXPECT_EQ(eau.vertexBuffer, nullptr);
    EXPECT_EQ(recorder.vertexBuffers[1]->references, 0u);
    EXPECT_FALSE(eau.texCaustiques);
    EXPECT_EQ(eau.nbCaustiques, 0);

    for (int i = 0; i < 3; ++i) {
        eau.Dessiner();
        headless::AdvanceTicks(40);
    }
    EXPECT_TRUE(recorder.calls.empty());
    eau.Liberer();
    eau.Liberer();

    // A buffer that cannot be made at all ends the same way.
    recorder.failures.createVertexBuffer = true;
    Init();
    ASSERT_EQ(headless::MessageBoxes().size(), 2u);
    EXPECT_EQ(headless::MessageBoxes()[1].caption, "Error cEau");
    eau.Dessiner();
    EXPECT_TRUE(recorder.calls.empty());
}

TEST_F(EauTest, ReleaseGivesEveryTextureAndTheBufferBackAndCanBeRepeated) {
    // Never initialised: nothing to draw or give back.
    eau.Dessiner();
    eau.Liberer();
    Init();
    FakeTexture masque;
    eau.texMasque = &masque;
    eau.Liberer();
    eau.Liberer();

    EXPECT_EQ(masque.references, 0u);
    for (const FakeTexture& caustique : caustiques) EXPECT_EQ(caustique.references, 0u);
    EXPECT_EQ(recorder.vertexBuffers[1]->references, 0u);
    EXPECT_FALSE(eau.texCaustiques);
    eau.Dessiner();
    EXPECT_TRUE(recorder.draws.empty());
}

}  // namespace
}  // namespace scene_test
