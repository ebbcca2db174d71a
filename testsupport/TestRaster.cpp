#include "testsupport/TestRaster.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

#include "raster/RowBands.h"

namespace lisko::test {

TFastDIB Raster24(int width, int height, const PixelFunction& pixel) {
    TFastDIB raster = TFastDIB::CreateBlank(width, height, 24);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            SetPixel(raster, x, y, pixel(x, y));
    }
    return raster;
}

TFastDIB Uniform24(int width, int height, BgrColor color) {
    return Raster24(width, height, [color](int, int) { return color; });
}

TFastDIB Noise24(int width, int height, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    return Raster24(width, height, [&](int, int) {
        return BgrColor{static_cast<std::uint8_t>(byte(random)),
                        static_cast<std::uint8_t>(byte(random)),
                        static_cast<std::uint8_t>(byte(random))};
    });
}

TFastDIB PageLike24(int width, int height, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::normal_distribution<double> grain(0.0, 4.0);
    const double lineSpacing = std::max(8.0, height / 40.0);
    return Raster24(width, height, [&](int x, int y) {
        // Paper lit from one corner, darker towards the opposite one.
        const double light = 200.0 + 40.0 * (x + y) / (width + height);
        // Handwriting: short wavy strokes on evenly spaced lines.
        const double phase = std::fmod(y, lineSpacing) / lineSpacing;
        const bool ink = phase > 0.35 && phase < 0.55 &&
                         std::sin(x * 0.21 + std::floor(y / lineSpacing) * 1.7) > 0.2 &&
                         std::sin(x * 0.013 + y * 0.004) > -0.6;
        double v = (ink ? 60.0 : light) + grain(random);
        v = std::clamp(v, 0.0, 255.0);
        const auto g = static_cast<std::uint8_t>(v);
        return BgrColor{static_cast<std::uint8_t>(g * 0.92), g,
                        static_cast<std::uint8_t>(std::min(255.0, g * 1.03))};
    });
}

TFastDIB PageLikeGrey(int width, int height, std::uint32_t seed) {
    TFastDIB grey;
    PageLike24(width, height, seed).ToGray8(grey);
    return grey;
}

TFastDIB Noise8(int width, int height, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    TFastDIB raster = TFastDIB::CreateBlank(width, height, 8);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            raster.Row(y)[x] = static_cast<std::uint8_t>(byte(random));
    }
    return raster;
}

TFastDIB Raster8(int width, int height, const std::vector<std::uint8_t>& values) {
    TFastDIB raster = TFastDIB::CreateBlank(width, height, 8);
    for (int y = 0; y < height; ++y) {
        std::memcpy(raster.Row(y), values.data() + static_cast<std::size_t>(y) * width,
                    static_cast<std::size_t>(width));
    }
    return raster;
}

std::vector<std::uint8_t> Values8(const TFastDIB& raster) {
    std::vector<std::uint8_t> values;
    for (int y = 0; y < raster.RowCount(); ++y) {
        values.insert(values.end(), raster.Row(y), raster.Row(y) + raster.Width());
    }
    return values;
}

BgrColor PixelAt(const TFastDIB& raster, int x, int row) {
    const std::uint8_t* p = raster.Row(row) + 3 * x;
    return {p[0], p[1], p[2]};
}

void SetPixel(TFastDIB& raster, int x, int row, BgrColor color) {
    std::uint8_t* p = raster.Row(row) + 3 * x;
    p[0] = color.Blue;
    p[1] = color.Green;
    p[2] = color.Red;
}

bool SamePixels(const TFastDIB& a, const TFastDIB& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height() ||
        a.BitsPerPixel() != b.BitsPerPixel()) {
        return false;
    }
    const auto bytes = static_cast<std::size_t>(a.Width() * a.BytesPerPixel());
    for (int y = 0; y < a.RowCount(); ++y) {
        if (std::memcmp(a.Row(y), b.Row(y), bytes) != 0) return false;
    }
    return true;
}

RasterThreadsScope::RasterThreadsScope(int count) {
    SetRasterThreads(count);
}

RasterThreadsScope::~RasterThreadsScope() {
    SetRasterThreads(0);
}

}  // namespace lisko::test
