#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QImage>
#include <QtEndian>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "photo/Lisko.h"
#include "raster/Jpeg.h"
#include "testsupport/JpegTools.h"
#include "testsupport/Process.h"
#include "testsupport/TestRaster.h"

namespace lisko {
namespace {

namespace fs = std::filesystem;

class RenderCommand : public ::testing::Test {
protected:
    void SetUp() override {
        const std::vector<std::uint8_t> jpeg = EncodeJpeg(test::PageLike24(240, 160, 4), 90);
        test::WriteFileBytes(photo_, {jpeg.begin(), jpeg.end()});
    }

    static test::ProcessResult Cli(const std::vector<std::string>& arguments) {
        return test::RunProgram(LISKO_CLI, arguments);
    }

    test::TempDir dir_;
    const fs::path photo_ = dir_ / "notes.jpg";
    const fs::path out_ = dir_ / "out.png";
};

// The PNG holds exactly the pixels the photo item renders with the same settings.
TEST_F(RenderCommand, WritesTheRenderingLosslessly) {
    const test::ProcessResult run =
        Cli({"render", photo_.string(), "-o", out_.string(), "--type", "colour", "--brightness",
             "2", "--contrast", "-1", "--crop", "10,0,5,5", "--rotation", "3"});
    ASSERT_EQ(run.exitCode, 0) << run.err;

    test::TempDir scratch;
    TLisko photo(QString::fromStdString(photo_.string()), QString::fromStdString(scratch.Path()));
    photo.ImageType = 0;
    photo.Brightness = 2;
    photo.Contrast = -1;
    photo.CropLeft = 10;
    photo.CropTop = 5;
    photo.CropBottom = 5;
    photo.Rotation = 3;
    const QImage expected = photo.Render(true).convertToFormat(QImage::Format_RGB888);
    const QImage written(QString::fromStdString(out_.string()));
    ASSERT_FALSE(written.isNull());
    EXPECT_EQ(written.convertToFormat(QImage::Format_RGB888), expected);
    EXPECT_FALSE(written.hasAlphaChannel());
}

// How hard zlib was asked to compress a PNG's pixels: the level class its stream header records
// (0 fastest, 1 fast, 2 default, 3 best), or -1 without pixel data.
int PngCompressionClass(const fs::path& file) {
    const std::vector<char> bytes = test::ReadFileBytes(file);
    const std::string text(bytes.begin(), bytes.end());
    const std::size_t idat = text.find("IDAT");
    if (idat == std::string::npos || idat + 6 > text.size()) return -1;
    return static_cast<unsigned char>(text[idat + 5]) >> 6;
}

// The filter type of every row of a 24-bit PNG (0 none, 1 sub, ... 4 Paeth), read from the file's
// chunks and its inflated pixel stream.
std::vector<int> PngRowFilters(const fs::path& file) {
    const std::vector<char> bytes = test::ReadFileBytes(file);
    const auto be32 = [&](std::size_t at) {
        return qFromBigEndian<quint32>(reinterpret_cast<const uchar*>(bytes.data() + at));
    };
    quint32 width = 0, height = 0;
    QByteArray stream;
    for (std::size_t at = 8; at + 12 <= bytes.size();) {
        const quint32 length = be32(at);
        const std::string type(bytes.data() + at + 4, 4);
        if (type == "IHDR") {
            width = be32(at + 8);
            height = be32(at + 12);
        }
        if (type == "IDAT") stream.append(bytes.data() + at + 8, static_cast<qsizetype>(length));
        at += 12 + length;
    }
    const quint32 rowBytes = 1 + 3 * width;
    QByteArray sized(4, '\0');
    qToBigEndian<quint32>(rowBytes * height, sized.data());
    const QByteArray pixels = qUncompress(sized + stream);
    std::vector<int> filters;
    for (quint32 row = 0; row < height && (row + 1) * rowBytes <= quint32(pixels.size()); ++row)
        filters.push_back(
            static_cast<unsigned char>(pixels[static_cast<qsizetype>(row * rowBytes)]));
    return filters;
}

struct FormatCase {
    const char* extension;
    bool lossless;
};

class RenderFormats : public RenderCommand, public ::testing::WithParamInterface<FormatCase> {};

// The rendering and the thumbnail in every format: the lossless ones hold exactly the photo
// item's pixels, a JPEG decodes to the same picture within what quality 95 loses.
TEST_P(RenderFormats, HoldTheRendering) {
    const FormatCase& c = GetParam();
    const fs::path out = dir_ / (std::string("out.") + c.extension);
    const fs::path thumb = dir_ / (std::string("thumb.") + c.extension);
    const test::ProcessResult run = Cli({"render", photo_.string(), "-o", out.string(),
                                         "--thumbnail", thumb.string(), "--type", "colour"});
    ASSERT_EQ(run.exitCode, 0) << run.err;

    test::TempDir scratch;
    TLisko photo(QString::fromStdString(photo_.string()), QString::fromStdString(scratch.Path()));
    photo.ImageType = 0;
    const QImage expected = photo.Render(true).convertToFormat(QImage::Format_RGB888);
    const QImage written =
        QImage(QString::fromStdString(out.string())).convertToFormat(QImage::Format_RGB888);
    const QImage writtenThumb =
        QImage(QString::fromStdString(thumb.string())).convertToFormat(QImage::Format_RGB888);
    ASSERT_EQ(written.size(), expected.size());
    ASSERT_EQ(writtenThumb.size(), QSize(200, 200));
    if (c.lossless) {
        EXPECT_EQ(written, expected);
        EXPECT_EQ(writtenThumb, photo.Thumbnail.convertToFormat(QImage::Format_RGB888));
    } else {
        int worst = 0;
        for (int y = 0; y < expected.height(); ++y) {
            for (int x = 0; x < expected.width(); ++x) {
                const QColor a = written.pixelColor(x, y);
                const QColor b = expected.pixelColor(x, y);
                worst = std::max({worst, std::abs(a.red() - b.red()),
                                  std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
            }
        }
        EXPECT_LE(worst, 40);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, RenderFormats,
                         ::testing::Values(FormatCase{"png", true}, FormatCase{"bmp", true},
                                           FormatCase{"ppm", true}, FormatCase{"jpg", false},
                                           FormatCase{"JPEG", false}),
                         [](const auto& testCase) {
                             return std::string(testCase.param.extension);
                         });

TEST_F(RenderCommand, WritesPngWithTheFastestCompression) {
    const test::ProcessResult run = Cli({"render", photo_.string(), "-o", out_.string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(PngCompressionClass(out_), 0);
    // Choosing a filter for every row cost 4.5x the compression itself; none is chosen.
    const std::vector<int> filters = PngRowFilters(out_);
    ASSERT_EQ(filters.size(), 240u);
    EXPECT_EQ(std::count(filters.begin(), filters.end(), 0), 240);
}

// Quality 95 by default; --quality sets it: a lower one writes a smaller file, and djpeg reads
// both.
TEST_F(RenderCommand, QualityOfAJpegOutput) {
    const fs::path standard = dir_ / "standard.jpg";
    const fs::path rough = dir_ / "rough.jpg";
    const fs::path best = dir_ / "best.jpg";
    ASSERT_EQ(Cli({"render", photo_.string(), "-o", standard.string()}).exitCode, 0);
    ASSERT_EQ(Cli({"render", photo_.string(), "-o", rough.string(), "--quality", "30"}).exitCode,
              0);
    ASSERT_EQ(Cli({"render", photo_.string(), "-o", best.string(), "--quality", "95"}).exitCode, 0);
    EXPECT_EQ(test::ReadFileBytes(standard), test::ReadFileBytes(best));
    EXPECT_LT(fs::file_size(rough), fs::file_size(standard));
    test::RunDjpeg({}, rough, dir_ / "rough.ppm");
    EXPECT_TRUE(fs::exists(dir_ / "rough.ppm"));
}

struct NameCase {
    const char* name;
    std::vector<std::string> arguments;  // after "render PHOTO"
    const char* mustMention;
};

class RefusesOutputName : public RenderCommand, public ::testing::WithParamInterface<NameCase> {};

// An unknown extension is refused before any work, naming the ones that are accepted.
TEST_P(RefusesOutputName, WithAUsageError) {
    std::vector<std::string> arguments{"render", photo_.string()};
    for (const std::string& a : GetParam().arguments)
        arguments.push_back(a.starts_with("DIR/") ? (dir_ / a.substr(4)).string() : a);
    const test::ProcessResult run = Cli(arguments);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find(GetParam().mustMention), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(".png, .jpg, .jpeg, .bmp, .ppm"), std::string::npos) << run.err;
    std::vector<fs::path> left;
    for (const auto& entry : fs::directory_iterator(dir_.Path())) {
        if (entry.path() != photo_) left.push_back(entry.path());
    }
    EXPECT_TRUE(left.empty()) << left.front();
}

INSTANTIATE_TEST_SUITE_P(Cases, RefusesOutputName,
                         ::testing::Values(NameCase{"Tiff", {"-o", "DIR/out.tiff"}, "out.tiff"},
                                           NameCase{"NoExtension", {"-o", "DIR/out"}, "out"},
                                           NameCase{
                                               "ThumbnailGif",
                                               {"-o", "DIR/out.png", "--thumbnail", "DIR/t.gif"},
                                               "t.gif"}),
                         [](const auto& testCase) { return testCase.param.name; });

TEST_F(RenderCommand, DefaultsTurnALandscapePhotoAndWriteTheThumbnail) {
    const fs::path thumb = dir_ / "thumb.png";
    const test::ProcessResult run =
        Cli({"render", photo_.string(), "-o", out_.string(), "--thumbnail", thumb.string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(QImage(QString::fromStdString(out_.string())).size(), QSize(160, 240));
    EXPECT_EQ(QImage(QString::fromStdString(thumb.string())).size(), QSize(200, 200));
}

TEST_F(RenderCommand, NoCropRendersTheWholePicture) {
    const test::ProcessResult run =
        Cli({"render", photo_.string(), "-o", out_.string(), "--crop", "20,20,0,0", "--no-crop"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(QImage(QString::fromStdString(out_.string())).size(), QSize(160, 240));
}

TEST_F(RenderCommand, MissingOutputOrPhotoIsAUsageError) {
    EXPECT_EQ(Cli({"render", photo_.string()}).exitCode, 2);
    EXPECT_EQ(Cli({"render", "-o", out_.string()}).exitCode, 2);
    EXPECT_EQ(Cli({}).exitCode, 2);
    EXPECT_EQ(Cli({"paint"}).exitCode, 2);
}

TEST_F(RenderCommand, UnreadablePhotoNamesTheFileAndLeavesNoOutput) {
    const fs::path text = dir_ / "notes-as-text.jpg";
    test::WriteFileBytes(text, {'h', 'e', 'l', 'l', 'o'});
    const test::ProcessResult run = Cli({"render", text.string(), "-o", out_.string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("notes-as-text.jpg"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("JPEG error #"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(out_));

    const test::ProcessResult missing =
        Cli({"render", (dir_ / "absent.jpg").string(), "-o", out_.string()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("absent.jpg"), std::string::npos) << missing.err;
}

TEST_F(RenderCommand, UnwritableOutputFailsWithoutLeftovers) {
    const fs::path out = dir_ / "no-such-dir" / "out.png";
    const test::ProcessResult run = Cli({"render", photo_.string(), "-o", out.string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("cannot write"), std::string::npos) << run.err;
}

TEST_F(RenderCommand, HelpExplainsEveryOption) {
    const test::ProcessResult run = Cli({"render", "--help"});
    EXPECT_EQ(run.exitCode, 0);
    for (const char* option : {"--output", "--rotation", "--type", "--brightness", "--contrast",
                               "--crop", "--no-crop", "--thumbnail", "--quality"}) {
        EXPECT_NE(run.out.find(option), std::string::npos) << option;
    }
    EXPECT_EQ(Cli({"--help"}).exitCode, 0);
}

TEST_F(RenderCommand, LeavesNoWorkingCopyBehind) {
    const fs::path scratch = dir_ / "scratch";
    ASSERT_TRUE(fs::create_directory(scratch));
    // The tool keeps its working copy in a directory of its own, whatever the environment says.
    setenv("LISKO_SCRATCH_DIR", scratch.c_str(), 1);
    const test::ProcessResult run = Cli({"render", photo_.string(), "-o", out_.string()});
    unsetenv("LISKO_SCRATCH_DIR");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(fs::is_empty(scratch));
}

}  // namespace
}  // namespace lisko
