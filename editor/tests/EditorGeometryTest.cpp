#include <gtest/gtest.h>

#include <QImage>

#include "editor/AndShrinkImage.h"
#include "editor/EditorGeometry.h"

namespace lisko {
namespace {

struct ClickCase {
    const char* name;
    int x, y;
    std::optional<Edge> edge;
    int percent;
};

class RightClickCrop : public ::testing::TestWithParam<ClickCase> {};

TEST_P(RightClickCrop, SetsTheStrictlyNearestEdge) {
    const ClickCase& c = GetParam();
    const std::optional<EdgeCrop> crop = CropFromClick(c.x, c.y, 1000, 1500);
    ASSERT_EQ(crop.has_value(), c.edge.has_value());
    if (crop) {
        EXPECT_EQ(crop->edge, *c.edge);
        EXPECT_EQ(crop->percent, c.percent);
    }
}

// On a 1000 x 1500 rendering.
INSTANTIATE_TEST_SUITE_P(
    Cases, RightClickCrop,
    ::testing::Values(ClickCase{"Left", 100, 700, Edge::Left, 10},
                      ClickCase{"LeftAndTopTie", 30, 30, std::nullopt, 0},
                      ClickCase{"RightRoundsDown", 999, 700, Edge::Right, 0},
                      ClickCase{"BottomRoundsDown", 500, 1490, Edge::Bottom, 0},
                      ClickCase{"Bottom", 500, 1400, Edge::Bottom, 6},
                      ClickCase{"Top", 500, 120, Edge::Top, 8},
                      ClickCase{"Centre", 500, 750, std::nullopt, 0},
                      ClickCase{"RightAndBottomTie", 990, 1490, std::nullopt, 0}),
    [](const auto& testCase) { return testCase.param.name; });

TEST(CropAmounts, TruncatePercentOfEachSide) {
    TLiskoData photo;
    photo.CropLeft = 10;
    photo.CropRight = 20;
    photo.CropTop = 3;
    photo.CropBottom = 1;
    const CropPixels crop = CropAmounts(photo, 1000, 1499);
    EXPECT_EQ(crop.left, 100);
    EXPECT_EQ(crop.right, 200);
    EXPECT_EQ(crop.top, 44);
    EXPECT_EQ(crop.bottom, 14);
}

QImage Filled(int w, int h, QRgb colour) {
    QImage image(w, h, QImage::Format_BGR888);
    image.fill(QColor::fromRgb(colour));
    return image;
}

TEST(DrawCropOverlay, BlanksTheCutBandsWithAnOutline) {
    QImage picture = Filled(1000, 50, qRgb(90, 60, 30));
    DrawCropOverlay(picture, {100, 200, 0, 0});
    // Left band: x 0..99, outlined on its edge pixels; right band: x 800..999.
    EXPECT_EQ(picture.pixel(0, 25), qRgb(0, 0, 0));
    EXPECT_EQ(picture.pixel(50, 25), qRgb(255, 255, 255));
    EXPECT_EQ(picture.pixel(99, 25), qRgb(0, 0, 0));
    EXPECT_EQ(picture.pixel(100, 25), qRgb(90, 60, 30));
    EXPECT_EQ(picture.pixel(799, 25), qRgb(90, 60, 30));
    EXPECT_EQ(picture.pixel(800, 25), qRgb(0, 0, 0));
    EXPECT_EQ(picture.pixel(900, 25), qRgb(255, 255, 255));
    EXPECT_EQ(picture.pixel(999, 25), qRgb(0, 0, 0));
}

TEST(DrawCropOverlay, NoCropLeavesThePicture) {
    QImage picture = Filled(40, 30, qRgb(1, 2, 3));
    const QImage before = picture.copy();
    DrawCropOverlay(picture, {});
    EXPECT_EQ(picture, before);
}

TEST(StretchAndCombine, ShrinkingAndsTheDroppedPixels) {
    QImage source = Filled(4, 2, qRgb(255, 255, 255));
    source.setPixel(1, 1, qRgb(0x0F, 0xF0, 0x33));  // a dark stroke one pixel wide
    const QImage shrunk = StretchAndCombine(source, source.rect(), 2, 1);
    EXPECT_EQ(shrunk.pixel(0, 0), qRgb(0x0F, 0xF0, 0x33));
    EXPECT_EQ(shrunk.pixel(1, 0), qRgb(255, 255, 255));
}

TEST(StretchAndCombine, EnlargingRepeatsPixels) {
    QImage source = Filled(2, 1, qRgb(10, 20, 30));
    source.setPixel(1, 0, qRgb(200, 100, 50));
    const QImage grown = StretchAndCombine(source, source.rect(), 5, 3);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(grown.pixel(0, y), qRgb(10, 20, 30));
        EXPECT_EQ(grown.pixel(2, y), qRgb(10, 20, 30));
        EXPECT_EQ(grown.pixel(3, y), qRgb(200, 100, 50));
        EXPECT_EQ(grown.pixel(4, y), qRgb(200, 100, 50));
    }
}

TEST(StretchAndCombine, TakesOnlyTheGivenRectangle) {
    QImage source = Filled(10, 10, qRgb(0, 0, 0));
    for (int y = 2; y < 6; ++y) {
        for (int x = 3; x < 7; ++x)
            source.setPixel(x, y, qRgb(255, 255, 255));
    }
    const QImage part = StretchAndCombine(source, QRect(3, 2, 4, 4), 200, 200);
    EXPECT_EQ(part.size(), QSize(200, 200));
    EXPECT_EQ(part.format(), QImage::Format_BGR888);
    EXPECT_EQ(part.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(part.pixel(199, 199), qRgb(255, 255, 255));
    EXPECT_THROW(StretchAndCombine(source, QRect(8, 8, 4, 4), 2, 2), std::invalid_argument);
}

}  // namespace
}  // namespace lisko
