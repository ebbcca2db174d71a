#include "photo/BlackWhiteFilter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "raster/RowBands.h"

namespace lisko {

namespace {

// Nearest integer, ties to the even one, independent of the floating-point rounding mode.
double RoundHalfEven(double value) {
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5) return below + 1.0;
    if (fraction < 0.5) return below;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

// NormalizeGrey for every (background, grey) pair, indexed background * 256 + grey: the filter's
// work per pixel becomes one lookup instead of a division. Built once; it never changes.
using NormalizeTable = std::array<std::uint8_t, 256 * 256>;

const NormalizeTable& Normalized() {
    static const NormalizeTable table = [] {
        NormalizeTable t{};
        for (int background = 0; background < 256; ++background) {
            for (int grey = 0; grey < 256; ++grey) {
                t[static_cast<std::size_t>(background * 256 + grey)] =
                    static_cast<std::uint8_t>(NormalizeGrey(grey, background));
            }
        }
        return t;
    }();
    return table;
}

// How many tiles of a row of `width` pixels have a column `offset` pixels from their left edge: the
// last tile may be too narrow.
int TilesReaching(int width, int tile, int offset) {
    return (width - offset + tile - 1) / tile;
}

// Each tile's brightest grey, written over the whole tile. Tiles start at column 0 and at row 0,
// the bottom row, so the last column of tiles may be narrower and the top row of tiles lower.
void EstimateBackground(const TFastDIB& grey, int tile, TFastDIB& background) {
    const int width = grey.Width();
    const int rows = grey.RowCount();
    const int tiles = TilesReaching(width, tile, 0);
    const int tileRows = TilesReaching(rows, tile, 0);
    // The rows of tiles are independent of one another; each band of them has its own maxima.
    ForEachRowBand(tileRows, std::int64_t{width} * tile, [&](int firstTileRow, int lastTileRow) {
        std::vector<std::uint8_t> tileMax(static_cast<std::size_t>(tiles));
        for (int tileRow = firstTileRow; tileRow < lastTileRow; ++tileRow) {
            const int y0 = tileRow * tile;
            const int y1 = std::min(y0 + tile, rows);
            // The band's column maxima, gathered in the band's first row of the background.
            std::uint8_t* first = background.Row(y0);
            std::copy_n(grey.Row(y0), width, first);
            for (int y = y0 + 1; y < y1; ++y) {
                const std::uint8_t* g = grey.Row(y);
                for (int x = 0; x < width; ++x)
                    first[x] = std::max(first[x], g[x]);
            }
            // Then the maxima over each tile's columns, and back over those columns. The loops
            // run over the tiles at one column offset at a time, so that small tiles cost no loop
            // per tile.
            for (int k = 0; k < tiles; ++k)
                tileMax[static_cast<std::size_t>(k)] = first[k * tile];
            for (int offset = 1; offset < tile; ++offset) {
                const int reached = TilesReaching(width, tile, offset);
                for (int k = 0; k < reached; ++k) {
                    std::uint8_t& m = tileMax[static_cast<std::size_t>(k)];
                    m = std::max(m, first[k * tile + offset]);
                }
            }
            for (int offset = 0; offset < tile; ++offset) {
                const int reached = TilesReaching(width, tile, offset);
                for (int k = 0; k < reached; ++k)
                    first[k * tile + offset] = tileMax[static_cast<std::size_t>(k)];
            }
            for (int y = y0 + 1; y < y1; ++y)
                std::copy_n(first, width, background.Row(y));
        }
    });
}

// Contrast + 1 passes with spreads 1, 2, ..., contrast + 1. The last pass is run on its own so
// that the largest int cannot overflow; a spread past the largest side smooths like any other
// spread that reaches across the raster, so capping it there changes nothing.
void SmoothBackground(TFastDIB& background, int contrast) {
    const int before = std::max(contrast, 0);
    RunSmoothPasses(background, before);
    SmoothGray(background, std::min(before, TFastDIB::MaxSide) + 1);
}

}  // namespace

// The result of every pixel is the palette entry of its normalised value, as converting the 8-bit
// result into the 24-bit picture would give, written straight into the picture. The entries of the
// grey ramp are grey, so one byte per (paper, grey) pair carries all three channels.
void WriteBlackWhite(const TFastDIB& grey, const TFastDIB& paper, TFastDIB& picture) {
    const NormalizeTable& normalized = Normalized();
    const Palette256& palette = paper.Palette();
    NormalizeTable shown;
    for (std::size_t i = 0; i < shown.size(); ++i)
        shown[i] = palette[normalized[i]].Blue;

    const int width = picture.Width();
    ForEachRowBand(picture.RowCount(), width, [&](int firstRow, int lastRow) {
        for (int y = firstRow; y < lastRow; ++y) {
            const std::uint8_t* g = grey.Row(y);
            const std::uint8_t* b = paper.Row(y);
            std::uint8_t* p = picture.Row(y);
            for (int x = 0; x < width; ++x, p += 3) {
                const std::uint8_t v = shown[static_cast<std::size_t>(b[x] * 256 + g[x])];
                p[0] = v;
                p[1] = v;
                p[2] = v;
            }
        }
    });
}

int NormalizeGrey(int grey, int background) {
    if (grey < 0 || grey > 255 || background < 0 || background > 255) {
        throw RasterError("NormalizeGrey", "grey " + std::to_string(grey) + " and background " +
                                               std::to_string(background) +
                                               " must both lie in 0..255");
    }
    const int blackPoint = 3 * background / 10;
    const int range = background - blackPoint;
    if (range == 0) return 255;
    int v = static_cast<int>(RoundHalfEven(static_cast<double>((grey - blackPoint) * 255) / range));
    if (v > WhiteCutoff) v = 255;
    return std::max(v, 0);
}

void BlackWhiteFilter(int imageType, int brightness, int contrast, TFastDIB& raster) {
    if (imageType == 0) return;
    if (raster.BitsPerPixel() != 24) {
        throw RasterError("BlackWhiteFilter", "needs a 24-bit raster, not " +
                                                  std::to_string(raster.BitsPerPixel()) +
                                                  " bits per pixel");
    }
    if (raster.IsEmpty()) return;

    TFastDIB grey = TFastDIB::CreateBlank(raster.Width(), raster.Height(), 8);
    raster.ToGray8(grey);
    WriteBlackWhite(grey, PaperBrightness(grey, brightness, contrast), raster);
}

TFastDIB PaperBrightness(const TFastDIB& grey, int brightness, int contrast) {
    // Tiles at least as large as the picture all cover it whole; the cap keeps brightness + 1 from
    // overflowing.
    const int tile = std::min(std::max(brightness, 0), TFastDIB::MaxSide) + 1;
    TFastDIB background = TFastDIB::CreateBlank(grey.Width(), grey.Height(), 8);
    background.FillGrayPalette(0, 255, std::array{BgrBlack, BgrWhite});
    EstimateBackground(grey, tile, background);
    SmoothBackground(background, contrast);
    return background;
}

}  // namespace lisko
