#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>

#include "photo/ImageHandOver.h"
#include "photo/Lisko.h"
#include "photo/ScratchDirectory.h"
#include "raster/FastDIB.h"
#include "raster/Jpeg.h"
#include "raster/Resample.h"
#include "raster/Tone.h"
#include "testsupport/JpegTools.h"
#include "testsupport/TestRaster.h"

namespace lisko {
namespace {

namespace fs = std::filesystem;

QString Q(const fs::path& p) {
    return QString::fromStdString(p.string());
}

// A smooth colour field with some texture, so that resampling and levels have work to do.
TFastDIB SourcePixels(int width, int height) {
    return test::Raster24(width, height, [&](int x, int row) {
        return BgrColor{static_cast<std::uint8_t>(40 + (x * 150) / width),
                        static_cast<std::uint8_t>(30 + (row * 170) / height),
                        static_cast<std::uint8_t>(20 + ((x ^ row) & 63))};
    });
}

class PhotoItem : public ::testing::Test {
protected:
    // Writes a colour JPEG source of the given size and returns its path.
    QString Source(int width, int height, const std::string& name = "photo.jpg") {
        const std::vector<std::uint8_t> jpeg = EncodeJpeg(SourcePixels(width, height), 92);
        const fs::path file = sources_ / name;
        test::WriteFileBytes(file, std::vector<char>(jpeg.begin(), jpeg.end()));
        return Q(file);
    }

    QString Scratch() const { return Q(scratch_.Path()); }
    QStringList ScratchFiles() const {
        return QDir(Scratch()).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    }

    static TFastDIB WorkingCopy(const TLisko& photo) {
        return TFastDIB::LoadJpegFile(photo.WorkFile.toStdString());
    }

    test::TempDir scratch_;
    test::TempDir sources_;
};

BgrColor ImagePixel(const QImage& image, int x, int yFromTop) {
    const uchar* p = image.constScanLine(yFromTop) + 3 * x;
    return {p[0], p[1], p[2]};
}

struct ImportCase {
    const char* name;
    int width, height;
    int rotation;
    int copyWidth, copyHeight;
    int renderWidth, renderHeight;
};

class ImportSizes : public PhotoItem, public ::testing::WithParamInterface<ImportCase> {};

TEST_P(ImportSizes, OrientationWorkingSizeAndRendering) {
    const ImportCase& c = GetParam();
    TLisko photo(Source(c.width, c.height), Scratch());

    EXPECT_EQ(photo.Rotation, c.rotation);
    EXPECT_EQ(photo.WorkFile, QDir(Scratch()).filePath("0.jpg"));
    const TFastDIB copy = WorkingCopy(photo);
    EXPECT_EQ(copy.Width(), c.copyWidth);
    EXPECT_EQ(copy.Height(), c.copyHeight);
    EXPECT_EQ(copy.BitsPerPixel(), 24);

    const QImage rendering = photo.Render(true);
    EXPECT_EQ(rendering.size(), QSize(c.renderWidth, c.renderHeight));
    EXPECT_EQ(rendering.format(), QImage::Format_BGR888);
    EXPECT_EQ(photo.Thumbnail.size(), QSize(200, 200));
    EXPECT_EQ(photo.Thumbnail.format(), QImage::Format_BGR888);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ImportSizes,
    ::testing::Values(ImportCase{"Landscape", 3000, 2000, 1, 1500, 1000, 1000, 1500},
                      ImportCase{"Portrait", 2000, 3000, 0, 1000, 1500, 1000, 1500},
                      ImportCase{"Square", 2000, 2000, 0, 1500, 1500, 1500, 1500},
                      ImportCase{"ShortSideRoundsDown", 1501, 10, 1, 1500, 9, 9, 1500},
                      ImportCase{"SmallKeepsItsSize", 1200, 800, 1, 1200, 800, 800, 1200},
                      // 1 x 1500 / 2000 truncates to 0; the photo keeps one pixel.
                      ImportCase{"HairlineKeepsOnePixel", 2000, 1, 1, 1500, 1, 1, 1500}),
    [](const auto& testCase) { return testCase.param.name; });

TEST_F(PhotoItem, NewItemHasTheDefaults) {
    TLisko photo(Source(40, 60), Scratch());
    EXPECT_EQ(photo.ImageType, 1);
    EXPECT_EQ(photo.Brightness, 1);
    EXPECT_EQ(photo.Contrast, 0);
    EXPECT_EQ(photo.CropLeft + photo.CropRight + photo.CropTop + photo.CropBottom, 0);
    EXPECT_TRUE(photo.SourceFile.endsWith("photo.jpg"));
    EXPECT_FALSE(photo.Thumbnail.isNull());

    const TLiskoData key;
    EXPECT_EQ(key.ImageType, 0);
    EXPECT_EQ(key.Brightness, 0);
    EXPECT_TRUE(key.WorkFile.isEmpty());
}

// The working copy is what the reference encoder makes of the resampled, level-stretched pixels.
class WorkingCopyBytes : public PhotoItem, public ::testing::WithParamInterface<QSize> {};

TEST_P(WorkingCopyBytes, EqualCjpegOfTheNormalisedPixels) {
    const QSize size = GetParam();
    const QString source = Source(size.width(), size.height());
    TLisko photo(source, Scratch());

    const TFastDIB decoded = TFastDIB::LoadJpegFile(source.toStdString());
    const TFastDIB copy = WorkingCopy(photo);
    TFastDIB expected = TFastDIB::CreateBlank(copy.Width(), copy.Height(), 24);
    ResizeSmooth(decoded, expected);
    AutoLevels(expected);
    test::WritePnm(expected, sources_ / "expected.ppm");
    test::RunCjpeg({"-quality", "85", "-baseline"}, sources_ / "expected.ppm",
                   sources_ / "expected.jpg");
    EXPECT_EQ(test::ReadFileBytes(sources_ / "expected.jpg"),
              test::ReadFileBytes(photo.WorkFile.toStdString()));
}

INSTANTIATE_TEST_SUITE_P(Sizes, WorkingCopyBytes,
                         ::testing::Values(QSize(1200, 800), QSize(1600, 2400), QSize(333, 77)));

TEST_F(PhotoItem, GreyscaleSourceBecomesAColourWorkingCopyOfGreys) {
    test::WritePnm(SourcePixels(120, 90), sources_ / "in.ppm");
    test::RunCjpeg({"-grayscale"}, sources_ / "in.ppm", sources_ / "grey.jpg");
    TLisko photo(Q(sources_ / "grey.jpg"), Scratch());
    const TFastDIB copy = WorkingCopy(photo);
    EXPECT_EQ(copy.BitsPerPixel(), 24);
    EXPECT_EQ(copy.Width(), 120);
    EXPECT_EQ(photo.Rotation, 1);
}

TEST_F(PhotoItem, NamesSkipTakenFilesAndReuseGaps) {
    const auto touch = [&](const char* name) {
        QFile f(QDir(Scratch()).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("left by an earlier run");
    };
    touch("0.jpg");
    touch("1.jpg");
    const QString source = Source(30, 20);
    auto second = std::make_unique<TLisko>(source, Scratch());
    EXPECT_TRUE(second->WorkFile.endsWith("/2.jpg"));
    ASSERT_TRUE(QFile::remove(QDir(Scratch()).filePath("1.jpg")));
    TLisko third(source, Scratch());
    EXPECT_TRUE(third.WorkFile.endsWith("/1.jpg"));

    QFile kept(QDir(Scratch()).filePath("0.jpg"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "left by an earlier run");

    second.reset();
    EXPECT_EQ(ScratchFiles(), (QStringList{"0.jpg", "1.jpg"}));
}

TEST_F(PhotoItem, NoFreeNameIsAnErrorThatOverwritesNothing) {
    for (const char* name : {"0.jpg", "1.jpg", "2.jpg"}) {
        QFile f(QDir(Scratch()).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(name);
    }
    try {
        CreateWorkFile(Scratch(), "new", 3);
        FAIL() << "a name was found";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("no free name"), std::string::npos) << e.what();
    }
    for (const char* name : {"0.jpg", "1.jpg", "2.jpg"}) {
        QFile f(QDir(Scratch()).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), name);
    }
}

TEST_F(PhotoItem, ScratchDirectoryIsCreatedWithItsParents) {
    const QString nested = QDir(Scratch()).filePath("a/b/TempDir");
    TLisko photo(Source(30, 20), nested);
    EXPECT_EQ(photo.WorkFile, QDir(nested).filePath("0.jpg"));
    EXPECT_TRUE(QFile::exists(photo.WorkFile));
}

TEST_F(PhotoItem, ScratchDirectoryComesFromTheEnvironment) {
    qputenv("LISKO_SCRATCH_DIR", Scratch().toUtf8());
    TLisko photo(Source(30, 20));
    qunsetenv("LISKO_SCRATCH_DIR");
    EXPECT_EQ(photo.WorkFile, QDir(Scratch()).filePath("0.jpg"));
}

TEST_F(PhotoItem, UnwritableScratchDirectoryIsAnErrorNamingIt) {
    QFile blocker(QDir(Scratch()).filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    try {
        TLisko photo(Source(30, 20), blocker.fileName() + "/TempDir");
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("blocker"), std::string::npos) << e.what();
    }
}

class FailedImport : public PhotoItem, public ::testing::WithParamInterface<const char*> {};

TEST_P(FailedImport, LeavesNoWorkingFile) {
    const fs::path source = sources_ / "bad.jpg";
    const std::string content = GetParam();
    if (!content.empty()) test::WriteFileBytes(source, {content.begin(), content.end()});
    EXPECT_THROW(TLisko(Q(source), Scratch()), RasterError);
    EXPECT_TRUE(ScratchFiles().isEmpty()) << ScratchFiles().join(",").toStdString();
}

INSTANTIATE_TEST_SUITE_P(Sources, FailedImport,
                         ::testing::Values("", "plain text, not a photo", "\xFF\xD8\xFF"));

struct CropCase {
    const char* name;
    int width, height;  // of the source
    int rotation;
    int left, right, top, bottom;
    int renderWidth, renderHeight;
};

class CropArithmetic : public PhotoItem, public ::testing::WithParamInterface<CropCase> {};

TEST_P(CropArithmetic, PercentOfTheTurnedSides) {
    const CropCase& c = GetParam();
    TLisko photo(Source(c.width, c.height), Scratch());
    ASSERT_EQ(photo.Rotation, c.rotation);
    photo.CropLeft = c.left;
    photo.CropRight = c.right;
    photo.CropTop = c.top;
    photo.CropBottom = c.bottom;
    EXPECT_EQ(photo.Render(true).size(), QSize(c.renderWidth, c.renderHeight));
    // Without the crop the whole turned picture comes back.
    const bool turned = c.rotation == 1;
    EXPECT_EQ(photo.Render(false).size(),
              turned ? QSize(c.height, c.width) : QSize(c.width, c.height));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CropArithmetic,
    ::testing::Values(CropCase{"Portrait", 1000, 1500, 0, 10, 20, 5, 5, 700, 1350},
                      // 10 % of the turned width 1000 is 100 pixels.
                      CropCase{"TurnedLandscape", 1500, 1000, 1, 10, 0, 0, 0, 900, 1500},
                      CropCase{"Truncating", 333, 555, 0, 1, 1, 1, 1, 327, 545},
                      CropCase{"NearlyAll", 101, 200, 0, 49, 50, 0, 0, 2, 200}),
    [](const auto& testCase) { return testCase.param.name; });

class CropLeavingNothing : public PhotoItem,
                           public ::testing::WithParamInterface<std::array<int, 4>> {};

TEST_P(CropLeavingNothing, IsRefusedAndTheItemStaysAsItWas) {
    TLisko photo(Source(101, 151), Scratch());
    photo.ImageType = 0;
    photo.Render(true);
    const QImage thumbnail = photo.Thumbnail;
    const auto [l, r, t, b] = GetParam();
    photo.CropLeft = l;
    photo.CropRight = r;
    photo.CropTop = t;
    photo.CropBottom = b;
    try {
        photo.Render(true);
        FAIL() << "rendered a crop of " << l << "," << r << "," << t << "," << b;
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("leave nothing"), std::string::npos) << e.what();
    }
    EXPECT_THROW(photo.RenderThumbnail(), std::runtime_error);
    EXPECT_EQ(photo.Thumbnail, thumbnail);
    EXPECT_EQ(photo.CropLeft, l);
    // The uncropped rendering still works.
    EXPECT_EQ(photo.Render(false).size(), QSize(101, 151));
}

// 50 + 50 on an odd side would otherwise leave a one-pixel sliver.
INSTANTIATE_TEST_SUITE_P(Crops, CropLeavingNothing,
                         ::testing::Values(std::array{50, 50, 0, 0}, std::array{0, 0, 60, 40},
                                           std::array{100, 0, 0, 0}, std::array{-1, 0, 0, 0},
                                           std::array{0, 0, 0, 2147483647}));

TEST_F(PhotoItem, CropCutsFromTheTopLeftOfThePictureAsDisplayed) {
    TLisko photo(Source(200, 300), Scratch());
    photo.ImageType = 0;
    photo.Brightness = 0;
    photo.Contrast = 0;
    photo.CropLeft = 10;  // 20 pixels
    photo.CropTop = 20;   // 60 pixels
    const QImage cropped = photo.Render(true);
    // Colour with both steps at 0 passes both tone steps unchanged: the working copy's pixels.
    const QImage whole = photo.Render(false);
    const TFastDIB copy = WorkingCopy(photo);
    for (int y : {0, 100, 239}) {
        for (int x : {0, 50, 179}) {
            ASSERT_EQ(ImagePixel(cropped, x, y), ImagePixel(whole, x + 20, y + 60));
        }
    }
    for (int y : {0, 150, 299}) {
        EXPECT_EQ(ImagePixel(whole, 7, y), test::PixelAt(copy, 7, 299 - y));
    }
}

TEST_F(PhotoItem, ClockwiseTurnPutsTheLeftColumnOnTop) {
    TLisko photo(Source(301, 301), Scratch());
    photo.ImageType = 0;
    photo.Brightness = 0;
    photo.Contrast = 0;
    photo.Rotation = 1;
    const QImage turned = photo.Render(false);
    photo.Rotation = 0;
    const QImage upright = photo.Render(false);
    // The bottom-left corner goes to the top-left, the top-left to the top-right.
    for (int i : {0, 100, 300}) {
        EXPECT_EQ(ImagePixel(turned, i, 0), ImagePixel(upright, 0, 300 - i));
    }
}

TEST_F(PhotoItem, RenderWithoutCropLeavesTheThumbnail) {
    TLisko photo(Source(90, 120), Scratch());
    const QImage before = photo.Thumbnail;
    photo.ImageType = 0;
    photo.Brightness = 10;
    photo.Render(false);
    EXPECT_EQ(photo.Thumbnail, before);
    photo.Render(true);
    EXPECT_NE(photo.Thumbnail, before);
}

// Settings given with the import are in place for its one rendering: the rendering handed out and
// the thumbnail equal what setting them afterwards and rendering again gives.
TEST_F(PhotoItem, AdjustmentGoesInBeforeTheFirstRendering) {
    const auto adjust = [](TLisko& photo) {
        EXPECT_EQ(photo.Rotation, 1) << "the landscape photo's turn is chosen first";
        EXPECT_FALSE(photo.WorkFile.isEmpty());
        photo.ImageType = 0;
        photo.Brightness = 2;
        photo.CropTop = 10;
    };
    QImage first;
    TLisko adjusted(Source(160, 90), Scratch(), adjust, &first);
    TLisko later(Source(160, 90, "same.jpg"), Scratch());
    later.ImageType = 0;
    later.Brightness = 2;
    later.CropTop = 10;
    EXPECT_EQ(first, later.Render(true));
    EXPECT_EQ(adjusted.Thumbnail, later.Thumbnail);
}

// The thumbnail made without the whole picture (on import, for apply to many) must be the very
// one the whole rendering gives: every turn with odd and even sides (where the turned picture has
// a white edge), sizes below and above the square, crops, both modes and their extreme settings.
struct ThumbnailCase {
    const char* name;
    int width, height;  // of the source, not larger than a working copy
    int rotation, imageType, brightness, contrast;
    std::array<int, 4> crops;  // left, right, top, bottom
    bool straighten = false;
};

class ThumbnailAlone : public PhotoItem, public ::testing::WithParamInterface<ThumbnailCase> {};

TEST_P(ThumbnailAlone, EqualsTheThumbnailOfTheWholeRendering) {
    const ThumbnailCase& c = GetParam();
    const std::vector<std::uint8_t> jpeg = EncodeJpeg(test::PageLike24(c.width, c.height, 7), 90);
    test::WriteFileBytes(sources_ / "page.jpg", {jpeg.begin(), jpeg.end()});
    TLisko photo(Q(sources_ / "page.jpg"), Scratch());
    const QImage imported = photo.Thumbnail;
    EXPECT_EQ(imported, RenderPhoto(photo, photo.WorkingSize(), true).thumbnail)
        << "the import's thumbnail";

    photo.Rotation = c.rotation;
    photo.ImageType = c.imageType;
    photo.Brightness = c.brightness;
    photo.Contrast = c.contrast;
    photo.CropLeft = c.crops[0];
    photo.CropRight = c.crops[1];
    photo.CropTop = c.crops[2];
    photo.CropBottom = c.crops[3];
    if (c.straighten) {
        photo.SheetCorners =
            SheetQuad{QPointF(3.5, 2), QPointF(c.width - 9.0, 6.25),
                      QPointF(c.width - 2.0, c.height - 4.0), QPointF(1, c.height - 12.5)};
        photo.Straighten = true;
    }
    const QImage expected = RenderPhoto(photo, photo.WorkingSize(), true).thumbnail;
    ASSERT_EQ(expected.size(), QSize(200, 200));
    EXPECT_EQ(RenderThumbnail(photo, photo.WorkingSize()), expected);
    photo.RenderThumbnail();
    EXPECT_EQ(photo.Thumbnail, expected);
    EXPECT_EQ(photo.Thumbnail.format(), imported.format());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ThumbnailAlone,
    ::testing::Values(
        ThumbnailCase{"ImportedLandscapeOddSides", 641, 479, 1, 1, 1, 0, {0, 0, 0, 0}},
        ThumbnailCase{"AnticlockwiseOddDifference", 641, 480, 2, 1, 1, 0, {0, 0, 0, 0}},
        ThumbnailCase{"HalfTurnCropped", 333, 555, 3, 1, 4, 3, {7, 11, 13, 5}},
        ThumbnailCase{"UnknownTurnIsNone", 300, 200, 9, 1, 1, 0, {0, 0, 0, 0}},
        ThumbnailCase{"ClockwiseCroppedLargeTiles", 700, 501, 1, 1, 20, 20, {10, 0, 25, 30}},
        ThumbnailCase{"NegativeSettingsAct0", 250, 410, 0, 5, -3, -8, {0, 49, 0, 50}},
        ThumbnailCase{"SmallerThanTheSquare", 37, 151, 1, 1, 1, 2, {3, 3, 3, 3}},
        ThumbnailCase{"OnePixelWide", 1, 90, 2, 1, 1, 0, {0, 0, 0, 0}},
        ThumbnailCase{"ColourTurnedAndCropped", 501, 300, 1, 0, 2, -3, {5, 10, 15, 20}},
        ThumbnailCase{"ColourExtremes", 260, 390, 3, 0, 30, 30, {0, 0, 0, 0}},
        ThumbnailCase{"StraightenedBlackWhite", 420, 300, 1, 1, 1, 0, {4, 4, 4, 4}, true},
        ThumbnailCase{"StraightenedColour", 300, 420, 0, 0, 1, 1, {0, 0, 0, 0}, true}),
    [](const auto& testCase) { return testCase.param.name; });

TEST_F(PhotoItem, FailedAdjustmentLeavesNoWorkingFile) {
    const auto adjust = [](TLisko& photo) {
        photo.CropLeft = 60;
        photo.CropRight = 40;  // nothing left: the first rendering throws
    };
    EXPECT_THROW(TLisko(Source(40, 30), Scratch(), adjust), std::runtime_error);
    EXPECT_THROW(TLisko(Source(40, 30), Scratch(), [](TLisko&) { throw std::logic_error("no"); }),
                 std::logic_error);
    EXPECT_TRUE(ScratchFiles().isEmpty()) << ScratchFiles().join(",").toStdString();
}

TEST_F(PhotoItem, BrightnessAndContrastStepsAreTenfold) {
    TLisko photo(Source(60, 90), Scratch());
    photo.ImageType = 0;
    photo.Brightness = 2;
    photo.Contrast = -3;
    const QImage rendering = photo.Render(false);

    TFastDIB expected = WorkingCopy(photo);
    AdjustBrightness(expected, 20, 20, 20);
    AdjustContrast(expected, -30, -30, -30);
    for (int y = 0; y < 90; y += 7) {
        for (int x = 0; x < 60; x += 5) {
            ASSERT_EQ(ImagePixel(rendering, x, y), test::PixelAt(expected, x, 89 - y));
        }
    }
}

TEST_F(PhotoItem, BlackAndWhiteTurnsAnEvenPageWhite) {
    const std::vector<std::uint8_t> jpeg = EncodeJpeg(test::Uniform24(64, 96, {90, 120, 150}), 90);
    test::WriteFileBytes(sources_ / "even.jpg", {jpeg.begin(), jpeg.end()});
    TLisko photo(Q(sources_ / "even.jpg"), Scratch());
    const QImage rendering = photo.Render(true);
    for (int y = 0; y < rendering.height(); y += 9) {
        for (int x = 0; x < rendering.width(); x += 9) {
            ASSERT_EQ(ImagePixel(rendering, x, y), BgrWhite);
        }
    }
}

TEST_F(PhotoItem, DestructorDeletesTheWorkingCopyAndToleratesItsAbsence) {
    auto photo = std::make_unique<TLisko>(Source(30, 20), Scratch());
    const QString work = photo->WorkFile;
    photo.reset();
    EXPECT_FALSE(QFile::exists(work));

    photo = std::make_unique<TLisko>(Source(30, 20), Scratch());
    ASSERT_TRUE(QFile::remove(photo->WorkFile));
    EXPECT_NO_THROW(photo.reset());
}

TEST_F(PhotoItem, RenderingAVanishedWorkingCopyReportsTheFile) {
    TLisko photo(Source(30, 20), Scratch());
    QFile::remove(photo.WorkFile);
    try {
        photo.Render(true);
        FAIL();
    } catch (const RasterError& e) {
        EXPECT_NE(std::string(e.what()).find(photo.WorkFile.toStdString()), std::string::npos);
    }
}

TEST(HandOverToImage, WrapsThePixelMemoryWithoutACopy) {
    TFastDIB raster = test::Noise24(5, 3, 9);
    const BgrColor topLeft = test::PixelAt(raster, 0, 2);
    const std::uint8_t* top = raster.Row(2);
    const QImage image = HandOverToImage(std::move(raster));
    EXPECT_EQ(image.constBits(), top);
    EXPECT_EQ(image.bytesPerLine(), 16);
    EXPECT_EQ(ImagePixel(image, 0, 0), topLeft);
    EXPECT_TRUE(raster.IsEmpty());  // NOLINT(bugprone-use-after-move): defined as empty
}

TEST(HandOverToImage, EightBitsKeepThePalette) {
    TFastDIB raster = test::Raster8(2, 1, {0, 1});
    raster.Palette()[1] = {10, 20, 30, 0};
    const QImage image = HandOverToImage(std::move(raster));
    EXPECT_EQ(image.format(), QImage::Format_Indexed8);
    EXPECT_EQ(image.pixel(1, 0), qRgb(30, 20, 10));
}

}  // namespace
}  // namespace lisko
