#include "testsupport/JpegTools.h"

#include "testsupport/Process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <stdexcept>

namespace lisko::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::random_device seed;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate =
            fs::temp_directory_path() / ("lisko-test-" + std::to_string(seed()));
        if (fs::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary directory");
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void WritePnm(const TFastDIB& raster, const fs::path& file) {
    std::ofstream out(file, std::ios::binary);
    const bool colour = raster.BitsPerPixel() == 24;
    out << (colour ? "P6\n" : "P5\n") << raster.Width() << ' ' << raster.Height() << "\n255\n";
    for (int y = raster.RowCount() - 1; y >= 0; --y) {
        const std::uint8_t* row = raster.Row(y);
        for (int x = 0; x < raster.Width(); ++x) {
            if (colour) {
                const char rgb[3] = {static_cast<char>(row[3 * x + 2]),
                                     static_cast<char>(row[3 * x + 1]),
                                     static_cast<char>(row[3 * x])};
                out.write(rgb, 3);
            } else {
                out.put(static_cast<char>(row[x]));
            }
        }
    }
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

namespace {

void Run(const char* tool, const std::vector<std::string>& options, const fs::path& in,
         const fs::path& out) {
    std::vector<std::string> args = options;
    args.insert(args.end(), {"-outfile", out.string(), in.string()});
    const ProcessResult result = RunProgram(tool, args);
    ASSERT_EQ(result.exitCode, 0) << tool << " failed on " << in << ": " << result.err;
}

std::uint32_t Le32(const std::vector<char>& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<std::uint8_t>(b.at(at + i));
    return v;
}

}  // namespace

void RunCjpeg(const std::vector<std::string>& options, const fs::path& in, const fs::path& out) {
    Run(CJPEG_EXECUTABLE, options, in, out);
}

void RunDjpeg(const std::vector<std::string>& options, const fs::path& in, const fs::path& out) {
    Run(DJPEG_EXECUTABLE, options, in, out);
}

std::vector<char> ReadFileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const fs::path& file, const std::vector<char>& bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

Bmp ReadBmp(const fs::path& file) {
    const std::vector<char> b = ReadFileBytes(file);
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') throw std::runtime_error("not a BMP");
    Bmp bmp;
    const std::uint32_t pixelsAt = Le32(b, 10);
    bmp.Width = static_cast<int>(Le32(b, 18));
    bmp.Height = static_cast<int>(Le32(b, 22));
    bmp.BitsPerPixel = static_cast<std::uint8_t>(b[28]) | static_cast<std::uint8_t>(b[29]) << 8;
    const std::size_t headerEnd = 14 + Le32(b, 14);
    for (std::size_t i = 0; headerEnd + 4 * i + 3 < pixelsAt && i < 256; ++i) {
        const std::size_t at = headerEnd + 4 * i;
        bmp.Palette[i] = {static_cast<std::uint8_t>(b[at]), static_cast<std::uint8_t>(b[at + 1]),
                          static_cast<std::uint8_t>(b[at + 2]), 0};
    }
    const int rowBytes = RowBytesFor(bmp.Width, bmp.BitsPerPixel);
    if (pixelsAt + static_cast<std::size_t>(rowBytes) * bmp.Height > b.size()) {
        throw std::runtime_error("BMP shorter than its header says");
    }
    const std::size_t used = static_cast<std::size_t>(bmp.Width) * bmp.BitsPerPixel / 8;
    for (int y = 0; y < bmp.Height; ++y) {
        const auto* row = reinterpret_cast<const std::uint8_t*>(b.data()) + pixelsAt +
                          static_cast<std::size_t>(y) * rowBytes;
        bmp.Rows.emplace_back(row, row + used);
    }
    return bmp;
}

}  // namespace lisko::test
