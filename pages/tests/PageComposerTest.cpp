#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "pages/Fonts.h"
#include "pages/PageComposer.h"
#include "pages/PageTexts.h"
#include "raster/Jpeg.h"
#include "testsupport/JpegTools.h"
#include "testsupport/TestRaster.h"

namespace lisko {
namespace {

// The advertisement pictures are solid colours that no photo has, one for each style.
const QColor kPreviewAd(0, 0, 255);
const QColor kPrintAd(255, 0, 255);

// Photo i is a uniform picture of red 30 + 5 (i mod 40), green 180, blue 110; colour rendering
// at brightness and contrast 0 keeps it, so a cell's colour names its photo.
QColor PhotoColour(int i) {
    return QColor(30 + 5 * (i % 40), 180, 110);
}

QImage Solid(int width, int height, QColor colour) {
    QImage image(width, height, QImage::Format_BGR888);
    image.fill(colour);
    return image;
}

bool Near(QColor a, QColor b, int tolerance = 3) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// Text strokes: dark in every channel, unlike every photo colour (green 180).
bool Ink(const QImage& page, int x, int y) {
    const QColor c = page.pixelColor(x, y);
    return c.red() < 100 && c.green() < 100 && c.blue() < 100;
}

// The bounding box of the ink inside a region, or nothing when it is clean.
std::optional<QRect> InkBox(const QImage& page, const QRect& region) {
    QRect box;
    for (int y = region.top(); y <= region.bottom(); ++y) {
        for (int x = region.left(); x <= region.right(); ++x) {
            if (Ink(page, x, y)) box |= QRect(x, y, 1, 1);
        }
    }
    if (box.isNull()) return std::nullopt;
    return box;
}

QFont Calibri(int cellHeight) {
    return FontWithCellHeight(PrintFontFamily(), cellHeight);
}

class ComposerTest : public ::testing::Test {
protected:
    // Photos 0..n-1, imported as the program imports them and set to colour rendering.
    void MakePhotos(int n, int width = 30, int height = 40) {
        for (int i = static_cast<int>(photos_.size()); i < n; ++i) {
            const QColor c = PhotoColour(i);
            const std::string name = "photo" + std::to_string(i % 40) + "-" +
                                     std::to_string(width) + "x" + std::to_string(height) + ".jpg";
            const std::filesystem::path file = dir_ / name;
            if (!std::filesystem::exists(file)) {
                const BgrColor bgr{static_cast<std::uint8_t>(c.blue()),
                                   static_cast<std::uint8_t>(c.green()),
                                   static_cast<std::uint8_t>(c.red())};
                const std::vector<std::uint8_t> jpeg =
                    EncodeJpeg(test::Uniform24(width, height, bgr), 95);
                test::WriteFileBytes(file, {jpeg.begin(), jpeg.end()});
            }
            auto photo = std::make_unique<TLisko>(QString::fromStdString(file.string()),
                                                  QString::fromStdString(scratch_.Path().string()));
            photo->ImageType = 0;
            photo->Brightness = 0;
            photo->Contrast = 0;
            // As after a change in the editor: the thumbnail shows the new settings.
            photo->Render(true);
            photos_.push_back(std::move(photo));
        }
    }

    PageSources Sources(const PageLayout& layout, int photoCount) const {
        PageSources sources;
        sources.layout = layout;
        for (int i = 0; i < photoCount; ++i)
            sources.photos.push_back(photos_[static_cast<std::size_t>(i)].get());
        sources.previewAdvertisement = Solid(300, 400, kPreviewAd);
        sources.printAdvertisement = Solid(600, 800, kPrintAd);
        sources.today = QDate(2024, 5, 5);
        return sources;
    }

    test::TempDir dir_;
    test::TempDir scratch_;
    std::vector<std::unique_ptr<TLisko>> photos_;
};

// --- Which cells hold what, and which are framed ---------------------------------------------

constexpr int A = -1;  // advertisement
constexpr int B = -2;  // blank

struct LayoutCase {
    const char* name;
    int photos;
    PageLayout layout;
    int page;
    std::vector<int> cells;  // row by row: a photo index, A or B
};

class ComposedCells : public ComposerTest,
                      public ::testing::WithParamInterface<std::tuple<LayoutCase, int>> {};

// What the cell shows, read in the middle of its picture.
int CellContent(const QImage& page, const PageGeometry& g, int row, int column) {
    const QRect picture = g.Picture(row, column);
    const QColor c = page.pixelColor(picture.center());
    if (c == QColor(Qt::white)) return B;
    if (c == (g.PrintStyle() ? kPrintAd : kPreviewAd)) return A;
    const int index = (c.red() - 30 + 2) / 5;
    EXPECT_TRUE(Near(c, PhotoColour(index))) << "cell " << row << "," << column;
    return index;
}

bool FrameLine(const QImage& page, int x, int y) {
    return page.pixelColor(x, y) == QColor(Qt::black);
}

TEST_P(ComposedCells, HoldTheirSlotsFramedOnlyWhereOccupied) {
    const auto& [c, scale] = GetParam();
    MakePhotos(c.photos);
    const QImage page = ComposePage(scale, c.page, Sources(c.layout, c.photos));
    ASSERT_EQ(page.format(), QImage::Format_BGR888);
    ASSERT_EQ(page.size(), QSize(210 * scale, 297 * scale));
    const PageGeometry g = PageGeometry::For(scale, c.layout);
    const int rows = c.layout.rows;
    const int columns = c.layout.columns;
    ASSERT_EQ(c.cells.size(), static_cast<std::size_t>(rows * columns));

    auto occupied = [&](int r, int k) {
        return r >= 0 && r < rows && k >= 0 && k < columns &&
               c.cells[static_cast<std::size_t>(r * columns + k)] != B;
    };
    for (int r = 0; r < rows; ++r) {
        for (int k = 0; k < columns; ++k) {
            SCOPED_TRACE("cell " + std::to_string(r) + "," + std::to_string(k));
            const int expected = c.cells[static_cast<std::size_t>(r * columns + k)];
            EXPECT_EQ(CellContent(page, g, r, k), expected);
            const QRect frame = g.Frame(r, k);
            const int midX = frame.left() + g.cellWidth / 2;
            const int midY = frame.top() + g.cellHeight / 2;
            // Lines at x0, x0 + cw, y0 and y0 + ch, shared with the neighbours.
            const bool here = occupied(r, k);
            EXPECT_EQ(FrameLine(page, frame.left(), midY), here || occupied(r, k - 1));
            EXPECT_EQ(FrameLine(page, frame.left() + g.cellWidth, midY),
                      here || occupied(r, k + 1));
            EXPECT_EQ(FrameLine(page, midX, frame.top()), here || occupied(r - 1, k));
            EXPECT_EQ(FrameLine(page, midX, frame.top() + g.cellHeight),
                      here || occupied(r + 1, k));
            if (!here) continue;
            // The picture fills the cell up to its frame lines.
            const QRect picture = g.Picture(r, k);
            const QColor inside = page.pixelColor(picture.center());
            EXPECT_EQ(page.pixelColor(picture.left() + 1, midY), inside);
            EXPECT_EQ(page.pixelColor(frame.left() + g.cellWidth - 1, midY), inside);
            EXPECT_EQ(page.pixelColor(midX, frame.top() + 1), inside);
            EXPECT_EQ(page.pixelColor(midX, frame.top() + g.cellHeight - 1), inside);
        }
    }
}

std::vector<int> Range(int first, int last) {
    std::vector<int> v;
    for (int i = first; i <= last; ++i)
        v.push_back(i);
    return v;
}

std::vector<int> Join(std::vector<std::vector<int>> parts) {
    std::vector<int> v;
    for (const auto& p : parts)
        v.insert(v.end(), p.begin(), p.end());
    return v;
}

const PageLayout k3x3{3, 3, SlotOrder::RowWise};
const PageLayout k2x3Columns{2, 3, SlotOrder::ColumnWise};

INSTANTIATE_TEST_SUITE_P(
    Cases, ComposedCells,
    ::testing::Combine(
        ::testing::Values(
            LayoutCase{"OnePhoto", 1, k3x3, 0, {A, 0, B, B, B, B, B, B, B}},
            LayoutCase{"TwentyPhotosFiveByFive",
                       20,
                       {5, 5},
                       0,
                       Join({{A}, Range(0, 18), {A, 19, B, B, B}})},
            LayoutCase{"ThirtyNinePhotosLastPage", 39, k3x3, 4, {34, 35, 36, 37, A, 38, B, B, B}},
            LayoutCase{"OneByOneFirstPage", 39, {1, 1}, 0, {A}},
            LayoutCase{"OneByOneSecondPage", 39, {1, 1}, 1, {0}},
            LayoutCase{"OneByOneTwentiethSlot", 39, {1, 1}, 20, {A}},
            LayoutCase{"OneByOneLastPhoto", 39, {1, 1}, 41, {38}},
            LayoutCase{"ColumnWiseFirstPage", 39, k2x3Columns, 0, {A, 1, 3, 0, 2, 4}},
            LayoutCase{"ColumnWiseSecondPage", 39, k2x3Columns, 1, {5, 7, 9, 6, 8, 10}},
            LayoutCase{"EmptyList", 0, k3x3, 0, {B, B, B, B, B, B, B, B, B}},
            LayoutCase{"PastTheLastPage", 1, k3x3, 1, {B, B, B, B, B, B, B, B, B}},
            LayoutCase{"BeforeTheFirstPage", 5, k3x3, -1, {B, B, B, B, B, B, B, B, B}}),
        ::testing::Values(kPreviewScale, kPrintScale)),
    [](const auto& testCase) {
        return std::string(std::get<0>(testCase.param).name) +
               (std::get<1>(testCase.param) == kPreviewScale ? "Preview" : "Print");
    });

// --- Rows or columns of 0 while the user types --------------------------------------------------

TEST_F(ComposerTest, LayoutWithoutCellsComposesNothingInTheGrid) {
    MakePhotos(3);
    for (const PageLayout layout : {PageLayout{0, 3}, PageLayout{3, 0}, PageLayout{6, 3}}) {
        const QImage preview = ComposePage(kPreviewScale, 0, Sources(layout, 3));
        EXPECT_EQ(preview, Solid(420, 594, Qt::white).convertToFormat(QImage::Format_BGR888));
        const QImage print = ComposePage(kPrintScale, 0, Sources(layout, 3));
        EXPECT_FALSE(InkBox(print, QRect(0, 0, 2520, 3204)));
        EXPECT_TRUE(InkBox(print, QRect(0, 3204, 2520, 360)));
    }
}

TEST_F(ComposerTest, RefusesAScaleBelowOne) {
    try {
        ComposePage(0, 0, Sources(k3x3, 0));
        FAIL() << "no error";
    } catch (const RasterError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("ComposePage: ", 0), 0u) << e.what();
    }
}

// --- Preview and print style ------------------------------------------------------------------

TEST_F(ComposerTest, PreviewDrawsTheThumbnailWithoutRendering) {
    MakePhotos(2);
    photos_[1]->Thumbnail = Solid(200, 200, QColor(250, 250, 0));
    // Without a working copy no rendering is possible: the preview must not need one.
    ASSERT_TRUE(std::filesystem::remove(photos_[1]->WorkFile.toStdString()));
    const QImage page = ComposePage(kPreviewScale, 0, Sources(k3x3, 2));
    const PageGeometry g = PageGeometry::For(kPreviewScale, k3x3);
    EXPECT_EQ(page.pixelColor(g.Picture(0, 2).center()), QColor(250, 250, 0));
    EXPECT_THROW(ComposePage(kPrintScale, 0, Sources(k3x3, 2)), std::exception);
}

TEST_F(ComposerTest, PrintRendersAfreshAndRefreshesTheThumbnail) {
    MakePhotos(1);
    const QImage before = photos_[0]->Thumbnail;
    photos_[0]->ImageType = 1;  // black and white from now on
    const QImage page = ComposePage(kPrintScale, 0, Sources(k3x3, 1));
    EXPECT_NE(photos_[0]->Thumbnail, before);
    const QImage expected = photos_[0]->Render(true);
    const PageGeometry g = PageGeometry::For(kPrintScale, k3x3);
    EXPECT_EQ(page.pixelColor(g.Picture(0, 1).center()),
              expected.pixelColor(expected.rect().center()));
}

TEST_F(ComposerTest, RenderingErrorEndsTheComposition) {
    MakePhotos(4);
    for (const int broken : {0, 1}) {  // rendered on this thread, and on the helper thread
        photos_[static_cast<std::size_t>(broken)]->CropLeft = 60;
        photos_[static_cast<std::size_t>(broken)]->CropRight = 40;
        for (const Rendering rendering : {Rendering::OneAtATime, Rendering::TwoAtATime}) {
            PageSources sources = Sources(k3x3, 4);
            sources.rendering = rendering;
            try {
                ComposePage(kPrintScale, 0, sources);
                ADD_FAILURE() << "no error for photo " << broken;
            } catch (const std::runtime_error& e) {
                EXPECT_NE(std::string(e.what()).find("Crops"), std::string::npos) << e.what();
            }
        }
        photos_[static_cast<std::size_t>(broken)]->CropLeft = 0;
        photos_[static_cast<std::size_t>(broken)]->CropRight = 0;
    }
}

// Rendering two photos at once changes nothing: the same page to the last byte, the same
// thumbnails, for an even and an odd number of photos on the page.
TEST_F(ComposerTest, TwoAtATimeGivesTheSamePage) {
    test::TempDir pages;
    for (int i = 0; i < 7; ++i) {
        const std::vector<std::uint8_t> jpeg =
            EncodeJpeg(test::PageLike24(240, 180, static_cast<std::uint32_t>(i + 1)), 90);
        const std::filesystem::path file = pages / ("page" + std::to_string(i) + ".jpg");
        test::WriteFileBytes(file, {jpeg.begin(), jpeg.end()});
        photos_.push_back(
            std::make_unique<TLisko>(QString::fromStdString(file.string()),
                                     QString::fromStdString(scratch_.Path().string())));
    }
    for (const int count : {6, 7}) {
        PageSources serial = Sources(k3x3, count);
        serial.rendering = Rendering::OneAtATime;
        PageSources parallel = serial;
        parallel.rendering = Rendering::TwoAtATime;
        const QImage one = ComposePage(kPrintScale, 0, serial);
        std::vector<QImage> thumbnails;
        for (int i = 0; i < count; ++i)
            thumbnails.push_back(photos_[static_cast<std::size_t>(i)]->Thumbnail);
        const QImage two = ComposePage(kPrintScale, 0, parallel);
        EXPECT_EQ(one, two) << count;
        for (int i = 0; i < count; ++i)
            EXPECT_EQ(photos_[static_cast<std::size_t>(i)]->Thumbnail, thumbnails[i]) << i;
    }
}

// --- Captions of a printed photo cell ---------------------------------------------------------

class PrintedCaptions : public ComposerTest {
protected:
    void SetUp() override {
        MakePhotos(1);
        page_ = ComposePage(kPrintScale, 0, Sources(k3x3, 1));
        const PageGeometry g = PageGeometry::For(kPrintScale, k3x3);
        const QRect frame = g.Frame(0, 1);  // photo 0; the advertisement is in cell (0, 0)
        x0_ = frame.left();
        y0_ = frame.top();
        x1_ = x0_ + g.cellWidth + 1;
        y1_ = y0_ + g.cellHeight + 1;
        const QFontMetrics captions(Calibri(21));
        m_ = std::max(captions.horizontalAdvance(CaptionHelped()),
                      captions.horizontalAdvance(CaptionHelpProject()));
    }

    QImage page_;
    int x0_ = 0, y0_ = 0, x1_ = 0, y1_ = 0, m_ = 0;
    static constexpr int b = 36;
    static constexpr int hc = 21;
};

TEST_F(PrintedCaptions, RotatedCaptionsRunUpFromTheBottomOfTheBand) {
    // Caption 1 in the cell [x0, x0 + hc), caption 2 in [x0 + b - hc, x0 + b), both ending at
    // y1 and reaching up to the wider one's length.
    const auto first = InkBox(page_, QRect(x0_ + 1, y1_ - m_ - 2, hc - 1, m_));
    const auto second = InkBox(page_, QRect(x0_ + b - hc, y1_ - m_ - 2, hc, m_));
    ASSERT_TRUE(first && second);
    EXPECT_GT(first->height(), m_ / 2);
    EXPECT_GE(first->top(), y1_ - m_);
    // The captions start with three blanks: the writing begins some way above the cell's foot.
    EXPECT_LT(first->bottom(), y1_ - 10);
    EXPECT_LT(second->bottom(), y1_ - 10);
}

TEST_F(PrintedCaptions, SloganStandsAboveTheCaptionsCentredInTheBand) {
    const auto slogan = InkBox(page_, QRect(x0_ + 1, y0_ + b, b - 1, y1_ - m_ - y0_ - b - 1));
    ASSERT_TRUE(slogan);
    EXPECT_GE(slogan->top(), y0_ + 3 * b / 2);
    // One row of 1056 pixels leaves room for the band-high slogan: its cell is [x0, x0 + 36).
    EXPECT_GT(slogan->width(), 21);
}

TEST_F(PrintedCaptions, NumberAndSiteTextAlongTheTop) {
    const QFont label = Calibri(b);
    const int numberWidth = QFontMetrics(label).horizontalAdvance(QStringLiteral("1"));
    const auto number = InkBox(page_, QRect(x0_ + 1, y0_ + 1, b - 1, b - 1));
    ASSERT_TRUE(number);
    const int dx = (b - numberWidth) / 2;
    EXPECT_GE(number->left(), x0_ + dx);
    EXPECT_LE(number->right(), x0_ + dx + numberWidth);

    const int siteWidth = QFontMetrics(label).horizontalAdvance(SiteText());
    const auto site = InkBox(page_, QRect(x0_ + b, y0_ + 1, x1_ - x0_ - b - 1, b - 1));
    ASSERT_TRUE(site);
    EXPECT_GE(site->left(), x1_ - siteWidth);
    EXPECT_LE(site->left(), x1_ - siteWidth + 4);
    // The site text ends with a blank: its writing stops short of the right border.
    EXPECT_LT(site->right(), x1_ - 3);
}

TEST_F(PrintedCaptions, AdvertisementCellHasNone) {
    const PageGeometry g = PageGeometry::For(kPrintScale, k3x3);
    const QRect ad = g.Frame(0, 0);
    EXPECT_FALSE(InkBox(page_, QRect(ad.left() + 1, ad.top() + 1, b - 1, g.cellHeight - 1)));
    EXPECT_EQ(page_.pixelColor(ad.left() + b / 2, ad.center().y()), QColor(Qt::white));
}

TEST_F(ComposerTest, SlogansShrinkToTheCaptionHeightInLowCells) {
    MakePhotos(1);
    const PageLayout fiveRows{5, 3};
    const QImage page = ComposePage(kPrintScale, 0, Sources(fiveRows, 1));
    const PageGeometry g = PageGeometry::For(kPrintScale, fiveRows);
    const QRect frame = g.Frame(0, 1);
    const int y1 = frame.top() + g.cellHeight + 1;
    const QFontMetrics captions(Calibri(21));
    const int m = std::max(captions.horizontalAdvance(CaptionHelped()),
                           captions.horizontalAdvance(CaptionHelpProject()));
    const auto slogan =
        InkBox(page, QRect(frame.left() + 1, frame.top() + 36, 35, y1 - m - frame.top() - 37));
    ASSERT_TRUE(slogan);
    // At height 21 the slogan's cell is [x0 + 7, x0 + 28).
    EXPECT_GE(slogan->left(), frame.left() + 7);
    EXPECT_LT(slogan->right(), frame.left() + 28);
}

// Photo 99 is numbered 100: wider than the band, it starts 5 pixels in; photo 98, numbered 99,
// keeps its centring offset even where that is negative.
TEST_F(ComposerTest, NumbersFromOneHundredStartFivePixelsIn) {
    MakePhotos(100);
    const QFont label = Calibri(36);
    const PageLayout single{1, 1};
    struct Expectation {
        int page;  // slot of photo i: i + i div 19 + 1
        QString number;
    };
    for (const Expectation& e :
         {Expectation{104, QStringLiteral("99")}, Expectation{105, QStringLiteral("100")}}) {
        const QImage page = ComposePage(kPrintScale, e.page, Sources(single, 100));
        const int width = QFontMetrics(label).horizontalAdvance(e.number);
        const int centred = (36 - width) / 2;
        const int dx = e.number == QLatin1String("100") ? 5 : centred;
        if (e.number == QLatin1String("100")) {
            ASSERT_LT(centred, 5);
        }
        // Ink left of the frame line at x0 = 24 counts; the line itself does not.
        auto number = InkBox(page, QRect(24 - 8, 36 + 2, 8, 34));
        const auto right = InkBox(page, QRect(25, 36 + 2, 80, 34));
        ASSERT_TRUE(right) << e.number.toStdString();
        number = number ? *number | *right : *right;
        EXPECT_GE(number->left(), 24 + dx) << e.number.toStdString();
        EXPECT_LE(number->left(), 24 + dx + 4) << e.number.toStdString();
        EXPECT_LE(number->right(), 24 + dx + width) << e.number.toStdString();
    }
}

// --- The foot -----------------------------------------------------------------------------------

struct FootInk {
    const char* name;
    QDate today;
    int lowestLine;  // top of the lowest foot line
};

class PrintedFoot : public ComposerTest, public ::testing::WithParamInterface<FootInk> {};

TEST_P(PrintedFoot, LinesStandFromTheBottomMargin) {
    PageSources sources = Sources(k3x3, 0);
    sources.today = GetParam().today;
    const QImage page = ComposePage(kPrintScale, 0, sources);
    const auto ink = InkBox(page, page.rect());
    ASSERT_TRUE(ink);
    // Nothing on an empty list's page but the foot, which starts at y = 3204, x = 24.
    EXPECT_GE(ink->top(), 3204);
    EXPECT_LT(ink->top(), 3204 + 16);
    EXPECT_GE(ink->left(), 24);
    EXPECT_LT(ink->left(), 24 + 8);
    // The last line is 36 high.
    EXPECT_GT(ink->bottom(), GetParam().lowestLine + 20);
    EXPECT_LT(ink->bottom(), GetParam().lowestLine + 36);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, PrintedFoot,
    ::testing::Values(FootInk{"Today", QDate(2024, 5, 5), 3204 + 72},
                      FootInk{"BirthdayLine", QDate(2010, 2, 17), 3204 + 72 + 72},
                      FootInk{"NoBirthdayLineAfter", QDate(2010, 2, 18), 3204 + 72},
                      FootInk{"AnniversaryLine", QDate(2010, 6, 30), 3204 + 72 + 72},
                      FootInk{"NoAnniversaryLineAfter", QDate(2010, 7, 1), 3204 + 72}),
    [](const auto& testCase) { return testCase.param.name; });

TEST_F(ComposerTest, PreviewHasNoFoot) {
    const QImage page = ComposePage(kPreviewScale, 0, Sources(k3x3, 0));
    EXPECT_FALSE(InkBox(page, page.rect()));
}

}  // namespace
}  // namespace lisko
