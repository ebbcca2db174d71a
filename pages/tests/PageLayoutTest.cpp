#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "pages/PageLayout.h"

namespace lisko {
namespace {

TEST(SlotCount, OneAdvertisementBeforeEveryNineteenPhotos) {
    EXPECT_EQ(SlotCount(0), 0);
    EXPECT_EQ(SlotCount(1), 2);
    EXPECT_EQ(SlotCount(19), 20);
    EXPECT_EQ(SlotCount(20), 22);
    EXPECT_EQ(SlotCount(38), 40);
    EXPECT_EQ(SlotCount(39), 42);
}

// Walking the slots up to SlotCount(n) meets every photo once, in list order, and ends on the
// last photo: no slot is wasted and none is missing.
TEST(SlotCount, SlotsHoldEveryPhotoOnceInListOrder) {
    for (std::int64_t n = 1; n <= 200; ++n) {
        std::vector<std::int64_t> photos;
        for (std::int64_t s = 0; s < SlotCount(n); ++s) {
            if (!IsAdvertisementSlot(s)) photos.push_back(PhotoIndexOfSlot(s));
        }
        ASSERT_EQ(photos.size(), static_cast<std::size_t>(n)) << n;
        for (std::int64_t i = 0; i < n; ++i)
            ASSERT_EQ(photos[static_cast<std::size_t>(i)], i) << n;
        EXPECT_FALSE(IsAdvertisementSlot(SlotCount(n) - 1)) << n;
    }
}

TEST(SlotCount, AdvertisementsEveryTwentiethSlot) {
    EXPECT_TRUE(IsAdvertisementSlot(0));
    EXPECT_TRUE(IsAdvertisementSlot(20));
    EXPECT_TRUE(IsAdvertisementSlot(40));
    EXPECT_FALSE(IsAdvertisementSlot(19));
    EXPECT_EQ(PhotoIndexOfSlot(1), 0);
    EXPECT_EQ(PhotoIndexOfSlot(19), 18);
    EXPECT_EQ(PhotoIndexOfSlot(21), 19);
    EXPECT_EQ(PhotoIndexOfSlot(41), 38);
}

struct PageCountCase {
    const char* name;
    int photos;
    PageLayout layout;
    int pages;
};

class PageCountOf : public ::testing::TestWithParam<PageCountCase> {};

TEST_P(PageCountOf, Layout) {
    EXPECT_EQ(PageCount(GetParam().photos, GetParam().layout), GetParam().pages);
}

INSTANTIATE_TEST_SUITE_P(Cases, PageCountOf,
                         ::testing::Values(PageCountCase{"NoPhotos", 0, {3, 3}, 0},
                                           PageCountCase{"OnePhotoTwoSlots", 1, {3, 3}, 1},
                                           PageCountCase{"EightPhotosFillAPage", 8, {3, 3}, 1},
                                           PageCountCase{"NinePhotosSpillOver", 9, {3, 3}, 2},
                                           PageCountCase{"SeventeenPhotos", 17, {3, 3}, 2},
                                           PageCountCase{"EighteenPhotos", 18, {3, 3}, 3},
                                           PageCountCase{"TwentyPhotosFiveByFive", 20, {5, 5}, 1},
                                           PageCountCase{"OneByOneSlotPerPage", 39, {1, 1}, 42},
                                           PageCountCase{"NoRowsWhileTyping", 5, {0, 3}, 0},
                                           PageCountCase{"NoColumnsWhileTyping", 5, {3, 0}, 0},
                                           PageCountCase{"TooManyRows", 5, {6, 3}, 0},
                                           PageCountCase{"NegativeColumns", 5, {3, -2}, 0}),
                         [](const auto& testCase) { return testCase.param.name; });

TEST(SlotAt, RowWiseFillsEachRowFirst) {
    const PageLayout layout{3, 3, SlotOrder::RowWise};
    EXPECT_EQ(SlotAt(layout, 0, 0, 0), 0);
    EXPECT_EQ(SlotAt(layout, 0, 0, 2), 2);
    EXPECT_EQ(SlotAt(layout, 0, 1, 0), 3);
    EXPECT_EQ(SlotAt(layout, 1, 1, 1), 13);
}

TEST(SlotAt, ColumnWiseTwoByThree) {
    const PageLayout layout{2, 3, SlotOrder::ColumnWise};
    const std::vector<std::vector<std::int64_t>> expected{{0, 2, 4}, {1, 3, 5}};
    for (int r = 0; r < 2; ++r) {
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(SlotAt(layout, 0, r, k), expected[r][k]) << r << "," << k;
    }
    EXPECT_EQ(SlotAt(layout, 1, 0, 0), 6);
}

struct ClickCase {
    const char* name;
    PageLayout layout;
    int selectorPage;
    int photoCount;
    QPoint point;
    PreviewClick::Target target;
    int photo;
};

class ClickOnPreviewAt : public ::testing::TestWithParam<ClickCase> {};

TEST_P(ClickOnPreviewAt, Point) {
    const ClickCase& c = GetParam();
    const PreviewClick click = ClickOnPreview(c.layout, c.selectorPage, c.photoCount, c.point);
    EXPECT_EQ(click.target, c.target);
    EXPECT_EQ(click.photo, c.photo);
}

using Target = PreviewClick::Target;
constexpr PageLayout k3x3{3, 3, SlotOrder::RowWise};

INSTANTIATE_TEST_SUITE_P(
    Cases, ClickOnPreviewAt,
    ::testing::Values(
        // Cells of 133 x 174 pixels from (10, 10).
        ClickCase{"SecondRowSecondColumn", k3x3, 1, 9, {150, 200}, Target::Photo, 3},
        ClickCase{"TopLeftAdvertisement", k3x3, 1, 9, {20, 20}, Target::Advertisement, -1},
        // Row 550 div 174 = 3 lies below the grid: slot 9, the first photo of page 2.
        ClickCase{"BelowTheGridCountsOn", k3x3, 1, 9, {20, 560}, Target::Photo, 8},
        ClickCase{"InTheMarginTruncatesToZero", k3x3, 2, 9, {5, 5}, Target::Photo, 8},
        ClickCase{"RightColumnOfPageTwo", k3x3, 2, 20, {300, 20}, Target::Photo, 10},
        ClickCase{"PhotoPastTheList", k3x3, 1, 3, {150, 200}, Target::Nothing, -1},
        ClickCase{"EmptyAdvertisementSlot", {1, 1}, 21, 0, {100, 100}, Target::Advertisement, -1},
        ClickCase{"ColumnWise", {2, 3, SlotOrder::ColumnWise}, 1, 9, {150, 300}, Target::Photo, 2},
        ClickCase{
            "SelectorBelowOneGivesNegativeSlots", k3x3, 0, 9, {150, 200}, Target::Nothing, -1},
        ClickCase{"NoColumnsWhileTyping", {3, 0}, 1, 9, {150, 200}, Target::Nothing, -1},
        ClickCase{"NoRowsWhileTyping", {0, 3}, 1, 9, {150, 200}, Target::Nothing, -1}),
    [](const auto& testCase) { return testCase.param.name; });

}  // namespace
}  // namespace lisko
