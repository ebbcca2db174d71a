#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "raster/FastDIB.h"

namespace lisko {

// 1.0 in the 16.16 fixed point of the kernels.
inline constexpr std::uint32_t FixedOne = 65536;

// What the kernels that read one raster and write another share: their argument checks and the
// choice of the pixel size outside the inner loops.

// One pixel size walks both rasters, so a different depth would read past the source's rows.
inline void RequireSameDepth(std::string_view operation, const TFastDIB& source,
                             const TFastDIB& dest) {
    if (source.BitsPerPixel() != dest.BitsPerPixel()) {
        throw RasterError(operation, "source has " + std::to_string(source.BitsPerPixel()) +
                                         " bits per pixel, destination " +
                                         std::to_string(dest.BitsPerPixel()));
    }
}

// Writing a raster while sampling it would read pixels that were already overwritten.
inline void RequireDistinct(std::string_view operation, const TFastDIB& source,
                            const TFastDIB& dest) {
    if (&source == &dest)
        throw RasterError(operation, "source and destination are the same raster");
}

// Calls run with the pixel size as a compile-time constant, so that the inner loops copy and blend
// a fixed number of bytes: 1 (a palette index) or 3 (blue, green, red).
template <typename Run>
void WithPixelSize(int bytesPerPixel, Run&& run) {
    if (bytesPerPixel == 1) {
        std::forward<Run>(run)(std::integral_constant<int, 1>{});
    } else {
        std::forward<Run>(run)(std::integral_constant<int, 3>{});
    }
}

}  // namespace lisko
