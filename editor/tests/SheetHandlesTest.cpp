#include <gtest/gtest.h>

#include <cmath>

#include "editor/SheetHandles.h"
#include "raster/FastDIB.h"
#include "raster/Resample.h"
#include "testsupport/TestRaster.h"

namespace lisko {
namespace {

struct TurnCase {
    const char* name;
    Turn turn;
    double angle;  // as the photo's rendering turns the raster
};

class SheetPointTurn : public ::testing::TestWithParam<TurnCase> {};

// A marked pixel of a 7 x 4 picture lands, after the raster turn the rendering uses, on the pixel
// whose square TurnPoint gives for the marked one (unless the turn drops it off the edge);
// UnturnPoint brings it back.
TEST_P(SheetPointTurn, FollowsTheRasterTurn) {
    const TurnCase& c = GetParam();
    const QSize working(7, 4);
    const BgrColor mark{0, 0, 255};
    for (int y = 0; y < working.height(); ++y) {
        for (int x = 0; x < working.width(); ++x) {
            TFastDIB picture = test::Uniform24(7, 4, BgrWhite);
            test::SetPixel(picture, x, working.height() - 1 - y, mark);
            const bool swap = c.turn != Turn::HalfTurn;
            TFastDIB turned = TFastDIB::CreateBlank(swap ? 4 : 7, swap ? 7 : 4, 24);
            turned.Clear(BgrWhite);
            RotateInto(picture, turned, 65536, c.angle);

            const QPointF centre = TurnPoint(QPointF(x + 0.5, y + 0.5), c.turn, working);
            const int tx = static_cast<int>(std::floor(centre.x()));
            const int ty = static_cast<int>(std::floor(centre.y()));
            EXPECT_EQ(UnturnPoint(centre, c.turn, working), QPointF(x + 0.5, y + 0.5));
            if (tx < 0 || ty < 0 || tx >= turned.Width() || ty >= turned.Height()) continue;
            ASSERT_EQ(test::PixelAt(turned, tx, turned.Height() - 1 - ty), mark)
                << "pixel " << x << "," << y << " expected at " << tx << "," << ty;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Turns, SheetPointTurn,
                         ::testing::Values(TurnCase{"clockwise", Turn::Clockwise, 90.0},
                                           TurnCase{"anticlockwise", Turn::Anticlockwise, -90.0},
                                           TurnCase{"half_turn", Turn::HalfTurn, 180.0}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(SheetHandle, PressGrabsTheNearestCornerWithinReach) {
    const SheetQuad corners = {QPointF(10, 10), QPointF(100, 10), QPointF(100, 200),
                               QPointF(20, 200)};
    EXPECT_EQ(HandleAt(corners, QPointF(12, 14)), 0);
    EXPECT_EQ(HandleAt(corners, QPointF(100 + kHandleGrab, 200)), 2);
    EXPECT_EQ(HandleAt(corners, QPointF(100 + kHandleGrab + 1, 200)), std::nullopt);
    EXPECT_EQ(HandleAt(corners, QPointF(60, 100)), std::nullopt);
}

struct ReachCase {
    const char* name;
    double zoom;
};

class SheetHandleReach : public ::testing::TestWithParam<ReachCase> {};

// The reach is the same on the screen at every zoom: kHandleGrab screen pixels, however many
// picture pixels those are.
TEST_P(SheetHandleReach, IsTheSameNumberOfScreenPixels) {
    const double zoom = GetParam().zoom;
    const SheetQuad corners = {QPointF(1000, 1000), QPointF(3000, 1000), QPointF(3000, 3000),
                               QPointF(1000, 3000)};
    const double reach = kHandleGrab / zoom;
    EXPECT_EQ(HandleAt(corners, QPointF(1000 - reach + 0.5 / zoom, 1000), zoom), 0);
    EXPECT_EQ(HandleAt(corners, QPointF(3000, 3000 + reach - 0.5 / zoom), zoom), 2);
    EXPECT_EQ(HandleAt(corners, QPointF(1000 - reach - 1 / zoom, 1000), zoom), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Zooms, SheetHandleReach,
                         ::testing::Values(ReachCase{"quarter", 0.25}, ReachCase{"fitted", 0.42},
                                           ReachCase{"one_to_one", 1.0},
                                           ReachCase{"fourfold", 4.0}),
                         [](const auto& row) { return std::string(row.param.name); });

// Drawn for a picture shown at a quarter, the handle covers four times the picture pixels.
TEST(SheetHandle, OverlayHandlesKeepTheirSizeOnTheScreen) {
    const SheetQuad corners = {QPointF(100, 100), QPointF(300, 100), QPointF(300, 300),
                               QPointF(100, 300)};
    const auto whiteOut = [&](double zoom) {
        QImage picture(400, 400, QImage::Format_RGB888);
        picture.fill(Qt::black);
        DrawSheetOverlay(picture, corners, zoom);
        int light = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x)
                light += qGray(picture.pixel(x, y)) > 128;
        }
        return light;
    };
    const int oneToOne = whiteOut(1.0);
    const int quarter = whiteOut(0.25);
    EXPECT_GT(quarter, 10 * oneToOne);
}

}  // namespace
}  // namespace lisko
