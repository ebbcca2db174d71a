#pragma once

#include <cstddef>
#include <cstdint>

namespace lisko {

// Stretches a width x height rectangle of 24-bit pixels onto the whole of a destWidth x destHeight
// one the way a device's default stretching mode does: while shrinking, the source pixels that
// fall onto one destination pixel are combined by a bitwise AND of their colour values, so thin
// dark strokes survive; while enlarging, pixels repeat. Along each axis, destination index i
// covers source indices i * s / d up to (i + 1) * s / d, at least one.
//
// `source` points at the rectangle's top-left pixel and `dest` at the destination's; their rows
// are sourceStride and destStride bytes apart. Throws RasterError for an empty rectangle or
// destination.
void StretchAndCombine24(const std::uint8_t* source, std::ptrdiff_t sourceStride, int width,
                         int height, std::uint8_t* dest, std::ptrdiff_t destStride, int destWidth,
                         int destHeight);

}  // namespace lisko
