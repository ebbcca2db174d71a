#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "raster/KernelSupport.h"
#include "raster/Resample.h"
#include "raster/RowBands.h"

namespace lisko {

namespace {

constexpr std::string_view kOperation = "ResizeFast";

// Byte offset within a source row of the pixel that each destination column copies: the running
// column position is the same in every row, so it is walked once for all rows.
std::vector<std::uint32_t> SampleColumns(int sourceWidth, int destWidth, int bytesPerPixel) {
    const std::uint32_t step =
        static_cast<std::uint32_t>(sourceWidth) * FixedOne / static_cast<std::uint32_t>(destWidth);
    std::vector<std::uint32_t> offsets(static_cast<std::size_t>(destWidth));
    std::uint32_t x = 0;
    for (std::uint32_t& offset : offsets) {
        offset = x / FixedOne * static_cast<std::uint32_t>(bytesPerPixel);
        x += step;
    }
    return offsets;
}

}  // namespace

void ResizeFast(const TFastDIB& source, TFastDIB& dest) {
    RequireSameDepth(kOperation, source, dest);
    RequireDistinct(kOperation, source, dest);
    if (dest.IsEmpty()) throw RasterError(kOperation, "destination is empty");
    if (source.IsEmpty()) throw RasterError(kOperation, "source is empty");

    const std::vector<std::uint32_t> offsets =
        SampleColumns(source.Width(), dest.Width(), dest.BytesPerPixel());
    // Steps truncate, so the last row and column sampled stay inside the source.
    const std::uint32_t rowStep = static_cast<std::uint32_t>(source.RowCount()) * FixedOne /
                                  static_cast<std::uint32_t>(dest.RowCount());

    WithPixelSize(dest.BytesPerPixel(), [&](auto pixelBytes) {
        constexpr int kPixelBytes = decltype(pixelBytes)::value;
        ForEachRowBand(dest.RowCount(), dest.Width(), [&](int first, int last) {
            // The running row position wraps in 32 bits like the sum of `first` steps would.
            std::uint32_t y = static_cast<std::uint32_t>(first) * rowStep;
            for (int j = first; j < last; ++j) {
                const std::uint8_t* from = source.Row(static_cast<int>(y / FixedOne));
                std::uint8_t* to = dest.Row(j);
                for (const std::uint32_t offset : offsets) {
                    std::memcpy(to, from + offset, kPixelBytes);
                    to += kPixelBytes;
                }
                y += rowStep;
            }
        });
    });
}

}  // namespace lisko
