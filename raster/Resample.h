#pragma once

#include "raster/FastDIB.h"

namespace lisko {

// Fills the whole destination from the whole source by bilinear interpolation in 16.16 fixed
// point, sampling grids anchored at the bottom-left corner. Same-size is not an identity: column
// i samples the source at i * (W - 1) / W. Source and destination: same depth, 8 or 24 bits,
// neither empty.
void ResizeSmooth(const TFastDIB& source, TFastDIB& dest);

// Fills the whole destination from the whole source by nearest neighbour: each destination pixel
// takes the source pixel at the lower-left corner of the area it covers.
void ResizeFast(const TFastDIB& source, TFastDIB& dest);

// Writes the source, turned by angleDegrees about the centres of both rasters and scaled by
// scale / 65536, into dest; destination pixels that fall outside the source keep their value.
// A positive angle turns clockwise as displayed. Nearest-neighbour sampling.
void RotateInto(const TFastDIB& source, TFastDIB& dest, int scale, double angleDegrees);

}  // namespace lisko
