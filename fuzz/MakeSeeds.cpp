// Writes the fuzzers' seed inputs, made from the tests' own picture generators and the program's
// own encoders: photos of several shapes, depths and encodings (each behind its eight setting
// bytes), two headers that ask for more memory than a photo may take, and version texts and
// blocks.
//
// Usage: lisko_fuzz_seeds DIR   (writes DIR/photo and DIR/version)

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "identity/VersionInfo.h"
#include "raster/Jpeg.h"
#include "testsupport/JpegTools.h"
#include "testsupport/TestRaster.h"

namespace {

namespace fs = std::filesystem;
using lisko::TFastDIB;

void Write(const fs::path& file, const std::vector<char>& bytes) {
    lisko::test::WriteFileBytes(file, bytes);
}

std::vector<char> WithSettings(std::vector<char> settings, const std::vector<char>& jpeg) {
    settings.insert(settings.end(), jpeg.begin(), jpeg.end());
    return settings;
}

// Replaces the size in the first frame header.
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
}

struct Encoding {
    const char* name;
    std::vector<std::string> cjpegOptions;
};

void PhotoSeeds(const fs::path& dir, const fs::path& work) {
    struct Shape {
        const char* name;
        TFastDIB raster;
    };
    std::vector<Shape> shapes;
    shapes.push_back({"page", lisko::test::PageLike24(48, 64, 1)});
    shapes.push_back({"landscape", lisko::test::PageLike24(80, 36, 2)});
    shapes.push_back({"noise", lisko::test::Noise24(17, 23, 3)});
    shapes.push_back({"narrow", lisko::test::PageLike24(1, 40, 4)});
    shapes.push_back({"pixel", lisko::test::Uniform24(1, 1, lisko::BgrColor{10, 200, 90})});

    const std::vector<Encoding> encodings = {
        {"baseline", {"-quality", "85"}},
        {"progressive", {"-progressive"}},
        {"grey", {"-grayscale"}},
        {"restarts", {"-restart", "1", "-sample", "1x1"}},
        {"optimized", {"-optimize", "-quality", "40"}},
        {"arithmetic", {"-arithmetic"}},
    };
    // Colour with brightness, black and white with a small tile, turned and cropped.
    const std::vector<std::vector<char>> settings = {
        {0, 0, 0, 0, 0, 0, 32, 30},
        {1, 1, 5, 10, 0, 20, 3, 1},
        {2, 1, 50, 49, 0, 0, 0, 0},
        {3, 0, 0, 0, 30, 40, 50, 10},
    };

    int n = 0;
    for (const Shape& shape : shapes) {
        const fs::path ppm = work / (std::string(shape.name) + ".ppm");
        lisko::test::WritePnm(shape.raster, ppm);
        const std::vector<std::uint8_t> own = lisko::EncodeJpeg(shape.raster, 85);
        Write(dir / (std::string(shape.name) + "-own"),
              WithSettings(settings[static_cast<std::size_t>(n++) % settings.size()],
                           std::vector<char>(own.begin(), own.end())));
        for (const Encoding& e : encodings) {
            const fs::path jpeg = work / "seed.jpg";
            lisko::test::RunCjpeg(e.cjpegOptions, ppm, jpeg);
            Write(dir / (std::string(shape.name) + "-" + e.name),
                  WithSettings(settings[static_cast<std::size_t>(n++) % settings.size()],
                               lisko::test::ReadFileBytes(jpeg)));
        }
    }

    // Headers a crafted file could carry: within the raster's side limit but not its memory, and
    // far beyond both.
    const fs::path ppm = work / "noise.ppm";
    const fs::path jpeg = work / "seed.jpg";
    lisko::test::RunCjpeg({"-progressive", "-grayscale"}, ppm, jpeg);
    std::vector<char> grey = lisko::test::ReadFileBytes(jpeg);
    PatchFrameSize(grey, 32767, 32767);
    Write(dir / "header-32767-grey-progressive", WithSettings(settings[0], grey));
    lisko::test::RunCjpeg({"-progressive"}, ppm, jpeg);
    std::vector<char> colour = lisko::test::ReadFileBytes(jpeg);
    PatchFrameSize(colour, 60000, 60000);
    Write(dir / "header-60000-progressive", WithSettings(settings[0], colour));
}

std::vector<char> Text(const std::string& contentType, const std::string& body) {
    std::vector<char> bytes{static_cast<char>(contentType.size())};
    bytes.insert(bytes.end(), contentType.begin(), contentType.end());
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

void VersionSeeds(const fs::path& dir) {
    Write(dir / "text-plain", Text("text/plain", "2.7.0.2"));
    Write(dir / "text-utf8",
          Text("text/plain; charset=\"UTF-8\"", "2.8 \xd0\xb1\xd0\xb5\xd1\x82\xd0\xb0"));
    Write(dir / "text-cp1251", Text("text/html;charset=windows-1251", "2.8 \xe1\xe5\xf2\xe0"));
    Write(dir / "text-empty", Text("", ""));

    const auto block = [&](const char* name, const lisko::VersionBlockContent& content) {
        const std::vector<std::uint8_t> bytes = lisko::BuildVersionBlock(content);
        Write(dir / name, std::vector<char>(bytes.begin(), bytes.end()));
    };
    block("block-program", lisko::ProgramVersionBlock({2, 7, 0, 1}));
    lisko::VersionBlockContent two = lisko::ProgramVersionBlock({1, 2, 3, 4});
    two.Translations.insert(two.Translations.begin(), {0x0409, 0x04B0});
    two.StringTables.push_back(
        {{0x0409, 0x04B0}, {{u"ProductName", u"x"}, {u"FileVersion", u"9"}}});
    block("block-two-translations", two);
    lisko::VersionBlockContent none = lisko::ProgramVersionBlock({0, 0, 0, 0});
    none.Translations.clear();
    block("block-no-translation", none);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: lisko_fuzz_seeds DIR\n");
        return 2;
    }
    const fs::path root = argv[1];
    fs::create_directories(root / "photo");
    fs::create_directories(root / "version");
    const lisko::test::TempDir work;
    PhotoSeeds(root / "photo", work.Path());
    VersionSeeds(root / "version");
    return 0;
}
