// The water on the reference device: its images loaded by name, and its blend over the frame.
// Pixel positions follow render_fixture.h: pixel = 8 × world + 32.

#include <gtest/gtest.h>

#include <cstdlib>

#include "render_fixture.h"
#include "terrain/heighmap.h"
#include "water/animation_caustiques.h"
#include "water/eau.h"

namespace scene_test {
namespace {

class EauRenduTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        AnimationDeLEau() = AnimationCaustiques{};
        // 8 × 8 at spacing 1: the water spans x and z from -4 to 4, the whole picture; the ground
        // itself is not drawn here.
        const std::string relief = WritePgm("relief.pgm", 8, 8, [](int, int) { return 0; });
        ASSERT_EQ(terrain.Init(relief.c_str(), &device, 1.0f, 1.0f, 0.02f), S_OK);
    }
    void TearDown() override {
        eau.Liberer();
        terrain.Liberer();
        RenderTest::TearDown();
    }

    void Init(INT nbCaustiques) {
        eau.Init(Path("caust").c_str(), "dds", nbCaustiques, Path("maskeau.dds").c_str(), &terrain, &device, 0.5f,
                 20.0f);
    }

    // Draws the water over a frame cleared to `fond`, with the stage settings the terrain's
    // passes leave: stage 0 alpha from the mask, stage 1 passing it on.
    std::vector<std::uint32_t> Dessiner(const D3DMATRIX& vue, D3DCOLOR fond) {
        Camera(vue);
        Begin(fond);
        device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        device->SetTextureStageState(1, D3DTSS_ALPHAARG1, D3DTA_CURRENT);
        eau.Dessiner();
        return End();
    }

    static void ExpectColour(std::uint32_t pixel, int r, int g, int b) {
        EXPECT_NEAR(static_cast<int>((pixel >> 16) & 0xFF), r, 2) << std::hex << pixel;
        EXPECT_NEAR(static_cast<int>((pixel >> 8) & 0xFF), g, 2) << std::hex << pixel;
        EXPECT_NEAR(static_cast<int>(pixel & 0xFF), b, 2) << std::hex << pixel;
    }

    HeighMap terrain;
    cEau eau;
};

TEST_F(EauRenduTest, EveryImageIsLoadedByItsNumberAndAMissingOneOnlyLeavesItsEntryEmpty) {
    for (int i = 0; i < 32; ++i)
        if (i != 7) WriteDds("caust" + std::to_string(i) + ".dds", 2, 2, [](int, int) { return 0xFF808080u; });
    // A zero-padded name is not the seventh image.
    WriteDds("caust07.dds", 2, 2, [](int, int) { return 0xFF808080u; });
    WriteDds("maskeau.dds", 2, 2, [](int, int) { return 0xFFFFFFFFu; });
    Init(32);

    ASSERT_EQ(eau.nbCaustiques, 32);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(eau.texCaustiques[i] == nullptr, i == 7) << i;
    EXPECT_NE(eau.texMasque, nullptr);
    EXPECT_TRUE(headless::MessageBoxes().empty());
}

TEST_F(EauRenduTest, TheWaterAddsItsLightToTheFrameScaledByTheMaskAlpha) {
    // The caustic (102, 153, 51) everywhere. The mask's first texel (u < 0.5, at x > 0) is white
    // and opaque; its second (at x < 0) is (255, 128, 255) with alpha 128.
    WriteDds("caust0.dds", 2, 2, [](int, int) { return 0xFF669933u; });
    WriteDds("maskeau.dds", 2, 1, [](int c, int) { return c == 0 ? 0xFFFFFFFFu : 0x80FF80FFu; });
    Init(1);
    const auto frame = Dessiner(VueDuDessus(), 0xFF7882F0);  // frame (120, 130, 240)

    // At x = 3: 1 × (caustic + frame), green and blue saturating.
    ExpectColour(Rgb(frame, 56, 20), 222, 255, 255);
    ExpectColour(Rgb(frame, 60, 44), 222, 255, 255);
    // At x = -3: a = 128/255 of (mask × caustic + frame) = 0.502 × (102 + 120, 77 + 130, 51 + 240).
    ExpectColour(Rgb(frame, 8, 20), 111, 104, 146);
    ExpectColour(Rgb(frame, 4, 44), 111, 104, 146);
}

TEST_F(EauRenduTest, OnlyTheUpperFaceShowsUnderTheScenesCulling) {
    WriteDds("caust0.dds", 2, 2, [](int, int) { return 0xFF669933u; });
    WriteDds("maskeau.dds", 2, 2, [](int, int) { return 0xFFFFFFFFu; });
    Init(1);

    ExpectColour(Rgb(Dessiner(VueDuDessus(), 0xFF000000), 32, 32), 102, 153, 51);
    // From below, with the same handedness as the scene's camera.
    D3DMATRIX dessous{};
    dessous._11 = 1;
    dessous._23 = 1;
    dessous._32 = 1;
    dessous._44 = 1;
    ExpectColour(Rgb(Dessiner(dessous, 0xFF000000), 32, 32), 0, 0, 0);
}

}  // namespace
}  // namespace scene_test
