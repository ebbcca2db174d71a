#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "photo/BlackWhiteFilter.h"
#include "photo/tests/ReferenceFilter.h"
#include "testsupport/TestRaster.h"

namespace lisko {
namespace {

using test::Raster8;
using test::Values8;
using Values = std::vector<std::uint8_t>;

constexpr int kMaxInt = std::numeric_limits<int>::max();

struct HandWorked {
    const char* name;
    int width;
    int height;
    int spread;
    Values before;  // rows bottom first
    Values after;
};

class SmoothGrayByHand : public ::testing::TestWithParam<HandWorked> {};

TEST_P(SmoothGrayByHand, AveragesTheFourCornersInPlace) {
    const HandWorked& c = GetParam();
    TFastDIB r = Raster8(c.width, c.height, c.before);
    SmoothGray(r, c.spread);
    EXPECT_EQ(Values8(r), c.after);
}

// Worked through pixel by pixel in the order they are visited.
INSTANTIATE_TEST_SUITE_P(
    Cases, SmoothGrayByHand,
    ::testing::Values(
        // Bottom row (its upper corners from row 1, still old): (40+80+200+0)/4 = 80; then the
        // left corner is the new 80 and the right one the old 120: (80+120+200+100)/4 = 125; at
        // the right edge the left corner is the new 125, the right one the pixel itself, still
        // 120: (125+120+0+100)/4 = 86. The middle row reads the new bottom row and the old top
        // row: (80+125+8+16)/4 = 57, (80+86+8+240)/4 = 103, (125+86+16+240)/4 = 116. The top row
        // reads the new middle row and itself, left new, right old: (57+103+8+16)/4 = 46,
        // (57+116+46+240)/4 = 114, (103+116+114+240)/4 = 143.
        HandWorked{"ThreeByThree",
                   3,
                   3,
                   1,
                   {40, 80, 120, 200, 0, 100, 8, 16, 240},
                   {80, 125, 86, 57, 103, 116, 46, 114, 143}},
        // In a single row both corner rows are the row itself: (10+20)*2/4 = 15,
        // (15+30)*2/4 = 22, (22+40)*2/4 = 31, (31+40)*2/4 = 35.
        HandWorked{"OneRow", 4, 1, 1, {10, 20, 30, 40}, {15, 22, 31, 35}},
        // In a single column both corner columns are the column itself, the same sums upward.
        HandWorked{"OneColumn", 1, 4, 1, {10, 20, 30, 40}, {15, 22, 31, 35}},
        // Spread 2 on five rows: row 2 reads the new row 0 and the old row 4.
        HandWorked{"SpreadTwo",
                   1,
                   5,
                   2,
                   {0, 40, 80, 120, 160},
                   // (0+0+80+80)/4 = 40; (40+40+120+120)/4 = 80; (40+40+160+160)/4 = 100;
                   // (80+80+160+160)/4 = 120; (100+100+160+160)/4 = 130.
                   {40, 80, 100, 120, 130}},
        HandWorked{"OnePixel", 1, 1, 3, {201}, {201}}),
    [](const auto& testCase) { return testCase.param.name; });

class SmoothGraySpreadBeyondThePicture : public ::testing::TestWithParam<int> {};

TEST_P(SmoothGraySpreadBeyondThePicture, AveragesTheFourCornersOfTheWholeRaster) {
    TFastDIB r = Raster8(3, 2, {0, 100, 200, 40, 60, 80});
    SmoothGray(r, GetParam());
    // Bottom row: (0+200+40+80)/4 = 80, then (80+200+40+80)/4 = 100 twice. Top row, with the
    // bottom corners now 80 and 100: (80+100+40+80)/4 = 75, then (80+100+75+80)/4 = 83 twice.
    EXPECT_EQ(Values8(r), (Values{80, 100, 100, 75, 83, 83}));
}

INSTANTIATE_TEST_SUITE_P(Spreads, SmoothGraySpreadBeyondThePicture,
                         ::testing::Values(2, 3, 1000, kMaxInt), [](const auto& testCase) {
                             return "Spread" + std::to_string(testCase.param);
                         });

TEST(SmoothGray, LeavesRowPaddingAlone) {
    TFastDIB r = Raster8(5, 3, Values(15, 90));
    for (int y = 0; y < 3; ++y) {
        for (int p = 5; p < r.RowBytes(); ++p)
            r.Row(y)[p] = 0xA5;
    }
    SmoothGray(r, 2);
    for (int y = 0; y < 3; ++y) {
        for (int p = 5; p < r.RowBytes(); ++p)
            EXPECT_EQ(r.Row(y)[p], 0xA5) << "row " << y << " byte " << p;
    }
}

TEST(SmoothGray, LeavesAnEmptyRasterAlone) {
    TFastDIB wide = TFastDIB::CreateBlank(4, 0, 8);
    TFastDIB tall = TFastDIB::CreateBlank(0, 4, 8);
    SmoothGray(wide, 1);
    RunSmoothPasses(tall, 3);
    EXPECT_TRUE(wide.IsEmpty());
    EXPECT_TRUE(tall.IsEmpty());
}

enum class Call { SmoothGray, RunSmoothPasses };

struct Refusal {
    const char* name;
    Call call;
    int bits;
    int spreadOrCount;
    const char* prefix;
};

class SmoothGrayRefuses : public ::testing::TestWithParam<Refusal> {};

TEST_P(SmoothGrayRefuses, NamesTheOperationAndKeepsThePixels) {
    const Refusal& c = GetParam();
    TFastDIB r = TFastDIB::CreateBlank(3, 3, c.bits);
    r.Row(1)[1] = 77;
    try {
        if (c.call == Call::SmoothGray) {
            SmoothGray(r, c.spreadOrCount);
        } else {
            RunSmoothPasses(r, c.spreadOrCount);
        }
        FAIL() << "accepted";
    } catch (const RasterError& e) {
        EXPECT_EQ(std::string(e.what()).rfind(c.prefix, 0), 0u) << e.what();
    }
    EXPECT_EQ(r.Row(1)[1], 77);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SmoothGrayRefuses,
    ::testing::Values(Refusal{"SpreadZero", Call::SmoothGray, 8, 0, "SmoothGray: "},
                      Refusal{"SpreadNegative", Call::SmoothGray, 8, -4, "SmoothGray: "},
                      Refusal{"SpreadSmallestInt", Call::SmoothGray, 8,
                              std::numeric_limits<int>::min(), "SmoothGray: "},
                      Refusal{"TwentyFourBits", Call::SmoothGray, 24, 1, "SmoothGray: "},
                      Refusal{"PassesOnTwentyFourBits", Call::RunSmoothPasses, 24, 2,
                              "RunSmoothPasses: "}),
    [](const auto& testCase) { return testCase.param.name; });

TEST(RunSmoothPasses, RunsSpreadsOneToCountInOrder) {
    const TFastDIB source = test::PageLikeGrey(23, 19, 5);
    for (int count : {1, 2, 3, 6}) {
        TFastDIB expected = Raster8(23, 19, Values8(source));
        for (int spread = 1; spread <= count; ++spread)
            reference::SmoothGray(expected, spread);
        TFastDIB actual = Raster8(23, 19, Values8(source));
        RunSmoothPasses(actual, count);
        EXPECT_EQ(Values8(actual), Values8(expected)) << count << " passes";
    }
}

// Passes run together on several threads give the bytes of passes one after another: wide, tall
// and square rasters, few and many passes, spreads that reach past the top row.
struct PassesCase {
    int width;
    int height;
    int count;
    int threads;
};

class RunSmoothPassesTogether : public ::testing::TestWithParam<PassesCase> {};

TEST_P(RunSmoothPassesTogether, GiveTheOneThreadBytes) {
    const PassesCase c = GetParam();
    const TFastDIB source = test::PageLikeGrey(c.width, c.height, 9);
    TFastDIB single = Raster8(c.width, c.height, Values8(source));
    {
        const test::RasterThreadsScope one(1);
        RunSmoothPasses(single, c.count);
    }
    const test::RasterThreadsScope many(c.threads);
    TFastDIB together = Raster8(c.width, c.height, Values8(source));
    RunSmoothPasses(together, c.count);
    EXPECT_EQ(Values8(together), Values8(single));
}

INSTANTIATE_TEST_SUITE_P(Cases, RunSmoothPassesTogether,
                         ::testing::Values(PassesCase{700, 400, 2, 2}, PassesCase{700, 400, 3, 2},
                                           PassesCase{700, 400, 21, 2}, PassesCase{700, 400, 21, 3},
                                           PassesCase{1300, 203, 7, 5},
                                           PassesCase{1300, 203, 260, 3},
                                           PassesCase{203, 1300, 25, 4}),
                         [](const auto& testCase) {
                             const PassesCase& c = testCase.param;
                             return std::to_string(c.width) + "x" + std::to_string(c.height) +
                                    "Passes" + std::to_string(c.count) + "On" +
                                    std::to_string(c.threads) + "Threads";
                         });

TEST(RunSmoothPasses, CountOfZeroOrLessDoesNothing) {
    const Values values{1, 50, 200, 7, 9, 255};
    for (int count : {0, -1, std::numeric_limits<int>::min()}) {
        TFastDIB r = Raster8(3, 2, values);
        RunSmoothPasses(r, count);
        EXPECT_EQ(Values8(r), values) << count;
        TFastDIB colour = TFastDIB::CreateBlank(2, 2, 24);
        EXPECT_NO_THROW(RunSmoothPasses(colour, count));
    }
}

// The fast rows against the pixel-by-pixel reference, byte for byte.
struct Shape {
    int width;
    int height;
};

enum class Content { Noise, PageLike, Steps };

std::string ContentName(Content c) {
    switch (c) {
        case Content::Noise:
            return "Noise";
        case Content::PageLike:
            return "PageLike";
        case Content::Steps:
            return "Steps";
    }
    return "";
}

TFastDIB Grey(Content content, Shape s, std::uint32_t seed) {
    switch (content) {
        case Content::Noise:
            return test::Noise8(s.width, s.height, seed);
        case Content::PageLike:
            return test::PageLikeGrey(s.width, s.height, seed);
        case Content::Steps: {
            // Flat blocks with hard edges, like the tile maxima the filter smooths.
            Values values;
            for (int y = 0; y < s.height; ++y) {
                for (int x = 0; x < s.width; ++x)
                    values.push_back(
                        static_cast<std::uint8_t>(((x / 3) * 37 + (y / 2) * 91) % 256));
            }
            return Raster8(s.width, s.height, values);
        }
    }
    return {};
}

class SmoothGrayMatchesReference : public ::testing::TestWithParam<std::tuple<Shape, Content>> {};

TEST_P(SmoothGrayMatchesReference, ForEverySpread) {
    const auto [shape, content] = GetParam();
    const TFastDIB source = Grey(content, shape, 11);
    for (int spread : {1, 2, 3, 4, 7, 16, 33, 100, 5000, kMaxInt}) {
        TFastDIB expected = Raster8(shape.width, shape.height, Values8(source));
        TFastDIB actual = Raster8(shape.width, shape.height, Values8(source));
        reference::SmoothGray(expected, spread);
        SmoothGray(actual, spread);
        ASSERT_EQ(Values8(actual), Values8(expected)) << "spread " << spread;
    }
}

TEST_P(SmoothGrayMatchesReference, OverTwentyOnePasses) {
    const auto [shape, content] = GetParam();
    TFastDIB expected = Grey(content, shape, 12);
    TFastDIB actual = Raster8(shape.width, shape.height, Values8(expected));
    for (int spread = 1; spread <= 21; ++spread) {
        reference::SmoothGray(expected, spread);
        SmoothGray(actual, spread);
        ASSERT_EQ(Values8(actual), Values8(expected)) << "after the pass of spread " << spread;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, SmoothGrayMatchesReference,
    ::testing::Combine(::testing::Values(Shape{1, 1}, Shape{1, 2}, Shape{2, 1}, Shape{2, 2},
                                         Shape{1, 37}, Shape{37, 1}, Shape{3, 3}, Shape{5, 4},
                                         Shape{17, 9}, Shape{33, 64}, Shape{64, 33},
                                         Shape{131, 71}),
                       ::testing::Values(Content::Noise, Content::PageLike, Content::Steps)),
    [](const auto& testCase) {
        const Shape s = std::get<0>(testCase.param);
        return std::to_string(s.width) + "x" + std::to_string(s.height) +
               ContentName(std::get<1>(testCase.param));
    });

}  // namespace
}  // namespace lisko
