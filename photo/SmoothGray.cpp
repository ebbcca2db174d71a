#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "photo/BlackWhiteFilter.h"

namespace lisko {

namespace {

// The bottom and the top row: two corners lie in the row being rewritten, the one left of x
// already rewritten and the one at or right of x not yet, so the pixels go strictly in order.
// `other` is the row holding the remaining two corners; it is `row` itself in a one-row raster.
void SmoothEdgeRow(std::uint8_t* row, const std::uint8_t* other, int width, int spread) {
    for (int x = 0; x < width; ++x) {
        const int lo = std::max(x - spread, 0);
        const int hi = std::min(x + spread, width - 1);
        row[x] = static_cast<std::uint8_t>((row[lo] + row[hi] + other[lo] + other[hi]) >> 2);
    }
}

// The inner rows are where the filter spends its time. On x86-64 processors with AVX2 they run on
// vectors twice as wide (about a tenth off the whole filter at 21 passes); the version is picked
// once when the program loads, and other processors run the baseline one built from the same
// source. ThreadSanitizer builds keep to the baseline: the loader runs the picking function before
// the sanitizer's runtime is up, and the instrumented function crashes the program at load.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__SANITIZE_THREAD__)
#define LISKO_ROW_KERNEL __attribute__((target_clones("avx2", "default")))
#else
#define LISKO_ROW_KERNEL
#endif

// Every other row reads only a row below it (already rewritten) and a row above it (not yet), never
// itself, so its pixels do not depend on one another. The column sums of those two rows go into
// `sums` with `spread` copies of the first sum before them and of the last after them; the clamped
// corners x - spread and x + spread are then simply sums[x] and sums[x + 2 * spread], and the loop
// runs over whole vectors.
LISKO_ROW_KERNEL void SmoothInnerRow(std::uint8_t* __restrict row,
                                     const std::uint8_t* __restrict below,
                                     const std::uint8_t* __restrict above, int width, int spread,
                                     std::uint16_t* __restrict sums) {
    std::uint16_t* inner = sums + spread;
    for (int x = 0; x < width; ++x)
        inner[x] = static_cast<std::uint16_t>(below[x] + above[x]);
    std::fill(sums, inner, inner[0]);
    std::fill(inner + width, inner + width + spread, inner[width - 1]);
    const std::uint16_t* right = sums + 2 * spread;
    for (int x = 0; x < width; ++x)
        row[x] = static_cast<std::uint8_t>((sums[x] + right[x]) >> 2);
}

}  // namespace

void SmoothGray(TFastDIB& raster, int spread) {
    if (spread < 1) {
        throw RasterError("SmoothGray",
                          "the spread must be at least 1, not " + std::to_string(spread));
    }
    if (raster.BitsPerPixel() != 8) {
        throw RasterError("SmoothGray", "needs an 8-bit raster, not " +
                                            std::to_string(raster.BitsPerPixel()) +
                                            " bits per pixel");
    }
    if (raster.IsEmpty()) return;

    const int width = raster.Width();
    const int rows = raster.RowCount();
    // A corner beyond an edge is clamped onto it, so a spread that reaches across the raster acts
    // like one that just reaches the far edge; capping it keeps the indices and `sums` small.
    const int spreadX = std::min(spread, width - 1);
    const int spreadY = std::min(spread, rows - 1);

    if (rows == 1) {
        SmoothEdgeRow(raster.Row(0), raster.Row(0), width, spreadX);
        return;
    }
    SmoothEdgeRow(raster.Row(0), raster.Row(spreadY), width, spreadX);
    std::vector<std::uint16_t> sums(static_cast<std::size_t>(width + 2 * spreadX));
    for (int y = 1; y < rows - 1; ++y) {
        SmoothInnerRow(raster.Row(y), raster.Row(std::max(y - spreadY, 0)),
                       raster.Row(std::min(y + spreadY, rows - 1)), width, spreadX, sums.data());
    }
    SmoothEdgeRow(raster.Row(rows - 1), raster.Row(rows - 1 - spreadY), width, spreadX);
}

void RunSmoothPasses(TFastDIB& raster, int count) {
    if (count <= 0) return;
    if (raster.BitsPerPixel() != 8) {
        throw RasterError("RunSmoothPasses", "needs an 8-bit raster, not " +
                                                 std::to_string(raster.BitsPerPixel()) +
                                                 " bits per pixel");
    }
    // Counted in 64 bits: count may be the largest int.
    for (std::int64_t spread = 1; spread <= count; ++spread)
        SmoothGray(raster, static_cast<int>(spread));
}

}  // namespace lisko
