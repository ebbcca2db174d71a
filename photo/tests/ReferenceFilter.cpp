#include "photo/tests/ReferenceFilter.h"

#include <algorithm>
#include <array>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace lisko::reference {

namespace {

std::uint8_t& At(TFastDIB& raster, std::int64_t x, std::int64_t y) {
    return raster.Row(static_cast<int>(y))[x];
}

}  // namespace

void SmoothGray(TFastDIB& raster, int spread) {
    const std::int64_t a = spread;
    const std::int64_t width = raster.Width();
    const std::int64_t rows = raster.RowCount();
    for (std::int64_t y = 0; y < rows; ++y) {
        for (std::int64_t x = 0; x < width; ++x) {
            const std::int64_t yLo = std::max<std::int64_t>(y - a, 0);
            const std::int64_t yHi = std::min<std::int64_t>(y + a, rows - 1);
            const std::int64_t xLo = std::max<std::int64_t>(x - a, 0);
            const std::int64_t xHi = std::min<std::int64_t>(x + a, width - 1);
            const int sum = At(raster, xLo, yLo) + At(raster, xHi, yLo) + At(raster, xLo, yHi) +
                            At(raster, xHi, yHi);
            At(raster, x, y) = static_cast<std::uint8_t>(sum / 4);
        }
    }
}

void BlackWhiteFilter(int imageType, int brightness, int contrast, TFastDIB& raster) {
    if (imageType == 0) return;
    const std::int64_t tile = std::int64_t{std::max(brightness, 0)} + 1;
    const std::int64_t passes = std::int64_t{std::max(contrast, 0)} + 1;
    const int width = raster.Width();
    const int height = raster.Height();

    TFastDIB grey = TFastDIB::CreateBlank(width, height, 8);
    raster.ToGray8(grey);
    TFastDIB background = TFastDIB::CreateBlank(width, height, 8);
    background.FillGrayPalette(0, 255, std::array{BgrBlack, BgrWhite});

    for (std::int64_t y0 = 0; y0 < height; y0 += tile) {
        for (std::int64_t x0 = 0; x0 < width; x0 += tile) {
            const std::int64_t y1 = std::min<std::int64_t>(y0 + tile, height);
            const std::int64_t x1 = std::min<std::int64_t>(x0 + tile, width);
            std::uint8_t m = 0;
            for (std::int64_t y = y0; y < y1; ++y) {
                for (std::int64_t x = x0; x < x1; ++x)
                    m = std::max(m, At(grey, x, y));
            }
            for (std::int64_t y = y0; y < y1; ++y) {
                for (std::int64_t x = x0; x < x1; ++x)
                    At(background, x, y) = m;
            }
        }
    }

    for (std::int64_t spread = 1; spread <= passes; ++spread) {
        // Only the pass after the largest int would need the cap, and no test runs that long.
        SmoothGray(background, static_cast<int>(std::min<std::int64_t>(
                                   spread, std::numeric_limits<int>::max())));
    }

    // The default rounding mode rounds to the nearest, ties to even.
    const int previousMode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int g = At(grey, x, y);
            const int b = At(background, x, y);
            const int t = 3 * b / 10;
            const int d = b - t;
            double v = 255.0;
            if (d != 0) v = std::nearbyint(static_cast<double>(g - t) * 255.0 / d);
            if (v > 240.0) v = 255.0;
            if (v < 0.0) v = 0.0;
            At(background, x, y) = static_cast<std::uint8_t>(v);
        }
    }
    std::fesetround(previousMode);

    background.ConvertInto(raster);
}

}  // namespace lisko::reference
