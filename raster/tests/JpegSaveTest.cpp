#include <gtest/gtest.h>

#include "raster/FastDIB.h"
#include "raster/Jpeg.h"
#include "testsupport/JpegTools.h"
#include "testsupport/TestRaster.h"

namespace lisko {
namespace {

struct EncodeCase {
    const char* name;
    int width;
    int height;
    int quality;
};

class EncodesLikeCjpeg : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodesLikeCjpeg, ByteForByte) {
    const EncodeCase& c = GetParam();
    test::TempDir dir;
    const TFastDIB raster = test::PageLike24(c.width, c.height, 11);
    test::WritePnm(raster, dir / "in.ppm");
    test::RunCjpeg({"-quality", std::to_string(c.quality), "-baseline"}, dir / "in.ppm",
                   dir / "reference.jpg");

    const std::vector<char> reference = test::ReadFileBytes(dir / "reference.jpg");
    const std::vector<std::uint8_t> ours = EncodeJpeg(raster, c.quality);
    ASSERT_EQ(ours.size(), reference.size());
    EXPECT_TRUE(std::equal(ours.begin(), ours.end(), reference.begin(), [](std::uint8_t a, char b) {
        return a == static_cast<std::uint8_t>(b);
    }));
}

INSTANTIATE_TEST_SUITE_P(Cases, EncodesLikeCjpeg,
                         ::testing::Values(EncodeCase{"WorkingCopy", 150, 113, 85},
                                           EncodeCase{"OddSize", 7, 3, 85},
                                           EncodeCase{"LowQuality", 40, 40, 10}),
                         [](const auto& testCase) { return testCase.param.name; });

TEST(EncodeJpeg, RefusesWhatItCannotEncode) {
    EXPECT_THROW(EncodeJpeg(TFastDIB::CreateBlank(4, 4, 8), 85), RasterError);
    EXPECT_THROW(EncodeJpeg(TFastDIB::CreateBlank(0, 4, 24), 85), RasterError);
    EXPECT_THROW(EncodeJpeg(TFastDIB::CreateBlank(4, 4, 24), 0), RasterError);
}

}  // namespace
}  // namespace lisko
