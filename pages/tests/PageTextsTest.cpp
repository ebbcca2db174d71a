#include <gtest/gtest.h>

#include <vector>

#include "identity/Identity.h"
#include "pages/PageTexts.h"

namespace lisko {
namespace {

TEST(PageTexts, CaptionsKeepTheirBlanks) {
    EXPECT_EQ(CaptionHelped(), QStringLiteral("   Помогла \"Лиско\"?!   "));
    EXPECT_EQ(CaptionHelped().size(), 23);
    EXPECT_EQ(CaptionHelpProject().size(), 23);
    EXPECT_EQ(SiteText(), QString::fromUtf8(identity::ProjectSite) + QLatin1Char(' '));
}

TEST(PageTexts, SlogansRepeatEveryFourPhotos) {
    const std::array<QString, 4> slogans = CaptionSlogans();
    EXPECT_EQ(slogans[0], slogans[2]);
    EXPECT_TRUE(slogans[0].endsWith(QString::fromUtf8(identity::PartnerSite)));
    EXPECT_EQ(slogans[1], QStringLiteral("Посоветуй LiskoPrinter другу!"));
    EXPECT_TRUE(slogans[3].endsWith(QString::fromUtf8(identity::FeedbackEmail)));
}

enum class Dated { None, Birthday, Anniversary };

struct FootCase {
    const char* name;
    QDate today;
    Dated dated;
};

class FootOn : public ::testing::TestWithParam<FootCase> {};

// At scale 12 the band is 36 pixels: a dated line 54 high and 72 apart, the others 36.
TEST_P(FootOn, Date) {
    const std::vector<FootLine> lines = FootLines(GetParam().today, 12);
    const bool dated = GetParam().dated != Dated::None;
    ASSERT_EQ(lines.size(), dated ? 4u : 3u);
    const int first = dated ? 1 : 0;
    if (dated) {
        EXPECT_EQ(lines[0].y, 3204);
        EXPECT_EQ(lines[0].cellHeight, 54);
        EXPECT_TRUE(lines[0].text.startsWith(GetParam().dated == Dated::Birthday
                                                 ? QStringLiteral("17 января  - день рождения")
                                                 : QStringLiteral("15 июня программе")));
    }
    const int top = dated ? 3204 + 72 : 3204;
    for (int k = 0; k < 3; ++k) {
        const FootLine& line = lines[static_cast<std::size_t>(first + k)];
        EXPECT_EQ(line.y, top + 36 * k) << k;
        EXPECT_EQ(line.cellHeight, 36) << k;
    }
    EXPECT_TRUE(lines[first].text.startsWith(QStringLiteral("Программа для печати шпор")));
    EXPECT_TRUE(lines[first + 1].text.contains(QStringLiteral("Яндекс.Деньги №") +
                                               QString::fromUtf8(identity::DonationAccount) +
                                               QStringLiteral(" можно через")));
    EXPECT_TRUE(lines[first + 2].text.contains(QStringLiteral("зайди на ") +
                                               QString::fromUtf8(identity::ProjectSite) +
                                               QStringLiteral(" и отправь")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FootOn,
    ::testing::Values(FootCase{"LongBefore", QDate(2009, 3, 1), Dated::Birthday},
                      FootCase{"LastBirthdayDay", QDate(2010, 2, 17), Dated::Birthday},
                      FootCase{"DayAfterBirthday", QDate(2010, 2, 18), Dated::None},
                      FootCase{"DayBeforeJune", QDate(2010, 5, 31), Dated::None},
                      FootCase{"FirstOfJune", QDate(2010, 6, 1), Dated::Anniversary},
                      FootCase{"LastOfJune", QDate(2010, 6, 30), Dated::Anniversary},
                      FootCase{"FirstOfJuly", QDate(2010, 7, 1), Dated::None},
                      FootCase{"JuneOfAnotherYear", QDate(2024, 6, 15), Dated::None}),
    [](const auto& testCase) { return testCase.param.name; });

TEST(FootLines, StandAtTheBottomMarginAtEveryScale) {
    const std::vector<FootLine> lines = FootLines(QDate(2024, 1, 1), 2);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].y, 594 - 60);
    EXPECT_EQ(lines[2].y, 594 - 60 + 12);
    EXPECT_EQ(lines[0].cellHeight, 6);
}

struct NumberCase {
    const char* name;
    int width;
    std::int64_t number;
    int offset;
};

class NumberOffsetOf : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumberOffsetOf, Band36) {
    EXPECT_EQ(NumberOffset(36, GetParam().width, GetParam().number), GetParam().offset);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NumberOffsetOf,
    ::testing::Values(
        NumberCase{"OneDigitCentred", 10, 1, 13}, NumberCase{"TwoDigitsNarrowOffset", 30, 99, 3},
        // Up to 99 the centring offset stands even where it is negative.
        NumberCase{"NinetyNineWiderThanTheBand", 40, 99, -2},
        // Truncation toward zero: (36 - 37) div 2 = 0.
        NumberCase{"TruncatesTowardZero", 37, 7, 0}, NumberCase{"HundredPushedToFive", 30, 100, 5},
        NumberCase{"HundredWiderThanTheBand", 54, 100, 5},
        NumberCase{"HundredWithRoomKeepsItsCentre", 20, 100, 8},
        NumberCase{"HundredAtExactlyFive", 26, 100, 5}, NumberCase{"LargeNumber", 90, 12345, 5}),
    [](const auto& testCase) { return testCase.param.name; });

// A width function of a text 10 characters long, recording the heights it was asked for.
struct FakeSlogans {
    std::vector<int> asked;
    int perPixel = 10;
    int operator()(int height) {
        asked.push_back(height);
        return height * perPixel;
    }
};

TEST(FitSloganHeight, TakesTheBandWhenEverythingFits) {
    FakeSlogans slogans;
    EXPECT_EQ(FitSloganHeight(36, 21, 361, std::ref(slogans)), 36);
    EXPECT_EQ(slogans.asked, std::vector<int>{36});
}

TEST(FitSloganHeight, ShrinksToTheLargestHeightThatFits) {
    FakeSlogans slogans;
    EXPECT_EQ(FitSloganHeight(36, 21, 300, std::ref(slogans)), 29);
    EXPECT_EQ(slogans.asked, (std::vector<int>{36, 35, 34, 33, 32, 31, 30, 29}));
}

// Strictly narrower: a slogan exactly as wide as the room does not fit.
TEST(FitSloganHeight, ExactWidthDoesNotFit) {
    FakeSlogans slogans;
    EXPECT_EQ(FitSloganHeight(36, 21, 360, std::ref(slogans)), 35);
}

TEST(FitSloganHeight, NeverBelowTheCaptionHeightAndThatOneUnmeasured) {
    FakeSlogans slogans;
    EXPECT_EQ(FitSloganHeight(36, 21, 100, std::ref(slogans)), 21);
    ASSERT_FALSE(slogans.asked.empty());
    EXPECT_EQ(slogans.asked.back(), 22);
    // A negative room (a very low cell) still ends at the caption height.
    EXPECT_EQ(FitSloganHeight(36, 21, -50, FakeSlogans{}), 21);
}

}  // namespace
}  // namespace lisko
