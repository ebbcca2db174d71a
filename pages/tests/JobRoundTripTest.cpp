#include <gtest/gtest.h>

#include <QDate>
#include <QImage>
#include <cmath>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

#include "list/PhotoList.h"
#include "pages/Advertisements.h"
#include "pages/JobFile.h"
#include "pages/PageComposer.h"
#include "raster/Jpeg.h"
#include "testsupport/JpegTools.h"
#include "testsupport/SheetPhotos.h"
#include "testsupport/TestRaster.h"

namespace lisko {
namespace {

namespace fs = std::filesystem;

bool SameBytes(const QImage& a, const QImage& b) {
    if (a.format() != b.format() || a.size() != b.size()) return false;
    const auto rowBytes = static_cast<std::size_t>(a.width()) * 3;
    for (int y = 0; y < a.height(); ++y) {
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), rowBytes) != 0) return false;
    }
    return true;
}

// A list imported as the program imports it, each photo in its own working copy.
class ImportedList {
public:
    explicit ImportedList(const fs::path& scratch) : scratch_(QString::fromStdString(scratch)) {}

    TLisko& Add(const QString& path) {
        const int index = list_.InsertPosition(path);
        list_.Insert(index, path, std::make_unique<TLisko>(path, scratch_));
        return list_.Photo(index);
    }

    const PhotoList& List() const { return list_; }

    std::vector<QImage> PrintPages(const PageLayout& layout) const {
        PageSources sources;
        sources.layout = layout;
        for (int i = 0; i < list_.Count(); ++i)
            sources.photos.push_back(&list_.Photo(i));
        sources.previewAdvertisement = PreviewAdvertisement();
        sources.printAdvertisement = PrintAdvertisement();
        sources.today = QDate(2026, 1, 15);
        std::vector<QImage> pages;
        for (int page = 0; page < PageCount(list_.Count(), layout); ++page)
            pages.push_back(ComposePage(kPrintScale, page, sources));
        return pages;
    }

private:
    QString scratch_;
    PhotoList list_;
};

class JobRoundTrip : public ::testing::Test {
protected:
    QString WritePhoto(const std::string& relative, int width, int height, std::uint32_t seed) {
        const fs::path file = photos_ / relative;
        fs::create_directories(file.parent_path());
        const std::vector<std::uint8_t> jpeg =
            EncodeJpeg(test::PageLike24(width, height, seed), 90);
        test::WriteFileBytes(file, {jpeg.begin(), jpeg.end()});
        return QString::fromStdString(file.string());
    }

    test::TempDir photos_;
    test::TempDir firstScratch_;
    test::TempDir secondScratch_;
};

// Five photos with every kind of setting the editor gives, one of them outside the job's folder:
// printed before saving and after opening the job again, every page is the same to the byte, and
// so is every rendering of every photo.
TEST_F(JobRoundTrip, ReopenedJobPrintsTheSamePagesAndRenderings) {
    test::TempDir elsewhere;
    const fs::path outside = elsewhere / "outside.jpg";
    {
        const std::vector<std::uint8_t> jpeg = EncodeJpeg(test::PageLike24(260, 180, 9), 90);
        test::WriteFileBytes(outside, {jpeg.begin(), jpeg.end()});
    }

    ImportedList before(firstScratch_.Path());
    TLisko& landscape = before.Add(WritePhoto("notes/a.jpg", 300, 200, 1));
    TLisko& portrait = before.Add(WritePhoto("notes/b.jpg", 200, 300, 2));
    TLisko& colour = before.Add(WritePhoto("c.jpg", 240, 240, 3));
    TLisko& cropped = before.Add(WritePhoto("notes/sub/d.jpeg", 320, 180, 4));
    TLisko& far = before.Add(QString::fromStdString(outside.string()));
    landscape.Rotation = 2;
    landscape.Brightness = 5;
    landscape.Contrast = 3;
    portrait.CropLeft = 10;
    portrait.CropRight = 20;
    portrait.CropTop = 5;
    portrait.CropBottom = 5;
    colour.ImageType = 0;
    colour.Brightness = -7;
    colour.Contrast = 12;
    colour.Rotation = 3;
    cropped.CropLeft = 50;
    cropped.CropRight = 49;
    cropped.CropBottom = 50;
    far.ImageType = 0;
    far.Brightness = 20;
    far.Contrast = -20;
    const PageLayout layout{2, 2, SlotOrder::ColumnWise};
    const std::vector<QImage> pagesBefore = before.PrintPages(layout);

    Job saved;
    saved.layout = layout;
    for (int i = 0; i < before.List().Count(); ++i)
        saved.photos.push_back(JobPhotoOf(before.List().Photo(i)));
    const QString jobFile = QString::fromStdString((photos_ / "exam.lisko").string());
    SaveJobFile(jobFile, saved);

    const Job opened = LoadJobFile(jobFile);
    ImportedList after(secondScratch_.Path());
    for (const JobPhoto& photo : opened.photos)
        ApplySettings(photo, after.Add(photo.source));
    ASSERT_EQ(after.List().Count(), before.List().Count());
    EXPECT_EQ(opened.layout.rows, 2);
    EXPECT_EQ(opened.layout.order, SlotOrder::ColumnWise);

    const std::vector<QImage> pagesAfter = after.PrintPages(opened.layout);
    ASSERT_EQ(pagesAfter.size(), pagesBefore.size());
    ASSERT_EQ(pagesBefore.size(), 2u);
    for (std::size_t page = 0; page < pagesBefore.size(); ++page)
        EXPECT_TRUE(SameBytes(pagesAfter[page], pagesBefore[page])) << "page " << page + 1;

    for (int i = 0; i < before.List().Count(); ++i) {
        TLisko& was = before.List().Photo(i);
        TLisko& is = after.List().Photo(i);
        EXPECT_EQ(is.SourceFile, was.SourceFile);
        EXPECT_TRUE(SameBytes(is.Render(true), was.Render(true))) << "photo " << i + 1;
        EXPECT_TRUE(SameBytes(is.Thumbnail, was.Thumbnail)) << "photo " << i + 1;
        EXPECT_TRUE(SameBytes(is.Render(false), was.Render(false))) << "photo " << i + 1;
    }
}

// A sheet found and straightened, and corners placed by hand and switched off again, come back
// from a job with the very same corners: the same pages and renderings to the byte.
TEST_F(JobRoundTrip, StraightenedPhotosReopenWithTheirCorners) {
    const fs::path desk = photos_ / "desk.jpg";
    for (const test::SheetScene& scene : test::SheetScenes()) {
        if (scene.name == QLatin1String("plain_desk"))
            test::SaveSheetPhoto(scene, QString::fromStdString(desk.string()));
    }
    ImportedList before(firstScratch_.Path());
    TLisko& found = before.Add(QString::fromStdString(desk.string()));
    const QSize unstraightened = found.Render(true).size();
    ASSERT_TRUE(found.DetectSheetCorners());
    found.Straighten = true;
    TLisko& switchedOff = before.Add(WritePhoto("notes/b.jpg", 200, 300, 2));
    switchedOff.SetSheetCorners(SheetQuad{QPointF(10.0 / 3, 7), QPointF(190.125, 2),
                                          QPointF(std::sqrt(2.0) * 130, 299.5), QPointF(1, 280)});
    switchedOff.ImageType = 0;
    const PageLayout layout{1, 2, SlotOrder::RowWise};
    const std::vector<QImage> pagesBefore = before.PrintPages(layout);

    Job saved;
    saved.layout = layout;
    for (int i = 0; i < before.List().Count(); ++i)
        saved.photos.push_back(JobPhotoOf(before.List().Photo(i)));
    const QString jobFile = QString::fromStdString((photos_ / "exam.lisko").string());
    SaveJobFile(jobFile, saved);
    const Job opened = LoadJobFile(jobFile);
    ImportedList after(secondScratch_.Path());
    for (const JobPhoto& photo : opened.photos)
        ApplySettings(photo, after.Add(photo.source));

    const std::vector<QImage> pagesAfter = after.PrintPages(opened.layout);
    ASSERT_EQ(pagesAfter.size(), pagesBefore.size());
    for (std::size_t page = 0; page < pagesBefore.size(); ++page)
        EXPECT_TRUE(SameBytes(pagesAfter[page], pagesBefore[page])) << "page " << page + 1;
    for (int i = 0; i < before.List().Count(); ++i) {
        TLisko& was = before.List().Photo(i);
        TLisko& is = after.List().Photo(i);
        EXPECT_TRUE(SameSettings(is, was)) << "photo " << i + 1;
        EXPECT_TRUE(SameBytes(is.Render(true), was.Render(true))) << "photo " << i + 1;
    }
    // The reopened desk photo is the straightened sheet, not the whole photo.
    EXPECT_NE(after.List().Photo(0).Render(true).size(), unstraightened);
    EXPECT_FALSE(after.List().Photo(1).Straighten);
}

// Corners that do not fit the photo (its file changed after the job was read, say) are refused,
// and the photo keeps every setting it had.
TEST_F(JobRoundTrip, CornersOutsideThePhotoChangeNothing) {
    ImportedList list(firstScratch_.Path());
    TLisko& photo = list.Add(WritePhoto("a.jpg", 300, 200, 1));
    photo.SetSheetCorners(
        SheetQuad{QPointF(10, 10), QPointF(290, 10), QPointF(290, 190), QPointF(10, 190)});
    const TLiskoData was = photo;
    JobPhoto job = JobPhotoOf(photo);
    job.settings.Brightness = 7;
    job.settings.Straighten = true;
    job.settings.SheetCorners =
        SheetQuad{QPointF(0, 0), QPointF(300, 0), QPointF(300, 200.5), QPointF(0, 200)};
    EXPECT_THROW(ApplySettings(job, photo), std::invalid_argument);
    EXPECT_TRUE(SameSettings(photo, was));
}

}  // namespace
}  // namespace lisko
