// The tree on the reference device: where its two quads land, the alpha cut-out, both faces, and
// the states it gives back. Pixel positions follow render_fixture.h: pixel = 8 × world + 32.

#include <gtest/gtest.h>

#include "objects/arbre.h"
#include "render_fixture.h"

namespace scene_test {
namespace {

constexpr std::uint32_t kCiel = 0x204060;
constexpr std::uint32_t kVert = 0x00C000;
constexpr std::uint32_t kBleu = 0x0000FF;

class ArbreRenduTest : public RenderTest {
protected:
    void TearDown() override {
        arbre.Liberer();
        RenderTest::TearDown();
    }

    template <typename Texel>
    void Init(Texel texel) {
        const std::string image = WriteDds("arbre.dds", 4, 4, texel);
        arbre.Init(image.c_str(), &device);
        ASSERT_NE(arbre.texture, nullptr);
        ASSERT_NE(arbre.vertexBuffer, nullptr);
    }

    std::vector<std::uint32_t> Dessiner(const D3DMATRIX& vue, float x, float y, float z) {
        Camera(vue);
        Begin(0xFF000000 | kCiel);
        arbre.Dessiner(x, y, z);
        return End();
    }

    // Every pixel strictly inside [x0, x1] × [y0, y1] is `inside`; the rows and columns just
    // beyond are the sky.
    static void ExpectRectangle(const std::vector<std::uint32_t>& frame, int x0, int x1, int y0, int y1,
                                std::uint32_t inside) {
        for (int y = y0 + 1; y < y1; ++y)
            for (int x = x0 + 1; x < x1; ++x) ASSERT_EQ(Rgb(frame, x, y), inside) << x << "," << y;
        for (int y = y0 + 1; y < y1; ++y) {
            EXPECT_EQ(Rgb(frame, x0 - 1, y), kCiel) << y;
            EXPECT_EQ(Rgb(frame, x1 + 1, y), kCiel) << y;
        }
        for (int x = x0 + 1; x < x1; ++x) {
            EXPECT_EQ(Rgb(frame, x, y0 - 1), kCiel) << x;
            EXPECT_EQ(Rgb(frame, x, y1 + 1), kCiel) << x;
        }
    }

    cArbre arbre;
};

TEST_F(ArbreRenduTest, TheFirstQuadSpansXMinusOneToXPlusOneAndUpTwoUnits) {
    Init([](int, int) { return 0xFF00C000u; });
    // Tree at (1, -2, 0.5): x 0..2 and y -2..0, so pixels 32..48 both ways.
    ExpectRectangle(Dessiner(VueDeFace(), 1, -2, 0.5f), 32, 48, 32, 48, kVert);
}

TEST_F(ArbreRenduTest, TheSecondQuadSpansZMinusOneToZPlusOneAcrossTheFirst) {
    Init([](int, int) { return 0xFF00C000u; });
    // Seen along x: z -0.5..1.5 gives pixels 28..44, y as before.
    ExpectRectangle(Dessiner(VueDeCote(), 1, -2, 0.5f), 28, 44, 32, 48, kVert);
}

TEST_F(ArbreRenduTest, BothFacesShow) {
    Init([](int, int) { return 0xFF00C000u; });
    ExpectRectangle(Dessiner(VueDeFace(), 0, -1, 0), 24, 40, 24, 40, kVert);
    ExpectRectangle(Dessiner(VueDeDos(), 0, -1, 0), 24, 40, 24, 40, kVert);
}

TEST_F(ArbreRenduTest, TexelsBelowAlphaEightAreCutOut) {
    // The picture's left half (u < 0.5, at x > 0) has alpha 7, its right half alpha 8.
    Init([](int c, int) { return c < 2 ? 0x07FF0000u : 0x080000FFu; });
    const auto frame = Dessiner(VueDeFace(), 0, -1, 0);
    for (int y = 26; y <= 38; ++y) {
        for (int x = 26; x <= 30; ++x) ASSERT_EQ(Rgb(frame, x, y), kBleu) << x << "," << y;
        for (int x = 34; x <= 38; ++x) ASSERT_EQ(Rgb(frame, x, y), kCiel) << x << "," << y;
    }
}

}  // namespace
}  // namespace scene_test
