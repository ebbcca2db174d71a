#include <gtest/gtest.h>

#include <QImage>
#include <QLineF>
#include <cmath>
#include <stdexcept>
#include <string>

#include "photo/Lisko.h"
#include "photo/Sheet.h"
#include "raster/FastDIB.h"
#include "testsupport/JpegTools.h"
#include "testsupport/SheetPhotos.h"
#include "testsupport/TestRaster.h"

namespace lisko {
namespace {

QString Q(const std::filesystem::path& p) {
    return QString::fromStdString(p.string());
}

std::string Describe(const SheetQuad& q) {
    std::string text;
    for (const QPointF& p : q)
        text += std::to_string(std::lround(p.x())) + "," + std::to_string(std::lround(p.y())) + " ";
    return text;
}

// Each scene is saved as a phone would, imported as the program does, and searched; the corners
// found are compared with where the sheet was drawn, in the source photo's pixels.
class SheetScenes : public ::testing::TestWithParam<test::SheetScene> {
protected:
    test::TempDir dir_;
};

TEST_P(SheetScenes, FindsEveryWholeSheetWithinOneAndAHalfPercent) {
    const test::SheetScene& scene = GetParam();
    const QString file = Q(dir_ / "photo.jpg");
    test::SaveSheetPhoto(scene, file);
    TLisko photo(file, Q(dir_.Path()));

    const bool found = photo.DetectSheetCorners();
    ASSERT_EQ(found, scene.wholeSheet);
    if (!found) {
        EXPECT_FALSE(photo.SheetCorners);
        return;
    }
    const SheetQuad inSource =
        ScaleSheetQuad(*photo.SheetCorners, photo.WorkingSize(), photo.SourceSize());
    const double tolerance = 0.015 * std::max(scene.width, scene.height);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_LE(QLineF(inSource[i], (*scene.sheet)[i]).length(), tolerance)
            << SheetCornerNames[i] << " corner; found " << Describe(inSource);
    }
    EXPECT_FALSE(photo.Straighten) << "finding the sheet leaves the flag to the caller";
}

INSTANTIATE_TEST_SUITE_P(Photos, SheetScenes, ::testing::ValuesIn(test::SheetScenes()),
                         [](const auto& row) { return row.param.name.toStdString(); });

// The straightened sheet of a drawn scene: the true corners go to the picture's corners, so its
// outer band is paper all round; a mirrored or rotated mapping would bring the desk in.
TEST(StraightenSheet, MapsTheSheetOntoTheWholeRectangle) {
    const test::SheetScene scene = test::SheetScenes()[1];  // wooden desk, strong perspective
    const TFastDIB photo = test::SheetPhotoRaster(scene);
    const TFastDIB sheet = StraightenSheet(photo, *scene.sheet);

    const QSize expected = StraightenedSize(*scene.sheet);
    ASSERT_EQ(sheet.Width(), expected.width());
    ASSERT_EQ(sheet.Height(), expected.height());
    // The drawn sheet: top 862 and bottom 1322 long, left 1144 and right 1161.
    EXPECT_NEAR(sheet.Width(), (862 + 1322) / 2, 1);
    EXPECT_NEAR(sheet.Height(), (1144 + 1161) / 2, 1);

    const int band = 12;
    int paper = 0;
    int total = 0;
    for (int y = 4; y < sheet.Height() - 4; ++y) {
        for (int x = 4; x < sheet.Width() - 4; ++x) {
            const bool inBand =
                x < band || y < band || x >= sheet.Width() - band || y >= sheet.Height() - band;
            if (!inBand) continue;
            const BgrColor c = test::PixelAt(sheet, x, y);
            paper += std::min({c.Blue, c.Green, c.Red}) > 200 ? 1 : 0;
            ++total;
        }
    }
    EXPECT_GT(paper, total * 97 / 100);
}

// An axis-aligned sheet on whole pixels is a plain copy of that block.
TEST(StraightenSheet, AxisAlignedSheetIsAnExactCopy) {
    const TFastDIB photo = test::Noise24(64, 48, 7);
    const SheetQuad block = {QPointF(10, 5), QPointF(50, 5), QPointF(50, 35), QPointF(10, 35)};
    const TFastDIB sheet = StraightenSheet(photo, block);
    ASSERT_EQ(sheet.Width(), 40);
    ASSERT_EQ(sheet.Height(), 30);
    TFastDIB copy = TFastDIB::CreateBlank(40, 30, 24);
    photo.CopyRect(copy, 0, 0, 40, 30, 10, 5);
    EXPECT_TRUE(test::SamePixels(sheet, copy));
}

struct BadQuad {
    const char* name;
    SheetQuad corners;
    const char* message;
};

class BadSheetCorners : public ::testing::TestWithParam<BadQuad> {};

// Refused corners leave the photo's own as they were, and so does a rendering that would use them.
TEST_P(BadSheetCorners, AreRefusedAndTheOldOnesKept) {
    test::TempDir dir;
    const QString file = Q(dir / "photo.jpg");
    test::SaveSheetPhoto(test::SheetScenes()[0], file);  // 1536 x 2048, working copy 1125 x 1500
    TLisko photo(file, Q(dir.Path()));
    ASSERT_EQ(photo.WorkingSize(), QSize(1125, 1500));
    const SheetQuad good = {QPointF(100, 100), QPointF(1000, 120), QPointF(1010, 1400),
                            QPointF(90, 1390)};
    photo.SetSheetCorners(good);

    const BadQuad& bad = GetParam();
    try {
        photo.SetSheetCorners(bad.corners);
        FAIL() << "accepted " << Describe(bad.corners);
    } catch (const std::invalid_argument& e) {
        EXPECT_NE(std::string(e.what()).find(bad.message), std::string::npos) << e.what();
    }
    ASSERT_TRUE(photo.SheetCorners);
    EXPECT_EQ(*photo.SheetCorners, good);

    photo.SheetCorners = bad.corners;
    photo.Straighten = true;
    const QImage thumbnail = photo.Thumbnail;
    EXPECT_THROW(photo.Render(true), std::invalid_argument);
    EXPECT_EQ(photo.Thumbnail, thumbnail);
}

INSTANTIATE_TEST_SUITE_P(
    Corners, BadSheetCorners,
    ::testing::Values(
        BadQuad{"corner_beyond_the_right_edge",
                {QPointF(100, 100), QPointF(1126, 120), QPointF(1010, 1400), QPointF(90, 1390)},
                "top-right (1126, 120) lies outside the 1125 x 1500 picture"},
        BadQuad{"corner_above_the_picture",
                {QPointF(100, -1), QPointF(1000, 120), QPointF(1010, 1400), QPointF(90, 1390)},
                "top-left"},
        BadQuad{
            "not_a_number",
            {QPointF(100, 100), QPointF(1000, 120), QPointF(1010, std::nan("")), QPointF(90, 1390)},
            "bottom-right"},
        BadQuad{"crossing_edges",
                {QPointF(100, 100), QPointF(1000, 120), QPointF(90, 1390), QPointF(1010, 1400)},
                "edges cross"},
        BadQuad{"bent_inwards",
                {QPointF(100, 100), QPointF(1000, 120), QPointF(500, 400), QPointF(90, 1390)},
                "edges cross or bend inwards"},
        BadQuad{"mirrored_order",
                {QPointF(90, 1390), QPointF(1010, 1400), QPointF(1000, 120), QPointF(100, 100)},
                "wrong way"},
        BadQuad{"two_corners_in_one_place",
                {QPointF(100, 100), QPointF(100, 100), QPointF(1010, 1400), QPointF(90, 1390)},
                "shorter than 8 pixels"},
        BadQuad{"corners_in_a_line",
                {QPointF(100, 100), QPointF(500, 500), QPointF(900, 900), QPointF(90, 1390)},
                "almost on the line"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(StraightenedPhoto, RendersTheSheetThenTurnsAndCropsIt) {
    test::TempDir dir;
    const QString file = Q(dir / "photo.jpg");
    const test::SheetScene scene = test::SheetScenes()[1];  // landscape: turned clockwise
    test::SaveSheetPhoto(scene, file);
    TLisko photo(file, Q(dir.Path()));
    const QImage before = photo.Render(true);

    photo.Straighten = true;
    EXPECT_THROW(photo.Render(true), std::invalid_argument) << "no corners yet";
    ASSERT_TRUE(photo.DetectSheetCorners());
    const QSize straight = StraightenedSize(*photo.SheetCorners);
    photo.CropLeft = 10;
    const QImage after = photo.Render(true);
    // Turned: the sheet's height is the rendering's width, less the 10 % crop.
    EXPECT_EQ(after.width(), straight.height() - straight.height() * 10 / 100);
    EXPECT_EQ(after.height(), straight.width());
    EXPECT_NE(photo.Thumbnail, QImage());

    photo.Straighten = false;
    photo.CropLeft = 0;
    EXPECT_EQ(photo.Render(true), before) << "with the flag off the corners change nothing";
}

}  // namespace
}  // namespace lisko
