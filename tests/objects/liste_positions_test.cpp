// Tree positions from a grey-level map over a terrain.

#include "objects/liste_positions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>
#include <utility>
#include <vector>

#include "objects/tirage.h"
#include "scene_fixture.h"

namespace scene_test {
namespace {

// Records where it was asked to draw itself.
class ObjetTemoin : public cObjet {
public:
    std::vector<D3DXVECTOR3> appels;
    void Dessiner(float x, float y, float z) override { appels.emplace_back(x, y, z); }
};

using Pixel = std::pair<int, int>;

class ListePositionsTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        // An 8 × 8 terrain at spacing 1 spans x and z from -4 to 4 (its grid from -4 to 3); its
        // ground rises along x, so that heights differ from place to place.
        BuildTerrain(
            8, 8, [](int c, int) { return 20 * c + 10; }, 1.0f, 0.1f);
        GenerateurDesPositions() = GenerateurCongruentiel{};
    }
    void TearDown() override {
        liste.Liberer();
        SceneTest::TearDown();
    }

    template <typename Sample>
    void Charger(int taille, INT nbMax, Sample sample) {
        const std::string carte = WritePgm("arbres.pgm", taille, taille, sample);
        liste.Charger(carte.c_str(), &terrain, nbMax);
    }

    // The map pixels the positions were taken from, for a square map of `taille` over this terrain.
    std::set<Pixel> Pixels(int taille) const {
        std::set<Pixel> pixels;
        for (INT i = 0; i < liste.nbPositions; ++i)
            pixels.emplace(std::lround((liste.positions[i].x + 4.0f) * taille / 8.0f),
                           std::lround((liste.positions[i].z + 4.0f) * taille / 8.0f));
        return pixels;
    }

    std::vector<D3DXVECTOR3> Dessinees() const {
        ObjetTemoin temoin;
        liste.Dessiner(&temoin);
        return temoin.appels;
    }

    cListePositions liste;
};

TEST_F(ListePositionsTest, FewerBrightPixelsThanWantedGiveOnePositionOnEach) {
    // 50 is not bright, 51 is (the one in column 7).
    const std::set<Pixel> clairs = {{0, 0}, {15, 0}, {7, 9}, {3, 15}, {15, 15}};
    Charger(16, 100, [&](int c, int r) { return clairs.count({c, r}) ? (c == 7 ? 51 : 255) : 50; });

    ASSERT_EQ(liste.nbPositions, 5);
    EXPECT_EQ(Pixels(16), clairs);
    // The chosen pixels are cleared in the kept map.
    for (const auto& [c, r] : clairs) EXPECT_EQ(liste.carte[r * 16 + c], 0);
    EXPECT_EQ(liste.carte[1], 50);
}

TEST_F(ListePositionsTest, MoreBrightPixelsThanWantedGiveTheWantedNumberOnDistinctBrightPixels) {
    Charger(32, 40, [](int c, int r) { return (c + r) % 3 == 0 ? 200 : 0; });

    ASSERT_EQ(liste.nbPositions, 40);
    const auto pixels = Pixels(32);
    EXPECT_EQ(pixels.size(), 40u);
    for (const auto& [c, r] : pixels) EXPECT_EQ((c + r) % 3, 0) << c << "," << r;
}

TEST_F(ListePositionsTest, TheColumnIsDrawnFirst) {
    // The sequence starts 41, 18467: column 0 and row 144 of a 256 × 256 map, that is x = -4 and
    // z = -4 + 144 / 256 × 8 = 0.5. Drawn the other way round it would be x = 0.5, z = -4.
    Charger(256, 1, [](int, int) { return 255; });

    ASSERT_EQ(liste.nbPositions, 1);
    EXPECT_FLOAT_EQ(liste.positions[0].x, -4.0f);
    EXPECT_FLOAT_EQ(liste.positions[0].z, 0.5f);
}

TEST_F(ListePositionsTest, TheSameFilesGiveTheSamePositionsDrawnInTheSameOrder) {
    auto dense = [](int c, int r) { return (c * 7 + r * 3) % 5 ? 180 : 20; };
    Charger(64, 100, dense);
    const std::vector<D3DXVECTOR3> premieres = Dessinees();

    GenerateurDesPositions() = GenerateurCongruentiel{};
    Charger(64, 100, dense);
    ASSERT_EQ(liste.nbPositions, 100);
    EXPECT_EQ(Dessinees(), premieres);
    EXPECT_EQ(premieres[99], liste.positions[99]);
}

TEST_F(ListePositionsTest, TheCentrePixelStandsAtTheOriginOnTheGround) {
    Charger(16, 100, [](int c, int r) { return c == 8 && r == 8 ? 255 : 0; });

    ASSERT_EQ(liste.nbPositions, 1);
    EXPECT_EQ(liste.positions[0].x, 0.0f);
    EXPECT_EQ(liste.positions[0].z, 0.0f);
    // Column 4 of the terrain: sample 90 × 0.1.
    EXPECT_FLOAT_EQ(liste.positions[0].y, 9.0f);
}

TEST_F(ListePositionsTest, APositionOffTheGridTakesTheHeightTheTerrainGivesThere) {
    // The map's last column lies at x = 3.5, past the terrain's last column at x = 3.
    Charger(16, 100, [](int c, int r) { return c == 15 && r == 4 ? 255 : 0; });

    ASSERT_EQ(liste.nbPositions, 1);
    EXPECT_FLOAT_EQ(liste.positions[0].x, 3.5f);
    EXPECT_FLOAT_EQ(liste.positions[0].z, -2.0f);
    EXPECT_EQ(liste.positions[0].y, terrain.Altitude(3.5f, -2.0f));
    EXPECT_EQ(liste.positions[0].y, 0.0f);
}

TEST_F(ListePositionsTest, NothingBrightAnUnreadableMapANegativeCountOrNoTerrainGiveAnEmptyList) {
    EXPECT_TRUE(Dessinees().empty());
    Charger(16, 100, [](int, int) { return 50; });
    EXPECT_EQ(liste.nbPositions, 0);
    EXPECT_TRUE(Dessinees().empty());

    Charger(16, -5, [](int, int) { return 255; });
    EXPECT_EQ(liste.nbPositions, 0);
    liste.Charger(Path("arbres.pgm").c_str(), nullptr, 10);
    EXPECT_EQ(liste.nbPositions, 0);
    EXPECT_TRUE(headless::MessageBoxes().empty());

    liste.Charger(Path("absent.pgm").c_str(), &terrain, 100);
    EXPECT_EQ(liste.nbPositions, 0);
    EXPECT_FALSE(liste.positions);
    EXPECT_TRUE(Dessinees().empty());
    liste.Dessiner(nullptr);
    // The reader tells the user; the list adds nothing.
    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(headless::MessageBoxes()[0].text, "Image non trouvée.");
}

TEST_F(ListePositionsTest, ANewFillReplacesTheOldOneAndReleaseCanBeRepeated) {
    Charger(16, 10, [](int, int) { return 255; });
    Charger(16, 10, [](int c, int r) { return c == 8 && r == 8 ? 255 : 0; });
    ASSERT_EQ(liste.nbPositions, 1);
    EXPECT_EQ(liste.positions[0].x, 0.0f);

    liste.Liberer();
    liste.Liberer();
    EXPECT_FALSE(liste.positions);
    EXPECT_FALSE(liste.carte);
    EXPECT_EQ(liste.nbPositions, 1);
    EXPECT_TRUE(Dessinees().empty());
}

TEST_F(ListePositionsTest, TakesMapsBeyondSixteenMegapixels) {
    Charger(4100, 100, [](int c, int) { return c % 2 == 0 ? 255 : 0; });
    ASSERT_EQ(liste.nbPositions, 100);
    EXPECT_EQ(liste.carte.Taille(), 4100u * 4100u);
    for (const Pixel& pixel : Pixels(4100)) EXPECT_EQ(pixel.first % 2, 0) << "on a bright column";
}

TEST_F(ListePositionsTest, AMapCutShortPlacesTreesOnlyWhereItHasPixels) {
    // A 64 × 64 map, all bright, of which the file keeps only the first two rows.
    const std::string carte = WritePgm("arbres.pgm", 64, 64, [](int, int) { return 255; });
    std::filesystem::resize_file(carte, std::filesystem::file_size(carte) - 62 * 64);
    liste.Charger(carte.c_str(), &terrain, 10);
    ASSERT_EQ(liste.nbPositions, 10);
    EXPECT_EQ(liste.carte.NbLus(), 2u * 64u);
    for (INT i = 0; i < liste.nbPositions; ++i) EXPECT_LT(liste.positions[i].z, -4.0f + 2 * 8.0f / 64) << i;
}

}  // namespace
}  // namespace scene_test
