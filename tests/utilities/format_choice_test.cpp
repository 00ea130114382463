#include <gtest/gtest.h>

#include <set>

#include "utilities/format_table.h"
#include "utilities/texture_format_choice.h"

namespace {

using utilities::ChooseFormat;

auto Offers(std::set<D3DFORMAT> formats) {
    return [formats](D3DFORMAT f) { return formats.count(f) != 0; };
}

const std::set<D3DFORMAT> kReferenceFormats = {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_L8, D3DFMT_A8L8};

TEST(FormatTable, HoldsItsRowsInOrder) {
    const auto table = utilities::FormatTable();
    ASSERT_EQ(table.size(), 57u);
    EXPECT_EQ(table[0].format, D3DFMT_R8G8B8);
    EXPECT_EQ(table[1].format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(table[2].format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(table[56].format, utilities::kFormatR16);
    std::set<D3DFORMAT> seen;
    for (const auto& row : table) EXPECT_TRUE(seen.insert(row.format).second) << "twice: " << row.format;
    const auto* dxt1 = utilities::DescribeFormat(D3DFMT_DXT1);
    ASSERT_NE(dxt1, nullptr);
    EXPECT_EQ(dxt1->bitsPerPixel, 16);
    EXPECT_EQ(dxt1->channelBits[utilities::kAlpha], 1);
    EXPECT_FALSE(dxt1->candidate);
    EXPECT_EQ(utilities::DescribeFormat(D3DFMT_A16B16G16R16F)->format, 113u);
}

TEST(FormatChoice, TheWantedFormatWinsWhenOffered) {
    EXPECT_EQ(ChooseFormat(D3DFMT_X8R8G8B8, Offers(kReferenceFormats)), D3DFMT_X8R8G8B8);
    EXPECT_EQ(ChooseFormat(D3DFMT_L8, Offers(kReferenceFormats)), D3DFMT_L8);
    // Not a candidate, but asked for by name.
    EXPECT_EQ(ChooseFormat(D3DFMT_DXT5, Offers({D3DFMT_A8R8G8B8, D3DFMT_DXT5})), D3DFMT_DXT5);
}

TEST(FormatChoice, NearestCandidateByChannelDistance) {
    // Grey without L8: X8R8G8B8 adds no unwanted channel, so it beats A8R8G8B8.
    EXPECT_EQ(ChooseFormat(D3DFMT_L8, Offers({D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8})), D3DFMT_X8R8G8B8);
    // DXT1's one alpha bit rules out every format without alpha.
    EXPECT_EQ(ChooseFormat(D3DFMT_DXT1, Offers(kReferenceFormats)), D3DFMT_A8R8G8B8);
    // R5G6B5 loses the alpha (2^24), A1R5G5B5 a bit of green (2^16), A8R8G8B8 only adds bits (15).
    EXPECT_EQ(ChooseFormat(D3DFMT_DXT1, Offers({D3DFMT_A1R5G5B5, D3DFMT_R5G6B5, D3DFMT_A8R8G8B8})), D3DFMT_A8R8G8B8);
    EXPECT_EQ(ChooseFormat(D3DFMT_DXT1, Offers({D3DFMT_A1R5G5B5, D3DFMT_R5G6B5})), D3DFMT_A1R5G5B5);
    // Losing bits costs more than adding them: R5G6B5 → X8R8G8B8 rather than X1R5G5B5.
    EXPECT_EQ(ChooseFormat(D3DFMT_R5G6B5, Offers({D3DFMT_X1R5G5B5, D3DFMT_X8R8G8B8})), D3DFMT_X8R8G8B8);
    // Equal distances: the fewer bits per pixel, although A8R8G8B8 comes first in the table.
    EXPECT_EQ(ChooseFormat(D3DFMT_A4L4, Offers({D3DFMT_A8R8G8B8, D3DFMT_A8L8})), D3DFMT_A8L8);
    // Equal distances and sizes: the first found.
    EXPECT_EQ(ChooseFormat(D3DFMT_A4R4G4B4, Offers({D3DFMT_A8B8G8R8, D3DFMT_A8R8G8B8})), D3DFMT_A8R8G8B8);
}

TEST(FormatChoice, ClassesAndEligibility) {
    // Luminance may become colour, colour never becomes luminance.
    EXPECT_EQ(ChooseFormat(D3DFMT_A8R8G8B8, Offers({D3DFMT_A8L8})), D3DFMT_UNKNOWN);
    EXPECT_EQ(ChooseFormat(D3DFMT_A8L8, Offers({D3DFMT_A8R8G8B8})), D3DFMT_A8R8G8B8);
    // A8 keeps none of grey's channels: not eligible.
    EXPECT_EQ(ChooseFormat(D3DFMT_L8, Offers({D3DFMT_A8})), D3DFMT_UNKNOWN);
    // Signed data only goes to signed formats.
    EXPECT_EQ(ChooseFormat(D3DFMT_V8U8, Offers(kReferenceFormats)), D3DFMT_UNKNOWN);
    EXPECT_EQ(ChooseFormat(D3DFMT_V8U8, Offers({D3DFMT_Q8W8V8U8, D3DFMT_V16U16})), D3DFMT_V16U16);
    // Non-candidates are never substitutes.
    EXPECT_EQ(ChooseFormat(D3DFMT_X8R8G8B8, Offers({D3DFMT_R8G8B8, D3DFMT_DXT1})), D3DFMT_UNKNOWN);

    bool eligible = false;
    EXPECT_EQ(utilities::ChannelDistance(D3DFMT_L8, D3DFMT_A8R8G8B8, &eligible), 256u);
    EXPECT_TRUE(eligible);
    EXPECT_EQ(utilities::ChannelDistance(D3DFMT_DXT1, D3DFMT_X8R8G8B8, &eligible), (1u << 24) + 3 + 2 + 3);
    EXPECT_EQ(utilities::ChannelDistance(D3DFMT_A8R8G8B8, D3DFMT_A4R4G4B4, &eligible), 4u * (4u << 16));
}

TEST(WantedFormat, FollowsTheImageAndThePool) {
    using utilities::WantedFormat;
    EXPECT_EQ(WantedFormat(D3DFMT_X8R8G8B8, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, false, nullptr), D3DFMT_X8R8G8B8);
    EXPECT_EQ(WantedFormat(D3DFMT_R8G8B8, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, false, nullptr), D3DFMT_X8R8G8B8);
    EXPECT_EQ(WantedFormat(D3DFMT_R8G8B8, D3DFMT_UNKNOWN, D3DPOOL_SCRATCH, false, nullptr), D3DFMT_R8G8B8);
    EXPECT_EQ(WantedFormat(utilities::kFormatAL16, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, false, nullptr), D3DFMT_A8L8);
    EXPECT_EQ(WantedFormat(utilities::kFormatR16, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, false, nullptr), D3DFMT_X8R8G8B8);
    EXPECT_EQ(WantedFormat(D3DFMT_L8, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, false, nullptr), D3DFMT_A8R8G8B8);

    utilities::PaletteColour palette[256];
    for (auto& entry : palette) entry = {10, 20, 30, 255};
    EXPECT_EQ(WantedFormat(D3DFMT_P8, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, false, palette), D3DFMT_X8R8G8B8);
    EXPECT_EQ(WantedFormat(D3DFMT_P8, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, true, palette), D3DFMT_P8);
    palette[200].a = 254;
    EXPECT_EQ(WantedFormat(D3DFMT_P8, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, false, palette), D3DFMT_A8R8G8B8);
    EXPECT_EQ(WantedFormat(D3DFMT_A8P8, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, false, palette), D3DFMT_A8R8G8B8);
}

TEST(WantedFormat, GreyRampAndColourCubePalettesAreRecognised) {
    utilities::PaletteColour ramp[256], cube[256];
    const BYTE levels[8] = {0, 36, 73, 109, 146, 182, 219, 255};
    for (int i = 0; i < 256; ++i) {
        ramp[i] = {BYTE(i), BYTE(i), BYTE(i), 255};
        cube[i] = {levels[i >> 5], levels[(i >> 2) & 7], BYTE(85 * (i & 3)), 255};
    }
    using utilities::ReinterpretPaletteImage;
    EXPECT_EQ(ReinterpretPaletteImage(D3DFMT_P8, ramp), D3DFMT_L8);
    EXPECT_EQ(ReinterpretPaletteImage(D3DFMT_P8, cube), D3DFMT_R3G3B2);
    EXPECT_EQ(ReinterpretPaletteImage(D3DFMT_X8R8G8B8, ramp), D3DFMT_X8R8G8B8);
    ramp[17].a = 0;  // no longer the opaque ramp
    EXPECT_EQ(ReinterpretPaletteImage(D3DFMT_P8, ramp), D3DFMT_P8);
    cube[255].b = 254;
    EXPECT_EQ(ReinterpretPaletteImage(D3DFMT_P8, cube), D3DFMT_P8);
}

}  // namespace
