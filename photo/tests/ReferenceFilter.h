#pragma once

#include "raster/FastDIB.h"

// The filter written pixel by pixel in the plainest way, without any of the fast path's shortcuts
// (row sums, lookup tables, capped spreads, the fused palette conversion). The tests hold the real
// operations to these byte for byte.
namespace lisko::reference {

void SmoothGray(TFastDIB& raster, int spread);
void BlackWhiteFilter(int imageType, int brightness, int contrast, TFastDIB& raster);

}  // namespace lisko::reference
