#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <functional>
#include <numbers>
#include <ostream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "raster/Resample.h"
#include "testsupport/TestRaster.h"

namespace lisko {
namespace {

using test::PixelAt;
using test::Raster8;
using test::Values8;

std::string SizeName(int width, int height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

// A source that names its own coordinates: x and the row in 12 bits each, spread over the bytes.
BgrColor CoordinateColour(int x, int row) {
    return {static_cast<std::uint8_t>(x & 255), static_cast<std::uint8_t>(row & 255),
            static_cast<std::uint8_t>((x >> 8) | (row >> 8) << 4)};
}
int CoordinateX(BgrColor c) {
    return c.Blue | (c.Red & 15) << 8;
}
int CoordinateRow(BgrColor c) {
    return c.Green | (c.Red >> 4) << 8;
}

// A raster of either depth with random pixels.
TFastDIB Noise(int width, int height, int bits, std::uint32_t seed) {
    return bits == 8 ? test::Noise8(width, height, seed) : test::Noise24(width, height, seed);
}

// ---------------------------------------------------------------------------------------------
// ResizeFast

// 1000 x 1500 to 200 x 200: Sx = 327680 (exactly 5 columns), Sy = 491520 (7.5 rows).
class ResizeFastPhotoToThumbnail : public ::testing::TestWithParam<std::pair<int, int>> {
protected:
    static void SetUpTestSuite() {
        thumbnail_ = TFastDIB::CreateBlank(200, 200, 24);
        ResizeFast(test::Raster24(1000, 1500, CoordinateColour), thumbnail_);
    }
    static void TearDownTestSuite() { thumbnail_ = TFastDIB(); }
    static TFastDIB thumbnail_;
};

TFastDIB ResizeFastPhotoToThumbnail::thumbnail_;

TEST_P(ResizeFastPhotoToThumbnail, RowSamplesTheLowerLeftSourcePixel) {
    const auto [destRow, sourceRow] = GetParam();
    for (int x = 0; x < 200; ++x) {
        const BgrColor c = PixelAt(thumbnail_, x, destRow);
        ASSERT_EQ(CoordinateX(c), 5 * x) << "column " << x;
        ASSERT_EQ(CoordinateRow(c), sourceRow) << "column " << x;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, ResizeFastPhotoToThumbnail,
                         ::testing::Values(std::pair{0, 0}, std::pair{1, 7}, std::pair{2, 15},
                                           std::pair{3, 22}, std::pair{4, 30}, std::pair{100, 750},
                                           std::pair{199, 1492}),
                         [](const auto& instance) {
                             return "Row" + std::to_string(instance.param.first);
                         });

struct FastCase {
    std::string name;
    int sourceWidth, sourceHeight;
    std::vector<std::uint8_t> source;  // bottom row first
    int destWidth, destHeight;
    std::vector<std::uint8_t> expected;
    friend void PrintTo(const FastCase& c, std::ostream* os) { *os << c.name; }
};

class ResizeFastSmall : public ::testing::TestWithParam<FastCase> {};

TEST_P(ResizeFastSmall, CopiesTheSampledIndices) {
    const FastCase& c = GetParam();
    TFastDIB dest = TFastDIB::CreateBlank(c.destWidth, c.destHeight, 8);
    ResizeFast(Raster8(c.sourceWidth, c.sourceHeight, c.source), dest);
    EXPECT_EQ(Values8(dest), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResizeFastSmall,
    ::testing::Values(
        // Sx = 98304: columns 0 and 1.5 truncate to 0 and 1; the last source column is dropped.
        FastCase{"ThreeToTwoColumns", 3, 1, {1, 2, 3}, 2, 1, {1, 2}},
        // Sx = 26214: positions 0, 0.4, 0.8, 1.2, 1.6.
        FastCase{"TwoToFiveColumns", 2, 1, {1, 2}, 5, 1, {1, 1, 1, 2, 2}},
        FastCase{"SameSizeIsACopy", 2, 2, {1, 2, 3, 4}, 2, 2, {1, 2, 3, 4}},
        // Sy = 131072: rows 0 and 2 of four.
        FastCase{"FourToTwoRows", 1, 4, {1, 2, 3, 4}, 1, 2, {1, 3}},
        FastCase{"OnePixelToMany", 1, 1, {9}, 3, 2, {9, 9, 9, 9, 9, 9}}),
    [](const auto& instance) { return instance.param.name; });

// ---------------------------------------------------------------------------------------------
// ResizeSmooth

TEST(ResizeSmooth, ThreeToTwoColumnsTakesTheFirstTwoPixels) {
    // Sx = 65536: both samples fall exactly on a source pixel, so the right-hand neighbours
    // weigh nothing and the third pixel has no influence.
    for (const BgrColor third : {BgrColor{0, 0, 0}, BgrColor{255, 255, 255}}) {
        const std::vector<BgrColor> row{{10, 20, 30}, {200, 100, 50}, third};
        const TFastDIB source = test::Raster24(3, 1, [&](int x, int) { return row[x]; });
        TFastDIB dest = TFastDIB::CreateBlank(2, 1, 24);
        ResizeSmooth(source, dest);
        EXPECT_EQ(PixelAt(dest, 0, 0), row[0]);
        EXPECT_EQ(PixelAt(dest, 1, 0), row[1]);
    }
}

TEST(ResizeSmooth, SameSizeIsNotAnIdentity) {
    // Sx = 43690: column 1 samples 0.67 of the way from 0 to 90, column 2 a third of the way
    // from 90 to 180; truncation takes both just below 60 and 120.
    TFastDIB dest = TFastDIB::CreateBlank(3, 1, 8);
    ResizeSmooth(Raster8(3, 1, {0, 90, 180}), dest);
    EXPECT_EQ(Values8(dest), (std::vector<std::uint8_t>{0, 59, 119}));
}

struct SingleColumnCase {
    std::uint8_t bottom;
    std::uint8_t top;
    std::vector<std::uint8_t> expected;  // bottom row first
};

class ResizeSmoothSingleColumn : public ::testing::TestWithParam<SingleColumnCase> {};

TEST_P(ResizeSmoothSingleColumn, BlendsRowsOnlyAndStaysInsideTheRow) {
    // One pixel wide: the column fraction is 0, so the right-hand neighbour weighs nothing and
    // each value is (bottom * Wlo + top * Whi) div 65536 with Sy = 21845:
    // row 1: Wlo 43691, Whi 21846; row 2: Wlo 21846, Whi 43691.
    // A 24-bit row of one pixel has a single byte of padding, so a neighbour read past the row
    // would leave the raster (the sanitizer build reports it).
    const SingleColumnCase& c = GetParam();
    const auto grey = [](std::uint8_t v) { return BgrColor{v, v, v}; };
    const TFastDIB source =
        test::Raster24(1, 2, [&](int, int row) { return grey(row == 0 ? c.bottom : c.top); });
    TFastDIB dest = TFastDIB::CreateBlank(1, 3, 24);
    ResizeSmooth(source, dest);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(PixelAt(dest, 0, row), grey(c.expected[static_cast<std::size_t>(row)]))
            << "row " << row;
}

INSTANTIATE_TEST_SUITE_P(Cases, ResizeSmoothSingleColumn,
                         ::testing::Values(SingleColumnCase{0, 255, {0, 85, 170}},
                                           SingleColumnCase{255, 0, {255, 170, 85}},
                                           SingleColumnCase{77, 77, {77, 77, 77}}),
                         [](const auto& instance) {
                             return "From" + std::to_string(instance.param.bottom) + "To" +
                                    std::to_string(instance.param.top);
                         });

struct ResizeCase {
    int sourceWidth, sourceHeight, destWidth, destHeight;
};

std::string ResizeCaseName(const ResizeCase& c) {
    return SizeName(c.sourceWidth, c.sourceHeight) + "To" + SizeName(c.destWidth, c.destHeight);
}

void PrintTo(const ResizeCase& c, std::ostream* os) {
    *os << ResizeCaseName(c);
}

const auto kResizeCases = ::testing::Values(
    ResizeCase{1, 1, 1, 1}, ResizeCase{1, 1, 5, 4}, ResizeCase{1, 7, 3, 2}, ResizeCase{7, 1, 2, 3},
    ResizeCase{2, 2, 1, 1}, ResizeCase{2, 2, 7, 9}, ResizeCase{3, 1, 2, 1},
    ResizeCase{3, 2, 300, 200}, ResizeCase{5, 5, 5, 5}, ResizeCase{13, 11, 13, 11},
    ResizeCase{64, 64, 1, 1}, ResizeCase{100, 60, 37, 23}, ResizeCase{37, 23, 100, 60},
    ResizeCase{4, 300, 5, 2}, ResizeCase{999, 3, 333, 7}, ResizeCase{255, 17, 256, 18},
    ResizeCase{640, 480, 641, 479}, ResizeCase{1201, 901, 450, 338});

class ResizeSmoothUniform : public ::testing::TestWithParam<ResizeCase> {};

TEST_P(ResizeSmoothUniform, StaysUniform) {
    const ResizeCase& c = GetParam();
    // 255 is where the extra 1/65536 of the row weights would spill over.
    for (const BgrColor colour : {BgrColor{255, 255, 255}, BgrColor{0, 1, 254}}) {
        TFastDIB dest = TFastDIB::CreateBlank(c.destWidth, c.destHeight, 24);
        ResizeSmooth(test::Uniform24(c.sourceWidth, c.sourceHeight, colour), dest);
        EXPECT_TRUE(test::SamePixels(dest, test::Uniform24(c.destWidth, c.destHeight, colour)))
            << colour;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, ResizeSmoothUniform, kResizeCases,
                         [](const auto& instance) { return ResizeCaseName(instance.param); });

// ResizeSmooth worked out pixel by pixel from its formula, sharing nothing with the kernel:
// positions are products instead of running sums, in 64 bits, and the right-hand neighbour of a
// source one pixel wide is the pixel itself.
TFastDIB ResizeSmoothByFormula(const TFastDIB& source, int destWidth, int destHeight) {
    TFastDIB dest = TFastDIB::CreateBlank(destWidth, destHeight, source.BitsPerPixel());
    const int bpp = source.BytesPerPixel();
    const std::int64_t stepX = std::int64_t{source.Width() - 1} * 65536 / destWidth;
    const std::int64_t stepY = std::int64_t{source.RowCount() - 1} * 65536 / destHeight;
    for (int j = 0; j < destHeight; ++j) {
        const std::int64_t y = j * stepY;
        const auto iy = static_cast<int>(y / 65536);
        const std::int64_t wlo = 65536 - y % 65536;
        const std::int64_t whi = y % 65536 + 1;
        const std::uint8_t* lower = source.Row(iy);
        const std::uint8_t* upper = source.Row(std::min(iy + 1, source.RowCount() - 1));
        for (int i = 0; i < destWidth; ++i) {
            const std::int64_t x = i * stepX;
            const std::int64_t ix = x / 65536;
            const std::int64_t fx = x % 65536;
            const std::int64_t right = std::min<std::int64_t>(ix + 1, source.Width() - 1);
            const std::int64_t w01 = wlo * fx / 65536;
            const std::int64_t w11 = whi * fx / 65536;
            for (int k = 0; k < bpp; ++k) {
                const std::int64_t sum =
                    lower[ix * bpp + k] * (wlo - w01) + lower[right * bpp + k] * w01 +
                    upper[ix * bpp + k] * (whi - w11) + upper[right * bpp + k] * w11;
                dest.Row(j)[i * bpp + k] = static_cast<std::uint8_t>(sum / 65536);
            }
        }
    }
    return dest;
}

class ResizeSmoothFormula : public ::testing::TestWithParam<std::tuple<ResizeCase, int /*bits*/>> {
};

TEST_P(ResizeSmoothFormula, MatchesThePixelByPixelComputation) {
    const auto& [c, bits] = GetParam();
    for (std::uint32_t seed = 1; seed <= 3; ++seed) {
        const TFastDIB source = Noise(c.sourceWidth, c.sourceHeight, bits, seed);
        TFastDIB dest = TFastDIB::CreateBlank(c.destWidth, c.destHeight, bits);
        ResizeSmooth(source, dest);
        EXPECT_TRUE(
            test::SamePixels(dest, ResizeSmoothByFormula(source, c.destWidth, c.destHeight)))
            << "seed " << seed;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, ResizeSmoothFormula,
                         ::testing::Combine(kResizeCases, ::testing::Values(8, 24)),
                         [](const auto& instance) {
                             return ResizeCaseName(std::get<0>(instance.param)) + "At" +
                                    std::to_string(std::get<1>(instance.param));
                         });

// ---------------------------------------------------------------------------------------------
// Refused arguments of the resizes

using ResizeFunction = void (*)(const TFastDIB&, TFastDIB&);

struct ResizeRefusal {
    std::string name;
    int sourceWidth, sourceHeight, sourceBits;
    int destWidth, destHeight, destBits;
    std::string problem;
    friend void PrintTo(const ResizeRefusal& c, std::ostream* os) { *os << c.name; }
};

class ResizeRefuses : public ::testing::TestWithParam<
                          std::tuple<ResizeRefusal, std::pair<std::string, ResizeFunction>>> {};

TEST_P(ResizeRefuses, WithTheOperationsNameAndLeavesTheDestination) {
    const auto& [c, operation] = GetParam();
    const TFastDIB source = TFastDIB::CreateBlank(c.sourceWidth, c.sourceHeight, c.sourceBits);
    TFastDIB dest = TFastDIB::CreateBlank(c.destWidth, c.destHeight, c.destBits);
    if (!dest.IsEmpty()) dest.Row(0)[0] = 42;
    try {
        operation.second(source, dest);
        FAIL() << "accepted";
    } catch (const RasterError& e) {
        EXPECT_EQ(std::string(e.what()), operation.first + ": " + c.problem);
    }
    if (!dest.IsEmpty()) {
        EXPECT_EQ(dest.Row(0)[0], 42);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResizeRefuses,
    ::testing::Combine(
        ::testing::Values(
            ResizeRefusal{"DestinationWithoutColumns", 4, 4, 24, 0, 3, 24, "destination is empty"},
            ResizeRefusal{"DestinationWithoutRows", 4, 4, 24, 3, 0, 24, "destination is empty"},
            ResizeRefusal{"SourceWithoutColumns", 0, 4, 8, 3, 3, 8, "source is empty"},
            ResizeRefusal{"SourceWithoutRows", 4, 0, 24, 3, 3, 24, "source is empty"},
            ResizeRefusal{"EightIntoTwentyFour", 4, 4, 8, 3, 3, 24,
                          "source has 8 bits per pixel, destination 24"},
            ResizeRefusal{"TwentyFourIntoEight", 4, 4, 24, 3, 3, 8,
                          "source has 24 bits per pixel, destination 8"}),
        ::testing::Values(std::pair<std::string, ResizeFunction>{"ResizeSmooth", &ResizeSmooth},
                          std::pair<std::string, ResizeFunction>{"ResizeFast", &ResizeFast})),
    [](const auto& instance) {
        return std::get<1>(instance.param).first + std::get<0>(instance.param).name;
    });

TEST(ResizeInPlace, IsRefused) {
    TFastDIB raster = test::Noise24(3, 3, 1);
    EXPECT_THROW(ResizeSmooth(raster, raster), RasterError);
    EXPECT_THROW(ResizeFast(raster, raster), RasterError);
}

// ---------------------------------------------------------------------------------------------
// RotateInto

// Small pictures drawn as text, top row first: each letter is one pixel, '.' the fill that the
// destination holds before the turn.
using Picture = std::vector<std::string>;

BgrColor LetterColour(char letter) {
    // Three different bytes, so that a copy of fewer than three bytes shows.
    const auto c = static_cast<std::uint8_t>(letter);
    return {c, static_cast<std::uint8_t>(c ^ 0x20), static_cast<std::uint8_t>(255 - c)};
}

TFastDIB FromPicture(const Picture& picture, int bits) {
    const auto width = static_cast<int>(picture.front().size());
    const auto height = static_cast<int>(picture.size());
    const auto letter = [&](int x, int row) {
        return picture[static_cast<std::size_t>(height - 1 - row)][static_cast<std::size_t>(x)];
    };
    if (bits == 24) {
        return test::Raster24(width, height,
                              [&](int x, int row) { return LetterColour(letter(x, row)); });
    }
    std::vector<std::uint8_t> values;
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width; ++x)
            values.push_back(static_cast<std::uint8_t>(letter(x, row)));
    }
    return Raster8(width, height, values);
}

Picture ToPicture(const TFastDIB& raster) {
    Picture picture;
    for (int row = raster.RowCount() - 1; row >= 0; --row) {
        std::string line;
        for (int x = 0; x < raster.Width(); ++x) {
            if (raster.BitsPerPixel() == 8) {
                line += static_cast<char>(raster.Row(row)[x]);
            } else {
                const BgrColor c = PixelAt(raster, x, row);
                const char letter = static_cast<char>(c.Blue);
                line += c == LetterColour(letter) ? letter : '?';
            }
        }
        picture.push_back(line);
    }
    return picture;
}

Picture Filled(int width, int height) {
    return Picture(static_cast<std::size_t>(height),
                   std::string(static_cast<std::size_t>(width), '.'));
}

struct TurnCase {
    std::string name;
    Picture source;
    double angle;
    Picture expected;
    friend void PrintTo(const TurnCase& c, std::ostream* os) { *os << c.name; }
};

class RotateIntoPictures : public ::testing::TestWithParam<std::tuple<TurnCase, int /*bits*/>> {};

TEST_P(RotateIntoPictures, TurnsAsDrawn) {
    const auto& [c, bits] = GetParam();
    const auto width = static_cast<int>(c.expected.front().size());
    const auto height = static_cast<int>(c.expected.size());
    TFastDIB dest = FromPicture(Filled(width, height), bits);
    RotateInto(FromPicture(c.source, bits), dest, 65536, c.angle);
    EXPECT_EQ(ToPicture(dest), c.expected);
}

const Picture kThreeByThree{"abc", "def", "ghi"};
const Picture kFourByTwo{"abcd", "efgh"};

INSTANTIATE_TEST_SUITE_P(
    Cases, RotateIntoPictures,
    ::testing::Combine(
        ::testing::Values(
            // Odd square sides: pure rearrangements, nothing keeps the fill.
            TurnCase{"SquareClockwise", kThreeByThree, 90, {"gda", "heb", "ifc"}},
            TurnCase{"SquareAnticlockwise", kThreeByThree, -90, {"cfi", "beh", "adg"}},
            TurnCase{"SquareHalfTurn", kThreeByThree, 180, {"ihg", "fed", "cba"}},
            TurnCase{"OddHalfTurn", {"abcde", "fghij", "klmno"}, 180, {"onmlk", "jihgf", "edcba"}},
            TurnCase{"NoTurn", kFourByTwo, 0, kFourByTwo},
            // Even sides: the centres sit half a pixel apart, so the picture shifts by one pixel,
            // one source line is lost and one destination line keeps the fill.
            TurnCase{"WideClockwise", kFourByTwo, 90, {"fb", "gc", "hd", ".."}},
            TurnCase{"WideHalfTurn", kFourByTwo, 180, {".dcb", "...."}},
            TurnCase{"WideAnticlockwise", kFourByTwo, -90, {".d", ".c", ".b", ".a"}},
            // A smaller source lands in the middle; positions left of and below it are negative.
            TurnCase{"SmallSourceInTheMiddle", {"ab", "cd"}, 0, {"....", ".ab.", ".cd.", "...."}}),
        ::testing::Values(8, 24)),
    [](const auto& instance) {
        return std::get<0>(instance.param).name + "At" +
               std::to_string(std::get<1>(instance.param));
    });

// The turn directions as a reader of the picture sees them, on a square of odd side.
class RotateIntoDirection : public ::testing::Test {
protected:
    static constexpr int kSide = 5;
    // Source pixel (x, row) as its destination position after the turn.
    struct Place {
        int x;
        int row;
    };
    // Checks that every source pixel lands where `place` says.
    void ExpectMapping(double angle, const std::function<Place(int x, int row)>& place) {
        TFastDIB dest = TFastDIB::CreateBlank(kSide, kSide, 24);
        RotateInto(source_, dest, 65536, angle);
        for (int row = 0; row < kSide; ++row) {
            for (int x = 0; x < kSide; ++x) {
                const Place p = place(x, row);
                ASSERT_EQ(PixelAt(dest, p.x, p.row), PixelAt(source_, x, row))
                    << "source (" << x << ", row " << row << ")";
            }
        }
    }
    const TFastDIB source_ = test::Raster24(kSide, kSide, CoordinateColour);
    static constexpr int kTop = kSide - 1;
};

TEST_F(RotateIntoDirection, ClockwiseTurnsTheLeftColumnIntoTheTopRow) {
    // Reading the left column upwards gives the top row from left to right, so the bottom-left
    // corner ends at the top left.
    ExpectMapping(90, [](int x, int row) { return Place{row, kTop - x}; });
}

TEST_F(RotateIntoDirection, AnticlockwiseTurnsTheTopRowIntoTheLeftColumn) {
    // Reading the top row from the left gives the left column from the bottom upwards, so the
    // top-left corner ends at the bottom left.
    ExpectMapping(-90, [](int x, int row) { return Place{kTop - row, x}; });
}

TEST_F(RotateIntoDirection, HalfTurnTakesTheTopLeftToTheBottomRight) {
    ExpectMapping(180, [](int x, int row) { return Place{kTop - x, kTop - row}; });
}

// RotateInto worked out pixel by pixel from its formula, sharing nothing with the kernel: the
// position is computed whole for every pixel in 64 bits and then cut to its low 32 bits.
TFastDIB RotateByFormula(const TFastDIB& source, TFastDIB dest, int scale, double angle) {
    const double radians = std::numbers::pi * angle / 180;
    // No tie occurs for the angles below, so rounding away from zero gives the same.
    const std::int64_t kc = std::llround(std::cos(radians) * scale);
    const std::int64_t ks = std::llround(std::sin(radians) * scale);
    const int bpp = source.BytesPerPixel();
    const std::int64_t cx = dest.Width() / 2;
    const std::int64_t cy = dest.RowCount() / 2;
    for (int y = 0; y < dest.RowCount(); ++y) {
        for (int x = 0; x < dest.Width(); ++x) {
            const std::int64_t sx = cx * 65536 +
                                    std::int64_t{source.Width() - dest.Width()} * 32768 +
                                    kc * (x - cx) - ks * (y - cy);
            const std::int64_t sy = cy * 65536 +
                                    std::int64_t{source.RowCount() - dest.RowCount()} * 32768 +
                                    ks * (x - cx) + kc * (y - cy);
            const std::uint32_t ix = static_cast<std::uint32_t>(sx) >> 16;
            const std::uint32_t iy = static_cast<std::uint32_t>(sy) >> 16;
            if (ix < static_cast<std::uint32_t>(source.Width()) &&
                iy < static_cast<std::uint32_t>(source.RowCount())) {
                std::copy_n(source.Row(static_cast<int>(iy)) + ix * bpp, bpp,
                            dest.Row(y) + x * bpp);
            }
        }
    }
    return dest;
}

struct FreeTurnCase {
    std::string name;
    int sourceWidth, sourceHeight, destWidth, destHeight;
    int scale;
    double angle;
    friend void PrintTo(const FreeTurnCase& c, std::ostream* os) { *os << c.name; }
};

class RotateIntoFormula : public ::testing::TestWithParam<std::tuple<FreeTurnCase, int /*bits*/>> {
};

TEST_P(RotateIntoFormula, MatchesThePixelByPixelComputation) {
    const auto& [c, bits] = GetParam();
    const TFastDIB source = Noise(c.sourceWidth, c.sourceHeight, bits, 7);
    // The destination starts with its own pixels, which the turn keeps where it reaches nothing.
    TFastDIB dest = Noise(c.destWidth, c.destHeight, bits, 8);
    const TFastDIB expected =
        RotateByFormula(source, Noise(c.destWidth, c.destHeight, bits, 8), c.scale, c.angle);
    RotateInto(source, dest, c.scale, c.angle);
    EXPECT_TRUE(test::SamePixels(dest, expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RotateIntoFormula,
    ::testing::Combine(
        ::testing::Values(FreeTurnCase{"Thirty", 7, 5, 9, 6, 65536, 30},
                          FreeTurnCase{"FortyFive", 16, 9, 9, 16, 65536, 45},
                          FreeTurnCase{"HalfSizeBackwards", 20, 20, 20, 20, 32768, -137.5},
                          FreeTurnCase{"DoubleSize", 20, 20, 20, 20, 131072, 200},
                          FreeTurnCase{"Magnified", 5, 5, 40, 40, 16384, 10},
                          FreeTurnCase{"NegativeScale", 12, 8, 12, 8, -65536, 90},
                          FreeTurnCase{"ManyTurns", 9, 9, 9, 9, 65536, 1000},
                          FreeTurnCase{"SingleRow", 64, 1, 64, 64, 65536, 90},
                          // Positions wrap around 32 bits: 16 steps of 2^28 + 12345 come back
                          // as 3 pixels, so the pixels 16 away from the centre land inside.
                          FreeTurnCase{"WrappingScale", 30, 30, 40, 40, (1 << 28) + 12345, 0},
                          FreeTurnCase{"MostNegativeScale", 30, 30, 30, 30, INT_MIN, 0},
                          FreeTurnCase{"LargestScale", 30, 30, 30, 30, INT_MAX, 180}),
        ::testing::Values(8, 24)),
    [](const auto& instance) {
        return std::get<0>(instance.param).name + "At" +
               std::to_string(std::get<1>(instance.param));
    });

TEST(RotateInto, EmptyRastersWriteNothing) {
    TFastDIB dest = test::Noise24(3, 3, 1);
    const TFastDIB before = test::Noise24(3, 3, 1);
    RotateInto(TFastDIB::CreateBlank(0, 4, 24), dest, 65536, 90);
    RotateInto(TFastDIB::CreateBlank(4, 0, 24), dest, 65536, 90);
    EXPECT_TRUE(test::SamePixels(dest, before));
    TFastDIB empty = TFastDIB::CreateBlank(0, 0, 24);
    RotateInto(test::Noise24(3, 3, 2), empty, 65536, 90);
    EXPECT_TRUE(empty.IsEmpty());
}

TEST(RotateInto, RefusesWithTheOperationsName) {
    const TFastDIB source = TFastDIB::CreateBlank(3, 3, 8);
    TFastDIB dest = TFastDIB::CreateBlank(3, 3, 24);
    const auto message = [](const std::function<void()>& call) {
        try {
            call();
        } catch (const RasterError& e) {
            return std::string(e.what());
        }
        return std::string("accepted");
    };
    EXPECT_EQ(message([&] { RotateInto(source, dest, 65536, 90); }),
              "RotateInto: source has 8 bits per pixel, destination 24");
    EXPECT_EQ(message([&] { RotateInto(dest, dest, 65536, 90); }),
              "RotateInto: source and destination are the same raster");
    // An empty raster does not excuse a wrong depth.
    TFastDIB empty = TFastDIB::CreateBlank(0, 0, 8);
    EXPECT_EQ(message([&] { RotateInto(dest, empty, 65536, 90); }),
              "RotateInto: source has 24 bits per pixel, destination 8");
    TFastDIB other = TFastDIB::CreateBlank(3, 3, 24);
    for (const double angle : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
        EXPECT_EQ(message([&] { RotateInto(dest, other, 65536, angle); }),
                  "RotateInto: the angle is not a finite number")
            << angle;
    }
}

}  // namespace
}  // namespace lisko
