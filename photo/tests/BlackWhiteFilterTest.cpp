#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "photo/BlackWhiteFilter.h"
#include "photo/tests/ReferenceFilter.h"
#include "testsupport/TestRaster.h"

namespace lisko {
namespace {

using test::PixelAt;
using Values = std::vector<std::uint8_t>;

constexpr int kMaxInt = std::numeric_limits<int>::max();

// The smallest channel value that the grey copy weighs as `third` (22102 / 65536 of it).
std::uint8_t ChannelFor(int third) {
    int i = 0;
    while (22102 * i / 65536 < third)
        ++i;
    return static_cast<std::uint8_t>(i);
}

// A colour whose grey copy is exactly `grey`: the grey split into three channel thirds.
BgrColor ColourOfGrey(int grey) {
    const int blue = grey / 3;
    const int green = (grey - blue) / 2;
    return {ChannelFor(blue), ChannelFor(green), ChannelFor(grey - blue - green)};
}

// A 24-bit picture whose grey copy holds `greys`, rows bottom first.
TFastDIB PictureOfGreys(int width, int height, const Values& greys) {
    TFastDIB picture = test::Raster24(width, height, [&](int x, int row) {
        return ColourOfGrey(greys[static_cast<std::size_t>(row * width + x)]);
    });
    TFastDIB check;
    picture.ToGray8(check);
    EXPECT_EQ(test::Values8(check), greys) << "the test picture misses its greys";
    return picture;
}

// How a normalised value shows in the picture: its entry of the grey ramp 0, 0, 1, ..., 253, 255.
std::uint8_t Shown(int v) {
    return static_cast<std::uint8_t>(v == 0 ? 0 : v == 255 ? 255 : v - 1);
}

// The filtered picture's greys, rows bottom first; every pixel must be grey.
Values ShownGreys(const TFastDIB& picture) {
    Values greys;
    for (int y = 0; y < picture.RowCount(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            const BgrColor c = PixelAt(picture, x, y);
            EXPECT_TRUE(c.Blue == c.Green && c.Green == c.Red) << c << " at " << x << ", " << y;
            greys.push_back(c.Blue);
        }
    }
    return greys;
}

struct Normalisation {
    int grey;
    int background;
    int value;
};

class NormalizeGreyValues : public ::testing::TestWithParam<Normalisation> {};

TEST_P(NormalizeGreyValues, StretchesFromThreeTenthsToTheBackground) {
    const Normalisation c = GetParam();
    EXPECT_EQ(NormalizeGrey(c.grey, c.background), c.value);
}

// Background 100 has the black point 30 and the range 70.
INSTANTIATE_TEST_SUITE_P(
    Cases, NormalizeGreyValues,
    ::testing::Values(Normalisation{0, 100, 0},      // far below the black point
                      Normalisation{29, 100, 0},     // just below it
                      Normalisation{30, 100, 0},     // the black point itself
                      Normalisation{31, 100, 4},     // 3.64
                      Normalisation{65, 100, 128},   // 127.5, a tie: to the even 128
                      Normalisation{96, 100, 240},   // 240.43, just at the cut-off
                      Normalisation{97, 100, 255},   // 244.07, above it
                      Normalisation{100, 100, 255},  // the background itself
                      Normalisation{255, 100, 255},  // brighter than its background
                      Normalisation{3, 8, 42},       // 42.5, a tie: to the even 42
                      Normalisation{2, 6, 51},       // exactly 51
                      Normalisation{0, 0, 255},      // no range: white
                      Normalisation{255, 0, 255},    // whatever the grey
                      Normalisation{0, 1, 0},        // black point 0, range 1
                      Normalisation{1, 1, 255},      // 255
                      Normalisation{76, 255, 0},     // black point 76, range 179
                      Normalisation{77, 255, 1},     // 1.42
                      Normalisation{254, 255, 255}),
    [](const auto& testCase) {
        return "Grey" + std::to_string(testCase.param.grey) + "On" +
               std::to_string(testCase.param.background);
    });

TEST(NormalizeGrey, RefusesValuesOutsideAByte) {
    for (const auto& [grey, background] :
         {std::pair{-1, 100}, std::pair{256, 100}, std::pair{10, -1}, std::pair{10, 256}}) {
        try {
            NormalizeGrey(grey, background);
            ADD_FAILURE() << "accepted " << grey << " on " << background;
        } catch (const RasterError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("NormalizeGrey: ", 0), 0u) << e.what();
        }
    }
}

TEST(NormalizeGrey, NeverGivesTheLevelsJustBelowWhite) {
    for (int background = 0; background < 256; ++background) {
        for (int grey = 0; grey < 256; ++grey) {
            const int v = NormalizeGrey(grey, background);
            ASSERT_TRUE((v >= 0 && v <= WhiteCutoff) || v == 255)
                << v << " for " << grey << " on " << background;
        }
    }
}

// One darker pixel in a 4 x 4 picture of uniform background: every 2 x 2 tile's brightest grey
// is the background, smoothing a uniform estimate keeps it, so the pixel meets exactly that
// background.
struct Isolated {
    int background;
    int grey;
    int shown;
};

class FilterOnUniformBackground : public ::testing::TestWithParam<Isolated> {};

TEST_P(FilterOnUniformBackground, ShowsThePixelAgainstItsBackground) {
    const Isolated c = GetParam();
    Values greys(16, static_cast<std::uint8_t>(c.background));
    greys[1 * 4 + 2] = static_cast<std::uint8_t>(c.grey);
    TFastDIB picture = PictureOfGreys(4, 4, greys);
    BlackWhiteFilter(1, 1, 0, picture);
    Values expected(16, 255);
    expected[1 * 4 + 2] = static_cast<std::uint8_t>(c.shown);
    EXPECT_EQ(ShownGreys(picture), expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, FilterOnUniformBackground,
                         ::testing::Values(Isolated{100, 30, 0},    // at the black point
                                           Isolated{100, 12, 0},    // below it
                                           Isolated{100, 65, 127},  // value 128
                                           Isolated{100, 96, 239},  // value 240
                                           Isolated{100, 97, 255},  // value 244
                                           Isolated{8, 3, 41},      // value 42
                                           Isolated{6, 2, 50},      // value 51
                                           Isolated{255, 77, 0},    // value 1: entry 1 is black
                                           Isolated{255, 78, 2}),   // value 3
                         [](const auto& testCase) {
                             return "Grey" + std::to_string(testCase.param.grey) + "On" +
                                    std::to_string(testCase.param.background);
                         });

class FilterOfUniformPicture : public ::testing::TestWithParam<BgrColor> {};

TEST_P(FilterOfUniformPicture, IsPureWhite) {
    for (const auto& [brightness, contrast] :
         {std::pair{1, 0}, std::pair{0, 5}, std::pair{7, 20}}) {
        TFastDIB picture = test::Uniform24(9, 6, GetParam());
        BlackWhiteFilter(1, brightness, contrast, picture);
        EXPECT_TRUE(test::SamePixels(picture, test::Uniform24(9, 6, BgrWhite)))
            << "brightness " << brightness << ", contrast " << contrast;
    }
}

INSTANTIATE_TEST_SUITE_P(Colours, FilterOfUniformPicture,
                         ::testing::Values(BgrBlack, BgrWhite, BgrColor{128, 128, 128},
                                           BgrColor{0, 0, 255}, BgrColor{100, 150, 200},
                                           BgrColor{1, 1, 1}, BgrColor{3, 0, 0}),
                         [](const auto& testCase) {
                             const BgrColor c = testCase.param;
                             // Appended piece by piece: GCC 12 at -O3 takes "B" + std::string
                             // for an overlapping copy (-Wrestrict).
                             std::string name = "B";
                             name += std::to_string(c.Blue);
                             name += "G";
                             name += std::to_string(c.Green);
                             name += "R";
                             name += std::to_string(c.Red);
                             return name;
                         });

TEST(BlackWhiteFilter, ImageTypeZeroLeavesThePictureAlone) {
    const TFastDIB original = test::PageLike24(13, 7, 3);
    TFastDIB picture = test::PageLike24(13, 7, 3);
    BlackWhiteFilter(0, 1, 0, picture);
    EXPECT_TRUE(test::SamePixels(picture, original));
    // Colour mode does not look at the raster at all.
    TFastDIB grey = test::Raster8(2, 1, {5, 6});
    BlackWhiteFilter(0, 1, 0, grey);
    EXPECT_EQ(test::Values8(grey), (Values{5, 6}));
}

TEST(BlackWhiteFilter, EveryOtherImageTypeFilters) {
    TFastDIB expected = test::PageLike24(13, 7, 3);
    BlackWhiteFilter(1, 1, 0, expected);
    EXPECT_FALSE(test::SamePixels(expected, test::PageLike24(13, 7, 3)));
    for (int imageType : {2, -1, kMaxInt, std::numeric_limits<int>::min()}) {
        TFastDIB picture = test::PageLike24(13, 7, 3);
        BlackWhiteFilter(imageType, 1, 0, picture);
        EXPECT_TRUE(test::SamePixels(picture, expected)) << "image type " << imageType;
    }
}

TEST(BlackWhiteFilter, NegativeBrightnessAndContrastActLikeZero) {
    TFastDIB expected = test::PageLike24(31, 17, 4);
    BlackWhiteFilter(1, 0, 0, expected);
    for (const auto& [brightness, contrast] :
         {std::pair{-1, 0}, std::pair{0, -1}, std::pair{-5, -9},
          std::pair{std::numeric_limits<int>::min(), std::numeric_limits<int>::min()}}) {
        TFastDIB picture = test::PageLike24(31, 17, 4);
        BlackWhiteFilter(1, brightness, contrast, picture);
        EXPECT_TRUE(test::SamePixels(picture, expected))
            << "brightness " << brightness << ", contrast " << contrast;
    }
}

TEST(BlackWhiteFilter, TileLargerThanThePictureCoversItWhole) {
    TFastDIB expected = test::PageLike24(20, 11, 6);
    BlackWhiteFilter(1, 19, 2, expected);
    for (int brightness : {20, 1000, kMaxInt}) {
        TFastDIB picture = test::PageLike24(20, 11, 6);
        BlackWhiteFilter(1, brightness, 2, picture);
        EXPECT_TRUE(test::SamePixels(picture, expected)) << "brightness " << brightness;
    }
}

// Pictures whose tiles of edge 2, anchored at column 0 and at the bottom row, each hold the grey
// 200, so that the background is 200 everywhere and every pixel shows its own normalised value.
// Any other tiling has a tile without 200 and a darker, uneven background.
struct Tiling {
    const char* name;
    int width;
    int height;
    Values greys;  // rows bottom first
};

class FilterTiles : public ::testing::TestWithParam<Tiling> {};

TEST_P(FilterTiles, StartAtTheLeftColumnAndTheBottomRow) {
    const Tiling& c = GetParam();
    TFastDIB picture = PictureOfGreys(c.width, c.height, c.greys);
    BlackWhiteFilter(1, 1, 0, picture);
    Values expected;
    for (std::uint8_t g : c.greys)
        expected.push_back(Shown(NormalizeGrey(g, 200)));
    EXPECT_EQ(ShownGreys(picture), expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, FilterTiles,
                         ::testing::Values(
                             // Tiles over columns (rows) 0-1, 2-3 and 4; anchored at the other
                             // end, the first pixel would be a tile of its own holding only 100.
                             Tiling{"OneRow", 5, 1, {100, 200, 200, 130, 200}},
                             Tiling{"OneColumn", 1, 5, {100, 200, 200, 130, 200}},
                             // From the top, the bottom row would be a tile row of its own, whose
                             // first tile holds only 100 and 130; from the right, the top row's
                             // tile over columns 1-2 would hold only 60 and 170.
                             Tiling{"Grid",
                                    5,
                                    3,
                                    {100, 130, 200, 120, 200,  //
                                     200, 110, 90, 140, 150,   //
                                     200, 60, 170, 200, 200}}),
                         [](const auto& testCase) { return testCase.param.name; });

TEST(BlackWhiteFilter, NarrowLastTileKeepsItsOwnMaximum) {
    // Tiles over columns 0-1, 2-3 and 4 hold the maxima 200, 60 and 120. One smoothing pass of
    // spread 1 along the single row, left corner new and right corner old:
    // (200+200)*2/4 = 200, (200+60)*2/4 = 130, (130+60)*2/4 = 95, (95+120)*2/4 = 107,
    // (107+120)*2/4 = 113. Normalised: 10 on 200 is 0; 200 on 130 is far above white; 50 on 95
    // is 22 * 255 / 67 = 83.7 -> 84; 60 on 107 is 28 * 255 / 75 = 95.2 -> 95; 120 on 113 is white.
    TFastDIB picture = PictureOfGreys(5, 1, {10, 200, 50, 60, 120});
    BlackWhiteFilter(1, 1, 0, picture);
    EXPECT_EQ(ShownGreys(picture), (Values{0, 255, 83, 94, 255}));
}

TEST(BlackWhiteFilter, ShowsOnlyTheGreysBelowTheCutOffAndWhite) {
    for (std::uint32_t seed = 1; seed <= 3; ++seed) {
        TFastDIB picture = test::Noise24(64, 48, seed);
        BlackWhiteFilter(1, 2, 1, picture);
        TFastDIB page = test::PageLike24(64, 48, seed);
        BlackWhiteFilter(1, 1, 0, page);
        for (const TFastDIB* result : {&picture, &page}) {
            for (std::uint8_t g : ShownGreys(*result))
                ASSERT_TRUE(g < WhiteCutoff || g == 255) << int{g};
        }
    }
}

TEST(BlackWhiteFilter, LeavesRowPaddingAlone) {
    TFastDIB picture = test::PageLike24(5, 4, 8);
    ASSERT_EQ(picture.RowPad(), 1);
    for (int y = 0; y < 4; ++y)
        picture.Row(y)[15] = 0xA5;
    BlackWhiteFilter(1, 1, 3, picture);
    for (int y = 0; y < 4; ++y)
        EXPECT_EQ(picture.Row(y)[15], 0xA5) << "row " << y;
}

TEST(BlackWhiteFilter, LeavesAPictureWithoutPixelsAlone) {
    for (const auto& [width, height] : {std::pair{0, 5}, std::pair{5, 0}, std::pair{0, 0}}) {
        TFastDIB picture = TFastDIB::CreateBlank(width, height, 24);
        BlackWhiteFilter(1, 1, 20, picture);
        EXPECT_EQ(picture.Width(), width);
        EXPECT_EQ(picture.Height(), height);
        EXPECT_EQ(picture.BitsPerPixel(), 24);
    }
}

TEST(BlackWhiteFilter, RefusesARasterThatIsNotTwentyFourBits) {
    TFastDIB grey = test::Raster8(3, 2, {1, 2, 3, 4, 5, 6});
    try {
        BlackWhiteFilter(1, 1, 0, grey);
        FAIL() << "accepted an 8-bit raster";
    } catch (const RasterError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("BlackWhiteFilter: ", 0), 0u) << e.what();
    }
    EXPECT_EQ(test::Values8(grey), (Values{1, 2, 3, 4, 5, 6}));
}

// The fast filter against the pixel-by-pixel reference, byte for byte.
struct Shape {
    int width;
    int height;
};

enum class Content { Noise, PageLike, Blocks };

std::string ContentName(Content c) {
    switch (c) {
        case Content::Noise:
            return "Noise";
        case Content::PageLike:
            return "PageLike";
        case Content::Blocks:
            return "Blocks";
    }
    return "";
}

TFastDIB Picture(Content content, Shape s) {
    switch (content) {
        case Content::Noise:
            return test::Noise24(s.width, s.height, 21);
        case Content::PageLike:
            return test::PageLike24(s.width, s.height, 21);
        case Content::Blocks:
            // Flat areas of few colours: equal maxima, exact backgrounds and ties.
            return test::Raster24(s.width, s.height, [](int x, int row) {
                const auto v = static_cast<std::uint8_t>(((x / 4) * 53 + (row / 3) * 97) % 256);
                return BgrColor{v, v, static_cast<std::uint8_t>(255 - v)};
            });
    }
    return {};
}

class FilterMatchesReference : public ::testing::TestWithParam<std::tuple<Shape, Content>> {};

TEST_P(FilterMatchesReference, ForEveryTileSizeAndPassCount) {
    const auto [shape, content] = GetParam();
    const TFastDIB source = Picture(content, shape);
    for (int brightness : {-3, 0, 1, 2, 5, 20, 200, kMaxInt}) {
        for (int contrast : {-2, 0, 1, 3, 20}) {
            TFastDIB expected = Picture(content, shape);
            TFastDIB actual = Picture(content, shape);
            reference::BlackWhiteFilter(1, brightness, contrast, expected);
            BlackWhiteFilter(1, brightness, contrast, actual);
            ASSERT_TRUE(test::SamePixels(actual, expected))
                << "brightness " << brightness << ", contrast " << contrast;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, FilterMatchesReference,
    ::testing::Combine(::testing::Values(Shape{1, 1}, Shape{1, 9}, Shape{9, 1}, Shape{2, 2},
                                         Shape{3, 7}, Shape{5, 3}, Shape{16, 16}, Shape{33, 20},
                                         Shape{101, 67}),
                       ::testing::Values(Content::Noise, Content::PageLike, Content::Blocks)),
    [](const auto& testCase) {
        const Shape s = std::get<0>(testCase.param);
        return std::to_string(s.width) + "x" + std::to_string(s.height) +
               ContentName(std::get<1>(testCase.param));
    });

// Split over threads, the filter gives the one-thread bytes: whole tiles per band, bands of odd
// heights, tiles taller than a band.
class FilterThreads : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(FilterThreads, GiveTheOneThreadBytes) {
    const auto [brightness, threads] = GetParam();
    const TFastDIB source = test::PageLike24(643, 481, 3);
    TFastDIB single = test::PageLike24(643, 481, 3);
    {
        const test::RasterThreadsScope one(1);
        BlackWhiteFilter(1, brightness, 2, single);
    }
    const test::RasterThreadsScope many(threads);
    TFastDIB split = test::PageLike24(643, 481, 3);
    BlackWhiteFilter(1, brightness, 2, split);
    EXPECT_TRUE(test::SamePixels(split, single));
    EXPECT_FALSE(test::SamePixels(split, source));
}

INSTANTIATE_TEST_SUITE_P(Cases, FilterThreads,
                         ::testing::Combine(::testing::Values(0, 1, 6, 150, 1000),
                                            ::testing::Values(2, 3, 5)),
                         [](const auto& testCase) {
                             return "Brightness" + std::to_string(std::get<0>(testCase.param)) +
                                    "On" + std::to_string(std::get<1>(testCase.param)) + "Threads";
                         });

}  // namespace
}  // namespace lisko
