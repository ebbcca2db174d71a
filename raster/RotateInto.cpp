#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <string_view>

#include "raster/KernelSupport.h"
#include "raster/Resample.h"
#include "raster/RowBands.h"

namespace lisko {

namespace {

constexpr std::string_view kOperation = "RotateInto";

// A trigonometric value times the scale, rounded to the nearest integer with ties to even (the
// default rounding mode), as a 32-bit two's-complement step. The product lies within +-2^31, so
// the 64-bit detour is exact even for the most negative scale.
std::uint32_t Coefficient(double trig, int scale) {
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(std::nearbyint(trig * scale)));
}

// Source positions are 16.16 fixed point and wrap around in 32 bits, unsigned so that the wrap
// is defined. Shifting an unsigned position sends a negative one to an index of at least 32768,
// past every source side, so one comparison per axis tests both edges.
template <int PixelBytes>
void RotateRows(const TFastDIB& source, TFastDIB& dest, std::uint32_t kc, std::uint32_t ks) {
    const auto sourceWidth = static_cast<std::uint32_t>(source.Width());
    const auto sourceHeight = static_cast<std::uint32_t>(source.RowCount());
    const auto cx = static_cast<std::uint32_t>(dest.Width() / 2);
    const auto cy = static_cast<std::uint32_t>(dest.RowCount() / 2);
    // Half the difference of the sides lines the two centres up.
    const std::uint32_t dx0 = static_cast<std::uint32_t>(source.Width() - dest.Width()) * 32768;
    const std::uint32_t dy0 =
        static_cast<std::uint32_t>(source.RowCount() - dest.RowCount()) * 32768;
    // The source position of column 0, before the row's own term.
    const std::uint32_t rowStartX = cx * FixedOne + dx0 - kc * cx;
    const std::uint32_t rowStartY = cy * FixedOne + dy0 - ks * cx;

    ForEachRowBand(dest.RowCount(), dest.Width(), [&](int first, int last) {
        for (int y = first; y < last; ++y) {
            const std::uint32_t dy = static_cast<std::uint32_t>(y) - cy;
            std::uint32_t sx = rowStartX - ks * dy;
            std::uint32_t sy = rowStartY + kc * dy;
            std::uint8_t* out = dest.Row(y);
            for (int x = 0; x < dest.Width(); ++x) {
                const std::uint32_t ix = sx >> 16;
                const std::uint32_t iy = sy >> 16;
                if (ix < sourceWidth && iy < sourceHeight) {
                    std::memcpy(out, source.Row(static_cast<int>(iy)) + ix * PixelBytes,
                                PixelBytes);
                }
                out += PixelBytes;
                sx += kc;
                sy += ks;
            }
        }
    });
}

}  // namespace

void RotateInto(const TFastDIB& source, TFastDIB& dest, int scale, double angleDegrees) {
    RequireSameDepth(kOperation, source, dest);
    RequireDistinct(kOperation, source, dest);
    if (!std::isfinite(angleDegrees))
        throw RasterError(kOperation, "the angle is not a finite number");
    if (source.IsEmpty() || dest.IsEmpty()) return;

    const double radians = std::numbers::pi * angleDegrees / 180;
    const std::uint32_t kc = Coefficient(std::cos(radians), scale);
    const std::uint32_t ks = Coefficient(std::sin(radians), scale);

    WithPixelSize(dest.BytesPerPixel(), [&](auto pixelBytes) {
        RotateRows<decltype(pixelBytes)::value>(source, dest, kc, ks);
    });
}

}  // namespace lisko
