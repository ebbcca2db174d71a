#include <gtest/gtest.h>

#include <string>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "raster/AndShrink.h"
#include "raster/FastDIB.h"

namespace lisko {
namespace {

constexpr std::uint8_t kWhite = 0xFF;

// A white picture of 24-bit pixels whose rows end in padding; the padding is black, so a kernel
// that read it would darken its result.
struct Picture {
    int width;
    int height;
    std::ptrdiff_t stride;
    std::vector<std::uint8_t> bytes;

    Picture(int w, int h, int padding = 0)
        : width(w),
          height(h),
          stride(3 * w + padding),
          bytes(static_cast<std::size_t>(stride * h), kWhite) {
        for (int y = 0; y < h; ++y) {
            for (int b = 3 * w; b < stride; ++b)
                bytes[static_cast<std::size_t>(y * stride + b)] = 0;
        }
    }
    std::uint8_t* At(int x, int y) { return bytes.data() + y * stride + 3 * x; }
};

struct StrokeCase {
    const char* name;
    int width, height;  // the source rectangle
    int destWidth, destHeight;
    int strokeX, strokeY;  // one dark pixel in the rectangle
};

class AndShrink : public ::testing::TestWithParam<StrokeCase> {};

// One dark pixel survives every shrink in the destination pixel(s) whose spans hold it, and
// nothing else darkens: neither the rows' padding nor what lies outside the rectangle is read.
TEST_P(AndShrink, KeepsADarkPixelWhereItFalls) {
    const StrokeCase& c = GetParam();
    // The rectangle sits at (2, 1) inside a larger picture that is black around it.
    Picture source(c.width + 4, c.height + 2, 5);
    for (int y = 0; y < source.height; ++y) {
        for (int x = 0; x < source.width; ++x) {
            const bool inside = x >= 2 && x < 2 + c.width && y >= 1 && y < 1 + c.height;
            if (!inside) std::fill_n(source.At(x, y), 3, std::uint8_t{0});
        }
    }
    std::uint8_t* stroke = source.At(2 + c.strokeX, 1 + c.strokeY);
    stroke[0] = 0x0F;
    stroke[1] = 0xF0;
    stroke[2] = 0x33;

    Picture dest(c.destWidth, c.destHeight, 7);
    for (std::uint8_t& b : dest.bytes)
        b = 0xA5;  // neither white nor the stroke: every pixel must be written
    StretchAndCombine24(source.At(2, 1), source.stride, c.width, c.height, dest.At(0, 0),
                        dest.stride, c.destWidth, c.destHeight);

    // Destination index i covers source i * s / d up to (i + 1) * s / d, at least one.
    const auto covers = [](int i, int s, int d, int at) {
        const auto first = static_cast<int>(std::int64_t{i} * s / d);
        const auto next = static_cast<int>(std::int64_t{i + 1} * s / d);
        return at >= first && at < std::max(next, first + 1);
    };
    for (int y = 0; y < c.destHeight; ++y) {
        for (int x = 0; x < c.destWidth; ++x) {
            const bool dark = covers(x, c.width, c.destWidth, c.strokeX) &&
                              covers(y, c.height, c.destHeight, c.strokeY);
            const std::uint8_t* pixel = dest.At(x, y);
            const std::vector<std::uint8_t> got(pixel, pixel + 3);
            const std::vector<std::uint8_t> want =
                dark ? std::vector<std::uint8_t>{0x0F, 0xF0, 0x33}
                     : std::vector<std::uint8_t>{kWhite, kWhite, kWhite};
            ASSERT_EQ(got, want) << "at " << x << ", " << y;
        }
        for (std::ptrdiff_t b = 3 * c.destWidth; b < dest.stride; ++b)
            ASSERT_EQ(dest.bytes[static_cast<std::size_t>(y * dest.stride + b)], 0xA5);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, AndShrink,
                         ::testing::Values(StrokeCase{"HalfWidth", 4, 2, 2, 1, 1, 1},
                                           StrokeCase{"Thumbnail", 800, 1500, 200, 200, 399, 1234},
                                           StrokeCase{"UnevenShrink", 7, 5, 3, 2, 6, 4},
                                           StrokeCase{"Enlarge", 2, 1, 5, 3, 1, 0},
                                           StrokeCase{"ShrinkOneAxisEnlargeOther", 9, 2, 2, 7, 0,
                                                      1},
                                           StrokeCase{"SameSize", 3, 3, 3, 3, 1, 2}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(AndShrinkErrors, RefusesEmptyRectangles) {
    Picture source(2, 2);
    Picture dest(2, 2);
    const auto stretch = [&](int w, int h, int dw, int dh) {
        StretchAndCombine24(source.At(0, 0), source.stride, w, h, dest.At(0, 0), dest.stride, dw,
                            dh);
    };
    EXPECT_THROW(stretch(0, 2, 2, 2), RasterError);
    EXPECT_THROW(stretch(2, -1, 2, 2), RasterError);
    EXPECT_THROW(stretch(2, 2, 0, 2), RasterError);
    EXPECT_THROW(stretch(2, 2, 2, 0), RasterError);
}

}  // namespace
}  // namespace lisko
