#include <gtest/gtest.h>

#include <QDialog>
#include <QFile>
#include <QPrinter>
#include <stdexcept>
#include <vector>

#include "app/PrintPages.h"
#include "testsupport/JpegTools.h"
#include "testsupport/PdfPages.h"
#include "ui/Dialogs.h"

namespace lisko {
namespace {

namespace fs = std::filesystem;

QString Q(const fs::path& p) {
    return QString::fromStdString(p.string());
}

// Page index k is a solid colour, so that a printed page tells which one it was.
const std::vector<QColor> kPageColours{Qt::red, Qt::green, Qt::blue, Qt::yellow};

// The page colour each page of the PDF shows in its middle.
std::vector<QColor> PageColours(const fs::path& pdf) {
    std::vector<QColor> colours;
    for (int page = 1; page <= test::ReadPdfInfo(pdf).pages; ++page) {
        const QImage image = test::RenderPdfPage(pdf, page, 20);
        const QColor c = image.pixelColor(image.rect().center());
        for (const QColor& k : kPageColours) {
            if (std::abs(c.red() - k.red()) + std::abs(c.green() - k.green()) +
                    std::abs(c.blue() - k.blue()) <
                24)
                colours.push_back(k);
        }
    }
    return colours;
}

// Answers the print dialog as a user would, with a PDF file standing in for the printer.
class PrintDialogAnswers : public Dialogs {
public:
    int RunModal(QDialog&) override { return 2; }
    QStringList OpenFiles(QWidget*, const OpenFilesRequest&) override { return {}; }
    void ShowMessage(QWidget*, const QString&, const QString& text, QMessageBox::Icon) override {
        messages << text;
    }
    bool SetUpPrinter(QWidget*, QPrinter& printer, int pageCount) override {
        offeredPages = pageCount;
        offeredCopies = printer.copyCount();
        if (!accept) return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(output);
        printer.setPageOrientation(QPageLayout::Landscape);
        printer.setCopyCount(copies);
        printer.setPrintRange(range);
        printer.setFromTo(from, to);
        return true;
    }

    bool accept = true;
    QString output;
    int copies = 1;
    QPrinter::PrintRange range = QPrinter::AllPages;
    int from = 0;
    int to = 0;
    int offeredPages = -1;
    int offeredCopies = -1;
    QStringList messages;
};

class PrintPagesTest : public ::testing::Test {
protected:
    PrintPagesTest() { answers_.output = Q(dir_ / "printed.pdf"); }

    PageComposer Composer() {
        return [this](int index) {
            composed_.push_back(index);
            if (index == failAt_) throw std::runtime_error("composing failed");
            QImage page(21, 30, QImage::Format_BGR888);
            page.fill(kPageColours.at(static_cast<std::size_t>(index)));
            return page;
        };
    }

    test::TempDir dir_;
    std::vector<int> composed_;
    int failAt_ = -1;
    PrintDialogAnswers answers_;
    ScopedDialogs scoped_{answers_};
};

TEST_F(PrintPagesTest, PrintsTheRangeInPortraitUnderTheJobTitle) {
    answers_.copies = 2;
    answers_.range = QPrinter::PageRange;
    answers_.from = 2;
    answers_.to = 3;
    PrintPages(nullptr, 4, Composer());
    EXPECT_EQ(answers_.offeredPages, 4);
    // Printed to a file, the copies follow one another in one document on whole A4 sheets.
    EXPECT_EQ(composed_, (std::vector<int>{1, 2, 1, 2}));
    const test::PdfInfo info = test::ReadPdfInfo(dir_ / "printed.pdf");
    EXPECT_EQ(info.title, QStringLiteral("Шпаргалки"));
    EXPECT_NEAR(info.pageSize.width(), 595.3, 0.5);
    EXPECT_NEAR(info.pageSize.height(), 841.9, 0.5);
    EXPECT_EQ(PageColours(dir_ / "printed.pdf"),
              (std::vector<QColor>{Qt::green, Qt::blue, Qt::green, Qt::blue}));
    EXPECT_EQ(fs::directory_iterator(dir_.Path())->path().filename(), "printed.pdf");
}

// A failed print to a file leaves the earlier file of that name as it was, and no partial one.
TEST_F(PrintPagesTest, FailedPrintToAFileKeepsTheEarlierFile) {
    {
        QFile earlier(answers_.output);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier");
    }
    failAt_ = 2;
    answers_.copies = 2;
    EXPECT_THROW(PrintPages(nullptr, 3, Composer()), std::runtime_error);
    QFile earlier(answers_.output);
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), QByteArray("earlier"));
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(dir_.Path()))
        files.push_back(entry.path().filename());
    EXPECT_EQ(files, std::vector<fs::path>{"printed.pdf"});
}

TEST_F(PrintPagesTest, AllPagesByDefault) {
    PrintPages(nullptr, 3, Composer());
    EXPECT_EQ(composed_, (std::vector<int>{0, 1, 2}));
}

TEST_F(PrintPagesTest, CancelOrNoCopiesPrintNothing) {
    answers_.accept = false;
    PrintPages(nullptr, 3, Composer());
    answers_.accept = true;
    answers_.copies = 0;
    PrintPages(nullptr, 3, Composer());
    EXPECT_TRUE(composed_.empty());
    EXPECT_FALSE(fs::exists(dir_ / "printed.pdf"));
}

TEST_F(PrintPagesTest, EmptyListSaysSoWithoutADialog) {
    PrintPages(nullptr, 0, Composer());
    EXPECT_EQ(answers_.offeredPages, -1);
    ASSERT_EQ(answers_.messages.size(), 1);
    EXPECT_TRUE(answers_.messages.front().contains(QStringLiteral("печатать нечего")));
}

}  // namespace
}  // namespace lisko
