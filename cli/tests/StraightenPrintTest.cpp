// Printing with --straighten, and jobs that carry straightening, read back from the PDF with
// poppler's pdfimages and compared with pages composed here from photo items.

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "list/PageSources.h"
#include "list/PhotoList.h"
#include "pages/Advertisements.h"
#include "pages/Clock.h"
#include "pages/PageComposer.h"
#include "photo/Lisko.h"
#include "testsupport/JpegTools.h"
#include "testsupport/PdfPages.h"
#include "testsupport/Process.h"
#include "testsupport/SheetPhotos.h"

namespace lisko {
namespace {

namespace fs = std::filesystem;

QString Q(const fs::path& p) {
    return QString::fromStdString(p.string());
}

// The rectangle holding every pixel in which two pictures of one size differ; empty when none.
QRect Differences(const QImage& a, const QImage& b) {
    QRect changed;
    const auto rowBytes = static_cast<std::size_t>(a.bytesPerLine());
    for (int y = 0; y < a.height(); ++y) {
        const uchar* p = a.constScanLine(y);
        const uchar* q = b.constScanLine(y);
        if (std::memcmp(p, q, rowBytes) == 0) continue;
        for (int x = 0; x < a.width(); ++x) {
            if (std::memcmp(p + 3 * x, q + 3 * x, 3) != 0) changed |= QRect(x, y, 1, 1);
        }
    }
    return changed;
}

// Two photos in a 2 x 2 layout, all on one page: the advertisement, a sheet lying in perspective
// on a plain desk (top right), and an empty desk (bottom left).
class StraightenedPrint : public ::testing::Test {
protected:
    void SetUp() override {
        for (const test::SheetScene& scene : test::SheetScenes()) {
            if (scene.name == QLatin1String("plain_desk")) test::SaveSheetPhoto(scene, Q(desk_));
            if (scene.name == QLatin1String("empty_desk")) test::SaveSheetPhoto(scene, Q(empty_));
        }
    }

    static test::ProcessResult Cli(std::vector<std::string> arguments,
                                   const std::vector<std::string>& more = {}) {
        arguments.insert(arguments.end(), more.begin(), more.end());
        return test::RunProgram(LISKO_CLI, arguments);
    }

    std::vector<std::string> PrintBoth(const fs::path& pdf) const {
        return {"print", desk_.string(), empty_.string(), "--rows", "2", "--columns",
                "2",     "-o",           pdf.string()};
    }

    // The first page as the program composes it for print from these photos, imported here, the
    // desk's sheet straightened or not.
    QImage Composed(bool straighten) const {
        test::TempDir scratch;
        PhotoList list;
        for (const fs::path& photo : {desk_, empty_}) {
            list.Insert(list.Count(), Q(photo),
                        std::make_unique<TLisko>(Q(photo), Q(scratch.Path())));
        }
        if (straighten) {
            TLisko& desk = list.Photo(0);
            EXPECT_TRUE(desk.DetectSheetCorners());
            desk.Straighten = true;
            EXPECT_FALSE(list.Photo(1).DetectSheetCorners());
        }
        const PageSources sources =
            SourcesOf(list, kLayout, PreviewAdvertisement(), PrintAdvertisement(), Today());
        return ComposePage(kPrintScale, 0, sources).convertToFormat(QImage::Format_RGB888);
    }

    static std::vector<QImage> Pages(const fs::path& pdf) { return test::PdfImages(pdf); }

    static constexpr PageLayout kLayout{2, 2, SlotOrder::RowWise};
    test::TempDir dir_;
    const fs::path desk_ = dir_ / "a-desk.jpg";
    const fs::path empty_ = dir_ / "b-empty.jpg";
};

// Only the desk photo's picture changes, and it changes into its straightened rendering: the
// printed page equals the page composed with the item's own detected corners.
TEST_F(StraightenedPrint, ChangesOnlyThePictureOfThePhotoWithASheet) {
    const test::ProcessResult plain = Cli(PrintBoth(dir_ / "plain.pdf"));
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    const test::ProcessResult straight = Cli(PrintBoth(dir_ / "straight.pdf"), {"--straighten"});
    ASSERT_EQ(straight.exitCode, 0) << straight.err;

    const std::vector<QImage> plainPages = Pages(dir_ / "plain.pdf");
    const std::vector<QImage> straightPages = Pages(dir_ / "straight.pdf");
    ASSERT_EQ(plainPages.size(), 1u);
    ASSERT_EQ(straightPages.size(), 1u);
    EXPECT_TRUE(plainPages[0] == Composed(false));
    EXPECT_TRUE(straightPages[0] == Composed(true));

    const QRect changed = Differences(plainPages[0], straightPages[0]);
    const QRect deskPicture = PageGeometry::For(kPrintScale, kLayout).Picture(0, 1);
    EXPECT_FALSE(changed.isEmpty());
    EXPECT_TRUE(deskPicture.contains(changed)) << "changed " << changed.x() << "," << changed.y()
                                               << " " << changed.width() << "x" << changed.height();
}

// Without a whole sheet the option changes nothing: the same PDF pages and preview pages.
TEST_F(StraightenedPrint, PhotoWithoutASheetPrintsAsWithoutTheOption) {
    for (const bool straighten : {false, true}) {
        const std::string name = straighten ? "straight" : "plain";
        std::vector<std::string> arguments{
            "print",         empty_.string(),       "-o", (dir_ / (name + ".pdf")).string(),
            "--preview-png", (dir_ / name).string()};
        if (straighten) arguments.push_back("--straighten");
        const test::ProcessResult run = Cli(arguments);
        ASSERT_EQ(run.exitCode, 0) << run.err;
    }
    const std::vector<QImage> plain = Pages(dir_ / "plain.pdf");
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_TRUE(Pages(dir_ / "straight.pdf") == plain);
    EXPECT_EQ(test::ReadFileBytes(dir_ / "straight" / "page-001.png"),
              test::ReadFileBytes(dir_ / "plain" / "page-001.png"));
}

// A job written with --straighten holds the corners found; printed, it gives the pages that
// printing the photos with --straighten gives.
TEST_F(StraightenedPrint, JobOfStraightenedPhotosPrintsTheSamePages) {
    const fs::path job = dir_ / "exam.lisko";
    const test::ProcessResult made = Cli({"job", desk_.string(), empty_.string(), "--straighten",
                                          "--rows", "2", "--columns", "2", "-o", job.string()});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    QFile file(Q(job));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonArray photos = QJsonDocument::fromJson(file.readAll()).object()["photos"].toArray();
    ASSERT_EQ(photos.size(), 2);
    EXPECT_EQ(photos[0].toObject()["straighten"], QJsonValue(true));
    EXPECT_EQ(photos[0].toObject()["sheet"].toObject().size(), 4);
    EXPECT_FALSE(photos[1].toObject().contains("straighten"));
    EXPECT_FALSE(photos[1].toObject().contains("sheet"));

    const test::ProcessResult fromJob =
        Cli({"print", "--job", job.string(), "-o", (dir_ / "job.pdf").string()});
    ASSERT_EQ(fromJob.exitCode, 0) << fromJob.err;
    const test::ProcessResult direct = Cli(PrintBoth(dir_ / "direct.pdf"), {"--straighten"});
    ASSERT_EQ(direct.exitCode, 0) << direct.err;
    const std::vector<QImage> pages = Pages(dir_ / "direct.pdf");
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(Pages(dir_ / "job.pdf") == pages);
    EXPECT_TRUE(pages[0] == Composed(true));
}

// A job whose corners do not fit its photo is refused before anything is printed, naming the
// job file and the photo.
TEST_F(StraightenedPrint, JobWithCornersOutsideThePhotoIsRefused) {
    const fs::path job = dir_ / "exam.lisko";
    const std::string text = R"({"format": "liskoprinter-job", "version": 1,
        "layout": {"rows": 3, "columns": 3, "order": "rows"},
        "photos": [{"source": "a-desk.jpg", "rotation": 0, "type": "bw", "brightness": 1,
                    "contrast": 0, "crop": {"left": 0, "right": 0, "top": 0, "bottom": 0},
                    "straighten": true,
                    "sheet": {"top-left": {"x": 10, "y": 10}, "top-right": {"x": 1200, "y": 10},
                              "bottom-right": {"x": 1200, "y": 1400},
                              "bottom-left": {"x": 10, "y": 1400}}}]})";
    test::WriteFileBytes(job, {text.begin(), text.end()});
    const test::ProcessResult run =
        Cli({"print", "--job", job.string(), "-o", (dir_ / "out.pdf").string()});
    EXPECT_EQ(run.exitCode, 1);
    // 1536 x 2048 is imported as 1125 x 1500.
    EXPECT_NE(run.err.find(job.string() + R"(: photo 1: "sheet" does not fit )" + desk_.string() +
                           " as imported: sheet corner top-right (1200, 10) lies outside the "
                           "1125 x 1500 picture"),
              std::string::npos)
        << run.err;
    EXPECT_FALSE(fs::exists(dir_ / "out.pdf"));
}

}  // namespace
}  // namespace lisko
