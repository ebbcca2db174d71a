#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "raster/FastDIB.h"

namespace lisko::test {

// A fresh directory under the system's temporary directory, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Writes a binary PPM (24-bit raster) or PGM (8-bit raster, indices as grey values), top row first.
void WritePnm(const TFastDIB& raster, const std::filesystem::path& file);

// Runs the libjpeg reference tools with the given options; the test fails on a non-zero exit.
void RunCjpeg(const std::vector<std::string>& options, const std::filesystem::path& in,
              const std::filesystem::path& out);
void RunDjpeg(const std::vector<std::string>& options, const std::filesystem::path& in,
              const std::filesystem::path& out);

// An uncompressed BMP as the reference decoder writes it.
struct Bmp {
    int Width = 0;
    int Height = 0;
    int BitsPerPixel = 0;
    Palette256 Palette{};
    // Unpadded rows, bottom row first (the order of the row table).
    std::vector<std::vector<std::uint8_t>> Rows;
};
Bmp ReadBmp(const std::filesystem::path& file);

std::vector<char> ReadFileBytes(const std::filesystem::path& file);
void WriteFileBytes(const std::filesystem::path& file, const std::vector<char>& bytes);

}  // namespace lisko::test
