#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "raster/KernelSupport.h"
#include "raster/Resample.h"
#include "raster/RowBands.h"

namespace lisko {

namespace {

constexpr std::string_view kOperation = "ResizeSmooth";

// Where one destination column samples the source: the byte offsets of the left pixel and of its
// right-hand neighbour within a row, and the 16-bit fraction of the way from one to the other.
struct ColumnSample {
    std::uint32_t left;
    std::uint32_t right;
    std::uint32_t fraction;
};

// The running column position is the same in every row, so it is walked once for all rows.
std::vector<ColumnSample> SampleColumns(int sourceWidth, int destWidth, int bytesPerPixel) {
    const auto lastColumn = static_cast<std::uint32_t>(sourceWidth - 1);
    const std::uint32_t step = lastColumn * FixedOne / static_cast<std::uint32_t>(destWidth);
    const auto pixelBytes = static_cast<std::uint32_t>(bytesPerPixel);
    std::vector<ColumnSample> columns(static_cast<std::size_t>(destWidth));
    std::uint32_t x = 0;
    for (ColumnSample& column : columns) {
        const std::uint32_t ix = x / FixedOne;
        // The step keeps ix below the last column unless the source is one pixel wide; there the
        // fraction is 0, so the clamped neighbour gets weight 0 and nothing past the row is read.
        const std::uint32_t neighbour = std::min(ix + 1, lastColumn);
        column = {ix * pixelBytes, neighbour * pixelBytes, x % FixedOne};
        x += step;
    }
    return columns;
}

template <int PixelBytes>
void BlendRow(const std::uint8_t* lower, const std::uint8_t* upper, std::uint32_t lowerWeight,
              std::uint32_t upperWeight, const std::vector<ColumnSample>& columns,
              std::uint8_t* out) {
    for (const ColumnSample& c : columns) {
        // Unsigned: a row weight times the fraction comes close to 2^32.
        const std::uint32_t w01 = lowerWeight * c.fraction / FixedOne;
        const std::uint32_t w00 = lowerWeight - w01;
        const std::uint32_t w11 = upperWeight * c.fraction / FixedOne;
        const std::uint32_t w10 = upperWeight - w11;
        for (int k = 0; k < PixelBytes; ++k) {
            const std::uint32_t sum = lower[c.left + k] * w00 + lower[c.right + k] * w01 +
                                      upper[c.left + k] * w10 + upper[c.right + k] * w11;
            out[k] = static_cast<std::uint8_t>(sum / FixedOne);
        }
        out += PixelBytes;
    }
}

}  // namespace

void ResizeSmooth(const TFastDIB& source, TFastDIB& dest) {
    RequireSameDepth(kOperation, source, dest);
    RequireDistinct(kOperation, source, dest);
    if (dest.IsEmpty()) throw RasterError(kOperation, "destination is empty");
    if (source.IsEmpty()) throw RasterError(kOperation, "source is empty");

    const std::vector<ColumnSample> columns =
        SampleColumns(source.Width(), dest.Width(), dest.BytesPerPixel());
    const int lastRow = source.RowCount() - 1;
    const std::uint32_t rowStep = static_cast<std::uint32_t>(lastRow) * FixedOne /
                                  static_cast<std::uint32_t>(dest.RowCount());

    WithPixelSize(dest.BytesPerPixel(), [&](auto pixelBytes) {
        ForEachRowBand(dest.RowCount(), dest.Width(), [&](int first, int last) {
            // The running row position wraps in 32 bits like the sum of `first` steps would.
            std::uint32_t y = static_cast<std::uint32_t>(first) * rowStep;
            for (int j = first; j < last; ++j) {
                const auto iy = static_cast<int>(y / FixedOne);
                const std::uint32_t fy = y % FixedOne;
                // The row weights add up to 65537: a channel sum stays below 256 * 65536, so the
                // result fits a byte and a uniform picture stays uniform.
                BlendRow<decltype(pixelBytes)::value>(source.Row(iy),
                                                      source.Row(std::min(iy + 1, lastRow)),
                                                      FixedOne - fy, fy + 1, columns, dest.Row(j));
                y += rowStep;
            }
        });
    });
}

}  // namespace lisko
