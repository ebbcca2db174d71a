#include <gtest/gtest.h>

#include <QRectF>
#include <algorithm>
#include <array>
#include <string>

#include "photo/Content.h"
#include "photo/Lisko.h"
#include "photo/PhotoSettings.h"
#include "testsupport/ContentPages.h"
#include "testsupport/JpegTools.h"
#include "testsupport/SheetPhotos.h"

namespace lisko {
namespace {

QString Q(const std::filesystem::path& p) {
    return QString::fromStdString(p.string());
}

std::string Describe(const ContentCrops& c) {
    return std::to_string(c.left) + "," + std::to_string(c.right) + "," + std::to_string(c.top) +
           "," + std::to_string(c.bottom);
}

// Each page is saved as a phone would and imported as the program does, so the search sees a
// working copy; the crops are compared with the box the ink was drawn in.
class ContentPages : public ::testing::TestWithParam<test::ContentPage> {
protected:
    test::TempDir dir_;
};

TEST_P(ContentPages, CropToTheInkWithAMarginOfAtMostThreePercent) {
    const test::ContentPage& page = GetParam();
    const test::DrawnPage drawn = test::DrawContentPage(page);
    const QString file = Q(dir_ / "page.jpg");
    test::SavePhoto(drawn.image, file);
    TLisko photo(file, Q(dir_.Path()));

    const ContentCrops crops = DetectContentIn(photo, photo.WorkingSize());
    if (!drawn.ink) {
        EXPECT_EQ(crops, ContentCrops{}) << Describe(crops);
        return;
    }
    // Where the ink starts from each edge of the turned photo, as a share of that side: a
    // landscape page is turned clockwise, which takes its bottom edge to the left.
    const QRectF& ink = *drawn.ink;
    const double w = page.width;
    const double h = page.height;
    std::array<double, 4> inkFrom{ink.left() / w, 1 - ink.right() / w, ink.top() / h,
                                  1 - ink.bottom() / h};
    if (photo.TurnOf() == Turn::Clockwise) {
        inkFrom = {1 - ink.bottom() / h, ink.top() / h, ink.left() / w, 1 - ink.right() / w};
    }
    const std::array<int, 4> cut{crops.left, crops.right, crops.top, crops.bottom};
    const char* const sides[] = {"left", "right", "top", "bottom"};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_LE(cut[i] / 100.0, inkFrom[i]) << sides[i] << " cuts ink: " << Describe(crops);
        // No edge is cut by more than the crop range allows, wherever the ink starts.
        const double reachable = std::min(inkFrom[i], kLargestCrop / 100.0);
        EXPECT_LE(reachable - cut[i] / 100.0, 0.03)
            << sides[i] << " leaves too much margin: " << Describe(crops);
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, ContentPages, ::testing::ValuesIn(test::ContentPages()),
                         [](const auto& row) { return row.param.name.toStdString(); });

// The one step straightens a sheet found on a desk and crops the straightened picture; where no
// sheet is found it crops the photo as it is.
TEST(StraightenAndCropToContent, StraightensWhereASheetIsFoundThenCropsThatPicture) {
    test::TempDir dir;
    for (const test::SheetScene& scene : test::SheetScenes()) {
        const QString file = Q(dir / "photo.jpg");
        test::SaveSheetPhoto(scene, file);
        TLisko photo(file, Q(dir.Path()));
        photo.StraightenAndCropToContent();
        EXPECT_EQ(photo.Straighten, scene.wholeSheet) << scene.name.toStdString();
        const ContentCrops crops = DetectContentIn(photo, photo.WorkingSize());
        EXPECT_EQ((ContentCrops{photo.CropLeft, photo.CropRight, photo.CropTop, photo.CropBottom}),
                  crops)
            << scene.name.toStdString();
        if (scene.wholeSheet) {
            // Each sheet's ruled page leaves empty margins round its writing.
            EXPECT_NE(crops, ContentCrops{}) << scene.name.toStdString();
        }
        EXPECT_NO_THROW(photo.Render(true));
    }
}

TEST(DetectContent, RefusesAPictureThatIsNotColour) {
    EXPECT_THROW(DetectContent(TFastDIB(), Turn::None), RasterError);
    EXPECT_THROW(DetectContent(TFastDIB::CreateBlank(10, 10, 8), Turn::None), RasterError);
}

}  // namespace
}  // namespace lisko
