#include <gtest/gtest.h>

// jpeglib.h needs FILE and size_t declared before it.
#include <jerror.h>
#include <jpeglib.h>
#include <cstdio>

#include <chrono>
#include <cstring>
#include <optional>

#include "raster/FastDIB.h"
#include "raster/Jpeg.h"
#include "testsupport/JpegTools.h"
#include "testsupport/TestRaster.h"

namespace lisko {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

struct ColourCase {
    const char* name;
    int width;
    int height;
    std::vector<std::string> cjpegOptions;
};

class DecodesLikeDjpeg : public ::testing::TestWithParam<ColourCase> {};

TEST_P(DecodesLikeDjpeg, ColourFileGives24BitRowsByteForByte) {
    const ColourCase& c = GetParam();
    TempDir dir;
    test::WritePnm(test::PageLike24(c.width, c.height, 7), dir / "in.ppm");
    test::RunCjpeg(c.cjpegOptions, dir / "in.ppm", dir / "photo.jpg");
    test::RunDjpeg({"-bmp"}, dir / "photo.jpg", dir / "reference.bmp");

    const TFastDIB raster = TFastDIB::LoadJpegFile(dir / "photo.jpg");
    const test::Bmp reference = test::ReadBmp(dir / "reference.bmp");
    ASSERT_EQ(reference.BitsPerPixel, 24);
    ASSERT_EQ(raster.BitsPerPixel(), 24);
    ASSERT_EQ(raster.Width(), c.width);
    ASSERT_EQ(raster.Height(), c.height);
    // The header alone tells the size the decoder gives.
    const JpegSize size = ReadJpegSize(dir / "photo.jpg");
    EXPECT_EQ(size.width, c.width);
    EXPECT_EQ(size.height, c.height);
    for (int y = 0; y < raster.RowCount(); ++y) {
        const std::uint8_t* row = raster.Row(y);
        ASSERT_TRUE(std::equal(reference.Rows[static_cast<std::size_t>(y)].begin(),
                               reference.Rows[static_cast<std::size_t>(y)].end(), row))
            << "row " << y << " from the bottom differs";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, DecodesLikeDjpeg,
    ::testing::Values(ColourCase{"Subsampled", 333, 217, {"-quality", "90"}},
                      ColourCase{"FullChroma", 64, 48, {"-quality", "85", "-sample", "1x1"}},
                      ColourCase{"Progressive", 201, 123, {"-quality", "75", "-progressive"}},
                      ColourCase{"OnePixel", 1, 1, {}},
                      ColourCase{"Restarts", 100, 300, {"-restart", "1"}},
                      ColourCase{"Arithmetic", 120, 333, {"-arithmetic"}},
                      ColourCase{"ArithmeticRestarts", 97, 301, {"-arithmetic", "-restart", "1"}},
                      ColourCase{
                          "ArithmeticFullChroma", 64, 50, {"-arithmetic", "-sample", "1x1"}}),
    [](const auto& testCase) { return testCase.param.name; });

TEST(LoadJpegFile, GreyscaleFileGives236DitheredLevelsLikeDjpeg) {
    TempDir dir;
    test::WritePnm(test::PageLike24(157, 93, 3), dir / "in.ppm");
    test::RunCjpeg({"-grayscale", "-quality", "90"}, dir / "in.ppm", dir / "grey.jpg");
    test::RunDjpeg({"-grayscale", "-colors", "236", "-bmp"}, dir / "grey.jpg", dir / "ref.bmp");

    const TFastDIB raster = TFastDIB::LoadJpegFile(dir / "grey.jpg");
    const test::Bmp reference = test::ReadBmp(dir / "ref.bmp");
    ASSERT_EQ(reference.BitsPerPixel, 8);
    ASSERT_EQ(raster.BitsPerPixel(), 8);
    ASSERT_EQ(raster.Width(), 157);
    ASSERT_EQ(raster.Height(), 93);
    for (std::size_t i = 0; i < 236; ++i) {
        ASSERT_EQ(raster.Palette()[i], reference.Palette[i]) << "palette entry " << i;
    }
    for (int y = 0; y < raster.RowCount(); ++y) {
        const auto& expected = reference.Rows[static_cast<std::size_t>(y)];
        ASSERT_TRUE(std::equal(expected.begin(), expected.end(), raster.Row(y))) << "row " << y;
    }
}

// Replaces the size in the frame header of a baseline or progressive JPEG.
void PatchFrameSize(std::vector<char>& jpeg, int width, int height) {
    for (std::size_t i = 0; i + 8 < jpeg.size(); ++i) {
        const auto marker = static_cast<unsigned char>(jpeg[i + 1]);
        if (static_cast<unsigned char>(jpeg[i]) == 0xFF && (marker == 0xC0 || marker == 0xC2)) {
            jpeg[i + 5] = static_cast<char>(height >> 8);
            jpeg[i + 6] = static_cast<char>(height & 0xFF);
            jpeg[i + 7] = static_cast<char>(width >> 8);
            jpeg[i + 8] = static_cast<char>(width & 0xFF);
            return;
        }
    }
    FAIL() << "no frame header";
}

// What a bad file is made of, and what error it must give.
struct BadFile {
    const char* name;
    // Turns the bytes of a good 64 x 64 JPEG into the bad file; nullopt means "do not create it".
    std::function<std::optional<std::vector<char>>(std::vector<char>)> make;
    // libjpeg's message number, or -1 for an error that is not the decoder's.
    int jpegCode;
    const char* mustMention;
};

class RefusesBadFile : public ::testing::TestWithParam<BadFile> {};

TEST_P(RefusesBadFile, WithAClearError) {
    const BadFile& c = GetParam();
    TempDir dir;
    test::WritePnm(test::Noise24(64, 64, 5), dir / "in.ppm");
    test::RunCjpeg({}, dir / "in.ppm", dir / "good.jpg");
    const fs::path bad = dir / "bad.jpg";
    if (auto bytes = c.make(test::ReadFileBytes(dir / "good.jpg")))
        test::WriteFileBytes(bad, *bytes);

    const auto started = std::chrono::steady_clock::now();
    try {
        TFastDIB::LoadJpegFile(bad);
        FAIL() << "a bad file loaded";
    } catch (const JpegError& e) {
        EXPECT_EQ(c.jpegCode, e.Code()) << e.Detail();
        EXPECT_EQ(std::string(e.what()), "JPEG error #" + std::to_string(c.jpegCode));
        EXPECT_EQ(e.File(), bad);
        EXPECT_FALSE(e.Detail().empty());
    } catch (const RasterError& e) {
        EXPECT_EQ(c.jpegCode, -1) << e.what();
        EXPECT_NE(std::string(e.what()).find(c.mustMention), std::string::npos) << e.what();
    }
    // A lying header must not make the loader allocate and fill a giant raster first.
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusesBadFile,
    ::testing::Values(BadFile{"Missing", [](auto) { return std::nullopt; }, -1, "bad.jpg"},
                      BadFile{"Empty", [](auto) { return std::vector<char>{}; }, JERR_INPUT_EMPTY,
                              ""},
                      BadFile{"TextNamedJpg",
                              [](auto) {
                                  const std::string text = "just some notes, not a photo\n";
                                  return std::vector<char>(text.begin(), text.end());
                              },
                              JERR_NO_SOI, ""},
                      BadFile{"Truncated",
                              [](std::vector<char> b) {
                                  b.resize(b.size() / 2);
                                  return b;
                              },
                              JWRN_JPEG_EOF, ""},
                      BadFile{"CorruptScan",
                              [](std::vector<char> b) {
                                  // Overwrite the middle of the entropy-coded data with marker-like
                                  // bytes.
                                  for (std::size_t i = b.size() / 2; i < b.size() / 2 + 40; ++i) {
                                      b[i] = static_cast<char>(i % 2 ? 0xFF : 0xD3);
                                  }
                                  return b;
                              },
                              JWRN_HIT_MARKER, ""},
                      BadFile{"HugeHeader",
                              [](std::vector<char> b) {
                                  PatchFrameSize(b, 60000, 60000);
                                  return b;
                              },
                              -1, "60000 x 60000"},
                      BadFile{"HeaderOverTheMemoryBound",
                              [](std::vector<char> b) {
                                  PatchFrameSize(b, 30000, 30000);
                                  return b;
                              },
                              -1, "30000 x 30000"}),
    [](const auto& testCase) { return testCase.param.name; });

// A progressive file's header that passes the raster bound but whose coefficients would need
// more memory than the decoder is given: refused before libjpeg takes it. The control row lies
// under that memory, so it gets as far as the missing scan data.
struct ProgressiveHeader {
    const char* name;
    std::vector<std::string> cjpegOptions;
    int width;
    int height;
    bool overTheDecoderMemory;
};

class ProgressiveHeaderMemory : public ::testing::TestWithParam<ProgressiveHeader> {};

TEST_P(ProgressiveHeaderMemory, IsRefusedBeforeTheCoefficientsAreTaken) {
    const ProgressiveHeader& c = GetParam();
    TempDir dir;
    test::WritePnm(test::Noise24(64, 64, 9), dir / "in.ppm");
    std::vector<std::string> options = c.cjpegOptions;
    options.push_back("-progressive");
    test::RunCjpeg(options, dir / "in.ppm", dir / "small.jpg");
    std::vector<char> bytes = test::ReadFileBytes(dir / "small.jpg");
    PatchFrameSize(bytes, c.width, c.height);
    test::WriteFileBytes(dir / "crafted.jpg", bytes);

    const std::string size = std::to_string(c.width) + " x " + std::to_string(c.height);
    try {
        TFastDIB::LoadJpegFile(dir / "crafted.jpg");
        FAIL() << "a header without scan data loaded";
    } catch (const JpegError& e) {
        EXPECT_FALSE(c.overTheDecoderMemory) << e.Detail();
    } catch (const RasterError& e) {
        EXPECT_TRUE(c.overTheDecoderMemory) << e.what();
        EXPECT_EQ(std::string(e.what()), "LoadJpegFile: \"" + (dir / "crafted.jpg").string() +
                                             "\" is " + size +
                                             " pixels, more than the decoder may hold in memory");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Headers, ProgressiveHeaderMemory,
    ::testing::Values(ProgressiveHeader{"GreyAtTheRasterBound", {"-grayscale"}, 32767, 32767, true},
                      ProgressiveHeader{"FullChroma", {"-sample", "1x1"}, 18000, 18000, true},
                      ProgressiveHeader{"Subsampled", {"-sample", "2x2"}, 10000, 10000, false}),
    [](const auto& testCase) { return testCase.param.name; });

// Scan data cut a third of the way in and closed with an end marker. Huffman decoding warns of
// it; arithmetic decoding carries on from zeros without a word, and the loader must notice.
class CutScan : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(CutScan, IsRefusedAsDamaged) {
    TempDir dir;
    test::WritePnm(test::PageLike24(64, 256, 11), dir / "in.ppm");
    test::RunCjpeg(GetParam(), dir / "in.ppm", dir / "whole.jpg");
    std::vector<char> bytes = test::ReadFileBytes(dir / "whole.jpg");
    std::size_t scan = 0;
    while (scan + 1 < bytes.size() && !(static_cast<unsigned char>(bytes[scan]) == 0xFF &&
                                        static_cast<unsigned char>(bytes[scan + 1]) == 0xDA))
        ++scan;
    bytes.resize(scan + (bytes.size() - scan) / 3);
    bytes.insert(bytes.end(), {static_cast<char>(0xFF), static_cast<char>(0xD9)});
    test::WriteFileBytes(dir / "cut.jpg", bytes);
    try {
        TFastDIB::LoadJpegFile(dir / "cut.jpg");
        FAIL() << "a cut file loaded";
    } catch (const JpegError& e) {
        EXPECT_EQ(e.Code(), JWRN_HIT_MARKER) << e.Detail();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, CutScan,
    ::testing::Values(std::vector<std::string>{}, std::vector<std::string>{"-arithmetic"},
                      std::vector<std::string>{"-arithmetic", "-grayscale"},
                      std::vector<std::string>{"-arithmetic", "-sample", "1x1", "-restart", "1"}));

TEST(LoadJpegFile, MissingFileErrorNamesTheFileAndTheReason) {
    try {
        TFastDIB::LoadJpegFile("/nonexistent/dir/photo.jpg");
        FAIL();
    } catch (const JpegError&) {
        FAIL() << "reported as a decoder error";
    } catch (const RasterError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot open file \"/nonexistent/dir/photo.jpg\": No such file or directory");
    }
}

// Reading the size fails as decoding does: a missing file is no decoder error, and a file that is
// no JPEG names libjpeg's complaint.
TEST(ReadJpegSize, RefusesWhatDecodingRefuses) {
    EXPECT_THROW(
        {
            try {
                ReadJpegSize("/nonexistent/dir/photo.jpg");
            } catch (const JpegError&) {
                FAIL() << "reported as a decoder error";
            }
        },
        RasterError);
    TempDir dir;
    test::WriteFileBytes(dir / "notes.jpg", {'n', 'o', 't', 'e', 's'});
    try {
        ReadJpegSize(dir / "notes.jpg");
        FAIL() << "read a size";
    } catch (const JpegError& e) {
        EXPECT_EQ(e.File(), dir / "notes.jpg");
        EXPECT_EQ(e.Code(), JERR_NO_SOI);
    }
}

TEST(LoadJpegFile, DirectoryIsRefused) {
    TempDir dir;
    EXPECT_THROW(TFastDIB::LoadJpegFile(dir.Path()), RasterError);
}

// A message says what libjpeg said, which its number alone does not, and for a file the window
// names it on a line of its own; any other error reads as it is.
TEST(DescribeJpegError, AddsLibjpegsWordsAndTheFile) {
    TempDir dir;
    test::WriteFileBytes(dir / "notes.jpg", {'n', 'o', 't', 'e', 's'});
    const std::string words = "Not a JPEG file: starts with 0x6e 0x6f";
    try {
        TFastDIB::LoadJpegFile(dir / "notes.jpg");
        FAIL() << "notes loaded";
    } catch (const JpegError& e) {
        EXPECT_EQ(DescribeJpegError(e),
                  "JPEG error #" + std::to_string(JERR_NO_SOI) + " (" + words + ")");
        EXPECT_EQ(JpegFileAndWords(e), (dir / "notes.jpg").string() + ": " + words);
    }
    const JpegError encoding(JERR_IMAGE_TOO_BIG, "Maximum supported image dimension is 65500", {});
    EXPECT_EQ(JpegFileAndWords(encoding), "");
    const RasterError other("LoadJpegFile", "more than a photo may have");
    EXPECT_EQ(DescribeJpegError(other), other.what());
    EXPECT_EQ(JpegFileAndWords(other), "");
}

}  // namespace
}  // namespace lisko
