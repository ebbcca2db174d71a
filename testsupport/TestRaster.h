#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <vector>

#include "raster/FastDIB.h"

namespace lisko {

inline std::ostream& operator<<(std::ostream& os, const BgrColor& c) {
    return os << "(b" << int{c.Blue} << " g" << int{c.Green} << " r" << int{c.Red} << ")";
}

namespace test {

// x counts from the left, row from the bottom (row-table order).
using PixelFunction = std::function<BgrColor(int x, int row)>;

TFastDIB Raster24(int width, int height, const PixelFunction& pixel);
TFastDIB Uniform24(int width, int height, BgrColor color);
// Deterministic noise; the same seed gives the same raster.
TFastDIB Noise24(int width, int height, std::uint32_t seed);
// Something like a photographed page: a lit gradient, soft shadows and dark strokes of writing.
TFastDIB PageLike24(int width, int height, std::uint32_t seed);
// The grey copy of PageLike24, as an 8-bit raster.
TFastDIB PageLikeGrey(int width, int height, std::uint32_t seed);

// Deterministic noise of palette indices; the palette stays black.
TFastDIB Noise8(int width, int height, std::uint32_t seed);

// values holds the rows bottom first, `width` values each.
TFastDIB Raster8(int width, int height, const std::vector<std::uint8_t>& values);
std::vector<std::uint8_t> Values8(const TFastDIB& raster);

BgrColor PixelAt(const TFastDIB& raster, int x, int row);
void SetPixel(TFastDIB& raster, int x, int row, BgrColor color);

// Compares the visible pixels of two rasters (never the row padding).
bool SamePixels(const TFastDIB& a, const TFastDIB& b);

// The kernels' row loops use `count` threads while the object lives, one per core afterwards.
class RasterThreadsScope {
public:
    explicit RasterThreadsScope(int count);
    ~RasterThreadsScope();
    RasterThreadsScope(const RasterThreadsScope&) = delete;
    RasterThreadsScope& operator=(const RasterThreadsScope&) = delete;
};

}  // namespace test
}  // namespace lisko
