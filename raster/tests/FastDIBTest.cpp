#include <gtest/gtest.h>

#include <array>

#include "raster/FastDIB.h"
#include "testsupport/TestRaster.h"

namespace lisko {
namespace {

using test::PixelAt;
using test::Raster24;
using test::Raster8;
using test::Values8;

struct GeometryCase {
    int width;
    int bits;
    int rowBytes;
    int rowPad;
};

class RowGeometry : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(RowGeometry, RowsArePaddedToFourBytes) {
    const GeometryCase c = GetParam();
    const TFastDIB r = TFastDIB::CreateBlank(c.width, 2, c.bits);
    EXPECT_EQ(r.RowBytes(), c.rowBytes);
    EXPECT_EQ(r.RowPad(), c.rowPad);
    EXPECT_EQ(r.ImageSize(), 2 * c.rowBytes);
}

INSTANTIATE_TEST_SUITE_P(Depths, RowGeometry,
                         ::testing::Values(GeometryCase{3, 24, 12, 3}, GeometryCase{5, 8, 8, 3},
                                           GeometryCase{4, 8, 4, 0}, GeometryCase{4, 24, 12, 0},
                                           GeometryCase{1, 24, 4, 1}, GeometryCase{1, 8, 4, 3}));

TEST(FastDIB, RowZeroIsTheBottomRowAndMemoryRunsTopDown) {
    TFastDIB r = TFastDIB::CreateBlank(2, 3, 24);
    // The top row sits first in memory, so the block can be wrapped by a top-down image.
    EXPECT_EQ(r.Row(2) + r.RowBytes(), r.Row(1));
    EXPECT_EQ(r.Row(1) + r.RowBytes(), r.Row(0));
}

TEST(FastDIB, NewRasterIsZeroedWithABlackPalette) {
    const TFastDIB r = TFastDIB::CreateBlank(3, 2, 8);
    EXPECT_EQ(Values8(r), std::vector<std::uint8_t>(6, 0));
    for (const PaletteEntry& e : r.Palette())
        EXPECT_EQ(e, PaletteEntry{});
}

TEST(FastDIB, SetSizeWithTheSameGeometryKeepsPixels) {
    TFastDIB r = Raster8(3, 2, {1, 2, 3, 4, 5, 6});
    r.SetSize(3, 2, 8);
    EXPECT_EQ(Values8(r), (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6}));
    r.SetSize(3, 2, 24);
    EXPECT_EQ(r.BitsPerPixel(), 24);
    EXPECT_EQ(PixelAt(r, 0, 0), BgrBlack);
}

struct BadSize {
    int width;
    int height;
    int bits;
};

class SetSizeRefuses : public ::testing::TestWithParam<BadSize> {};

TEST_P(SetSizeRefuses, NamesTheOperationAndKeepsTheRaster) {
    TFastDIB r = Raster8(2, 1, {7, 9});
    const BadSize c = GetParam();
    try {
        r.SetSize(c.width, c.height, c.bits);
        FAIL() << "accepted " << c.width << " x " << c.height << " at " << c.bits;
    } catch (const RasterError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("SetSize: ", 0), 0u) << e.what();
    }
    EXPECT_EQ(Values8(r), (std::vector<std::uint8_t>{7, 9}));
}

INSTANTIATE_TEST_SUITE_P(Cases, SetSizeRefuses,
                         ::testing::Values(BadSize{4, 4, 1}, BadSize{4, 4, 4}, BadSize{4, 4, 16},
                                           BadSize{4, 4, 32}, BadSize{4, 4, 0}, BadSize{-1, 4, 24},
                                           BadSize{4, -1, 24}, BadSize{32768, 1, 8},
                                           BadSize{1, 60000, 24},
                                           // Each side is allowed, but the pixels would take 3 GiB.
                                           BadSize{30000, 30000, 24}));

TEST(FastDIB, EmptyRastersHaveNoPixelsAndIgnoreClear) {
    TFastDIB r = TFastDIB::CreateBlank(0, 5, 24);
    EXPECT_TRUE(r.IsEmpty());
    r.Clear(BgrWhite);
    EXPECT_THROW(r.ReleasePixels(), RasterError);
}

TEST(FastDIB, MoveLeavesTheSourceEmpty) {
    TFastDIB a = Raster8(2, 2, {1, 2, 3, 4});
    TFastDIB b = std::move(a);
    EXPECT_TRUE(a.IsEmpty());  // NOLINT(bugprone-use-after-move): the moved-from state is defined
    EXPECT_EQ(Values8(b), (std::vector<std::uint8_t>{1, 2, 3, 4}));
}

TEST(FastDIB, Clear24FillsEveryPixelAndLeavesPadding) {
    TFastDIB r = TFastDIB::CreateBlank(3, 2, 24);
    r.Clear({1, 2, 3});
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(PixelAt(r, x, y), (BgrColor{1, 2, 3}));
        for (int p = 9; p < 12; ++p)
            EXPECT_EQ(r.Row(y)[p], 0) << "padding written";
    }
}

TEST(FastDIB, Clear8TakesTheNearestPaletteEntryAndTheLowestOnATie) {
    TFastDIB r = TFastDIB::CreateBlank(2, 1, 8);
    r.Palette()[3] = {10, 10, 10, 0};
    r.Palette()[5] = {30, 30, 30, 0};
    r.Palette()[7] = {10, 10, 10, 0};
    for (std::size_t i = 0; i < 256; ++i) {
        if (i != 3 && i != 5 && i != 7) r.Palette()[i] = {200, 200, 200, 0};
    }
    r.Clear({12, 12, 12});
    EXPECT_EQ(Values8(r), (std::vector<std::uint8_t>{3, 3}));
    r.Clear({25, 25, 25});
    EXPECT_EQ(Values8(r), (std::vector<std::uint8_t>{5, 5}));
}

TEST(CopyRect, CountsYFromTheTopEdge) {
    const TFastDIB source = Raster24(4, 3, [](int x, int row) {
        return BgrColor{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(row), 0};
    });
    TFastDIB dest = TFastDIB::CreateBlank(4, 1, 24);
    source.CopyRect(dest, 0, 0, 4, 1, 0, 0);
    // The picture's top row is the last row of the row table.
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(PixelAt(dest, x, 0), PixelAt(source, x, 2));
}

TEST(CopyRect, CopiesAnInnerBlockToAnOffset) {
    const TFastDIB source = Raster8(4, 4,
                                    {0, 1, 2, 3,    //
                                     4, 5, 6, 7,    //
                                     8, 9, 10, 11,  //
                                     12, 13, 14, 15});
    TFastDIB dest = Raster8(3, 3, std::vector<std::uint8_t>(9, 99));
    // Source block at (1, 1) from the top: picture rows 1..2 are table rows 2 and 1.
    source.CopyRect(dest, 1, 0, 2, 2, 1, 1);
    EXPECT_EQ(Values8(dest), (std::vector<std::uint8_t>{99, 99, 99,  //
                                                        99, 5, 6,    //
                                                        99, 9, 10}));
}

struct ClipCase {
    int destX, destY, w, h, srcX, srcY;
    std::vector<std::uint8_t> expected;
};

class CopyRectClips : public ::testing::TestWithParam<ClipCase> {};

TEST_P(CopyRectClips, CopiesOnlyWhatLiesInsideBothRasters) {
    const TFastDIB source = Raster8(2, 2,
                                    {1, 2,  //
                                     3, 4});
    TFastDIB dest = Raster8(2, 2, {0, 0, 0, 0});
    const ClipCase& c = GetParam();
    source.CopyRect(dest, c.destX, c.destY, c.w, c.h, c.srcX, c.srcY);
    EXPECT_EQ(Values8(dest), c.expected);
}

// Rows are listed bottom first; the picture's top row is {3, 4}.
INSTANTIATE_TEST_SUITE_P(
    Cases, CopyRectClips,
    ::testing::Values(
        ClipCase{0, 0, 5, 5, 0, 0, {1, 2, 3, 4}}, ClipCase{1, 1, 2, 2, 0, 0, {0, 3, 0, 0}},
        ClipCase{-1, 0, 2, 2, 0, 0, {2, 0, 4, 0}}, ClipCase{0, 0, 2, 2, -1, -1, {0, 3, 0, 0}},
        ClipCase{0, 0, 2, 2, 2, 0, {0, 0, 0, 0}}, ClipCase{0, 0, -3, 2, 0, 0, {0, 0, 0, 0}},
        ClipCase{0, 0, 2147483647, 2147483647, -2147483647 - 1, 0, {0, 0, 0, 0}}));

TEST(CopyRect, RefusesDifferentDepths) {
    const TFastDIB source = TFastDIB::CreateBlank(2, 2, 24);
    TFastDIB dest = TFastDIB::CreateBlank(2, 2, 8);
    EXPECT_THROW(source.CopyRect(dest, 0, 0, 1, 1, 0, 0), RasterError);
}

TEST(FillGrayPalette, BlackToWhiteGivesTheShiftedRamp) {
    TFastDIB r = TFastDIB::CreateBlank(1, 1, 8);
    r.FillGrayPalette(0, 255, std::array{BgrBlack, BgrWhite});
    const auto grey = [&](int i) { return r.Palette()[static_cast<std::size_t>(i)].Red; };
    EXPECT_EQ(grey(0), 0);
    EXPECT_EQ(grey(1), 0);
    for (int i = 1; i <= 254; ++i) {
        const PaletteEntry& e = r.Palette()[static_cast<std::size_t>(i)];
        ASSERT_EQ(e,
                  (PaletteEntry{static_cast<std::uint8_t>(i - 1), static_cast<std::uint8_t>(i - 1),
                                static_cast<std::uint8_t>(i - 1), 0}))
            << "entry " << i;
    }
    EXPECT_EQ(grey(254), 253);
    EXPECT_EQ(grey(255), 255);
}

TEST(FillGrayPalette, ThreeColoursPassThroughTheMiddleAndLeaveOtherEntries) {
    TFastDIB r = TFastDIB::CreateBlank(1, 1, 8);
    r.Palette()[0] = {9, 9, 9, 7};
    r.Palette()[20] = {1, 2, 3, 4};
    const std::array colours{BgrColor{0, 0, 0}, BgrColor{0, 0, 200}, BgrColor{100, 100, 100}};
    r.FillGrayPalette(10, 14, colours);
    // Step = 2 * 65536 / 4: positions 0, 0.5, 1, 1.5 of the colour list.
    EXPECT_EQ(r.Palette()[10], (PaletteEntry{0, 0, 0, 0}));
    EXPECT_EQ(r.Palette()[11], (PaletteEntry{0, 0, 100, 0}));
    EXPECT_EQ(r.Palette()[12], (PaletteEntry{0, 0, 200, 0}));
    EXPECT_EQ(r.Palette()[13], (PaletteEntry{50, 50, 150, 0}));
    EXPECT_EQ(r.Palette()[14], (PaletteEntry{100, 100, 100, 0}));
    EXPECT_EQ(r.Palette()[0], (PaletteEntry{9, 9, 9, 7}));
    EXPECT_EQ(r.Palette()[20], (PaletteEntry{1, 2, 3, 4}));
}

TEST(FillGrayPalette, RefusesWhatIsNotARange) {
    TFastDIB r = TFastDIB::CreateBlank(1, 1, 8);
    const std::array colours{BgrBlack, BgrWhite};
    EXPECT_THROW(r.FillGrayPalette(5, 5, colours), RasterError);
    EXPECT_THROW(r.FillGrayPalette(0, 256, colours), RasterError);
    EXPECT_THROW(r.FillGrayPalette(-1, 10, colours), RasterError);
    EXPECT_THROW(r.FillGrayPalette(0, 255, std::span<const BgrColor>{}), RasterError);
}

struct GreyCase {
    BgrColor colour;
    int grey;
};

class ToGray8Values : public ::testing::TestWithParam<GreyCase> {};

TEST_P(ToGray8Values, WeighsEachChannelAThird) {
    const GreyCase c = GetParam();
    const TFastDIB source = test::Uniform24(3, 2, c.colour);
    TFastDIB grey;
    source.ToGray8(grey);
    EXPECT_EQ(grey.BitsPerPixel(), 8);
    EXPECT_EQ(Values8(grey), std::vector<std::uint8_t>(6, static_cast<std::uint8_t>(c.grey)));
    EXPECT_EQ(grey.Palette()[200], (PaletteEntry{199, 199, 199, 0}));
}

INSTANTIATE_TEST_SUITE_P(Cases, ToGray8Values,
                         ::testing::Values(GreyCase{{255, 255, 255}, 255},
                                           GreyCase{{128, 128, 128}, 129},
                                           GreyCase{{0, 0, 255}, 85}, GreyCase{{1, 1, 1}, 0},
                                           GreyCase{{100, 150, 200}, 150},
                                           GreyCase{{86, 0, 0}, 29}));

TEST(ToGray8, From8BitsGoesThroughThePalette) {
    TFastDIB source = Raster8(2, 1, {0, 1});
    source.Palette()[1] = {100, 150, 200, 0};
    TFastDIB grey;
    source.ToGray8(grey);
    EXPECT_EQ(Values8(grey), (std::vector<std::uint8_t>{0, 150}));
}

TEST(ToGray8, ReusesADestinationOfTheRightSize) {
    const TFastDIB source = test::Uniform24(4, 4, BgrWhite);
    TFastDIB grey = TFastDIB::CreateBlank(4, 4, 8);
    const std::uint8_t* before = grey.Row(0);
    source.ToGray8(grey);
    EXPECT_EQ(grey.Row(0), before);
    EXPECT_THROW(grey.ToGray8(grey), RasterError);
}

TEST(ConvertInto, EightToTwentyFourThroughTheGreyRamp) {
    TFastDIB grey = Raster8(4, 1, {0, 1, 200, 255});
    grey.FillGrayPalette(0, 255, std::array{BgrBlack, BgrWhite});
    TFastDIB colour = TFastDIB::CreateBlank(4, 1, 24);
    grey.ConvertInto(colour);
    EXPECT_EQ(PixelAt(colour, 0, 0), (BgrColor{0, 0, 0}));
    EXPECT_EQ(PixelAt(colour, 1, 0), (BgrColor{0, 0, 0}));
    EXPECT_EQ(PixelAt(colour, 2, 0), (BgrColor{199, 199, 199}));
    EXPECT_EQ(PixelAt(colour, 3, 0), (BgrColor{255, 255, 255}));
}

TEST(ConvertInto, SameDepthCopiesPixels) {
    const TFastDIB source = test::Noise24(5, 3, 1);
    TFastDIB dest = TFastDIB::CreateBlank(5, 3, 24);
    source.ConvertInto(dest);
    EXPECT_TRUE(test::SamePixels(source, dest));
}

TEST(ConvertInto, TwentyFourToEightNumbersColoursInOrderOfAppearance) {
    const TFastDIB source = Raster24(3, 1, [](int x, int) {
        return x == 1 ? BgrColor{1, 2, 3} : BgrColor{9, 9, 9};
    });
    TFastDIB dest = TFastDIB::CreateBlank(3, 1, 8);
    source.ConvertInto(dest);
    EXPECT_EQ(Values8(dest), (std::vector<std::uint8_t>{0, 1, 0}));
    EXPECT_EQ(dest.Palette()[0], (PaletteEntry{9, 9, 9, 0}));
    EXPECT_EQ(dest.Palette()[1], (PaletteEntry{1, 2, 3, 0}));
}

TEST(ConvertInto, TwentyFourToEightGivesColoursBeyond256TheNearestEntry) {
    // 256 greys 0..255 take all entries; the 257th colour maps to its nearest grey.
    const TFastDIB source = Raster24(257, 1, [](int x, int) {
        if (x == 256) return BgrColor{10, 12, 11};
        const auto v = static_cast<std::uint8_t>(x);
        return BgrColor{v, v, v};
    });
    TFastDIB dest = TFastDIB::CreateBlank(257, 1, 8);
    source.ConvertInto(dest);
    EXPECT_EQ(Values8(dest)[256], 11);
}

TEST(ConvertInto, RefusesADifferentSize) {
    const TFastDIB source = TFastDIB::CreateBlank(2, 2, 8);
    TFastDIB dest = TFastDIB::CreateBlank(2, 3, 24);
    EXPECT_THROW(source.ConvertInto(dest), RasterError);
}

TEST(ReleasePixels, HandsOverTopDownRowsAndEmptiesTheRaster) {
    TFastDIB r = Raster8(2, 2, {1, 2, 3, 4});
    const ReleasedPixels p = r.ReleasePixels();
    EXPECT_TRUE(r.IsEmpty());
    ASSERT_EQ(p.RowBytes, 4);
    EXPECT_EQ(p.Data[0], 3);  // top row first
    EXPECT_EQ(p.Data[4], 1);
}

}  // namespace
}  // namespace lisko
