#include <gtest/gtest.h>

#include <QImage>
#include <string>
#include <vector>

#include "raster/Jpeg.h"
#include "testsupport/JpegTools.h"
#include "testsupport/PdfPages.h"
#include "testsupport/Process.h"
#include "testsupport/TestRaster.h"

namespace lisko {
namespace {

namespace fs = std::filesystem;

enum class Tint { Red, Blue, Other };

Tint TintAt(const QImage& page, QPoint point) {
    const QColor c = page.pixelColor(point);
    if (c.red() > 150 && c.blue() < 100) return Tint::Red;
    if (c.blue() > 150 && c.red() < 100) return Tint::Blue;
    return Tint::Other;
}

class PrintCommand : public ::testing::Test {
protected:
    void SetUp() override {
        WriteUniform(red_, {40, 40, 210});
        WriteUniform(blue_, {210, 40, 40});
        test::WriteFileBytes(dir_ / "notes.png", {'p', 'n', 'g'});
    }

    static void WriteUniform(const fs::path& file, BgrColor colour) {
        const std::vector<std::uint8_t> jpeg = EncodeJpeg(test::Uniform24(30, 40, colour), 95);
        test::WriteFileBytes(file, {jpeg.begin(), jpeg.end()});
    }

    static test::ProcessResult Cli(const std::vector<std::string>& arguments) {
        return test::RunProgram(LISKO_CLI, arguments);
    }

    // The two photos in colour as they are, one to a page: advertisement, red, blue.
    std::vector<std::string> OneByOne(std::vector<std::string> more) const {
        std::vector<std::string> arguments{
            "print", red_.string(), blue_.string(), "--rows",       "1", "--columns",
            "1",     "--type",      "colour",       "--brightness", "0"};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return arguments;
    }

    std::vector<Tint> PdfTints() const {
        std::vector<Tint> tints;
        for (int page = 1; page <= test::ReadPdfInfo(out_).pages; ++page) {
            const QImage image = test::RenderPdfPage(out_, page, 20);
            tints.push_back(TintAt(image, image.rect().center()));
        }
        return tints;
    }

    test::TempDir dir_;
    const fs::path red_ = dir_ / "a-red.jpg";
    const fs::path blue_ = dir_ / "b-blue.jpg";
    const fs::path out_ = dir_ / "out.pdf";
};

TEST_F(PrintCommand, WritesEveryPageOnA4UnderTheJobTitle) {
    const test::ProcessResult run = Cli(OneByOne({"-o", out_.string()}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const test::PdfInfo info = test::ReadPdfInfo(out_);
    EXPECT_EQ(info.title, QStringLiteral("Шпаргалки"));
    EXPECT_NEAR(info.pageSize.width(), 595.3, 0.5);
    EXPECT_NEAR(info.pageSize.height(), 841.9, 0.5);
    EXPECT_EQ(PdfTints(), (std::vector<Tint>{Tint::Other, Tint::Red, Tint::Blue}));
    // Not a terminal: no progress line.
    EXPECT_EQ(run.err.find("composing"), std::string::npos) << run.err;
}

// The composed page covers the sheet: its left margin is 2 mm, so the frame of the first cell
// stands 2 mm from the paper's edge.
TEST_F(PrintCommand, PageCoversTheWholeSheet) {
    ASSERT_EQ(Cli(OneByOne({"-o", out_.string(), "--pages", "2-2"})).exitCode, 0);
    const QImage page = test::RenderPdfPage(out_, 1, 254);  // 10 pixels a millimetre
    ASSERT_EQ(page.width(), 2100);
    const int middle = page.height() / 2;
    int firstDark = -1;
    for (int x = 0; x < 100 && firstDark < 0; ++x) {
        if (page.pixelColor(x, middle).lightness() < 128) firstDark = x;
    }
    EXPECT_NEAR(firstDark, 20, 2);
}

TEST_F(PrintCommand, KeepsTheListOrderAndSkipsWhatTheListWouldSkip) {
    const std::string again = (dir_ / "." / "a-red.jpg").string();
    const test::ProcessResult run =
        Cli({"print", blue_.string(), (dir_ / "notes.png").string(), red_.string(), again, "--rows",
             "1", "--columns", "1", "--type", "colour", "--brightness", "0", "-o", out_.string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("skipping " + (dir_ / "notes.png").string()), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("skipping " + again + ": given twice"), std::string::npos) << run.err;
    EXPECT_EQ(PdfTints(), (std::vector<Tint>{Tint::Other, Tint::Red, Tint::Blue}));
}

TEST_F(PrintCommand, CopiesOfTheRangeFollowOneAnother) {
    const test::ProcessResult run =
        Cli(OneByOne({"-o", out_.string(), "--pages", "2-3", "--copies", "2"}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(PdfTints(), (std::vector<Tint>{Tint::Red, Tint::Blue, Tint::Red, Tint::Blue}));
}

TEST_F(PrintCommand, PreviewPagesAsPng) {
    const fs::path previews = dir_ / "previews";
    const test::ProcessResult run = Cli(OneByOne({"--preview-png", previews.string()}));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_FALSE(fs::exists(out_));
    for (const auto& [name, tint] :
         {std::pair{"page-001.png", Tint::Other}, std::pair{"page-002.png", Tint::Red},
          std::pair{"page-003.png", Tint::Blue}}) {
        const QImage page(QString::fromStdString((previews / name).string()));
        ASSERT_EQ(page.size(), QSize(420, 594)) << name;
        EXPECT_EQ(TintAt(page, {200, 250}), tint) << name;
    }
    EXPECT_FALSE(fs::exists(previews / "page-004.png"));
}

// Two rows by two columns: row-wise the top right cell holds slot 1 (the red photo), column-wise
// slot 2 (the blue one).
TEST_F(PrintCommand, OrderFillsRowsOrColumns) {
    for (const auto& [order, tint] :
         {std::pair{"rows", Tint::Red}, std::pair{"columns", Tint::Blue}}) {
        const fs::path previews = dir_ / order;
        const test::ProcessResult run = Cli(
            {"print", red_.string(), blue_.string(), "--rows", "2", "--columns", "2", "--order",
             order, "--type", "colour", "--brightness", "0", "--preview-png", previews.string()});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const QImage page(QString::fromStdString((previews / "page-001.png").string()));
        // Cells of 203 x 264 pixels from (4, 6): the top right one's middle.
        EXPECT_EQ(TintAt(page, {4 + 203 + 101, 6 + 132}), tint) << order;
    }
}

TEST_F(PrintCommand, NothingToPrintIsAUsageError) {
    EXPECT_EQ(Cli({"print", red_.string()}).exitCode, 2);
    EXPECT_EQ(Cli({"print", "-o", out_.string()}).exitCode, 2);
    const test::ProcessResult onlyPng =
        Cli({"print", (dir_ / "notes.png").string(), "-o", out_.string()});
    EXPECT_EQ(onlyPng.exitCode, 2);
    EXPECT_NE(onlyPng.err.find("no .jpg or .jpeg photo"), std::string::npos) << onlyPng.err;
    EXPECT_FALSE(fs::exists(out_));
}

// A failure leaves whatever stood under the output's name, and nothing beside it.
TEST_F(PrintCommand, FailureKeepsTheOldOutputAndLeavesNothingBehind) {
    test::WriteFileBytes(out_, {'o', 'l', 'd'});
    const fs::path broken = dir_ / "c-broken.jpg";
    test::WriteFileBytes(broken, {'n', 'o', 't'});
    const test::ProcessResult run =
        Cli({"print", red_.string(), broken.string(), "-o", out_.string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("c-broken.jpg"), std::string::npos) << run.err;
    EXPECT_EQ(test::ReadFileBytes(out_), (std::vector<char>{'o', 'l', 'd'}));

    // A crop that leaves nothing fails while the page is composed, inside the print job.
    const test::ProcessResult crop =
        Cli({"print", red_.string(), "-o", out_.string(), "--crop", "50,50,0,0"});
    EXPECT_EQ(crop.exitCode, 1);
    EXPECT_NE(crop.err.find("leave nothing"), std::string::npos) << crop.err;
    EXPECT_EQ(test::ReadFileBytes(out_), (std::vector<char>{'o', 'l', 'd'}));

    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir_.Path()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"a-red.jpg", "b-blue.jpg", "c-broken.jpg",
                                              "notes.png", "out.pdf"}));
}

// The PDF's bytes but for the moment it was made.
std::string WithoutCreationDate(const fs::path& pdf) {
    const std::vector<char> bytes = test::ReadFileBytes(pdf);
    std::string text(bytes.begin(), bytes.end());
    const std::size_t date = text.find("/CreationDate");
    if (date != std::string::npos) text.erase(date, text.find(')', date) - date);
    return text;
}

// Photos imported on several threads print the document and previews of one thread.
TEST_F(PrintCommand, ImportsOnEveryCorePrintTheOneThreadDocument) {
    std::vector<std::string> arguments{"print"};
    for (int k = 0; k < 7; ++k) {
        const fs::path file = dir_ / ("photo" + std::to_string(k) + ".jpg");
        const std::vector<std::uint8_t> jpeg = EncodeJpeg(
            test::PageLike24(300 + 40 * k, 420 - 30 * k, static_cast<std::uint32_t>(k)), 90);
        test::WriteFileBytes(file, {jpeg.begin(), jpeg.end()});
        arguments.push_back(file.string());
    }
    arguments.insert(arguments.end(), {"--brightness", "2", "--rows", "2", "--columns", "2"});
    const auto runOn = [&](const char* threads, const std::string& name) {
        std::vector<std::string> withOutputs = arguments;
        withOutputs.insert(withOutputs.end(), {"-o", (dir_ / (name + ".pdf")).string(),
                                               "--preview-png", (dir_ / name).string()});
        setenv("LISKO_THREADS", threads, 1);
        const test::ProcessResult run = Cli(withOutputs);
        unsetenv("LISKO_THREADS");
        EXPECT_EQ(run.exitCode, 0) << run.err;
    };
    runOn("1", "one");
    runOn("4", "four");
    EXPECT_EQ(WithoutCreationDate(dir_ / "four.pdf"), WithoutCreationDate(dir_ / "one.pdf"));
    for (const char* page : {"page-001.png", "page-002.png"}) {
        EXPECT_EQ(test::ReadFileBytes(dir_ / "four" / page),
                  test::ReadFileBytes(dir_ / "one" / page))
            << page;
    }
}

// Of several broken photos, the first in the order given is reported, as importing one after
// another did, however the imports overlap.
TEST_F(PrintCommand, ReportsTheFirstBrokenPhotoInOrder) {
    for (const char* name : {"c-broken.jpg", "e-broken.jpg"})
        test::WriteFileBytes(dir_ / name, {'n', 'o', 't'});
    WriteUniform(dir_ / "d-grey.jpg", {128, 128, 128});
    const test::ProcessResult run = Cli(
        {"print", red_.string(), (dir_ / "d-grey.jpg").string(), (dir_ / "e-broken.jpg").string(),
         (dir_ / "c-broken.jpg").string(), blue_.string(), "-o", out_.string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("e-broken.jpg"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("c-broken.jpg"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(out_));
}

TEST_F(PrintCommand, UnwritableOutputFails) {
    const test::ProcessResult run =
        Cli({"print", red_.string(), "-o", (dir_ / "missing" / "out.pdf").string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("cannot write"), std::string::npos) << run.err;
}

TEST_F(PrintCommand, UnknownPrinterFails) {
    const test::ProcessResult run = Cli({"print", red_.string(), "--printer", "no-such-printer"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("no printer named 'no-such-printer'"), std::string::npos) << run.err;
}

TEST_F(PrintCommand, HelpExplainsEveryOption) {
    const test::ProcessResult run = Cli({"print", "--help"});
    EXPECT_EQ(run.exitCode, 0);
    for (const char* option :
         {"--output", "--printer", "--preview-png", "--rows", "--columns", "--order", "--pages",
          "--copies", "--type", "--brightness", "--contrast", "--crop"}) {
        EXPECT_NE(run.out.find(option), std::string::npos) << option;
    }
}

// What ./run.sh does without a display: the bundled samples, cleaned up in black and white, go
// to sample-sheets.pdf in the current directory, each page stored losslessly.
TEST_F(PrintCommand, SampleSheetsOfTheBundledPhotos) {
    const std::string script = std::string(LISKO_SOURCE_DIR) + "/scripts/print-samples.sh";
    const test::ProcessResult run = test::RunProgram(
        "/bin/sh",
        {"-c", "cd \"$1\" && \"$2\" \"$3\"", "sh", dir_.Path().string(), script, LISKO_CLI});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const fs::path sheets = fs::canonical(dir_.Path()) / "sample-sheets.pdf";
    EXPECT_EQ(run.out.substr(run.out.rfind("The sample sheets")),
              "The sample sheets are in " + sheets.string() + "\n");
    EXPECT_EQ(test::ReadPdfInfo(sheets).pages, 1);
    const std::vector<QImage> stored = test::PdfImages(sheets);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].size(), QSize(2520, 3564));
    EXPECT_EQ(test::PdfImageEncodings(sheets), std::vector<QString>{QStringLiteral("image")});
}

TEST_F(PrintCommand, LeavesNoWorkingCopyBehind) {
    const fs::path scratch = dir_ / "scratch";
    ASSERT_TRUE(fs::create_directory(scratch));
    setenv("LISKO_SCRATCH_DIR", scratch.c_str(), 1);
    const test::ProcessResult run = Cli({"print", red_.string(), "-o", out_.string()});
    unsetenv("LISKO_SCRATCH_DIR");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(fs::is_empty(scratch));
}

}  // namespace
}  // namespace lisko
