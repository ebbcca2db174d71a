#pragma once

#include "raster/FastDIB.h"

namespace lisko {

// At 8 bits these move palette indices (ResizeSmooth blends them, which suits a grey ramp); the
// destination keeps its own palette.

// Fills the whole destination from the whole source by bilinear interpolation in 16.16 fixed
// point, sampling grids anchored at the bottom-left corner. Same-size is not an identity: column
// i samples the source at i * (W - 1) / W. A source one pixel wide or high blends only along the
// other axis. Throws RasterError for rasters of different depths, the same raster twice or an
// empty source or destination.
void ResizeSmooth(const TFastDIB& source, TFastDIB& dest);

// Fills the whole destination from the whole source by nearest neighbour: each destination pixel
// takes the source pixel at the lower-left corner of the area it covers. Refuses what
// ResizeSmooth refuses.
void ResizeFast(const TFastDIB& source, TFastDIB& dest);

// Writes the source, turned by angleDegrees about the centres of both rasters and scaled by
// scale / 65536, into dest; destination pixels that fall outside the source keep their value.
// A positive angle turns clockwise as displayed. Nearest-neighbour sampling; positions are 16.16
// fixed point and wrap around in 32 bits. An empty raster leaves nothing to write. Throws
// RasterError for rasters of different depths, the same raster twice or an angle that is not
// finite.
void RotateInto(const TFastDIB& source, TFastDIB& dest, int scale, double angleDegrees);

}  // namespace lisko
