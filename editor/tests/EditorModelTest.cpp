#include <gtest/gtest.h>

#include <string>

#include <ostream>

#include "editor/EditorModel.h"
#include "editor/SheetHandles.h"

namespace lisko {
namespace {

struct MappingCase {
    const char* name;
    double zoom;
    QPoint shown;
    QPoint pixel;
    QPointF point;
};

class PictureMappingAt : public ::testing::TestWithParam<MappingCase> {};

// A 100 x 60 picture. At 1:1, today's only zoom, a shown point is its own pixel and a corner goes
// to that pixel's centre; at other zooms the pixel is the one the shown point lies on. A corner
// never leaves the picture.
TEST_P(PictureMappingAt, FindsThePicturePixel) {
    const MappingCase& c = GetParam();
    const PictureMapping mapping(QSize(100, 60), c.zoom);
    EXPECT_EQ(mapping.PixelAt(c.shown), c.pixel);
    EXPECT_EQ(mapping.PointAt(c.shown), c.point);
}

INSTANTIATE_TEST_SUITE_P(
    Zooms, PictureMappingAt,
    ::testing::Values(MappingCase{"OneToOne", 1.0, {37, 59}, {37, 59}, {37.5, 59.5}},
                      MappingCase{"OneToOneOrigin", 1.0, {0, 0}, {0, 0}, {0.5, 0.5}},
                      MappingCase{"OneToOneLeftOfThePicture", 1.0, {-3, 10}, {-3, 10}, {0, 10.5}},
                      MappingCase{"OneToOneBelowThePicture", 1.0, {99, 75}, {99, 75}, {99.5, 60}},
                      MappingCase{"Double", 2.0, {5, 7}, {2, 3}, {2.75, 3.75}},
                      MappingCase{"Half", 0.5, {3, 4}, {6, 8}, {7, 9}},
                      MappingCase{"DoubleLeftOfThePicture", 2.0, {-1, 0}, {-1, 0}, {0, 0.25}}),
    [](const auto& row) { return std::string(row.param.name); });

TLiskoData Photo() {
    TLiskoData photo;
    photo.WorkFile = QStringLiteral("/scratch/1.jpg");
    photo.Straighten = true;
    photo.SheetCorners = SheetQuad{QPointF(1, 1), QPointF(9, 1), QPointF(9, 9), QPointF(1, 9)};
    return photo;
}

TEST(EditorControls, WriteEachSettingIntoItsField) {
    // Each control's value goes into its own field, and back.
    ControlValues values{};
    for (const auto& [setting, value] : {std::pair{Setting::Type, 1},
                                         {Setting::Rotation, 3},
                                         {Setting::Brightness, -7},
                                         {Setting::Contrast, 12},
                                         {Setting::CropLeft, 10},
                                         {Setting::CropRight, 20},
                                         {Setting::CropTop, 30},
                                         {Setting::CropBottom, 40}}) {
        values[static_cast<std::size_t>(setting)] = value;
    }
    const std::optional<TLiskoData> changed = WithControls(Photo(), values);
    ASSERT_TRUE(changed);
    EXPECT_EQ(changed->ImageType, 1);
    EXPECT_EQ(changed->Rotation, 3);
    EXPECT_EQ(changed->Brightness, -7);
    EXPECT_EQ(changed->Contrast, 12);
    EXPECT_EQ(changed->CropLeft, 10);
    EXPECT_EQ(changed->CropRight, 20);
    EXPECT_EQ(changed->CropTop, 30);
    EXPECT_EQ(changed->CropBottom, 40);
    EXPECT_EQ(ControlsOf(*changed), values);
    // What the controls do not show stays.
    EXPECT_EQ(changed->WorkFile, Photo().WorkFile);
    EXPECT_EQ(changed->SheetCorners, Photo().SheetCorners);
    EXPECT_TRUE(changed->Straighten);
}

struct CropCase {
    const char* name;
    int left, right, top, bottom;
    bool accepted;
};

class EditorCrops : public ::testing::TestWithParam<CropCase> {};

// Two crops of one axis that leave nothing are refused and the photo stays as it was.
TEST_P(EditorCrops, AreRefusedWhenNothingWouldBeLeft) {
    const CropCase& c = GetParam();
    ControlValues values{};
    values[static_cast<std::size_t>(Setting::CropLeft)] = c.left;
    values[static_cast<std::size_t>(Setting::CropRight)] = c.right;
    values[static_cast<std::size_t>(Setting::CropTop)] = c.top;
    values[static_cast<std::size_t>(Setting::CropBottom)] = c.bottom;
    EXPECT_EQ(WithControls(Photo(), values).has_value(), c.accepted);
}

INSTANTIATE_TEST_SUITE_P(Axes, EditorCrops,
                         ::testing::Values(CropCase{"Leaves", 50, 49, 49, 50, true},
                                           CropCase{"Horizontal", 50, 50, 0, 0, false},
                                           CropCase{"Vertical", 0, 0, 50, 50, false}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(EditorRightClick, CropsTheNearestEdgeAndNothingOnATie) {
    TLiskoData photo = Photo();
    CropAtClick(photo, {950, 700}, {1000, 1500});
    EXPECT_EQ(photo.CropRight, 5);
    const TLiskoData before = photo;
    CropAtClick(photo, {500, 500}, {1000, 1000});  // the centre: all edges equally near
    EXPECT_EQ(photo, before);
}

TEST(EditorCropBands, KeepTheMiddle) {
    TLiskoData photo;
    photo.CropLeft = 10;
    photo.CropRight = 20;
    photo.CropTop = 5;
    photo.CropBottom = 0;
    EXPECT_EQ(KeptRect(photo, {1000, 1500}), QRect(100, 75, 700, 1425));
    EXPECT_EQ(KeptRect(TLiskoData(), {1000, 1500}), QRect(0, 0, 1000, 1500));
}

class SheetDrag : public ::testing::TestWithParam<Turn> {};

// The corners shown on the turned picture go back unchanged when nothing moved, and a dragged
// corner comes back to the photo's pixels through the same turn.
TEST_P(SheetDrag, HandsTheCornersBackInTheWorkingCopysPixels) {
    const QSize working(120, 90);
    TLiskoData photo = Photo();
    photo.Rotation = static_cast<std::int32_t>(GetParam());
    photo.SheetCorners =
        SheetQuad{QPointF(10, 12), QPointF(100, 8), QPointF(110, 80), QPointF(6, 70)};

    SheetHandleDrag drag;
    drag.Show(photo, working);
    EXPECT_EQ(drag.Corners(), TurnQuad(*photo.SheetCorners, GetParam(), working));
    EXPECT_FALSE(drag.Grab(QPointF(-100, -100)));
    drag.MoveTo(QPointF(50, 50));  // nothing grabbed: nothing moves
    EXPECT_EQ(drag.Release(photo, working), *photo.SheetCorners);

    drag.Show(photo, working);
    const QPointF third = drag.Corners()[2];
    ASSERT_TRUE(drag.Grab(third + QPointF(3, -4)));
    EXPECT_TRUE(drag.Dragging());
    drag.MoveTo(third + QPointF(-5, -6));
    SheetQuad moved = *photo.SheetCorners;
    moved[2] = UnturnPoint(third + QPointF(-5, -6), GetParam(), working);
    EXPECT_EQ(drag.Release(photo, working), moved);
    EXPECT_FALSE(drag.Dragging());
}

INSTANTIATE_TEST_SUITE_P(Turns, SheetDrag,
                         ::testing::Values(Turn::None, Turn::Clockwise, Turn::Anticlockwise,
                                           Turn::HalfTurn));

struct FitCase {
    const char* name;
    QSize picture;
    QSize box;
    QSize shown;
};

class FittedPicture : public ::testing::TestWithParam<FitCase> {};

// Fitted, the whole picture is shown inside the box and fills it along one side; a picture a
// pixel wide or high keeps that pixel, and a small one grows no further than the largest step.
TEST_P(FittedPicture, FillsTheBoxAlongOneSide) {
    const FitCase& c = GetParam();
    const double zoom = FitZoom(c.picture, c.box);
    const QSize shown = ShownSize(c.picture, zoom);
    EXPECT_EQ(shown, c.shown);
    EXPECT_LE(shown.width(), c.box.width());
    EXPECT_LE(shown.height(), c.box.height());
    // Every shown pixel, the last ones included, maps into the picture.
    const PictureMapping mapping(c.picture, zoom);
    const QPoint last = mapping.PixelAt({shown.width() - 1, shown.height() - 1});
    EXPECT_TRUE(QRect(QPoint(0, 0), c.picture).contains(last)) << last.x() << ", " << last.y();
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, FittedPicture,
    ::testing::Values(FitCase{"Portrait", {1125, 1500}, {512, 624}, {468, 624}},
                      FitCase{"Landscape", {1500, 1125}, {512, 624}, {512, 384}},
                      FitCase{"OnePixelWide", {1, 2000}, {512, 624}, {1, 624}},
                      FitCase{"OnePixelHigh", {2000, 1}, {512, 624}, {512, 1}},
                      FitCase{"ExactlyTheBox", {512, 624}, {512, 624}, {512, 624}},
                      FitCase{"SmallGrowsToTheLargestStep", {10, 10}, {512, 624}, {40, 40}}),
    [](const auto& row) { return std::string(row.param.name); });

struct StepCase {
    const char* name;
    double shown;
    int in;
    int out;
};

class ZoomSteps : public ::testing::TestWithParam<StepCase> {};

// From a step the next one is taken; from a fitted zoom between steps, the steps on either side;
// the ends stay put.
TEST_P(ZoomSteps, GoToTheNeighbouringStep) {
    const StepCase& c = GetParam();
    EXPECT_EQ(EditorZoom::StepIn(c.shown), (EditorZoom{.percent = c.in}));
    EXPECT_EQ(EditorZoom::StepOut(c.shown), (EditorZoom{.percent = c.out}));
}

INSTANTIATE_TEST_SUITE_P(Zooms, ZoomSteps,
                         ::testing::Values(StepCase{"OneToOne", 1.0, 125, 75},
                                           StepCase{"Fitted", 0.416, 50, 33},
                                           StepCase{"HairBelowAStep", 0.4999, 67, 33},
                                           StepCase{"Smallest", 0.25, 33, 25},
                                           StepCase{"BelowTheSmallest", 0.1, 25, 25},
                                           StepCase{"Largest", 4.0, 400, 300}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(EditorZoomText, ReadsBackWhatItWroteAndOneToOneForAnythingElse) {
    for (const EditorZoom zoom : {EditorZoom{.fit = true}, EditorZoom{.percent = 25},
                                  EditorZoom{.percent = 100}, EditorZoom{.percent = 400}}) {
        EXPECT_EQ(EditorZoom::FromText(zoom.ToText()), zoom) << zoom.ToText().toStdString();
    }
    for (const char* text : {"", "37", "1000", "-100", "Fit", "100 %"})
        EXPECT_EQ(EditorZoom::FromText(QString::fromLatin1(text)), EditorZoom{}) << text;
}

}  // namespace
}  // namespace lisko
