#include <gtest/gtest.h>

#include <QPrinter>
#include <functional>
#include <stdexcept>
#include <vector>

#include "pages/Printing.h"
#include "testsupport/JpegTools.h"
#include "testsupport/PdfPages.h"

namespace lisko {
namespace {

namespace fs = std::filesystem;

// Page index k is a solid colour, so that a printed page tells which one it was.
const std::vector<QColor> kPageColours{Qt::red, Qt::green, Qt::blue, Qt::yellow};

QString Q(const fs::path& p) {
    return QString::fromStdString(p.string());
}

// The colour a rendered PDF page shows in its middle, as the nearest of the page colours (or
// white for an empty page).
QColor MiddleOf(const fs::path& pdf, int page) {
    const QImage image = test::RenderPdfPage(pdf, page, 20);
    const QColor c = image.pixelColor(image.rect().center());
    QColor best = Qt::white;
    int bestDistance =
        std::abs(c.red() - 255) + std::abs(c.green() - 255) + std::abs(c.blue() - 255);
    for (const QColor& k : kPageColours) {
        const int d = std::abs(c.red() - k.red()) + std::abs(c.green() - k.green()) +
                      std::abs(c.blue() - k.blue());
        if (d < bestDistance) {
            best = k;
            bestDistance = d;
        }
    }
    return best;
}

std::vector<QColor> PageColours(const fs::path& pdf) {
    std::vector<QColor> colours;
    for (int page = 1; page <= test::ReadPdfInfo(pdf).pages; ++page)
        colours.push_back(MiddleOf(pdf, page));
    return colours;
}

class PrintingTest : public ::testing::Test {
protected:
    PrintingTest() : printer_(QPrinter::HighResolution) {
        printer_.setOutputFormat(QPrinter::PdfFormat);
        printer_.setPageSize(QPageSize(QPageSize::A4));
        printer_.setOutputFileName(Q(dir_ / "out.pdf"));
    }

    // A small page: the printer stretches whatever it gets over the printable area.
    QImage Compose(int index) {
        composed_.push_back(index);
        if (index == failAt_) throw std::runtime_error("composing failed");
        QImage page(21, 30, QImage::Format_BGR888);
        page.fill(kPageColours.at(static_cast<std::size_t>(index)));
        return page;
    }
    PageComposer Composer() {
        return [this](int index) { return Compose(index); };
    }

    test::TempDir dir_;
    QPrinter printer_;
    std::vector<int> composed_;
    int failAt_ = -1;
};

TEST_F(PrintingTest, OneJobPerCopyEachWithTheRangeInOrder) {
    std::vector<fs::path> jobs;
    PrintCopies(printer_, {2, 3}, 2, Composer(), [&](int copy) {
        jobs.push_back(dir_ / ("copy" + std::to_string(copy) + ".pdf"));
        printer_.setOutputFileName(Q(jobs.back()));
    });
    ASSERT_EQ(jobs.size(), 2u);
    for (const fs::path& job : jobs)
        EXPECT_EQ(PageColours(job), (std::vector<QColor>{Qt::green, Qt::blue})) << job;
    EXPECT_EQ(composed_, (std::vector<int>{1, 2, 1, 2}));
}

TEST_F(PrintingTest, AllPagesInOrderWithANewPageBetweenThem) {
    PrintCopies(printer_, {1, 3}, 1, Composer());
    EXPECT_EQ(PageColours(dir_ / "out.pdf"), (std::vector<QColor>{Qt::red, Qt::green, Qt::blue}));
}

TEST_F(PrintingTest, RangeWithoutPagesStillGivesEachCopyItsBlankPage) {
    int jobs = 0;
    PrintCopies(printer_, {3, 2}, 2, Composer(), [&](int) { ++jobs; });
    EXPECT_EQ(jobs, 2);
    EXPECT_TRUE(composed_.empty());
    EXPECT_EQ(PageColours(dir_ / "out.pdf"), std::vector<QColor>{Qt::white});
}

// The page is stretched over the printable area: the printer's margins (10 points here) stay
// white, everything inside them is the page.
TEST_F(PrintingTest, PageCoversThePrintableArea) {
    PrintCopies(printer_, {1, 1}, 1, Composer());
    const QImage page = test::RenderPdfPage(dir_ / "out.pdf", 1, 72);
    ASSERT_EQ(page.size(), QSize(595, 842));
    auto near = [&page](QPoint p, QColor c) {
        const QColor seen = page.pixelColor(p);
        return std::abs(seen.red() - c.red()) + std::abs(seen.green() - c.green()) +
                   std::abs(seen.blue() - c.blue()) <
               8;
    };
    for (const QPoint inside : {QPoint(12, 12), QPoint(582, 12), QPoint(12, 829), QPoint(582, 829)})
        EXPECT_TRUE(near(inside, Qt::red)) << inside.x() << "," << inside.y();
    for (const QPoint margin : {QPoint(7, 7), QPoint(587, 834)})
        EXPECT_TRUE(near(margin, Qt::white)) << margin.x() << "," << margin.y();
}

TEST_F(PrintingTest, ErrorAbortsTheJobAndLeavesThePrinterFree) {
    failAt_ = 1;
    EXPECT_THROW(PrintCopies(printer_, {1, 3}, 2, Composer()), std::runtime_error);
    EXPECT_EQ(composed_, (std::vector<int>{0, 1}));
    EXPECT_NE(printer_.printerState(), QPrinter::Active);
    failAt_ = -1;
    printer_.setOutputFileName(Q(dir_ / "again.pdf"));
    PrintJob(printer_, {3}, Composer());
    EXPECT_EQ(PageColours(dir_ / "again.pdf"), std::vector<QColor>{Qt::yellow});
}

TEST_F(PrintingTest, UnwritableOutputIsAnError) {
    printer_.setOutputFileName(Q(dir_ / "missing" / "out.pdf"));
    try {
        PrintJob(printer_, {0}, Composer());
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("PrintJob: ", 0), 0u) << e.what();
    }
    EXPECT_TRUE(composed_.empty());
}

struct RangeCase {
    const char* name;
    QPrinter::PrintRange choice;
    int from;
    int to;
    PageRange range;
};

class ChosenRangeOf : public ::testing::TestWithParam<RangeCase> {};

TEST_P(ChosenRangeOf, DialogChoice) {
    QPrinter printer;
    printer.setPrintRange(GetParam().choice);
    printer.setFromTo(GetParam().from, GetParam().to);
    const PageRange range = ChosenRange(printer, 5);
    EXPECT_EQ(range.first, GetParam().range.first);
    EXPECT_EQ(range.last, GetParam().range.last);
}

INSTANTIATE_TEST_SUITE_P(Cases, ChosenRangeOf,
                         ::testing::Values(RangeCase{"AllPages", QPrinter::AllPages, 2, 3, {1, 5}},
                                           RangeCase{"Range", QPrinter::PageRange, 2, 3, {2, 3}},
                                           RangeCase{
                                               "Selection", QPrinter::Selection, 2, 3, {1, 5}}),
                         [](const auto& testCase) { return testCase.param.name; });

// The page reaches the PDF as composed, pixel for pixel: stored losslessly at its own size,
// never as a JPEG. Noise and a white foot with fine strokes are what JPEG gets wrong.
TEST_F(PrintingTest, PageIsStoredLosslessly) {
    QImage page(630, 891, QImage::Format_BGR888);
    std::uint32_t state = 12345;
    for (int y = 0; y < page.height(); ++y) {
        std::uint8_t* row = page.scanLine(y);
        for (int x = 0; x < page.width() * 3; ++x) {
            state = state * 1664525u + 1013904223u;
            row[x] = y < 600 ? static_cast<std::uint8_t>(state >> 24) : (x % 97 == 0 ? 0 : 255);
        }
    }
    PrintJob(printer_, {0}, [&page](int) { return page; });
    const std::vector<QImage> stored = test::PdfImages(dir_ / "out.pdf");
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0], page.convertToFormat(QImage::Format_RGB888));
}

}  // namespace
}  // namespace lisko
