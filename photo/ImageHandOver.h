#pragma once

#include <QImage>

#include "raster/FastDIB.h"

namespace lisko {

// Wraps a raster's pixel memory in an image without copying it: the image owns the memory from
// then on and the raster is left empty. 24-bit rasters give Format_BGR888, 8-bit ones
// Format_Indexed8 with the raster's palette.
QImage HandOverToImage(TFastDIB&& raster);

}  // namespace lisko
