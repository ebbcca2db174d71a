#include "raster/AndShrink.h"

#include <algorithm>
#include <vector>

#include "raster/FastDIB.h"

namespace lisko {

namespace {

// The source span [first, last) of each destination index along one axis.
struct Span {
    int first;
    int last;
};

std::vector<Span> Spans(int sourceSize, int destSize) {
    std::vector<Span> spans(static_cast<std::size_t>(destSize));
    for (int i = 0; i < destSize; ++i) {
        const auto first = static_cast<int>(std::int64_t{i} * sourceSize / destSize);
        const auto next = static_cast<int>(std::int64_t{i + 1} * sourceSize / destSize);
        spans[static_cast<std::size_t>(i)] = {first, std::max(next, first + 1)};
    }
    return spans;
}

}  // namespace

void StretchAndCombine24(const std::uint8_t* source, std::ptrdiff_t sourceStride, int width,
                         int height, std::uint8_t* dest, std::ptrdiff_t destStride, int destWidth,
                         int destHeight) {
    if (width <= 0 || height <= 0) throw RasterError("StretchAndCombine24", "source is empty");
    if (destWidth <= 0 || destHeight <= 0) {
        throw RasterError("StretchAndCombine24", "destination is empty");
    }
    const std::vector<Span> columns = Spans(width, destWidth);
    const std::vector<Span> rows = Spans(height, destHeight);

    std::vector<std::uint8_t> combined(static_cast<std::size_t>(width) * 3);
    for (int j = 0; j < destHeight; ++j) {
        const Span& r = rows[static_cast<std::size_t>(j)];
        // First AND the source rows of this destination row together, then the columns.
        std::fill(combined.begin(), combined.end(), std::uint8_t{0xFF});
        for (int y = r.first; y < r.last; ++y) {
            const std::uint8_t* line = source + y * sourceStride;
            for (std::size_t b = 0; b < combined.size(); ++b)
                combined[b] &= line[b];
        }
        std::uint8_t* out = dest + j * destStride;
        for (int i = 0; i < destWidth; ++i) {
            const Span& c = columns[static_cast<std::size_t>(i)];
            std::uint8_t blue = 0xFF, green = 0xFF, red = 0xFF;
            for (int x = c.first; x < c.last; ++x) {
                blue &= combined[3 * static_cast<std::size_t>(x)];
                green &= combined[3 * static_cast<std::size_t>(x) + 1];
                red &= combined[3 * static_cast<std::size_t>(x) + 2];
            }
            out[3 * i] = blue;
            out[3 * i + 1] = green;
            out[3 * i + 2] = red;
        }
    }
}

}  // namespace lisko
